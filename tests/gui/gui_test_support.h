// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up of the window tests: every test gets a fresh home folder (so no user settings
// are read or written), a fresh working folder, the engine's image handlers, and an assertion
// handler that turns every toolkit assertion into a test failure. Modal dialogs are answered
// with wxTEST_DIALOG; CDontShowDialog gets an expectation of its own below.
#ifndef KERV_TESTS_GUI_GUI_TEST_SUPPORT_H
#define KERV_TESTS_GUI_GUI_TEST_SUPPORT_H

#include <functional>

#include <gtest/gtest.h>
#include <wx/msgdlg.h>
#include <wx/string.h>
#include <wx/testing.h>

#include "dont_show_dialog.h"

class CMainFrame;
class wxFastImage;

// Answers a CDontShowDialog with `code` (1 or wxID_OK mean yes), optionally ticking "Don't ask
// this question again" first, and checks the question's text and the dialog's title.
template <>
class wxExpectModal<CDontShowDialog> : public wxExpectModalBase<CDontShowDialog> {
public:
    wxExpectModal(int code, bool tickDontAsk = false, const wxString& text = wxString(),
                  const wxString& title = wxString())
        : m_code(code), m_tick(tickDontAsk), m_text(text), m_title(title)
    {
    }

protected:
    int OnInvoked(CDontShowDialog* dialog) const override;

private:
    int m_code;
    bool m_tick;
    wxString m_text;
    wxString m_title;
};

// Answers a message box with OK after checking its text and caption.
class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    ExpectMessageBox(const wxString& message, const wxString& caption)
        : m_message(message), m_caption(caption)
    {
    }

protected:
    int OnInvoked(wxMessageDialog* dialog) const override;
    wxString GetDefaultDescription() const override;

private:
    wxString m_message;
    wxString m_caption;
};

// Runs the toolkit's pending events, idle handlers and delayed deletions for a while.
void PumpEvents(int milliseconds = 50);

// Waits (pumping events) until done() holds or the time is up; returns done().
bool WaitFor(const std::function<bool()>& done, int milliseconds);

// Makes a folder under the system's temporary folder; returns its path.
wxString MakeTempDir();

// Reads a whole text file; empty when it does not exist.
wxString ReadTextFile(const wxString& path);

// Installs the assertion handler that fails the running test. Call once at start.
void InstallFailingAssertHandler();

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown main window, built as the application builds it.
    CMainFrame* MakeFrame();
    // Opens picture in frame as the file commands open a file (written to the working folder).
    void ShowPicture(CMainFrame* frame, const wxFastImage& picture);
    // Closes a main window without asking and lets the toolkit destroy it; another window can
    // then be made.
    void CloseQuietly(CMainFrame* frame);
    // The settings file of the temporary home.
    wxString SettingsFile() const;

    wxString home;
    wxString work;

private:
    wxString previousCwd;
};

#endif
