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
#include <wx/stdpaths.h>

void CMainFrame::OnCheckUpdate(wxCommandEvent& /*event*/)
{
    StartCheckUpdate();
}

void CMainFrame::OnStartUpTimer(wxTimerEvent& /*event*/)
{
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
    const wxString programDir =
        wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath(wxPATH_GET_VOLUME);
    if (StartUpdater(UpdaterCommand(programDir, GetServerAddress(), szVersion, serverVersion)) >
        0) {
        bCloseForUpdate = true;
        Close(false);
    }
}
