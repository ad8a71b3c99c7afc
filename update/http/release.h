// SPDX-License-Identifier: GPL-3.0-or-later
// What a release is called, as the update check and the updater both see it: the names on the
// server by platform, the rule for version texts, their comparison, and the manifest that a
// release signature covers.
#ifndef KERV_HTTP_RELEASE_H
#define KERV_HTTP_RELEASE_H

#include <wx/platinfo.h>
#include <wx/string.h>

#include <string>

// The updater's own files in the working folder: the download before it is verified, and the
// staging folder of an install. Names with these prefixes belong to the updater alone.
inline constexpr const char* kDownloadPrefix = ".kerv-download-";
inline constexpr const char* kStagingPrefix = ".kerv-staging-";

// The platform-dependent names, by the toolkit's port.
struct UpdateNames {
    wxString strVersionPath;  // "/kerv/kerv_version_lnx.txt"
    wxString strArchivePath;  // "/kerv/%s_Kerv_lnx.tar.gz", %s: the server's version
    wxString strUpdaterName;  // "Kerv_upd_%s", %s: the running version
};

// False on ports without published updates; names then stays empty.
bool GetUpdateNames(wxPortId port, UpdateNames& names);

// A version as it may appear in a URL and a file name: 1 to 32 letters, digits, ".", "_", "-".
bool IsPlainVersion(const wxString& version);

// The server's version from the bytes of the version file: converted with the C library's
// multibyte conversion and cut of trailing white space. The text also ends up in a URL, so
// anything but a short run of letters, digits, ".", "_" and "-" is refused: the result is
// then empty, like that of an empty file.
wxString ParseServerVersion(const std::string& bytes);

// Character comparison, as the published versions have always been compared: "0.7" is newer
// than "0.67", "0.100" is not.
bool IsNewerVersion(const wxString& serverVersion, const wxString& currentVersion);

// The version an archive name announces ("0.68" for "0.68_Kerv_lnx.tar.gz" on GTK); false
// when the name does not follow the port's archive pattern or the version is not plain.
bool VersionOfArchive(wxPortId port, const wxString& archiveName, wxString& version);

// The text a release signature covers: "kerv-update-v1\n<version>\n<archive name>\n<sha256>",
// the digest in 64 lower-case hexadecimal digits, no line feed at the end. Binding version and
// name to the bytes keeps an old signed archive from being offered as a newer version.
std::string ReleaseManifest(const wxString& version, const wxString& archiveName,
                            const std::string& sha256Hex);

#endif
