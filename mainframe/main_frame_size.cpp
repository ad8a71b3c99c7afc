// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the immediate carving driver (sliders and spin controls), "Reset &Size", the
// status line, and the one-run-at-a-time guard every size-changing command obeys.
#include "config_keys.h"
#include "main_frame.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "dont_show_dialog.h"
#include "paint_panel.h"
#include "progress_status_bar.h"

bool CMainFrame::IsCarving() const
{
    return session.IsCarving() || bCalculating;
}

// The immediate driver for one direction: one seam per pixel of difference, progress and
// "Abort" in the status bar, a yield to the toolkit after every seam. No mask, no calculation
// mode.
int CMainFrame::ImmediateChange(SizeAxis axis, int newSize)
{
    // One run at a time, whichever direction or kind; and nothing to carve without a picture.
    // While painting is on, the immediate controls are off: whatever still arrives from them
    // (a typing delay that ends) must not change the size under the painted mask.
    if (IsCarving() || !session.IsOpen() || checkEnableMask->GetValue())
        return 0;
    const bool isWidth = axis == SizeAxis::Width;
    const int current = session.Current(axis);
    const int difference = newSize - current;
    if (difference == 0)
        return 0;
    // The sliders reach twice the opened size, which on a large picture passes the limits the
    // engine is built for.
    const wxString problem = isWidth ? KervTargetProblem(newSize, session.CurrentHeight())
                                     : KervTargetProblem(session.CurrentWidth(), newSize);
    if (!problem.empty()) {
        wxMessageBox(problem, _("Error"), wxOK | wxICON_ERROR, this);
        UpdateStat();
        return 0;
    }
    const PictureSession::RunKind kind =
        isWidth ? PictureSession::RunKind::Width : PictureSession::RunKind::Height;
    session.BeginRun(kind);

    if (session.IsLongChange(axis, difference)) {
        CDontShowDialog question(this, wxID_ANY, _("Long Calculation"));
        if (question.ShowModal(kKeyConfirmBigSize,
                               _("New image might lead to long calculations - continue?")) == 0) {
            (isWidth ? spinWidth : spinHeight)->SetValue(current);
            session.EndRun(kind);
            return 0;
        }
    }

    ApplyEnergyMode();
    RememberStep();
    const bool remove = difference < 0;
    const int seams = std::abs(difference);
    pStatusBar->SetRange(seams);
    for (int i = 0; i < seams && !bCancelCalc; ++i) {
        session.CarveSeam(axis, remove);
        pStatusBar->Step();
    }
    paintPanel->Refresh();
    pStatusBar->Finish();
    // Set before the status update, so that "Reset &Size" stays available even when the run
    // returned to the opened size.
    session.SetModified(true);
    UpdateStat();
    session.EndRun(kind);
    UpdateUndoMenu();
    if (bCloseAfterCalc)
        Close(true);
    return difference;
}

int CMainFrame::WidthChange(int newWidth)
{
    return ImmediateChange(SizeAxis::Width, newWidth);
}

int CMainFrame::HeightChange(int newHeight)
{
    return ImmediateChange(SizeAxis::Height, newHeight);
}

void CMainFrame::UpdateStat()
{
    if (!session.IsOpen())
        return;
    const int width = session.CurrentWidth();
    const int height = session.CurrentHeight();
    const float percentWidth = static_cast<float>(width * 100.0 / session.OriginalWidth());
    const float percentHeight = static_cast<float>(height * 100.0 / session.OriginalHeight());
    textCurrent->SetLabel(
        wxString::Format(_("Current: Width: %.2f%%, Height:%.2f%%"), percentWidth, percentHeight));
    const bool wasUpdating = bUpdatingControls;
    bUpdatingControls = true;
    // The ranges reach twice the opened size, and further when a Kerv run went beyond it, so
    // that the controls can show the current size and one step is one seam.
    const int maxWidth = std::max(2 * session.OriginalWidth(), width);
    const int maxHeight = std::max(2 * session.OriginalHeight(), height);
    spinWidth->SetRange(1, maxWidth);
    sliderWidth->SetRange(1, maxWidth);
    spinHeight->SetRange(1, maxHeight);
    sliderHeight->SetRange(1, maxHeight);
    spinWidth->SetValue(width);
    sliderWidth->SetValue(width);
    spinHeight->SetValue(height);
    sliderHeight->SetValue(height);
    bUpdatingControls = wasUpdating;
    btnResetSize->Enable(session.CanReset());
    UpdateUndoMenu();
    // What a view draws of the picture may have changed, whatever its size.
    if (ShowsView())
        RedrawPicture();
}

void CMainFrame::DoEnableSizeControls(bool enable)
{
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             sliderWidth, spinWidth, sliderHeight, spinHeight, textAbsWidth, spinAbsWidth,
             textAbsHeight, spinAbsHeight, textPercWidth, spinPercWidth, textPercHeight,
             spinPercHeight, checkAspect, checkAnimated, btnKerv, btnRemoveObject})
        control->Enable(enable);
    if (!enable)
        btnResetSize->Disable();
}

void CMainFrame::OnHeight100(wxCommandEvent& WXUNUSED(event))
{
    if (IsCarving() || !session.IsOpen())
        return;
    std::optional<wxBusyCursor> busy(std::in_place);
    // A file that can no longer be read, or that now holds a picture of another size, leaves
    // the current picture as it is.
    const PictureSession::MaskState mask = CurrentMaskState();
    if (!session.Reset(&mask)) {
        busy.reset();
        wxMessageBox(_("Error opening image"), _("Error"), wxOK | wxICON_ERROR, this);
        return;
    }
    ApplyEnergyMode();
    paintPanel->Init(session.CurrentWidth(), session.CurrentHeight());
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
        TypedSizeChange(SizeAxis::Width);
    event.Skip();
}

void CMainFrame::OnHeightTimer(wxTimerEvent& event)
{
    if (!bUpdatingControls)
        TypedSizeChange(SizeAxis::Height);
    event.Skip();
}

void CMainFrame::TypedSizeChange(SizeAxis axis)
{
    wxSpinCtrl* spin = axis == SizeAxis::Width ? spinWidth : spinHeight;
    // The typed text itself: the control's value would read an empty or non-numeric text as
    // its minimum, 1 pixel.
    int size = 0;
    if (PictureSession::ReadSizeText(spin->GetTextValue(), size) &&
        ImmediateChange(axis, std::clamp(size, spin->GetMin(), spin->GetMax())) != 0)
        return;
    // Nothing carved: the field shows the current size again.
    UpdateStat();
}
