// SPDX-License-Identifier: GPL-3.0-or-later
// About box, help book and donation page; the web server address, with its run-time override.
#include <fstream>

#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpdata.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/hyperlink.h>
#include <wx/utils.h>

#include "about_dialog.h"
#include "app_identity.h"
#include "frame_access.h"
#include "gui_test_support.h"

namespace {

class HelpTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        wxGetEnv("PATH", &oldPath);
        wxSetEnv("KERV_SERVER", "http://127.0.0.1:4567");
    }
    void TearDown() override
    {
        wxSetEnv("PATH", oldPath);
        wxUnsetEnv("KERV_SERVER");
        GuiTest::TearDown();
    }

    void InstallBook() { ASSERT_TRUE(wxCopyFile(KERV_HELP_BOOK, work + "/kerv.htb")); }

    wxString OpenedPage(CMainFrame* frame)
    {
        return Ui(frame).pHelpController->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
    }

    wxString oldPath;
};

const char* const kMissingBook = "Cannot find Help file - reinstall application";

}  // namespace

TEST_F(HelpTest, AboutShowsTheVersionWhateverTheCatalogSaysAndGivesOkTheFocus)
{
    CMainFrame* frame = MakeFrame();
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_ABOUT), Answer<CAboutDialog>([](CAboutDialog* about) {
                      EXPECT_EQ(about->textVersion->GetLabel(), "0.67");
                      EXPECT_EQ(about->linkWebsite->GetURL(), "http://127.0.0.1:4567");
                      EXPECT_EQ(about->GetDefaultItem()->GetId(), wxID_OK);
                      return wxID_OK;
                  }));
    CAboutDialog about(frame, wxID_ANY, wxEmptyString);
    about.Show();
    EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == about.btnOk; }, 2000))
        << "OK does not have the keyboard focus";
    about.Hide();
}

TEST_F(HelpTest, AMissingBookIsReportedAndOnceThereEachCommandOpensItsPageUntilTheWindowCloses)
{
    CMainFrame* frame = MakeFrame();
    for (int command : {ID_MENU_CHANGELOG, ID_MENU_HELP_CONTENTS})
        wxTEST_DIALOG(SendMenu(frame, command), ExpectMessageBox(kMissingBook, "Error"));
    EXPECT_EQ(Ui(frame).pHelpController, nullptr);

    InstallBook();
    {
        wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
        SendMenu(frame, ID_MENU_HELP_CONTENTS);
    }
    ASSERT_NE(Ui(frame).pHelpController, nullptr);
    PumpEvents(50);
    ASSERT_NE(Ui(frame).pHelpController->GetFrame(), nullptr);
    EXPECT_TRUE(Ui(frame).pHelpController->GetFrame()->IsShown());
    EXPECT_TRUE(OpenedPage(frame).EndsWith("index.html")) << OpenedPage(frame);
    // "What's new" opens its page in the viewer already open.
    wxHtmlHelpController* first = Ui(frame).pHelpController;
    SendMenu(frame, ID_MENU_CHANGELOG);
    EXPECT_EQ(Ui(frame).pHelpController, first);
    PumpEvents(30);
    EXPECT_TRUE(OpenedPage(frame).EndsWith("changelog.html")) << OpenedPage(frame);
    // Closing the main window ends the viewer.
    Ui(frame).bCloseForUpdate = true;
    frame->Close(false);
    EXPECT_EQ(Ui(frame).pHelpController, nullptr);
    PumpEvents(50);
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
}

// A stand-in for the desktop's URL opener, found first on PATH, notes what it is given; without
// any program or desktop entry that could open a web page, the address is shown instead.
TEST_F(HelpTest, DonateHandsTheBrowserTheDonationAddressOrShowsIt)
{
    const wxString bin = work + "/bin";
    wxMkdir(bin);
    const wxString note = work + "/opened.txt";
    {
        std::ofstream script((bin + "/xdg-open").ToStdString());
        script << "#!/bin/sh\nprintf '%s' \"$*\" > '" << note.ToStdString() << ".part'\n"
               << "mv '" << note.ToStdString() << ".part' '" << note.ToStdString() << "'\n";
    }
    ASSERT_EQ(chmod((bin + "/xdg-open").utf8_str(), 0755), 0);
    wxSetEnv("PATH", bin + ":" + oldPath);
    wxUnsetEnv("BROWSER");

    CMainFrame* frame = MakeFrame();
    for (bool button : {false, true}) {
        button ? ClickButton(frame, ID_BTN_DONATE) : SendMenu(frame, ID_MENU_DONATE);
        ASSERT_TRUE(WaitFor([&] { return wxFileExists(note); }, 10000));
        EXPECT_EQ(ReadTextFile(note), "http://127.0.0.1:4567/kerv/donate");
        wxRemoveFile(note);
    }

    wxSetEnv("PATH", work);
    wxSetEnv("XDG_DATA_HOME", work);
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_DONATE),
                  ExpectMessageBox("No web browser could be started. Please open the donation "
                                   "page by hand:\nhttp://127.0.0.1:4567/kerv/donate",
                                   "Make Donation"));
    wxUnsetEnv("XDG_DATA_HOME");
}

// The address of the web server: the built-in one, or the variable's when the update client
// can fetch from it (the parser itself is tested with the HTTP client).
TEST(ServerAddress, TheVariableOverridesTheBuiltInServerOnlyWithAnAddressTheClientFetches)
{
    const char* const builtIn = "http://kerv.example.org";
    const std::pair<const char*, const char*> cases[] = {
        {"", builtIn},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://[::1]:8000/", "http://[::1]:8000"},
        {"https://mirror.example.com", builtIn}};
    for (const auto& [value, server] : cases) {
        *value ? wxSetEnv("KERV_SERVER", value) : wxUnsetEnv("KERV_SERVER");
        EXPECT_EQ(GetServerAddress(), server) << value;
        EXPECT_EQ(GetDonationAddress(), wxString(server) + "/kerv/donate") << value;
    }
    wxUnsetEnv("KERV_SERVER");
}
