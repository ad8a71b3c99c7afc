// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_app.h"

#include <wx/crt.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "app_identity.h"
#include "data_paths.h"
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

    std::vector<wxString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    const std::vector<wxString> files = PicturesFromArguments(arguments);
    if (!files.empty())
        frame->CallAfter([frame, files] { OpenStartFiles(frame, files); });
    return true;
}

std::vector<wxString> MainApp::PicturesFromArguments(const std::vector<wxString>& arguments)
{
    std::vector<wxString> files;
    bool bOptions = true;
    for (const wxString& argument : arguments) {
        if (bOptions && argument == "--")
            bOptions = false;
        else if (bOptions && argument.StartsWith("-") && argument != "-")
            wxFprintf(stderr, "Kerv: ignoring the unknown option %s\n", argument);
        else
            files.push_back(argument);
    }
    return files;
}

void MainApp::OpenStartFiles(CMainFrame* frame, const std::vector<wxString>& files)
{
    wxFileName name(files.front());
    name.MakeAbsolute();
    wxString path = name.GetFullPath();
    frame->DoOpenFile(path, -1);
    if (files.size() > 1)
        wxMessageBox(wxString::Format(_("Kerv opens one picture at a time: of the %zu files "
                                        "given, only %s was opened."),
                                      files.size(), path),
                     _("Several Files Given"), wxOK | wxICON_INFORMATION, frame);
}

void MainApp::RegisterFastImageHandlers()
{
    AddFastImageHandlers();
}

bool MainApp::InitLocale(wxLocale& locale, int language)
{
    bool ok;
    {
        // A language whose system locale is not installed still gets its translations; the
        // toolkit's warning about the missing locale would only alarm the user.
        wxLogNull noWarnings;
        ok = locale.Init(language, wxLOCALE_LOAD_DEFAULT);
    }
    for (const wxString& prefix : CatalogPrefixes(ProgramDir()))
        wxLocale::AddCatalogLookupPathPrefix(prefix);
    locale.AddCatalog("kerv");
    return ok;
}
