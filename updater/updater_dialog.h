// SPDX-License-Identifier: GPL-3.0-or-later
// The updater's only window: downloads the archive, verifies and installs it, and starts the
// main program again when it is closed.
#ifndef KERV_UPDATER_DIALOG_H
#define KERV_UPDATER_DIALOG_H

#include "update_pipeline.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdint>

class CUpdaterDialog : public wxDialog {
public:
    CUpdaterDialog(wxWindow* parent, int id, const wxString& title,
                   const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                   long style = wxDEFAULT_DIALOG_STYLE);

    // Shows text in the status line for a while before the first attempt begins.
    void ShowNotice(const wxString& text);

    void DoEnable(bool enable);
    bool DoDownload();
    bool DoExtract(wxString& name);
    void CloseAndRestart();

    // Set once a download, its signature check and its extraction all succeeded.
    bool IsDone() const { return bDone; }
    bool IsBusy() const { return bBusy; }

private:
    void set_properties();
    void do_layout();

    void OnDownload(wxCommandEvent& event);
    void OnBtnCancel(wxCommandEvent& event);
    void OnStartTimer(wxTimerEvent& event);
    void OnCloseMainFrame(wxCloseEvent& event);

    // Lets the window repaint and answer while a download runs; at most every 50 ms.
    void KeepAlive();
    void ShowStatus(const wxString& text);
    void ShowProgress(std::uint64_t received, bool lengthKnown, std::uint64_t length);
    // Ends a failed attempt: the reason in the status line and in an error dialog.
    void Fail(const wxString& status, const wxString& message, const wxString& caption);
    // The failed attempt's reason, in the status line and (unless cancelled) an error dialog.
    void Report(const UpdateResult& result, const UpdateRequest& request);
    void RemoveArchive(const wxString& name);

    class Observer;

    bool bDone;
    bool bBusy;
    bool bCancel;         // the user closed the window during the download: stop it
    bool bCloseWhenIdle;  // close the window as soon as the download has unwound
    bool bClosed;         // the window closed (and the main program was started) already
    wxTimer timerStart;
    // The updater's own folder, taken at start: an update may replace the updater's file, after
    // which the running executable's path names the replaced copy, not this folder.
    wxString strProgramDir;
    wxTextCtrl* textProxyUrl;
    wxTextCtrl* textProxyPort;
    wxButton* btnDownload;
    wxGauge* gaugeDownload;
    wxTextCtrl* textPercent;
    wxTextCtrl* textStatus;
    wxButton* btnClose;

    std::chrono::steady_clock::time_point timeLastPump;

    wxDECLARE_EVENT_TABLE();
};

#endif
