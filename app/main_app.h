// MainApp: the application object of Kerv. It names the configuration store, registers the
// image handlers of wxImage and of the engine's wxFastImage, installs the archive file system
// for the help book, sets up translations and shows the main window.
#ifndef KERV_APP_MAIN_APP_H
#define KERV_APP_MAIN_APP_H

#include <wx/app.h>
#include <wx/intl.h>

class MainApp : public wxApp {
public:
    // Command-line arguments are ignored: the program takes none.
    bool OnInit() override;

    // Fills the engine's handler list, in the order that decides which handler reads a file
    // of unknown type.
    static void RegisterFastImageHandlers();

    // Initialises locale for language with the toolkit's own catalog, then adds the catalog
    // "kerv" from the directory "I18N" beside the executable. A missing catalog leaves the
    // texts in English; nothing is shown to the user.
    static bool InitLocale(wxLocale& locale, int language);

    wxLocale appLocale;
};

wxDECLARE_APP(MainApp);

#endif
