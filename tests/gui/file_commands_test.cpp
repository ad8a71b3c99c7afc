// SPDX-License-Identifier: GPL-3.0-or-later
// The image file commands: open by dialog, drop and recent files, the unsaved-changes question
// on every path, pictures refused, the title, saving under the derived name through a temporary
// file, and the clipboard.
#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <cstring>

#include <wx/clipbrd.h>
#include <wx/dir.h>
#include <wx/file.h>
#include <wx/fileconf.h>
#include <wx/filename.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "picture_files.h"

namespace {

wxArrayString Names(std::initializer_list<wxString> names)
{
    wxArrayString list;
    for (const wxString& name : names)
        list.Add(name);
    return list;
}

// Files in folder, hidden ones included (a left temporary file would be hidden).
wxArrayString FilesIn(const wxString& folder)
{
    wxArrayString files;
    wxDir::GetAllFiles(folder, &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
    files.Sort();
    return files;
}

}  // namespace

class FileCommandsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        beach = work + "/beach.png";
        dunes = work + "/dunes.png";
        WriteTestPicture(beach, 120, 80, 1);
        WriteTestPicture(dunes, 90, 70, 2);
    }

    // Narrows the open picture by a few columns, which marks it modified.
    void Carve(CMainFrame* frame)
    {
        ASSERT_EQ(frame->WidthChange(frame->Session().CurrentWidth() - 5), -5);
        ASSERT_TRUE(frame->Session().IsModified());
    }

    wxString beach;
    wxString dunes;
};

// The proposed names of a saved picture and of its mask change the file name's extension only.
TEST(DefaultSaveName, PutsKervBeforeTheExtensionAndTheMaskReplacesIt)
{
    EXPECT_EQ(DefaultSaveName("/home/u/beach.jpg"), "/home/u/beach_kerv.jpg");
    EXPECT_EQ(DefaultSaveName("/home/u/archive.tar.gz"), "/home/u/archive.tar_kerv.gz");
    EXPECT_EQ(DefaultSaveName("/home/u.v/beach"), "/home/u.v/beach_kerv");
    EXPECT_EQ(CMainFrame::DefaultMaskFileName("/home/u/beach.jpg"), "/home/u/beach_mask.bmp");
    EXPECT_EQ(CMainFrame::DefaultMaskFileName("/home/u.v/beach"), "/home/u.v/beach_mask.bmp");
    EXPECT_EQ(CMainFrame::DefaultMaskFileName("/home/u/a.b.png"), "/home/u/a.b_mask.bmp");
}

// What the session holds after an open is tested with it; here the controls and the drop target.
TEST_F(FileCommandsTest, OpeningThroughTheDialogOrByDroppingOneFileSetsUpTheControls)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    EXPECT_EQ(Ui(frame).spinHeight->GetValue(), 80);
    EXPECT_EQ(Ui(frame).textAbsWidth->GetValue(), "120");
    EXPECT_EQ(Ui(frame).textOriginal->GetLabel(), "Original: Width: 120, Height:80");
    EXPECT_EQ(Ui(frame).textCurrent->GetLabel(), "Current: Width: 100.00%, Height:100.00%");
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - beach.png");
    EXPECT_TRUE(SamePixels(wxImage(beach), EnginePicture(frame)));

    ASSERT_NE(Ui(frame).pDropTarget, nullptr);
    EXPECT_EQ(frame->GetDropTarget(), Ui(frame).pDropTarget);
    EXPECT_TRUE(Ui(frame).pDropTarget->OnDrop(10, 10));
    EXPECT_TRUE(Ui(frame).pDropTarget->OnDropFiles(10, 10, Names({dunes})));
    EXPECT_EQ(Ui(frame).textOriginal->GetLabel(), "Original: Width: 90, Height:70");
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - dunes.png");
    DP* engine = Ui(frame).pDP;
    wxTEST_DIALOG(Ui(frame).pDropTarget->OnDropFiles(0, 0, Names({beach, dunes})),
                  ExpectMessageBox("Only one file may be dropped", "Error"));
    EXPECT_EQ(Ui(frame).pDP, engine);
    EXPECT_EQ(frame->Session().FileName(), dunes);
}

// Every way of opening another picture asks first; "No" keeps the work and opens nothing (an
// unexpected file dialog would fail the test), "Yes" opens the other picture.
TEST_F(FileCommandsTest, OpeningOnUnsavedChangesAsksAndOnlyYesReplacesTheWork)
{
    const ExpectAnswer no(wxID_NO, "Dismiss Changes?", "Image not Saved");
    const ExpectAnswer yes(wxID_YES, "Dismiss Changes?", "Image not Saved");
    const std::function<void(CMainFrame*, bool)> ways[] = {
        [&](CMainFrame* frame, bool answer) {
            if (answer) {
                wxTEST_DIALOG(SendMenu(frame, ID_MENU_OPEN), yes, ExpectFileDialog(dunes));
            } else {
                wxTEST_DIALOG(SendMenu(frame, ID_TOOL_OPEN), no);
            }
        },
        [&](CMainFrame* frame, bool answer) {
            wxTEST_DIALOG(Ui(frame).pDropTarget->OnDropFiles(0, 0, Names({dunes})),
                          answer ? yes : no);
        },
        // The second recent entry is dunes.png.
        [&](CMainFrame* frame, bool answer) {
            wxTEST_DIALOG(SendMenu(frame, ID_MRU_FIRST + 1), answer ? yes : no);
        },
    };
    for (const auto& open : ways) {
        CMainFrame* frame = MakeFrame();
        OpenThroughDialog(frame, dunes);
        OpenThroughDialog(frame, beach);
        Carve(frame);
        open(frame, false);
        EXPECT_EQ(frame->Session().FileName(), beach);
        EXPECT_EQ(frame->Session().CurrentWidth(), 115);
        EXPECT_TRUE(frame->Session().IsModified());
        open(frame, true);
        EXPECT_EQ(frame->Session().FileName(), dunes);
        EXPECT_EQ(frame->Session().CurrentWidth(), 90);
        EXPECT_FALSE(frame->Session().IsModified());
        EXPECT_EQ(Ui(frame).pFileHistory->GetHistoryFile(0), dunes);
        CloseQuietly(frame);
    }
}

// Nine recent files, newest first; a listed file opened again moves to the top, one that is gone
// leaves the list; the list reaches the disk at once after every change, and the next start.
TEST_F(FileCommandsTest, RecentFilesKeepNineNewestFirstAndReachTheDiskAtOnce)
{
    CMainFrame* frame = MakeFrame();
    wxFileHistory* recent = Ui(frame).pFileHistory;
    auto onDisk = [this](int entry) {
        wxFileConfig disk(wxEmptyString, wxEmptyString, SettingsFile(), wxEmptyString,
                          wxCONFIG_USE_LOCAL_FILE);
        return disk.Read(wxString::Format("/MRU/file%d", entry));
    };
    std::vector<wxString> paths;
    for (int i = 0; i < 10; ++i) {
        paths.push_back(wxString::Format("%s/picture%d.png", work, i));
        WriteTestPicture(paths.back(), 20 + i, 10, i + 3);
        OpenThroughDialog(frame, paths.back());
        EXPECT_EQ(onDisk(1), paths.back());
    }
    ASSERT_EQ(recent->GetCount(), 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(recent->GetHistoryFile(i), paths[9 - i]);

    SendMenu(frame, ID_MRU_FIRST + 4);
    EXPECT_EQ(frame->Session().FileName(), paths[5]);
    EXPECT_EQ(recent->GetCount(), 9u);
    EXPECT_EQ(onDisk(1), paths[5]);
    EXPECT_EQ(onDisk(2), paths[9]);

    ASSERT_TRUE(wxRemoveFile(paths[9]));
    wxTEST_DIALOG(SendMenu(frame, ID_MRU_FIRST + 1),
                  ExpectMessageBox(
                      "Error opening image " + paths[9] + ":\nThe file does not exist.", "Error"));
    EXPECT_EQ(recent->GetCount(), 8u);
    EXPECT_EQ(onDisk(2), paths[8]);
    EXPECT_EQ(onDisk(9), "");
    EXPECT_EQ(frame->Session().FileName(), paths[5]);

    // The next window finds them in its File menu.
    CloseQuietly(frame);
    CMainFrame* next = MakeFrame();
    EXPECT_EQ(Ui(next).pFileHistory->GetHistoryFile(0), paths[5]);
    wxMenu* menuFile = Ui(next).menuBar->GetMenu(0);
    EXPECT_NE(menuFile->FindItem(ID_MRU_FIRST + 7), nullptr);
    EXPECT_EQ(menuFile->FindItem(ID_MRU_FIRST + 8), nullptr);
}

// The proposed name may be an existing file: it is replaced through a temporary file, keeping its
// permissions, and reopened it shows what the engine had; a copy puts the same on the clipboard.
TEST_F(FileCommandsTest, SaveReplacesTheDerivedNameKeepingItsPermissionsAndCopyGivesTheSamePixels)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    Carve(frame);
    const wxString saved = work + "/beach_kerv.png";
    WriteTestPicture(saved, 10, 10, 9);
    ASSERT_EQ(chmod(saved.fn_str(), 0640), 0);
    wxTEST_DIALOG(SendMenu(frame, ID_TOOL_SAVE), ExpectFileDialog(saved, saved));
    EXPECT_FALSE(frame->Session().IsModified());
    EXPECT_TRUE(SamePixels(EnginePicture(frame), wxImage(saved)));
    struct stat status;
    ASSERT_EQ(stat(saved.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    // Nothing but the pictures is left in the folder.
    EXPECT_EQ(FilesIn(work), Names({beach, saved, dunes}));

    SendMenu(frame, ID_COPY);
    PumpEvents(50);
    wxBitmapDataObject data;
    {
        wxClipboardLocker clipboard;
        ASSERT_TRUE(!!clipboard);
        ASSERT_TRUE(wxTheClipboard->IsSupported(wxDF_BITMAP));
        ASSERT_TRUE(wxTheClipboard->GetData(data));
    }
    const wxImage carved = EnginePicture(frame);
    EXPECT_TRUE(SamePixels(carved, data.GetBitmap().ConvertToImage()));
    OpenThroughDialog(frame, saved);
    EXPECT_EQ(frame->Session().OriginalWidth(), 115);
    EXPECT_TRUE(SamePixels(carved, EnginePicture(frame)));
}

// A format without an encoder, an encoder that refuses the picture, a disk that fills up: the
// message names the reason (the failing write's own, never an errno left over from the
// encoder), the work stays modified, an existing file stays whole and nothing else is left.
TEST_F(FileCommandsTest, AFailedSaveNamesTheReasonAndKeepsTheWorkAndTheOldFile)
{
    const struct {
        const char* name;
        const char* reason;
        bool diskFull;  // a file size limit stands in for a full disk: writes past 4 KiB fail
    } cases[] = {
        {"notes.xyz", "There is no picture format for the extension of this file name.", false},
        {"big.ico", "ICO: Image too wide for an icon.", false},
        {"big_kerv.bmp", std::strerror(EFBIG), true}};
    const wxString big = work + "/big.bmp";
    WriteTestPicture(big, 300, 200, 5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMainFrame* frame = MakeFrame();
        OpenThroughDialog(frame, big);
        Carve(frame);
        const wxString target = work + "/" + c.name;
        wxFile(target, wxFile::write).Write("precious");
        struct rlimit previous;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        void (*previousHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = previous;
        limit.rlim_cur = c.diskFull ? 4096 : previous.rlim_cur;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        wxString shown;
        wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE),
                      ExpectFileDialog(target, work + "/big_kerv.bmp"),
                      Answer<wxMessageDialog>([&shown](wxMessageDialog* dialog) {
                          shown = dialog->GetMessage();
                          EXPECT_EQ(dialog->GetTitle(), "Error");
                          return wxID_OK;
                      }));
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        const wxString said = wxString::Format("The image could not be saved to %s.", target);
        if (c.diskFull)
            EXPECT_TRUE(shown.StartsWith(said) && shown.EndsWith("\n" + wxString(c.reason)))
                << shown;
        else
            EXPECT_EQ(shown, said + "\n" + c.reason);
        EXPECT_TRUE(frame->Session().IsModified());
        EXPECT_TRUE(Ui(frame).btnResetSize->IsEnabled());
        EXPECT_EQ(ReadTextFile(target), "precious");
        wxArrayString left = Names({beach, big, target, dunes});
        left.Sort();
        EXPECT_EQ(FilesIn(work), left);
        ASSERT_TRUE(wxRemoveFile(target));
        CloseQuietly(frame);
    }
}
