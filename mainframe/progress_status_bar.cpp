// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_status_bar.h"

#include <cmath>
#include <cstdlib>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/intl.h>

#include "instant_states.h"
#include "main_frame.h"
#include "main_frame_ids.h"

namespace {

// A run shorter than this shows no estimate: it would only flicker.
constexpr std::chrono::seconds kEstimateAfter(1);

}  // namespace

wxBEGIN_EVENT_TABLE(ProgressStatusBar, wxStatusBar)
    EVT_SIZE(ProgressStatusBar::OnSize)
    EVT_BUTTON(ID_BTN_PROGRESS_CANCEL, ProgressStatusBar::OnBtnProgressCancel)
wxEND_EVENT_TABLE()

ProgressStatusBar::ProgressStatusBar(wxWindow* parent, int id, long style, const wxString& name)
    : wxStatusBar(parent, id, style, name), pFrame(static_cast<CMainFrame*>(parent)),
      gaugeProgress(nullptr), btnProgressCancel(nullptr), nRange(0)
{
    gaugeProgress = new wxGauge(this, wxID_ANY, 100, wxPoint(0, 0), wxDefaultSize,
                                wxGA_HORIZONTAL | wxGA_SMOOTH);
    btnProgressCancel = new wxButton(this, ID_BTN_PROGRESS_CANCEL, _("Abort"), wxDefaultPosition,
                                     wxDefaultSize, wxBU_EXACTFIT);
    btnProgressCancel->SetFont(wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL,
                                      wxFONTWEIGHT_NORMAL, false, wxEmptyString));
    gaugeProgress->SetValue(0);
    // Every run enables the gauge and "Abort" at its start and disables them at its end.
    ChangeStatesInstantly(*this);
}

ProgressStatusBar::~ProgressStatusBar()
{
    delete gaugeProgress;
    delete btnProgressCancel;
}

wxVisualAttributes ProgressStatusBar::GetDefaultAttributes() const
{
    return themeAttributes.Get([this] { return wxStatusBar::GetDefaultAttributes(); });
}

void ProgressStatusBar::SetStatusText(const wxString& text, int field)
{
    wxStatusBar::SetStatusText(text, field);
}

void ProgressStatusBar::SetRange(int n)
{
    // |INT_MIN| does not exist; no run has that many steps anyway.
    nRange = n == INT_MIN ? INT_MAX : std::abs(n);
    gaugeProgress->SetRange(nRange);
    gaugeProgress->SetValue(0);
    bBusy = true;
    timeLastYield = {};  // the first step lets the window show the run has started
    timeStarted = std::chrono::steady_clock::now();
    btnProgressCancel->Enable();
    gaugeProgress->Enable();
}

void ProgressStatusBar::SetProgress(int v)
{
    // The toolkit refuses values outside the range; a run never has more steps than its range.
    if (v < 0)
        v = 0;
    if (v > nRange)
        v = nRange;
    gaugeProgress->SetValue(v);
}

void ProgressStatusBar::Step()
{
    SetProgress(gaugeProgress->GetValue() + 1);
    const auto now = std::chrono::steady_clock::now();
    if (now - timeLastYield < std::chrono::milliseconds(40))
        return;
    timeLastYield = now;
    ShowEstimate(now);
    // A yield asked for while another one is in progress does nothing: a run started inside
    // one cannot make the window respond, and gives up waiting instead of spinning for ever.
    while (wxTheApp->Pending()) {
        if (!wxTheApp->Yield(true))
            break;
    }
}

void ProgressStatusBar::ShowEstimate(std::chrono::steady_clock::time_point now)
{
    const int done = gaugeProgress->GetValue();
    const auto elapsed = now - timeStarted;
    if (elapsed < kEstimateAfter || done <= 0 || nRange <= 0)
        return;
    // The remaining steps at the mean pace so far, in whole seconds rounded up.
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const long long left = static_cast<long long>(std::ceil(seconds * (nRange - done) / done));
    const wxString estimate =
        wxString::Format(_("%d%% done, %lld:%02lld left"), static_cast<int>(100LL * done / nRange),
                         left / 60, left % 60);
    if (estimate != strEstimate) {
        strEstimate = estimate;
        wxStatusBar::SetStatusText(estimate, 2);
    }
}

void ProgressStatusBar::Finish()
{
    if (!strEstimate.empty()) {
        strEstimate.clear();
        wxStatusBar::SetStatusText(wxEmptyString, 2);
    }
    gaugeProgress->SetValue(0);
    bBusy = false;
    btnProgressCancel->Disable();
    gaugeProgress->Disable();
    pFrame->SetCancelCalc(false);
}

void ProgressStatusBar::OnSize(wxSizeEvent& event)
{
    wxRect r;
    if (GetFieldRect(1, r)) {
        // A very narrow window would give negative widths, which the toolkit reads as "default".
        gaugeProgress->SetSize(r.x + 2, r.y + 2, std::max(1, r.width - 104),
                               std::max(1, r.height - 4));
        btnProgressCancel->SetSize(r.x + r.width - 100, r.y, 96, std::max(1, r.height));
    }
    gaugeProgress->Show();
    btnProgressCancel->Show();
    gaugeProgress->Enable(bBusy);
    btnProgressCancel->Enable(bBusy);
    event.Skip();
}

void ProgressStatusBar::OnBtnProgressCancel(wxCommandEvent& WXUNUSED(event))
{
    pFrame->SetCancelCalc(true);
}
