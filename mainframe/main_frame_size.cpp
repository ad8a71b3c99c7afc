// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the immediate carving driver (sliders and spin controls), "Reset &Size", the
// status line, and the one-run-at-a-time guard every size-changing command obeys. The target
// fields are in main_frame_targets.cpp.
#include "config_keys.h"
#include "main_frame.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "dont_show_dialog.h"
#include "dp.h"
#include "paint_panel.h"
#include "progress_status_bar.h"

namespace {

// A run of the immediate driver in that direction is in progress (WidthChange, HeightChange;
// IsCarving reads them too).
bool bWidthChanging = false;
bool bHeightChanging = false;

// What differs between the width and the height driver: the same steps with rows and columns
// exchanged.
struct Axis {
    bool isWidth;
    bool& changing;
    int& current;
    int other;  // the current size of the other dimension
    int original;
    wxSpinCtrl* spin;
    const int* (DP::*carve)(bool remove);
    int DP::*engineSize;
};

}  // namespace

bool CMainFrame::IsCarving() const
{
    return bWidthChanging || bHeightChanging || bCalculating;
}

namespace {

// The immediate driver for one direction: one seam per pixel of difference, progress and
// "Abort" in the status bar, a yield to the toolkit after every seam. No mask, no
// calculation mode.
int ImmediateChange(CMainFrame& frame, const Axis& axis, int newSize)
{
    // One run at a time, whichever direction or kind; and nothing to carve without an engine.
    if (frame.IsCarving() || !frame.pDP)
        return 0;
    const int difference = newSize - axis.current;
    if (difference == 0)
        return 0;
    // The sliders reach twice the opened size, which on a large picture passes the limits the
    // engine is built for.
    const wxString problem = axis.isWidth ? CMainFrame::KervTargetProblem(newSize, axis.other)
                                          : CMainFrame::KervTargetProblem(axis.other, newSize);
    if (!problem.empty()) {
        wxMessageBox(problem, _("Error"), wxOK | wxICON_ERROR, &frame);
        frame.UpdateStat();
        return 0;
    }
    axis.changing = true;

    const bool large = std::abs(difference) >= 0.5 * axis.original && axis.original > 200;
    if (large) {
        CDontShowDialog question(&frame, wxID_ANY, _("Long Calculation"));
        if (question.ShowModal(kKeyConfirmBigSize,
                               _("New image might lead to long calculations - continue?")) == 0) {
            axis.spin->SetValue(axis.current);
            axis.changing = false;
            return 0;
        }
    }

    const bool remove = difference < 0;
    const int seams = std::abs(difference);
    frame.pStatusBar->SetRange(seams);
    for (int i = 0; i < seams && !frame.bCancelCalc && frame.pDP; ++i) {
        (frame.pDP->*axis.carve)(remove);
        frame.pStatusBar->Step();
    }
    frame.paintPanel->Refresh();

    // The engine knows how far the run got, aborted or not.
    if (frame.pDP)
        axis.current = frame.pDP->*axis.engineSize;
    frame.pStatusBar->Finish();
    // Set before the status update, so that "Reset &Size" stays available even when the run
    // returned to the opened size.
    frame.bImageModified = true;
    frame.UpdateStat();
    axis.changing = false;
    if (frame.bCloseAfterCalc)
        frame.Close(true);
    return difference;
}

}  // namespace

int CMainFrame::WidthChange(int newWidth)
{
    return ImmediateChange(*this,
                           {true, bWidthChanging, nCurWidth, nCurHeight, nOrigWidth, spinWidth,
                            &DP::GetSeam_Vert, &DP::cols},
                           newWidth);
}

int CMainFrame::HeightChange(int newHeight)
{
    return ImmediateChange(*this,
                           {false, bHeightChanging, nCurHeight, nCurWidth, nOrigHeight, spinHeight,
                            &DP::GetSeam_Horz, &DP::rows},
                           newHeight);
}

void CMainFrame::UpdateStat()
{
    if (nOrigWidth < 1 || nOrigHeight < 1)
        return;
    const float percentWidth = static_cast<float>(nCurWidth * 100.0 / nOrigWidth);
    const float percentHeight = static_cast<float>(nCurHeight * 100.0 / nOrigHeight);
    textCurrent->SetLabel(
        wxString::Format(_("Current: Width: %.2f%%, Height:%.2f%%"), percentWidth, percentHeight));
    const bool wasUpdating = bUpdatingControls;
    bUpdatingControls = true;
    spinWidth->SetValue(nCurWidth);
    sliderWidth->SetValue(nCurWidth);
    spinHeight->SetValue(nCurHeight);
    sliderHeight->SetValue(nCurHeight);
    bUpdatingControls = wasUpdating;
    btnResetSize->Enable(nCurHeight != nOrigHeight || nCurWidth != nOrigWidth || bImageModified);
}

void CMainFrame::DoEnableSizeControls(bool enable)
{
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             sliderWidth, spinWidth, sliderHeight, spinHeight, textAbsWidth, spinAbsWidth,
             textAbsHeight, spinAbsHeight, textPercWidth, spinPercWidth, textPercHeight,
             spinPercHeight, checkAspect, checkAnimated, btnKerv})
        control->Enable(enable);
    if (!enable)
        btnResetSize->Disable();
}

void CMainFrame::OnHeight100(wxCommandEvent& WXUNUSED(event))
{
    if (IsCarving() || !pDP)
        return;
    std::optional<wxBusyCursor> busy(std::in_place);
    // The new engine is built before the old one goes: a file that can no longer be read, or
    // that now holds a picture of another size, leaves the current picture as it is.
    std::unique_ptr<DP> fresh;
    {
        wxLogNull quiet;  // the error box below is the one report
        fresh = std::make_unique<DP>(strFileName, &imgEnergyCache);
    }
    if (fresh->cols != nOrigWidth || fresh->rows != nOrigHeight ||
        fresh->GetColourImage().GetAlpha()) {
        busy.reset();
        wxMessageBox(_("Error opening image"), _("Error"), wxOK | wxICON_ERROR, this);
        return;
    }
    delete pDP;
    pDP = fresh.release();
    nCurWidth = pDP->cols;
    nCurHeight = pDP->rows;
    paintPanel->Init(nCurWidth, nCurHeight);
    paintPanel->Refresh();
    UpdateStat();
}

void CMainFrame::OnWidthScroll(wxScrollEvent& event)
{
    if (!bUpdatingControls)
        WidthChange(sliderWidth->GetValue());
    event.Skip();
}

void CMainFrame::OnWidthEndScroll(wxScrollEvent& event)
{
    if (!bUpdatingControls)
        WidthChange(sliderWidth->GetValue());
    event.Skip();
}

void CMainFrame::OnHeightScroll(wxScrollEvent& event)
{
    if (!bUpdatingControls)
        HeightChange(sliderHeight->GetValue());
    event.Skip();
}

void CMainFrame::OnHeightEndScroll(wxScrollEvent& event)
{
    if (!bUpdatingControls)
        HeightChange(sliderHeight->GetValue());
    event.Skip();
}

void CMainFrame::OnSpinWidth(wxSpinEvent& event)
{
    if (!bUpdatingControls)
        WidthChange(spinWidth->GetValue());
    event.Skip();
}

void CMainFrame::OnSpinHeight(wxSpinEvent& event)
{
    if (!bUpdatingControls)
        HeightChange(spinHeight->GetValue());
    event.Skip();
}

// Typing into the immediate spin controls carves one second after the last change.
void CMainFrame::OnSpinWidthText(wxCommandEvent& WXUNUSED(event))
{
    if (bUpdatingControls)
        return;
    timerWidth.Stop();
    timerWidth.StartOnce(1000);
}

void CMainFrame::OnSpinHeightText(wxCommandEvent& WXUNUSED(event))
{
    if (bUpdatingControls)
        return;
    timerHeight.Stop();
    timerHeight.StartOnce(1000);
}

void CMainFrame::OnWidthTimer(wxTimerEvent& event)
{
    if (!bUpdatingControls)
        WidthChange(spinWidth->GetValue());
    event.Skip();
}

void CMainFrame::OnHeightTimer(wxTimerEvent& event)
{
    if (!bUpdatingControls)
        HeightChange(spinHeight->GetValue());
    event.Skip();
}
