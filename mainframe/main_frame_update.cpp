// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the update check. The network, the comparison and the hand-over live in
// update/update_check; these handlers connect them to the window, its start-up timer and the
// close path (bCloseForUpdate skips the exit question).
#include "config_keys.h"
#include "main_frame.h"

#include "app_identity.h"
#include "dont_show_dialog.h"
#include "update_check.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

void CMainFrame::OnCheckUpdate(wxCommandEvent& /*event*/)
{
    // Refused like every other command while a run carves: accepting an update would close
    // the window under the run.
    if (IsCarving())
        return;
    StartCheckUpdate();
}

void CMainFrame::OnStartUpTimer(wxTimerEvent& /*event*/)
{
    if (!IsCarving())
        RemindOfUpdateCheck(
            wxDateTime::Now(),
            [this] {
                CDontShowDialog dialog(this, -1, _("Check for Updates ?"));
                return static_cast<long>(dialog.ShowModal(
                    kKeyConfirmAutoUpdate,
                    _("You haven't checked for updates since more than five days - Check Now ?")));
            },
            [this] { StartCheckUpdate(); });
    CleanUpLeftArchive(wxConfigBase::Get());
}

void CMainFrame::StartCheckUpdate()
{
    RunUpdateCheck(this, [this](const wxString& proxy) { return DoCheckUpdate(proxy); });
}

bool CMainFrame::DoCheckUpdate(wxString proxy)
{
    wxString serverVersion;
    CheckOutcome outcome =
        CheckServerVersion(this, GetServerAddress(), proxy, szVersion, serverVersion);
    if (outcome == CheckOutcome::Accepted)
        DoUpdate(serverVersion);
    return outcome != CheckOutcome::Failed;
}

void CMainFrame::DoUpdate(wxString serverVersion)
{
    if (IsCarving())
        return;
    // The updater ends this program: unsaved changes are asked about before it starts.
    if (session.IsModified() && !AskDismissChanges())
        return;
    const wxString programDir =
        wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath(wxPATH_GET_VOLUME);
    const std::vector<wxString> command =
        UpdaterCommand(programDir, GetServerAddress(), szVersion, serverVersion);
    // Kerv closes only once the updater runs: without it the user would be left with neither.
    if (command.empty() || !IsRunnableFile(command.front()) || StartUpdater(command) <= 0) {
        const wxString updater = command.empty() ? wxString() : command.front();
        wxMessageBox(wxString::Format(_("The updater %s is missing or cannot be started, so Kerv "
                                        "stays open.\nPlease install the new version by hand."),
                                      updater),
                     _("Error"), wxOK | wxICON_ERROR, this);
        return;
    }
    bCloseForUpdate = true;
    if (!Close(false))
        bCloseForUpdate = false;  // a refused close leaves the exit question as it was
}
