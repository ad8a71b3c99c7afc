// SPDX-License-Identifier: GPL-3.0-or-later
#include "data_paths.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/stdpaths.h>

// Set by CMake from the install layout, relative to the folder of the programs (for example
// "../share"), so that a tree installed under any prefix, or moved, still finds its data.
#ifndef KERV_DATADIR_FROM_BINDIR
#define KERV_DATADIR_FROM_BINDIR "../share"
#endif
#ifndef KERV_LOCALEDIR_FROM_BINDIR
#define KERV_LOCALEDIR_FROM_BINDIR "../share/locale"
#endif

namespace {

wxString Under(const wxString& dir, const wxString& relative)
{
    wxFileName name = wxFileName::DirName(dir + wxFILE_SEP_PATH + relative);
    name.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    return name.GetPath();
}

bool IsFile(const wxString& path)
{
    return wxFileName::FileExists(path);
}

// The working directory holds a book the controller finds by the name "kerv" alone.
bool BookInWorkingDirectory()
{
    for (const char* extension : {".zip", ".htb", ".hhp"})
        if (IsFile(wxString("kerv") + extension))
            return true;
    return false;
}

}  // namespace

std::vector<wxString> CatalogPrefixes(const wxString& programDir)
{
    return {programDir + wxFILE_SEP_PATH + "I18N", Under(programDir, KERV_LOCALEDIR_FROM_BINDIR)};
}

wxString FindHelpBook(const wxString& programDir, const std::vector<wxString>& languages)
{
    const wxString sep = wxFILE_SEP_PATH;
    for (const wxString& language : languages) {
        const wxString portable = programDir + sep + "I18N" + sep + language + sep + "kerv.htb";
        if (IsFile(portable))
            return portable;
    }
    if (BookInWorkingDirectory())
        return "kerv";
    const wxString installed = Under(programDir, KERV_DATADIR_FROM_BINDIR) + sep + "kerv";
    for (const wxString& language : languages) {
        const wxString book = installed + sep + language + sep + "kerv.htb";
        if (IsFile(book))
            return book;
    }
    if (IsFile(installed + sep + "kerv.htb"))
        return installed + sep + "kerv.htb";
    return "kerv";
}

wxString FindHelpBook()
{
    std::vector<wxString> languages;
    if (const wxLocale* locale = wxGetLocale()) {
        const wxString name = locale->GetCanonicalName();  // "de_DE", "de" or empty
        if (!name.empty() && !name.StartsWith("en")) {
            languages.push_back(name);
            if (name.find('_') != wxString::npos)
                languages.push_back(name.BeforeFirst('_'));
        }
    }
    return FindHelpBook(ProgramDir(), languages);
}

wxString ProgramDir()
{
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath(wxPATH_GET_VOLUME);
}
