// SPDX-License-Identifier: GPL-3.0-or-later
// MainApp: the application object of Kerv. It names the configuration store, registers the
// image handlers of wxImage and of the engine's wxFastImage, installs the archive file system
// for the help book, sets up translations and shows the main window.
#ifndef KERV_APP_MAIN_APP_H
#define KERV_APP_MAIN_APP_H

#include <wx/app.h>
#include <wx/intl.h>

#include <vector>

class CMainFrame;

class MainApp : public wxApp {
public:
    // The arguments are picture files: the first is opened once the window is up (as a file
    // manager's "Open with" passes it).
    bool OnInit() override;

    // The picture files among the arguments: everything but options (words starting with "-",
    // which are ignored with a note on stderr) until "--", everything after it.
    static std::vector<wxString> PicturesFromArguments(const std::vector<wxString>& arguments);

    // Opens the first of files (relative to the working directory) through the window's open
    // command; when there are more, says that only the first was opened.
    static void OpenStartFiles(CMainFrame* frame, const std::vector<wxString>& files);

    // Fills the engine's handler list, in the order that decides which handler reads a file
    // of unknown type.
    static void RegisterFastImageHandlers();

    // Initialises locale for language with the toolkit's own catalog, then adds the catalog
    // "kerv" from the directory "I18N" beside the executable or, failing that, from the
    // installed locale folder (data_paths.h). A missing catalog leaves the texts in English;
    // nothing is shown to the user.
    static bool InitLocale(wxLocale& locale, int language);

    wxLocale appLocale;
};

wxDECLARE_APP(MainApp);

#endif
