// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the four target fields of the "Absolute Change" group and their spin buttons.
// Editing one recomputes the others; none of them carves (the Kerv run reads them).
#include "main_frame.h"

#include <algorithm>
#include <string>

#include <wx/checkbox.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include "target_size.h"

namespace {

void SetText(wxTextCtrl* field, int value)
{
    // ChangeValue: the program's own writes are not user edits.
    field->ChangeValue(wxString::Format("%d", value));
}

void SetSpin(wxSpinButton* spin, long long value)
{
    spin->SetValue(static_cast<int>(std::clamp<long long>(value, spin->GetMin(), spin->GetMax())));
}

}  // namespace

int CMainFrame::ReadTargetField(const wxTextCtrl* field) const
{
    return target::ReadLeadingInteger(std::string(field->GetValue().utf8_str()));
}

void CMainFrame::SetWidthHeight(int width, int height)
{
    const bool wasUpdating = bUpdatingControls;
    bUpdatingControls = true;
    if (width != -1) {
        if (nEditSource != 1) {
            SetText(textAbsWidth, width);
            SetSpin(spinAbsWidth, width);
        }
        if (nEditSource != 3) {
            const int percent = session.PercentOf(SizeAxis::Width, width);
            SetText(textPercWidth, percent);
            SetSpin(spinPercWidth, percent);
        }
    }
    if (height != -1) {
        if (nEditSource != 2) {
            SetText(textAbsHeight, height);
            SetSpin(spinAbsHeight, height);
        }
        if (nEditSource != 4) {
            const int percent = session.PercentOf(SizeAxis::Height, height);
            SetText(textPercHeight, percent);
            SetSpin(spinPercHeight, percent);
        }
    }
    nEditSource = -1;
    bUpdatingControls = wasUpdating;
}

// The four recomputations couple the fields through the aspect ratio of the picture as opened,
// never its current size.
void CMainFrame::DoCalcAbsWidth()
{
    if (bUpdatingControls || !session.IsOpen())
        return;
    bUpdatingControls = true;
    const int width = ReadTargetField(textAbsWidth);
    SetWidthHeight(width, -1);
    bUpdatingControls = false;
    if (checkAspect->GetValue())
        SetWidthHeight(-1, session.OtherSideForAspect(SizeAxis::Width, width));
}

void CMainFrame::DoCalcAbsHeight()
{
    if (bUpdatingControls || !session.IsOpen())
        return;
    bUpdatingControls = true;
    const int height = ReadTargetField(textAbsHeight);
    SetWidthHeight(-1, height);
    bUpdatingControls = false;
    if (checkAspect->GetValue())
        SetWidthHeight(session.OtherSideForAspect(SizeAxis::Height, height), -1);
}

void CMainFrame::DoCalcPercWidth()
{
    if (bUpdatingControls || !session.IsOpen())
        return;
    bUpdatingControls = true;
    const int width = session.SizeForPercent(SizeAxis::Width, ReadTargetField(textPercWidth));
    SetWidthHeight(width, -1);
    if (checkAspect->GetValue())
        SetWidthHeight(-1, session.OtherSideForAspect(SizeAxis::Width, width));
    bUpdatingControls = false;
}

void CMainFrame::DoCalcPercHeight()
{
    if (bUpdatingControls || !session.IsOpen())
        return;
    bUpdatingControls = true;
    const int height = session.SizeForPercent(SizeAxis::Height, ReadTargetField(textPercHeight));
    SetWidthHeight(-1, height);
    if (checkAspect->GetValue())
        SetWidthHeight(session.OtherSideForAspect(SizeAxis::Height, height), -1);
    bUpdatingControls = false;
}

void CMainFrame::OnSpinAbsWidthText(wxCommandEvent& WXUNUSED(event))
{
    if (bUpdatingControls)
        return;
    nEditSource = 1;
    DoCalcAbsWidth();
}

void CMainFrame::OnSpinAbsHeightText(wxCommandEvent& WXUNUSED(event))
{
    if (bUpdatingControls)
        return;
    nEditSource = 2;
    DoCalcAbsHeight();
}

void CMainFrame::OnSpinPercWidthText(wxCommandEvent& WXUNUSED(event))
{
    if (bUpdatingControls)
        return;
    nEditSource = 3;
    DoCalcPercWidth();
}

// The height handlers have no guard of their own: DoCalcAbsHeight and DoCalcPercHeight test it.
void CMainFrame::OnSpinPercHeightText(wxCommandEvent& WXUNUSED(event))
{
    nEditSource = 4;
    DoCalcPercHeight();
}

void CMainFrame::OnSpinAbsWidth(wxSpinEvent& event)
{
    if (bUpdatingControls)
        return;
    SetWidthHeight(event.GetPosition(), -1);
    DoCalcAbsWidth();
}

void CMainFrame::OnSpinAbsHeight(wxSpinEvent& event)
{
    SetWidthHeight(-1, event.GetPosition());
    DoCalcAbsHeight();
}

void CMainFrame::OnSpinPercWidth(wxSpinEvent& event)
{
    if (bUpdatingControls)
        return;
    SetText(textPercWidth, event.GetPosition());
    nEditSource = 3;
    DoCalcPercWidth();
}

void CMainFrame::OnSpinPercHeight(wxSpinEvent& event)
{
    SetText(textPercHeight, event.GetPosition());
    nEditSource = 4;
    DoCalcPercHeight();
}
