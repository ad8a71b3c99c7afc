// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_app.h"
#include "config_keys.h"
#include "settings_file.h"

#include "updater_dialog.h"

bool CMainApp::OnInit()
{
    if (!wxApp::OnInit())
        return false;

    // The same names as the main program, so that both open one configuration store.
    SetVendorName(szVendorName);
    SetAppName(szAppName);
    // Before the window reads the proxy: a damaged settings file is set aside, not read.
    wxString brokenSettings;
    const bool settingsSetAside = SetAsideBrokenSettings(brokenSettings);

    CUpdaterDialog* dialog = new CUpdaterDialog(nullptr, -1, wxEmptyString);
    if (settingsSetAside)
        dialog->ShowNotice("The settings file was damaged: the defaults are used; it was kept as " +
                           brokenSettings + ".");
    SetTopWindow(dialog);
    dialog->Show();
    return true;
}

void CMainApp::OnInitCmdLine(wxCmdLineParser& parser)
{
    // Only the two parameters: no help or verbose switches.
    parser.AddParam("Command", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
    parser.AddParam("Filename", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
}

bool CMainApp::OnCmdLineParsed(wxCmdLineParser& parser)
{
    if (parser.GetParamCount() != 1)
        return false;
    strCommand = parser.GetParam(0);
    return true;
}
