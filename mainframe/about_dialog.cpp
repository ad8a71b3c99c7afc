// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_dialog.h"

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include "app_identity.h"
#include "icons.h"

CAboutDialog::CAboutDialog(wxWindow* parent, int id, const wxString& title, const wxPoint& pos,
                           const wxSize& size, long style)
    : wxDialog(parent, id, title, pos, size, style)
{
    textTitle = new wxStaticText(this, wxID_ANY, szProductTitle);
    textVersion = new wxStaticText(this, wxID_ANY, wxEmptyString);
    // TRANSLATORS: %d is the year.
    textCopyright = new wxStaticText(
        this, wxID_ANY, wxString::Format(_("Copyright (C) %d the Kerv authors"), 2026));
    textLicence = new wxStaticText(
        this, wxID_ANY,
        _("Kerv is free software under the GNU General Public License, version 3 or later.\n"
          "It comes with ABSOLUTELY NO WARRANTY."));
    const wxString website = GetServerAddress();
    linkWebsite = new wxHyperlinkCtrl(this, wxID_ANY, website, website);
    lineSeparator =
        new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL);
    btnOk = new wxButton(this, wxID_OK, _("&Ok"));

    set_properties();
    do_layout();

    textVersion->SetLabel(szVersion);
    Fit();
    CentreOnParent();
}

void CAboutDialog::set_properties()
{
    SetTitle(_("About"));
    btnOk->SetDefault();
    // Otherwise the first control, the web address, takes the focus and Enter opens it.
    btnOk->SetFocus();
    textTitle->SetFont(textTitle->GetFont().Bold().Scaled(1.5f));
}

void CAboutDialog::do_layout()
{
    auto* sizerTop = new wxBoxSizer(wxVERTICAL);
    auto* sizerHead = new wxBoxSizer(wxHORIZONTAL);
    sizerHead->Add(new wxStaticBitmap(this, wxID_ANY, LoadIconPng()), 0,
                   wxALL | wxALIGN_CENTER_VERTICAL, 8);
    auto* sizerNames = new wxBoxSizer(wxVERTICAL);
    sizerNames->Add(textTitle, 0, wxTOP, 8);
    auto* sizerVersion = new wxBoxSizer(wxHORIZONTAL);
    sizerVersion->Add(new wxStaticText(this, wxID_ANY, _("Version")), 0, wxRIGHT, 4);
    sizerVersion->Add(textVersion, 0, 0, 0);
    sizerNames->Add(sizerVersion, 0, wxTOP, 4);
    sizerHead->Add(sizerNames, 1, wxRIGHT | wxEXPAND, 16);
    sizerTop->Add(sizerHead, 0, wxEXPAND, 0);
    sizerTop->Add(textCopyright, 0, wxLEFT | wxRIGHT | wxTOP, 8);
    sizerTop->Add(textLicence, 0, wxLEFT | wxRIGHT | wxTOP, 8);
    sizerTop->Add(linkWebsite, 0, wxLEFT | wxRIGHT | wxTOP, 8);
    sizerTop->Add(lineSeparator, 0, wxALL | wxEXPAND, 8);
    sizerTop->Add(btnOk, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxALIGN_RIGHT, 8);
    SetSizer(sizerTop);
    Layout();
}
