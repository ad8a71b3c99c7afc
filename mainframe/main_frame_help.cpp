// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the about box, the help book and the donation page.
#include "main_frame.h"

#include <memory>

#include <wx/html/helpctrl.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "about_dialog.h"
#include "app_identity.h"
#include "data_paths.h"

void CMainFrame::OnMenuAbout(wxCommandEvent& WXUNUSED(event))
{
    CAboutDialog about(this, wxID_ANY, wxEmptyString);
    about.ShowModal();
}

void CMainFrame::ShowHelp(wxString topic)
{
    if (!pHelpController) {
        pHelpController = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, nullptr);
        // The working directory's kerv.zip, kerv.htb or kerv.hhp, or the translated or
        // installed book (data_paths.h).
        if (!pHelpController->Initialize(FindHelpBook())) {
            wxMessageBox(_("Cannot find Help file - reinstall application"), _("Error"),
                         wxOK | wxICON_ERROR, this);
            pHelpController.reset();
            return;
        }
    }
    if (topic.empty())
        pHelpController->DisplayContents();
    else
        pHelpController->Display(topic);
}

void CMainFrame::OnHelpContents(wxCommandEvent& WXUNUSED(event))
{
    ShowHelp(wxEmptyString);
}

void CMainFrame::OnChangelog(wxCommandEvent& WXUNUSED(event))
{
    ShowHelp("ChangeLog");
}

void CMainFrame::OnDonate(wxCommandEvent& WXUNUSED(event))
{
    const wxString address = GetDonationAddress();
    bool launched;
    {
        // The box below says it in the user's terms, with the address to open by hand.
        wxLogNull quiet;
        launched = wxLaunchDefaultBrowser(address);
    }
    if (!launched)
        wxMessageBox(wxString::Format(_("No web browser could be started. Please open the "
                                        "donation page by hand:\n%s"),
                                      address),
                     _("Make Donation"), wxOK | wxICON_INFORMATION, this);
}
