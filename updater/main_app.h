// SPDX-License-Identifier: GPL-3.0-or-later
// The updater's application object: reads the archive URL from the command line.
#ifndef KERV_UPDATER_MAIN_APP_H
#define KERV_UPDATER_MAIN_APP_H

#include <wx/app.h>
#include <wx/cmdline.h>

class CMainApp : public wxApp {
public:
    bool OnInit() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

    wxString strCommand;  // the URL of the update archive, the one parameter
};

wxDECLARE_APP(CMainApp);

#endif
