// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the zoom box on the tool bar, the View menu's zoom commands and the splitter's sash.
#include "main_frame.h"

#include <wx/accel.h>
#include <wx/combobox.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/splitter.h>

#include "main_frame_ids.h"
#include "paint_panel.h"
#include "zoom_value.h"

namespace {

// The zoom box's text for a zoom: "Fit" while the canvas follows the pane, else "135%".
wxString ZoomText(int zoom, bool fit)
{
    return fit ? _("Fit") : wxString::Format("%d%%", zoom);
}

bool IsFitText(wxString text)
{
    text.Trim(true).Trim(false);
    return text.IsSameAs(_("Fit"), false) || text.IsSameAs("Fit", false);
}

}  // namespace

void CMainFrame::AppendZoomCommands(wxMenu* menuView)
{
    menuView->Append(ID_MENU_ZOOM_IN, _("Zoom &In\tCtrl++"), _("Show the picture larger"));
    menuView->Append(ID_MENU_ZOOM_OUT, _("Zoom &Out\tCtrl+-"), _("Show the picture smaller"));
    menuView->Append(ID_MENU_ZOOM_ACTUAL, _("&Actual Size\tCtrl+0"),
                     _("Show the picture at 100 %"));
    menuView->Append(ID_MENU_ZOOM_FIT, _("Zoom to &Fit"), _("Show the whole picture in the pane"));
}

std::vector<wxAcceleratorEntry> CMainFrame::ZoomKeysWithoutShift()
{
    return {{wxACCEL_CTRL, '=', ID_MENU_ZOOM_IN},
            {wxACCEL_CTRL, WXK_NUMPAD_ADD, ID_MENU_ZOOM_IN},
            {wxACCEL_CTRL, WXK_NUMPAD_SUBTRACT, ID_MENU_ZOOM_OUT},
            {wxACCEL_CTRL, WXK_NUMPAD0, ID_MENU_ZOOM_ACTUAL}};
}

int CMainFrame::ProcessZoom(wxString text)
{
    if (text.empty())
        text = comboZoom->GetValue();
    return ParseZoom(text);
}

void CMainFrame::ZoomChanged(int zoom, bool fit)
{
    timerZoom.Stop();
    comboZoom->ChangeValue(ZoomText(zoom, fit));
}

void CMainFrame::FocusPicture()
{
    // The list's pop-up hands the keyboard back to the box after the choice's event.
    CallAfter([this] {
        if (paintPanel != nullptr && !paintPanel->HasFocus())
            paintPanel->SetFocus();
    });
}

void CMainFrame::OnComboZoom(wxCommandEvent& event)
{
    if (IsFitText(event.GetString())) {
        paintPanel->SetFitZoom();
        FocusPicture();
        return;
    }
    const int zoom = ProcessZoom(event.GetString());
    if (zoom > 0) {
        paintPanel->SetZoom(zoom);
        FocusPicture();
        return;
    }
    wxMessageBox(_("Cannot parse zoom value. Correct Values (135% or 135 % or 12 %)"), _("Error"),
                 wxOK | wxICON_ERROR, this);
}

void CMainFrame::OnComboZoomText(wxCommandEvent& WXUNUSED(event))
{
    if (timerZoom.IsRunning())
        timerZoom.Stop();
    timerZoom.StartOnce(1000);
}

void CMainFrame::ApplyZoomText()
{
    timerZoom.Stop();
    if (IsFitText(comboZoom->GetValue())) {
        paintPanel->SetFitZoom();
        return;
    }
    const int zoom = ProcessZoom(wxEmptyString);
    if (zoom > 0)
        paintPanel->SetZoom(zoom);
    else
        comboZoom->ChangeValue(ZoomText(paintPanel->zoom, paintPanel->IsFitZoom()));
}

void CMainFrame::OnZoomTimer(wxTimerEvent& WXUNUSED(event))
{
    ApplyZoomText();
}

void CMainFrame::OnComboZoomEnter(wxCommandEvent& WXUNUSED(event))
{
    ApplyZoomText();
    FocusPicture();
}

void CMainFrame::OnZoomIn(wxCommandEvent& WXUNUSED(event))
{
    paintPanel->StepZoomAbout(+1, paintPanel->PaneCentre());
}

void CMainFrame::OnZoomOut(wxCommandEvent& WXUNUSED(event))
{
    paintPanel->StepZoomAbout(-1, paintPanel->PaneCentre());
}

void CMainFrame::OnZoomActual(wxCommandEvent& WXUNUSED(event))
{
    paintPanel->SetZoom(100);
    ZoomChanged(100, false);
}

void CMainFrame::OnZoomFit(wxCommandEvent& WXUNUSED(event))
{
    paintPanel->SetFitZoom();
}

void CMainFrame::OnSashDblClick(wxSplitterEvent& event)
{
    event.Veto();
}
