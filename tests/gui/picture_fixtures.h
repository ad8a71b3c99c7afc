// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures and small drivers for the window tests of the file commands and the size controls:
// deterministic test pictures written as files, pixel comparison with the engine, commands sent
// through the window's event table, and message boxes answered with a chosen button.
#ifndef KERV_TESTS_GUI_PICTURE_FIXTURES_H
#define KERV_TESTS_GUI_PICTURE_FIXTURES_H

#include <functional>

#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/string.h>
#include <wx/testing.h>

#include "dont_show_dialog.h"

class CMainFrame;
class wxFastImage;

// Writes a width x height picture with structure for the seams to follow (a few edges over
// noise), by path's extension; with alpha, an alpha channel too. Pictures differ by seed.
void WriteTestPicture(const wxString& path, int width, int height, int seed = 1,
                      bool alpha = false);

// Whether two pictures have the same size and the same RGB bytes.
::testing::AssertionResult SamePixels(const wxImage& expected, const wxImage& actual);

// Sends a menu (or tool) command through the window's event table.
void SendMenu(CMainFrame* frame, int id);
// Clicks a button of the window through the event table.
void ClickButton(CMainFrame* frame, int id);

// Opens path through File, Open and its file dialog (no unsaved changes expected).
void OpenThroughDialog(CMainFrame* frame, const wxString& path);

// Answers a file dialog (open or save) with path. GTK's chooser selects a file only once it has
// read the file's folder, so the answer waits (pumping events) until the dialog reports it.
class ExpectOpenDialog : public wxExpectModalBase<wxFileDialog, ExpectOpenDialog> {
public:
    explicit ExpectOpenDialog(const wxString& path) : m_path(path) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override;

private:
    wxString m_path;
};

// Answers a message box with code (wxID_YES, wxID_NO, wxID_OK) after checking text and caption.
class ExpectAnswer : public wxExpectModalBase<wxMessageDialog, ExpectAnswer> {
public:
    ExpectAnswer(int code, const wxString& message, const wxString& caption)
        : m_code(code), m_message(message), m_caption(caption)
    {
    }

protected:
    int OnInvoked(wxMessageDialog* dialog) const override;
    wxString GetDefaultDescription() const override;

private:
    int m_code;
    wxString m_message;
    wxString m_caption;
};

// Runs check while a CDontShowDialog is shown (the program is then inside the command that
// asked), then answers it with code.
class WhileAsked : public wxExpectModalBase<CDontShowDialog, WhileAsked> {
public:
    WhileAsked(std::function<void()> check, int code) : m_check(std::move(check)), m_code(code) {}

protected:
    int OnInvoked(CDontShowDialog* dialog) const override;

private:
    std::function<void()> m_check;
    int m_code;
};

#endif
