#include "main_app.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include "app_identity.h"
#include "fast_image.h"
#include "main_frame.h"
#include "picture_handlers.h"
#include "settings_file.h"

bool MainApp::OnInit()
{
    SetVendorName(szVendorName);
    SetAppName(szAppName);
    // Before anything reads the store: a damaged settings file is set aside, not read.
    wxString brokenSettings;
    const bool settingsSetAside = SetAsideBrokenSettings(brokenSettings);

    wxInitAllImageHandlers();
    RegisterFastImageHandlers();

    wxFileSystem::AddHandler(new wxArchiveFSHandler);

    InitLocale(appLocale, wxLANGUAGE_DEFAULT);

    auto* frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
    SetTopWindow(frame);
    frame->Show();
    if (settingsSetAside)
        frame->SetStatusText(wxString::Format(_("The settings file was damaged: Kerv starts with "
                                                "the default settings and kept it as %s."),
                                              brokenSettings));
    return true;
}

void MainApp::RegisterFastImageHandlers()
{
    AddFastImageHandlers();
}

bool MainApp::InitLocale(wxLocale& locale, int language)
{
    const wxString catalogs =
        wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() + wxFILE_SEP_PATH + "I18N";
    bool ok;
    {
        // A language whose system locale is not installed still gets its translations; the
        // toolkit's warning about the missing locale would only alarm the user.
        wxLogNull noWarnings;
        ok = locale.Init(language, wxLOCALE_LOAD_DEFAULT);
    }
    wxLocale::AddCatalogLookupPathPrefix(catalogs);
    locale.AddCatalog("kerv");
    return ok;
}
