// SPDX-License-Identifier: GPL-3.0-or-later
// Shared steps of the tests of the Kerv run and the mask commands: a sample picture opened in a
// main window, pointer strokes on its canvas, clicks on its controls, and pixel counts.
#ifndef KERV_TESTS_GUI_CARVE_TEST_SUPPORT_H
#define KERV_TESTS_GUI_CARVE_TEST_SUPPORT_H

#include <wx/filedlg.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/string.h>
#include <wx/testing.h>

class CMainFrame;
class wxCheckBox;
class wxWindow;

// Copies the sample picture `name` into folder and returns the copy's path.
wxString CopySample(const wxString& name, const wxString& folder);

// Opens path in the window as the open command does.
void OpenPicture(CMainFrame* frame, wxString path);

// A click on a button, as the toolkit delivers it (to the button first, then its parents).
void Click(wxWindow* button);
// Sets a check box and delivers the click event that the user's click would.
void SetChecked(wxCheckBox* box, bool checked);
// Types the two absolute targets without going through the typing handlers.
void SetTargets(CMainFrame* frame, int width, int height);

// Drags the pointer over the canvas from `from` to `to` (window coordinates) with the left
// button held, in small steps, and lets it go at the end.
void PaintStroke(CMainFrame* frame, wxPoint from, wxPoint to);
// Moves the pointer over the canvas without a button.
void MovePointer(CMainFrame* frame, wxPoint to);

// The canvas's mask as a picture (not OK when there is none).
wxImage MaskImage(CMainFrame* frame);
// Pixels of exactly that colour.
int CountPixels(const wxImage& image, unsigned char r, unsigned char g, unsigned char b);
// Whether two pictures have the same size and the same pixels.
bool SamePixels(const wxImage& a, const wxImage& b);

// Answers a file dialog with path after checking the path it proposed (when proposed is not
// empty).
class ExpectFileDialog : public wxExpectModalBase<wxFileDialog, ExpectFileDialog> {
public:
    explicit ExpectFileDialog(const wxString& path, const wxString& proposed = wxString(),
                              const wxString& title = wxString())
        : m_path(path), m_proposed(proposed), m_title(title)
    {
    }

protected:
    int OnInvoked(wxFileDialog* dialog) const override;

private:
    wxString m_path;
    wxString m_proposed;
    wxString m_title;
};

#endif
