// SPDX-License-Identifier: GPL-3.0-or-later
// The main program's update check: the version file on the project's web server, the
// comparison with the running version, the five-day reminder, the clean-up of an archive the
// updater could not delete, and the hand-over to the updater. CMainFrame's update handlers
// are thin wrappers around these functions; the server address and the running version are
// passed in, so nothing here depends on the main window.
#ifndef KERV_UPDATE_CHECK_H
#define KERV_UPDATE_CHECK_H

#include "release.h"

#include <wx/datetime.h>
#include <wx/platinfo.h>
#include <wx/string.h>

#include "kerv_layout.h"

#include <functional>
#include <string>
#include <vector>

class wxConfigBase;
class wxWindow;

// "/Operation/LastCheckUpdate" holds the date of the last check, as YYYY-MM-DD; a date in the
// locale's notation (as older versions stored it) is still read.
wxString FormatCheckDate(const wxDateTime& when);
// True when lastCheck is empty, unreadable, or more than five days (432,000,000 ms) before
// now, counted from the stored day's midnight.
bool IsCheckDue(const wxString& lastCheck, const wxDateTime& now);

// The proxy as the update check uses it: "host:port" when a host is stored, else empty.
wxString ProxyFromSettings(const wxString& host, long port);

// How one attempt at the version file ended.
enum class CheckOutcome {
    Failed,    // not reached, or no version in it: the caller may retry through the proxy
    Current,   // reached; the server has nothing newer (the user was told)
    Declined,  // reached; newer, and the user chose not to update now
    Accepted   // reached; newer, and the user wants to update now
};

// Portable: one folder that Kerv_upd updates. System: installed by a package manager, which
// also provides the updates; the check then only tells the user about a newer version.
enum class UpdateLayout { Portable, System };
inline constexpr UpdateLayout kBuildLayout =
    kSystemLayout ? UpdateLayout::System : UpdateLayout::Portable;

// One attempt: fetches <server><version path> directly (proxy empty) or through the proxy,
// stores the date when the file was reached, and tells the user. On Accepted, serverVersion
// holds the version to update to; in the System layout a newer version is only reported
// (Declined), so nothing is ever handed over.
CheckOutcome CheckServerVersion(wxWindow* parent, const wxString& server, const wxString& proxy,
                                const wxString& currentVersion, wxString& serverVersion,
                                UpdateLayout layout = kBuildLayout);

// The whole check on the user's behalf: busy cursor, the direct attempt, then the stored proxy
// when the direct attempt failed, and the error message when neither reached a version.
// attempt(proxy) makes one attempt (CMainFrame::DoCheckUpdate, usually through
// CheckServerVersion) and returns true when it reached a version. Returns the same for the
// whole check; a check already running further up the stack makes it return false at once.
bool RunUpdateCheck(wxWindow* parent, const std::function<bool(const wxString& proxy)>& attempt);

// The updater's command line: its full path beside the main program, and the archive URL.
std::vector<wxString> UpdaterCommand(const wxString& programDir, const wxString& server,
                                     const wxString& currentVersion, const wxString& serverVersion);

// True for an existing regular file that this process may execute.
bool IsRunnableFile(const wxString& path);

// Starts the updater without waiting; returns its process id, 0 when it was not started.
long StartUpdater(const std::vector<wxString>& command);

// The start-up reminder: when a check is due, asks (through ask, which returns non-zero for
// yes) and then runs check. Returns whether the question was due.
bool RemindOfUpdateCheck(const wxDateTime& now, const std::function<long()>& ask,
                         const std::function<void()>& check);

// Deletes the archive named under "/ToDelete" and the entry itself. Only a plain archive
// name in the working directory is deleted; anything else is dropped from the store unused.
void CleanUpLeftArchive(wxConfigBase* config);

#endif
