// SPDX-License-Identifier: GPL-3.0-or-later
#include "update_check.h"
#include "config_keys.h"

#include "http_client.h"

#include <wx/config.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

// The version file is a few bytes; anything over 64 KiB is not one.
HttpLimits VersionFileLimits()
{
    HttpLimits limits;
    limits.nMaxBody = 64 * 1024;
    limits.nIdleSeconds = 10;
    limits.nDeadlineSeconds = 30;
    return limits;
}

bool IsPlainName(const wxString& text, std::size_t maxLength)
{
    if (text.empty() || text.length() > maxLength)
        return false;
    for (wxUniChar c : text) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
        if (!allowed)
            return false;
    }
    return true;
}

// Keeps the windows painted while the check waits for the server (at most every 50 ms). Only
// drawing and sizing are processed, no input, so the user cannot start anything meanwhile.
class RepaintingReceiver : public HttpMemoryReceiver {
public:
    bool Pump() override
    {
        auto now = std::chrono::steady_clock::now();
        if (now - timeLast >= std::chrono::milliseconds(50)) {
            timeLast = now;
            if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
                loop->YieldFor(wxEVT_CATEGORY_UI);
        }
        return true;
    }

private:
    std::chrono::steady_clock::time_point timeLast;
};

}  // namespace

wxString FormatCheckDate(const wxDateTime& when)
{
    // ISO notation rather than the locale's: "%x" has a two-digit year in many locales (the
    // parser then reads 26 as the year 26) and cannot be read back after a change of locale.
    return when.FormatISODate();
}

bool IsCheckDue(const wxString& lastCheck, const wxDateTime& now)
{
    if (lastCheck.empty())
        return true;
    wxDateTime last;
    wxString::const_iterator end;
    if (!last.ParseISODate(lastCheck) && !last.ParseDate(lastCheck, &end))
        return true;
    if (!last.IsValid())
        return true;
    if (last.GetYear() < 100)  // a locale date with a two-digit year, stored by older versions
        last.SetYear(last.GetYear() + 2000);
    last.ResetTime();
    return (now - last).GetMilliseconds() > wxLongLong(432000000);
}

wxString ProxyFromSettings(const wxString& host, long port)
{
    if (host.empty())
        return wxString();
    return wxString::Format("%s:%d", host, static_cast<int>(port));
}

CheckOutcome CheckServerVersion(wxWindow* parent, const wxString& server, const wxString& proxy,
                                const wxString& currentVersion, wxString& serverVersion,
                                UpdateLayout layout)
{
    UpdateNames names;
    if (!GetUpdateNames(wxPlatformInfo::Get().GetPortId(), names))
        return CheckOutcome::Failed;

    RepaintingReceiver receiver;
    HttpResult result =
        HttpGet(server + names.strVersionPath, proxy, VersionFileLimits(), receiver);
    if (!result.Ok()) {
        wxLogDebug("Version file: %s", result.Describe());
        return CheckOutcome::Failed;
    }
    // The file was reached: remember the day, even if it turns out to hold no version.
    wxConfigBase::Get()->Write(kKeyLastCheckUpdate, FormatCheckDate(wxDateTime::Now()));

    wxString version = ParseServerVersion(receiver.strBody);
    if (version.empty())
        return CheckOutcome::Failed;

    const wxString versions =
        wxString::Format(_("Current Version: %s, Server Version: %s"), currentVersion, version);
    if (!IsNewerVersion(version, currentVersion)) {
        wxMessageDialog dialog(parent, versions, _("No new version available"),
                               wxOK | wxICON_INFORMATION);
        dialog.ShowModal();
        return CheckOutcome::Current;
    }
    if (layout == UpdateLayout::System) {
        wxMessageDialog dialog(parent,
                               _("A newer version is available.") + "\n" + versions + "\n" +
                                   _("Your package manager provides it."),
                               _("New version available"), wxOK | wxICON_INFORMATION);
        dialog.ShowModal();
        return CheckOutcome::Declined;
    }
    const wxString question =
        _("Do you want to update now ?") + "\n" + versions + "\n" + _("Program will Close !");
    if (wxMessageBox(question, _("New version available"), wxYES_NO, parent) != wxYES)
        return CheckOutcome::Declined;
    serverVersion = version;
    return CheckOutcome::Accepted;
}

bool RunUpdateCheck(wxWindow* parent, const std::function<bool(const wxString& proxy)>& attempt)
{
    static bool bChecking = false;  // a check is already running further up the stack
    if (bChecking)
        return false;
    bChecking = true;
    struct Done {
        ~Done() { bChecking = false; }
    } done;

    wxBusyCursor busy;
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kGroupProxy);
    const wxString proxy = ProxyFromSettings(config->Read(kKeyProxyUrl, wxEmptyString),
                                             config->ReadLong(kKeyProxyPort, 0));

    // A stored proxy is tried only when the direct attempt did not reach a version.
    bool reached = attempt(wxString());
    if (!reached && !proxy.empty())
        reached = attempt(proxy);
    if (!reached) {
        wxMessageDialog dialog(parent,
                               _("Error connecting to the Internet, or version file not available"),
                               _("Error"), wxOK | wxICON_ERROR);
        dialog.ShowModal();
    }
    return reached;
}

std::vector<wxString> UpdaterCommand(const wxString& programDir, const wxString& server,
                                     const wxString& currentVersion, const wxString& serverVersion)
{
    UpdateNames names;
    if (!GetUpdateNames(wxPlatformInfo::Get().GetPortId(), names))
        return {};
    wxFileName updater(programDir, wxString::Format(names.strUpdaterName, currentVersion));
    return {updater.GetFullPath(), server + wxString::Format(names.strArchivePath, serverVersion)};
}

bool IsRunnableFile(const wxString& path)
{
    return wxFileName::FileExists(path) && wxFileName::IsFileExecutable(path);
}

long StartUpdater(const std::vector<wxString>& command)
{
    if (command.empty())
        return 0;
    // An argument vector rather than one command line: a folder with blanks in its name works.
    std::vector<const wchar_t*> argv;
    for (const wxString& arg : command)
        argv.push_back(arg.wc_str());
    argv.push_back(nullptr);
    return std::max(0L, wxExecute(argv.data(), wxEXEC_ASYNC));
}

bool RemindOfUpdateCheck(const wxDateTime& now, const std::function<long()>& ask,
                         const std::function<void()>& check)
{
    if (!IsCheckDue(wxConfigBase::Get()->Read(kKeyLastCheckUpdate, wxEmptyString), now))
        return false;
    if (ask() != 0)
        check();
    return true;
}

void CleanUpLeftArchive(wxConfigBase* config)
{
    wxLogNull quiet;
    const wxString name = config->Read(kKeyToDelete, wxEmptyString);
    if (name.empty())
        return;
    // The updater records the bare name of its download in the working folder (older updaters
    // the archive's own name).
    wxFileName file(name);
    const wxString lower = name.Lower();
    bool isArchive = lower.EndsWith(".tar.gz") || lower.EndsWith(".zip") || lower.EndsWith(".tar");
    bool isDownload =
        name.StartsWith(kDownloadPrefix) && IsPlainName(name.Mid(strlen(kDownloadPrefix)), 16);
    if (((IsPlainName(name, 200) && name[0] != '.' && isArchive) || isDownload) &&
        file.FileExists() && (file.HasName() || file.HasExt()))
        wxRemoveFile(name);
    config->DeleteEntry(kKeyToDelete);
    config->Flush();
}
