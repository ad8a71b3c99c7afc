// SPDX-License-Identifier: GPL-3.0-or-later
#include "release.h"

bool GetUpdateNames(wxPortId port, UpdateNames& names)
{
    switch (port) {
        case wxPORT_GTK:
            names = {"/kerv/kerv_version_lnx.txt", "/kerv/%s_Kerv_lnx.tar.gz", "Kerv_upd_%s"};
            return true;
        case wxPORT_MSW:
            names = {"/kerv/kerv_version_win.txt", "/kerv/%s_Kerv_win.zip", "Kerv_upd_%s.exe"};
            return true;
        default:
            names = UpdateNames();
            return false;
    }
}

bool IsPlainVersion(const wxString& version)
{
    if (version.empty() || version.length() > 32)
        return false;
    for (wxUniChar c : version) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
        if (!allowed)
            return false;
    }
    return true;
}

wxString ParseServerVersion(const std::string& bytes)
{
    size_t length = wxConvLibc.ToWChar(nullptr, 0, bytes.data(), bytes.size());
    if (length == wxCONV_FAILED || length == 0)
        return wxString();
    wxString text(bytes.data(), wxConvLibc, bytes.size());
    text.Trim(true);
    return IsPlainVersion(text) ? text : wxString();
}

bool IsNewerVersion(const wxString& serverVersion, const wxString& currentVersion)
{
    return serverVersion.CmpNoCase(currentVersion) > 0;
}

bool VersionOfArchive(wxPortId port, const wxString& archiveName, wxString& version)
{
    UpdateNames names;
    if (!GetUpdateNames(port, names))
        return false;
    const wxString pattern = names.strArchivePath.AfterLast('/');
    const wxString before = pattern.BeforeFirst('%');
    const wxString after = pattern.AfterFirst('%').Mid(1);  // after "%s"
    if (archiveName.length() <= before.length() + after.length() ||
        !archiveName.StartsWith(before) || !archiveName.EndsWith(after))
        return false;
    const wxString found =
        archiveName.Mid(before.length(), archiveName.length() - before.length() - after.length());
    if (!IsPlainVersion(found))
        return false;
    version = found;
    return true;
}

std::string ReleaseManifest(const wxString& version, const wxString& archiveName,
                            const std::string& sha256Hex)
{
    return "kerv-update-v1\n" + version.ToStdString() + "\n" + archiveName.ToStdString() + "\n" +
           sha256Hex;
}
