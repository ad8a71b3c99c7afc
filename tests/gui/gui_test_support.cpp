// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_test_support.h"

#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/stattext.h>
#include <wx/stopwatch.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "fast_image.h"
#include "frame_access.h"
#include "main_app.h"
#include "main_frame.h"

int wxExpectModal<CDontShowDialog>::OnInvoked(CDontShowDialog* dialog) const
{
    if (!m_text.empty()) {
        EXPECT_EQ(dialog->textQuestion->GetLabel(), m_text);
    }
    if (!m_title.empty()) {
        EXPECT_EQ(dialog->GetTitle(), m_title);
    }
    if (m_tick)
        dialog->checkDontAsk->SetValue(true);
    return m_code;
}

int ExpectMessageBox::OnInvoked(wxMessageDialog* dialog) const
{
    EXPECT_EQ(dialog->GetMessage(), m_message);
    EXPECT_EQ(dialog->GetTitle(), m_caption);
    return wxID_OK;
}

wxString ExpectMessageBox::GetDefaultDescription() const
{
    return "message box \"" + m_message + "\"";
}

void PumpEvents(int milliseconds)
{
    wxStopWatch watch;
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    } while (watch.Time() < milliseconds);
}

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    wxStopWatch watch;
    while (!done()) {
        if (watch.Time() > milliseconds)
            return done();
        PumpEvents(10);
    }
    return true;
}

wxString MakeTempDir()
{
    wxString pattern = wxFileName::GetTempDir() + "/kerv-test-XXXXXX";
    wxCharBuffer buffer = pattern.utf8_str();
    char* made = mkdtemp(buffer.data());
    if (!made) {
        ADD_FAILURE() << "cannot make a temporary folder";
        return wxString();
    }
    return wxString::FromUTF8(made);
}

wxString ReadTextFile(const wxString& path)
{
    wxString text;
    if (wxFileExists(path)) {
        wxFFile file(path, "r");
        file.ReadAll(&text);
    }
    return text;
}

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assertion in " << func.utf8_str() << ": "
                                          << cond.utf8_str() << " " << msg.utf8_str();
}

}  // namespace

void InstallFailingAssertHandler()
{
    wxSetAssertHandler(FailOnAssert);
}

void GuiTest::SetUp()
{
    previousCwd = wxGetCwd();
    home = MakeTempDir();
    work = MakeTempDir();
    wxSetEnv("HOME", home);
    wxSetWorkingDirectory(work);

    // The store is created again, from the new home, on its next use.
    delete wxConfigBase::Set(nullptr);
    wxFastImage::CleanUpHandlers();
    MainApp::RegisterFastImageHandlers();
}

void GuiTest::TearDown()
{
    // Closing a window changes the list of windows: work on a copy, and re-check each.
    auto alive = [](wxWindow* window) {
        return wxTopLevelWindows.Find(window) != nullptr && !window->IsBeingDeleted();
    };
    std::vector<wxWindow*> windows(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : windows)
        if (alive(window))
            if (auto* frame = dynamic_cast<CMainFrame*>(window))
                CloseQuietly(frame);
    windows.assign(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : windows)
        if (alive(window))
            window->Destroy();
    PumpEvents(20);

    delete wxConfigBase::Set(nullptr);
    wxSetWorkingDirectory(previousCwd);
    wxFileName::Rmdir(home, wxPATH_RMDIR_RECURSIVE);
    wxFileName::Rmdir(work, wxPATH_RMDIR_RECURSIVE);
}

CMainFrame* GuiTest::MakeFrame()
{
    auto* frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
    // The start-up housekeeping (update reminder, clean-up) belongs to the update check's
    // tests; here it would ask its question in the middle of another test.
    Ui(frame).timerStartUp.Stop();
    frame->Show();
    PumpEvents(30);
    return frame;
}

void GuiTest::ShowPicture(CMainFrame* frame, const wxFastImage& picture)
{
    static int shown = 0;
    wxString path = wxString::Format("%s/shown-%d.png", work, ++shown);
    ASSERT_TRUE(picture.AsImage().SaveFile(path));
    frame->DoOpenFile(path, -1);
    ASSERT_TRUE(frame->Session().IsOpen());
}

void GuiTest::CloseQuietly(CMainFrame* frame)
{
    Ui(frame).bCalculating = false;
    frame->Close(true);
    PumpEvents(20);
    // The close released the picture readers, as the program's last window does; a test that
    // goes on with another window needs them again.
    if (wxFastImage::sm_handlers.IsEmpty())
        MainApp::RegisterFastImageHandlers();
}

wxString GuiTest::SettingsFile() const
{
    return home + "/.Kerv";
}
