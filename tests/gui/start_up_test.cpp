// SPDX-License-Identifier: GPL-3.0-or-later
// MainApp's start-up: both handler lists, the archive file system, translations,
// the main window, the pictures named on the command line, and where the help book and the
// catalogs are found.
#include <memory>

#include <wx/file.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/log.h>
#include <wx/toplevel.h>

#include "data_paths.h"
#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "main_app.h"

using StartUpTest = GuiTest;

TEST_F(StartUpTest, OnInitNamesTheStoreRegistersHandlersAndTheArchiveSystemAndShowsTheWindow)
{
    wxFastImage::CleanUpHandlers();
    ASSERT_TRUE(wxGetApp().OnInit());

    auto* frame = dynamic_cast<CMainFrame*>(wxGetApp().GetTopWindow());
    ASSERT_NE(frame, nullptr);
    // Its housekeeping (the update reminder) is the update check's business.
    Ui(frame).timerStartUp.Stop();
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67");

    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_TGA), nullptr);
    // The archive file system reads the packed help book.
    wxFileSystem fs;
    std::unique_ptr<wxFSFile> project(
        fs.OpenFile(wxFileSystem::FileNameToURL(wxFileName(KERV_HELP_BOOK)) + "#zip:kerv.hhp"));
    EXPECT_NE(project, nullptr);
}

TEST_F(StartUpTest, GermanCatalogIsFoundBesideTheProgramAndUsedAndFrenchStaysEnglish)
{
    {
        wxLocale french;
        MainApp::InitLocale(french, wxLANGUAGE_FRENCH);
        EXPECT_FALSE(french.IsLoaded("kerv"));
        EXPECT_EQ(wxGetTranslation("Really quit?"), "Really quit?");
    }
    wxLocale german;
    MainApp::InitLocale(german, wxLANGUAGE_GERMAN);
    EXPECT_TRUE(german.IsLoaded("kerv"));
    EXPECT_EQ(wxGetTranslation("Really quit?"), wxString::FromUTF8("Wirklich beenden?"));

    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(Ui(frame).menuBar->GetMenuLabel(0), "&Datei");
    EXPECT_EQ(Ui(frame).menuBar->FindItem(128)->GetItemLabel(), "&Beenden\tAlt+F4");
    EXPECT_EQ(Ui(frame).textOriginal->GetLabel(), wxString::FromUTF8("Originalgröße n. v."));
    // Title and version are never translated.
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67");

    wxTEST_DIALOG(frame->Close(false),
                  wxExpectModal<CDontShowDialog>(1, false, "Wirklich beenden?", "Frage"));
}

TEST_F(StartUpTest, ArgumentsArePicturesExceptOptionsBeforeTheDoubleDash)
{
    using Words = std::vector<wxString>;
    const struct {
        Words arguments;
        Words pictures;
    } cases[] = {
        {{}, {}},
        {{"--no-such-option", "a.png", "b.jpg"}, {"a.png", "b.jpg"}},
        {{"-", "a.png"}, {"-", "a.png"}},
        {{"--", "-x.png", "--"}, {"-x.png", "--"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MainApp::PicturesFromArguments(c.arguments), c.pictures) << c.arguments.size();
}

TEST_F(StartUpTest, OfSeveralStartFilesTheFirstIsOpenedAndTheUserIsTold)
{
    CMainFrame* frame = MakeFrame();
    ASSERT_TRUE(wxCopyFile(KERV_SAMPLES_DIR "/coffee.png", work + "/coffee.png"));
    const wxString opened = work + "/coffee.png";
    wxTEST_DIALOG(MainApp::OpenStartFiles(frame, {"coffee.png", KERV_SAMPLES_DIR "/chelsea.png"}),
                  ExpectMessageBox("Kerv opens one picture at a time: of the 2 files given, only " +
                                       opened + " was opened.",
                                   "Several Files Given"));
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - coffee.png");
    EXPECT_EQ(frame->Session().FileName(), opened);
    EXPECT_EQ(frame->Session().OriginalWidth(), 600);
}

// The book and catalog places of a portable folder and of an installed tree, in their order.
TEST_F(StartUpTest, HelpBookAndCatalogsAreFoundPortableFirstThenInstalled)
{
    const wxString prefix = work + "/usr";
    const wxString bin = prefix + "/bin";
    const wxString book = "/kerv.htb";
    const struct {
        std::vector<wxString> present;  // files made, relative to work
        wxString found;                 // relative to work, or "kerv" for the working directory's
    } cases[] = {
        {{}, "kerv"},
        {{"/usr/share/kerv/kerv.htb"}, "/usr/share/kerv/kerv.htb"},
        {{"/usr/share/kerv/kerv.htb", "/usr/share/kerv/de/kerv.htb"},
         "/usr/share/kerv/de/kerv.htb"},
        {{"/usr/share/kerv/de/kerv.htb", "/kerv.htb"}, "kerv"},
        {{"/kerv.hhp", "/usr/bin/I18N/de/kerv.htb"}, "/usr/bin/I18N/de/kerv.htb"},
        {{"/usr/share/kerv/fr/kerv.htb", "/usr/bin/I18N/fr/kerv.htb"}, "kerv"},
    };
    for (const auto& c : cases) {
        wxLogNull quiet;  // the first round has nothing to remove
        wxFileName::Rmdir(prefix, wxPATH_RMDIR_RECURSIVE);
        wxRemoveFile(work + "/kerv.htb");
        wxRemoveFile(work + "/kerv.hhp");
        wxFileName::Mkdir(bin, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        for (const wxString& file : c.present) {
            wxFileName::Mkdir(wxFileName(work + file).GetPath(), wxS_DIR_DEFAULT,
                              wxPATH_MKDIR_FULL);
            wxFile(work + file, wxFile::write).Write(book);
        }
        const wxString found = FindHelpBook(bin, {"de_DE", "de"});
        EXPECT_EQ(found, c.found == "kerv" ? c.found : work + c.found) << c.present.size();
    }
    EXPECT_EQ(CatalogPrefixes(bin),
              (std::vector<wxString>{bin + "/I18N", prefix + "/share/locale"}));
}
