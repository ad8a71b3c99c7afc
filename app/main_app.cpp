#include "main_app.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/image.h>
#include <wx/imaggif.h>
#include <wx/imagiff.h>
#include <wx/imagjpeg.h>
#include <wx/imagpcx.h>
#include <wx/imagpng.h>
#include <wx/imagpnm.h>
#include <wx/imagtga.h>
#include <wx/imagtiff.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include "app_identity.h"
#include "fast_image.h"
#include "main_frame.h"

bool MainApp::OnInit()
{
    SetVendorName(szVendorName);
    SetAppName(szAppName);

    wxInitAllImageHandlers();
    RegisterFastImageHandlers();

    wxFileSystem::AddHandler(new wxArchiveFSHandler);

    InitLocale(appLocale, wxLANGUAGE_DEFAULT);

    auto* frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
    SetTopWindow(frame);
    frame->Show();
    return true;
}

void MainApp::RegisterFastImageHandlers()
{
    wxFastImage::AddHandler(new wxBMPHandler);
    wxFastImage::AddHandler(new wxPNGHandler);
    wxFastImage::AddHandler(new wxJPEGHandler);
    wxFastImage::AddHandler(new wxTIFFHandler);
    wxFastImage::AddHandler(new wxGIFHandler);
    wxFastImage::AddHandler(new wxPNMHandler);
    wxFastImage::AddHandler(new wxPCXHandler);
    wxFastImage::AddHandler(new wxICOHandler);
    wxFastImage::AddHandler(new wxCURHandler);
    wxFastImage::AddHandler(new wxANIHandler);
    wxFastImage::AddHandler(new wxTGAHandler);
}

bool MainApp::InitLocale(wxLocale& locale, int language)
{
    const wxString catalogs =
        wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() +
        wxFILE_SEP_PATH + "I18N";
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
