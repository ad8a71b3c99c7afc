// SPDX-License-Identifier: GPL-3.0-or-later
// Where the main program finds its help book and its translation catalogs. The portable places
// come first (the book in the working directory, the catalogs in "I18N" beside the program),
// then the installed ones under the prefix the program lies in (<prefix>/bin/Kerv finds
// <prefix>/share/kerv and <prefix>/share/locale), so one build runs from its own folder as well
// as installed anywhere, and an installed Kerv never depends on the folder it was started in.
#ifndef KERV_APP_DATA_PATHS_H
#define KERV_APP_DATA_PATHS_H

#include <wx/string.h>

#include <vector>

// The catalog lookup prefixes, most specific first: programDir/I18N, then the installed
// locale folder (the toolkit adds its own system folders after these).
std::vector<wxString> CatalogPrefixes(const wxString& programDir);

// The book to hand to the help controller for the given languages (for example "de_DE", "de";
// most specific first): a translated book beside the catalogs (programDir/I18N/<language>/),
// then "kerv" when the working directory holds kerv.zip, kerv.htb or kerv.hhp, then the
// installed translated book, then the installed English one. When there is none, "kerv", so
// that the controller reports the missing book.
wxString FindHelpBook(const wxString& programDir, const std::vector<wxString>& languages);

// The same for the running program and the current locale's language.
wxString FindHelpBook();

// The directory of the running executable.
wxString ProgramDir();

#endif
