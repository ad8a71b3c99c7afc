// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the zoom box on the tool bar and the splitter's sash.
#include "main_frame.h"

#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/splitter.h>

#include "paint_panel.h"
#include "zoom_value.h"

int CMainFrame::ProcessZoom(wxString text)
{
    if (text.empty())
        text = comboZoom->GetValue();
    return ParseZoom(text);
}

void CMainFrame::OnComboZoom(wxCommandEvent& event)
{
    const int zoom = ProcessZoom(event.GetString());
    if (zoom > 0) {
        paintPanel->SetZoom(zoom);
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

void CMainFrame::OnZoomTimer(wxTimerEvent& WXUNUSED(event))
{
    const int zoom = ProcessZoom(wxEmptyString);
    if (zoom > 0)
        paintPanel->SetZoom(zoom);
}

void CMainFrame::OnSashDblClick(wxSplitterEvent& event)
{
    event.Veto();
}
