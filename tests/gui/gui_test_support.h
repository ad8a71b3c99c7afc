// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up and steps of the window tests: every test gets a fresh home folder (so no user
// settings are read or written), a fresh working folder, the engine's image handlers, and an
// assertion handler that turns every toolkit assertion into a test failure. Modal dialogs are
// answered with wxTEST_DIALOG; pictures, commands and pointer strokes are sent as a user's.
#ifndef KERV_TESTS_GUI_GUI_TEST_SUPPORT_H
#define KERV_TESTS_GUI_GUI_TEST_SUPPORT_H

#include <functional>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/string.h>
#include <wx/testing.h>
#include <wx/timer.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "dont_show_dialog.h"
#include "test_files.h"
#include "test_wx.h"

class CMainFrame;
class CPaintPanel;
class wxCheckBox;
class wxFastImage;

// Answers a modal dialog of type T with what answer returns, having let it look at the dialog
// (and at the program, which is then inside the command that showed it).
template <class T>
class Answer : public wxExpectModalBase<T, Answer<T>> {
public:
    explicit Answer(std::function<int(T*)> answer) : m_answer(std::move(answer)) {}

protected:
    int OnInvoked(T* dialog) const override { return m_answer(dialog); }

private:
    std::function<int(T*)> m_answer;
};

// Answers a CDontShowDialog with `code` (1 or wxID_OK mean yes), optionally ticking "Don't ask
// this question again" first, and checks the question's text and the dialog's title.
template <>
class wxExpectModal<CDontShowDialog> : public Answer<CDontShowDialog> {
public:
    wxExpectModal(int code, bool tickDontAsk = false, const wxString& text = wxString(),
                  const wxString& title = wxString());
};

// Answers a message box with code (wxID_YES, wxID_NO, wxID_OK) after checking text and caption.
struct ExpectAnswer : Answer<wxMessageDialog> {
    ExpectAnswer(int code, const wxString& message, const wxString& caption);
};

struct ExpectMessageBox : ExpectAnswer {
    ExpectMessageBox(const wxString& message, const wxString& caption)
        : ExpectAnswer(wxID_OK, message, caption)
    {
    }
};

// Answers a file dialog (open or save) with path, after checking the path it proposed and its
// title when given. GTK's chooser selects a file only once it has read the file's folder, so
// the answer waits (pumping events) until the dialog reports it.
struct ExpectFileDialog : Answer<wxFileDialog> {
    explicit ExpectFileDialog(const wxString& path, const wxString& proposed = wxString(),
                              const wxString& title = wxString());
};

// Runs a body at every repaint of the window's canvas while it lives (a run repaints the canvas
// inside its yields to the event loop).
class RepaintHook {
public:
    RepaintHook(CMainFrame* frame, std::function<void()> body);
    ~RepaintHook();

private:
    void OnPaint(wxPaintEvent& event);

    wxWeakRef<wxWindow> m_panel;
    std::function<void()> m_body;
};

// Presses "Abort" from the event loop once the gauge has counted `after` steps, remembering how
// many it had counted then. Start it before the run.
class AbortWhenGaugeReaches : public wxTimer {
public:
    AbortWhenGaugeReaches(CMainFrame* frame, int after) : m_frame(frame), m_after(after) {}

    void Notify() override;

    int stepsAtAbort = -1;

private:
    CMainFrame* m_frame;
    int m_after;
};

// A cols x rows picture with no two neighbouring pixels alike, so that any shift or wrong
// scaling of what the canvas shows is seen.
wxFastImage DistinctPixelsPicture(int cols, int rows);

wxImage EnginePicture(CMainFrame* frame);
int CountPixels(const wxImage& image, unsigned char r, unsigned char g, unsigned char b);

void SendMenu(CMainFrame* frame, int id);
// A click on a button, as the toolkit delivers it (to the button first, then its parents).
void Click(wxWindow* button);
void ClickButton(CMainFrame* frame, int id);
// Sets a check box and delivers the click event that the user's click would.
void SetChecked(wxCheckBox* box, bool checked);
// Types the two absolute targets without going through the typing handlers.
void SetTargets(CMainFrame* frame, int width, int height);

// Opens path through File, Open and its file dialog (no unsaved changes expected).
void OpenThroughDialog(CMainFrame* frame, const wxString& path);

void SendMouse(CPaintPanel* panel, wxEventType type, wxPoint at, bool leftDown = false);
// Sends a key event to the canvas; returns whether it was passed on.
bool SendKey(CPaintPanel* panel, wxEventType type, int code);
// Drags the pointer over the canvas from `from` to `to` (window coordinates) with the left
// button held, in small steps, and lets it go at the end.
void PaintStroke(CMainFrame* frame, wxPoint from, wxPoint to);
// The canvas's mask as a picture (not OK when there is none).
wxImage MaskImage(CMainFrame* frame);

// Whether window is still a top-level window and not about to be deleted.
bool IsAlive(wxWindow* window);

// Runs the toolkit's pending events, idle handlers and delayed deletions for a while.
void PumpEvents(int milliseconds = 50);

// Waits (pumping events) until done() holds or the time is up; returns done().
bool WaitFor(const std::function<bool()>& done, int milliseconds);

// Reads a whole text file; empty when it does not exist.
inline wxString ReadTextFile(const wxString& path)
{
    return wxString::FromUTF8(ReadFile(path.utf8_string()));
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown main window, built as the application builds it.
    CMainFrame* MakeFrame();
    // A window with the coffee photo (600 x 400) open.
    CMainFrame* OpenCoffee();
    // A shown window holding a cols x rows DistinctPixelsPicture (opened from a file as the open
    // command opens it), with painting switched on the way the mask commands switch it on, when
    // paint is true.
    CMainFrame* FrameShowing(int cols, int rows, bool paint);
    // Closes a main window without asking and lets the toolkit destroy it; another window can
    // then be made.
    void CloseQuietly(CMainFrame* frame);
    wxString SettingsFile() const;
    // What kerv-cli makes of picture with the options (the reference for the window's runs).
    wxImage KervCli(const wxString& options, const wxString& picture);

private:
    // Made before home and work, which name them.
    TempDir homeDir;
    TempDir workDir;
    wxString previousCwd;

protected:
    wxString home = wxString::FromUTF8(homeDir.Path());
    wxString work = wxString::FromUTF8(workDir.Path());
};

#endif
