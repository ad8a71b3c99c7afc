// SPDX-License-Identifier: GPL-3.0-or-later
// CAboutDialog: the product name, the version, the copyright line, the licence and the
// project's web address.
#ifndef KERV_MAINFRAME_ABOUT_DIALOG_H
#define KERV_MAINFRAME_ABOUT_DIALOG_H

#include <wx/dialog.h>

class wxButton;
class wxHyperlinkCtrl;
class wxStaticLine;
class wxStaticText;

class CAboutDialog : public wxDialog {
public:
    CAboutDialog(wxWindow* parent, int id, const wxString& title,
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                 long style = wxDEFAULT_DIALOG_STYLE);

    wxStaticText* textTitle;
    wxStaticText* textVersion;  // the version as it stands, never translated
    wxStaticText* textCopyright;
    wxStaticText* textLicence;  // GPL-3.0-or-later, the licence in COPYING
    wxHyperlinkCtrl* linkWebsite;
    wxStaticLine* lineSeparator;
    wxButton* btnOk;

private:
    void set_properties();
    void do_layout();
};

#endif
