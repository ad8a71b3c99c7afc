// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the four target fields of the "Absolute Change" group and their spin buttons.
// Editing one recomputes the others; none of them carves (the Kerv run reads them).
#include "main_frame.h"

#include <algorithm>
#include <climits>
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

// width * 100 / original, truncated toward zero, without overflow for any typed width.
int PercentFor(int size, int original)
{
    const long long percent = static_cast<long long>(size) * 100 / original;
    return static_cast<int>(std::clamp<long long>(percent, INT_MIN, INT_MAX));
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
            const int percent = PercentFor(width, nOrigWidth);
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
            const int percent = PercentFor(height, nOrigHeight);
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
    if (bUpdatingControls || nOrigWidth < 1)
        return;
    bUpdatingControls = true;
    const int width = ReadTargetField(textAbsWidth);
    SetWidthHeight(width, -1);
    bUpdatingControls = false;
    if (checkAspect->GetValue())
        SetWidthHeight(-1, target::HeightForWidth(width, nOrigWidth, nOrigHeight));
}

void CMainFrame::DoCalcAbsHeight()
{
    if (bUpdatingControls || nOrigHeight < 1)
        return;
    bUpdatingControls = true;
    const int height = ReadTargetField(textAbsHeight);
    SetWidthHeight(-1, height);
    bUpdatingControls = false;
    if (checkAspect->GetValue())
        SetWidthHeight(target::WidthForHeight(height, nOrigWidth, nOrigHeight), -1);
}

void CMainFrame::DoCalcPercWidth()
{
    if (bUpdatingControls || nOrigWidth < 1)
        return;
    bUpdatingControls = true;
    const int width = target::PercentOf(nOrigWidth, ReadTargetField(textPercWidth));
    SetWidthHeight(width, -1);
    if (checkAspect->GetValue())
        SetWidthHeight(-1, target::HeightForWidth(width, nOrigWidth, nOrigHeight));
    bUpdatingControls = false;
}

void CMainFrame::DoCalcPercHeight()
{
    if (bUpdatingControls || nOrigHeight < 1)
        return;
    bUpdatingControls = true;
    const int height = target::PercentOf(nOrigHeight, ReadTargetField(textPercHeight));
    SetWidthHeight(-1, height);
    if (checkAspect->GetValue())
        SetWidthHeight(target::WidthForHeight(height, nOrigWidth, nOrigHeight), -1);
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
