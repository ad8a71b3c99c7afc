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

wxImage EnginePicture(CMainFrame* frame)
{
    return Ui(frame).pDP->GetColourImage().CopyToImage();
}

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

TEST(DefaultSaveName, PutsKervBeforeTheExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(DefaultSaveName("/home/u/beach.jpg"), "/home/u/beach_kerv.jpg");
    EXPECT_EQ(DefaultSaveName("/home/u/archive.tar.gz"), "/home/u/archive.tar_kerv.gz");
    EXPECT_EQ(DefaultSaveName("/home/u.v/beach"), "/home/u.v/beach_kerv");
}

TEST_F(FileCommandsTest, OpeningThroughTheDialogLoadsThePictureAndSetsUpTheControls)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    ASSERT_NE(Ui(frame).pDP, nullptr);
    EXPECT_EQ(frame->Session().FileName(), beach);
    EXPECT_EQ(frame->Session().OriginalWidth(), 120);
    EXPECT_EQ(frame->Session().CurrentHeight(), 80);
    EXPECT_EQ(Ui(frame).sliderWidth->GetMax(), 240);
    EXPECT_EQ(Ui(frame).spinHeight->GetValue(), 80);
    EXPECT_EQ(Ui(frame).textAbsWidth->GetValue(), "120");
    EXPECT_EQ(Ui(frame).textPercHeight->GetValue(), "100");
    EXPECT_EQ(Ui(frame).textOriginal->GetLabel(), "Original: Width: 120, Height:80");
    EXPECT_EQ(Ui(frame).textCurrent->GetLabel(), "Current: Width: 100.00%, Height:100.00%");
    EXPECT_TRUE(Ui(frame).sliderWidth->IsEnabled());
    EXPECT_TRUE(Ui(frame).btnKerv->IsEnabled());
    EXPECT_FALSE(Ui(frame).btnResetSize->IsEnabled());
    EXPECT_FALSE(frame->Session().IsModified());
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - beach.png");
    wxImage expected(beach);
    EXPECT_TRUE(SamePixels(expected, EnginePicture(frame)));
}

TEST_F(FileCommandsTest, DroppingOneFileOpensIt)
{
    CMainFrame* frame = MakeFrame();
    ASSERT_NE(Ui(frame).pDropTarget, nullptr);
    EXPECT_EQ(frame->GetDropTarget(), Ui(frame).pDropTarget);
    EXPECT_TRUE(Ui(frame).pDropTarget->OnDrop(10, 10));
    EXPECT_TRUE(Ui(frame).pDropTarget->OnDropFiles(10, 10, Names({dunes})));
    ASSERT_NE(Ui(frame).pDP, nullptr);
    EXPECT_EQ(frame->Session().OriginalWidth(), 90);
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - dunes.png");
}

TEST_F(FileCommandsTest, DroppingTwoFilesIsRefusedAndChangesNothing)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    DP* engine = Ui(frame).pDP;
    wxTEST_DIALOG(Ui(frame).pDropTarget->OnDropFiles(0, 0, Names({dunes, beach})),
                  ExpectMessageBox("Only one file may be dropped", "Error"));
    EXPECT_EQ(Ui(frame).pDP, engine);
    EXPECT_EQ(frame->Session().FileName(), beach);
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
// leaves the list; the list reaches the disk at once after every change.
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
}

// The header says 40000 pixels wide: refused before decoding, with the limit named.
TEST_F(FileCommandsTest, APictureOverTheLimitsIsRefusedNamingTheLimit)
{
    const wxString wide = work + "/wide.png";
    WriteTestPicture(wide, 40, 30, 4, false);
    wxFile file(wide, wxFile::read_write);
    const unsigned char width[4] = {0x00, 0x00, 0x9C, 0x40};
    ASSERT_TRUE(file.Seek(16) == 16 && file.Write(width, 4) == 4);
    file.Close();
    CMainFrame* frame = MakeFrame();
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_OPEN), ExpectFileDialog(wide),
                  ExpectMessageBox("Error opening image " + wide +
                                       ":\nthe picture is 40000 x 30 pixels, over "
                                   "the limit of 32000 pixels a side and 100000000 pixels in all",
                                   "Error"));
    EXPECT_FALSE(frame->Session().IsOpen());
    EXPECT_EQ(Ui(frame).pFileHistory->GetCount(), 0u);
}

TEST_F(FileCommandsTest, SaveProposesTheDerivedNameAndWritesTheEnginesPixels)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    Carve(frame);
    const wxString saved = work + "/beach_kerv.png";
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE), ExpectFileDialog(saved, saved));
    EXPECT_FALSE(frame->Session().IsModified());
    EXPECT_TRUE(SamePixels(EnginePicture(frame), wxImage(saved)));
    // Nothing but the two pictures is left in the folder.
    EXPECT_EQ(FilesIn(work), Names({beach, saved, dunes}));

    // Reopened, the saved picture is what the engine had.
    const wxImage carved = EnginePicture(frame);
    OpenThroughDialog(frame, saved);
    EXPECT_EQ(frame->Session().OriginalWidth(), 115);
    EXPECT_TRUE(SamePixels(carved, EnginePicture(frame)));
}

TEST_F(FileCommandsTest, SavingReplacesAnExistingFileAndKeepsItsPermissions)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    Carve(frame);
    const wxString target = work + "/old.png";
    WriteTestPicture(target, 10, 10, 9);
    ASSERT_EQ(chmod(target.fn_str(), 0640), 0);
    wxTEST_DIALOG(SendMenu(frame, ID_TOOL_SAVE),
                  ExpectFileDialog(target, work + "/beach_kerv.png"));
    EXPECT_TRUE(SamePixels(EnginePicture(frame), wxImage(target)));
    struct stat status;
    ASSERT_EQ(stat(target.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(FileCommandsTest, ASaveToAnUnknownFormatIsReportedKeepsTheWorkAndTheOldFile)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    Carve(frame);
    const wxString target = work + "/notes.xyz";
    wxFile(target, wxFile::write).Write("precious");
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE), ExpectFileDialog(target, work + "/beach_kerv.png"),
                  ExpectMessageBox(wxString::Format("The image could not be saved to %s.", target) +
                                       "\nThere is no picture format for the extension of this "
                                       "file name.",
                                   "Error"));
    EXPECT_TRUE(frame->Session().IsModified());
    EXPECT_TRUE(Ui(frame).btnResetSize->IsEnabled());
    EXPECT_EQ(ReadTextFile(target), "precious");
    EXPECT_EQ(FilesIn(work), Names({beach, dunes, target}));
}

TEST_F(FileCommandsTest, AWriteThatRunsOutOfSpaceLeavesTheExistingFileWhole)
{
    CMainFrame* frame = MakeFrame();
    const wxString big = work + "/big.bmp";
    WriteTestPicture(big, 300, 200, 5);
    OpenThroughDialog(frame, big);
    Carve(frame);
    const wxString target = work + "/big_kerv.bmp";
    wxFile(target, wxFile::write).Write("precious");

    // A file size limit stands in for a full disk: writes past 4 KiB fail.
    struct rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    void (*previousHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = previous;
    limit.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    wxString shown;
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE), ExpectFileDialog(target, target),
                  Answer<wxMessageDialog>([&shown](wxMessageDialog* dialog) {
                      shown = dialog->GetMessage();
                      EXPECT_EQ(dialog->GetTitle(), "Error");
                      return wxID_OK;
                  }));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(shown.StartsWith(wxString::Format("The image could not be saved to %s.", target)))
        << shown;
    // The reason is the failing write's own, never an errno left over from the encoder.
    EXPECT_TRUE(shown.EndsWith("\n" + wxString(std::strerror(EFBIG)))) << shown;
    EXPECT_TRUE(frame->Session().IsModified());
    EXPECT_EQ(ReadTextFile(target), "precious");
    EXPECT_EQ(FilesIn(work), Names({beach, big, target, dunes}));
}

TEST_F(FileCommandsTest, CopyPutsTheEnginesPixelsOnTheClipboard)
{
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, beach);
    Carve(frame);
    SendMenu(frame, ID_COPY);
    PumpEvents(50);
    wxBitmapDataObject data;
    {
        wxClipboardLocker clipboard;
        ASSERT_TRUE(!!clipboard);
        ASSERT_TRUE(wxTheClipboard->IsSupported(wxDF_BITMAP));
        ASSERT_TRUE(wxTheClipboard->GetData(data));
    }
    EXPECT_TRUE(SamePixels(EnginePicture(frame), data.GetBitmap().ConvertToImage()));
}
