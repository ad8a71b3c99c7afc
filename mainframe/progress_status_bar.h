// SPDX-License-Identifier: GPL-3.0-or-later
// ProgressStatusBar: the main window's status bar. Field 0 shows menu and tool help; field 1
// holds a progress gauge and an "Abort" button that the carving runs drive:
//   SetRange(total) -> Step() (or SetProgress(done)) after every seam -> Finish().
// Idle (gauge at 0, gauge and button disabled) after the first layout and after every Finish;
// busy from SetRange to the next Finish. Field 2 shows the percentage done and the time left
// while a run has been busy for more than a second, and is empty otherwise.
#ifndef KERV_MAINFRAME_PROGRESS_STATUS_BAR_H
#define KERV_MAINFRAME_PROGRESS_STATUS_BAR_H

#include <chrono>

#include <wx/statusbr.h>

#include "theme_attributes.h"

class CMainFrame;
class wxButton;
class wxGauge;

class ProgressStatusBar : public wxStatusBar {
public:
    // parent must be the main window: "Abort" sets its bCancelCalc.
    ProgressStatusBar(wxWindow* parent, int id, long style, const wxString& name);
    ~ProgressStatusBar() override;

    // Forwards to the toolkit's status bar (kept so that callers have one place to hook).
    void SetStatusText(const wxString& text, int field = 0);

    void SetRange(int n);
    void SetProgress(int v);
    // One step of a run: the gauge advances by one, then the toolkit handles what is waiting
    // (repaints, "Abort", other commands), at most about 25 times a second.
    void Step();
    void Finish();

    // The theme's font and colours, looked up once per theme (see theme_attributes.h).
    wxVisualAttributes GetDefaultAttributes() const override;

    void OnSize(wxSizeEvent& event);
    void OnBtnProgressCancel(wxCommandEvent& event);

    CMainFrame* pFrame;
    wxGauge* gaugeProgress;
    wxButton* btnProgressCancel;
    int nRange;  // never negative

private:
    // Between SetRange and Finish. Layout keeps the controls enabled while busy, so that
    // resizing the window during a run does not take "Abort" away from the user.
    bool bBusy = false;
    // When Step last let the toolkit handle its events. Handling them costs about as much as
    // carving a seam; 25 times a second keeps the gauge moving smoothly and "Abort" prompt.
    std::chrono::steady_clock::time_point timeLastYield;
    // When SetRange started the run, and what field 2 shows of it.
    std::chrono::steady_clock::time_point timeStarted;
    wxString strEstimate;
    ThemeAttributes themeAttributes{*this};

    // Field 2 for the run's progress so far.
    void ShowEstimate(std::chrono::steady_clock::time_point now);

    wxDECLARE_EVENT_TABLE();
};

#endif
