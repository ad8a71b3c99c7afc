// SPDX-License-Identifier: GPL-3.0-or-later
#include "dont_show_dialog.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

namespace {
constexpr int ID_CHECK_DONT_ASK = 1000;
}

wxBEGIN_EVENT_TABLE(CDontShowDialog, wxDialog)
    EVT_BUTTON(wxID_OK, CDontShowDialog::OnBtnOk)
    EVT_BUTTON(wxID_CANCEL, CDontShowDialog::OnBtnCanvel)
    EVT_CLOSE(CDontShowDialog::OnClose)
wxEND_EVENT_TABLE()

CDontShowDialog::CDontShowDialog(wxWindow* parent, int id, const wxString& title,
                                 const wxPoint& pos, const wxSize& size, long WXUNUSED(style))
    : wxDialog(parent, id, title, pos, size, wxDEFAULT_DIALOG_STYLE)
{
    textQuestion = new wxStaticText(this, wxID_ANY, _("text"));
    lineSeparator =
        new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_HORIZONTAL);
    checkDontAsk = new wxCheckBox(this, ID_CHECK_DONT_ASK, _("&Don't ask this question again"));
    btnYes = new wxButton(this, wxID_OK, _("&Yes"));
    btnNo = new wxButton(this, wxID_CANCEL, _("&No"));
    sizerTop = nullptr;

    set_properties();
    do_layout();
    SetTitle(title);
}

void CDontShowDialog::set_properties()
{
    SetTitle(_("Question"));
    SetSize(wxSize(450, 200));
    btnYes->SetDefault();
}

void CDontShowDialog::do_layout()
{
    auto* sizerOuter = new wxBoxSizer(wxHORIZONTAL);
    auto* grid = new wxFlexGridSizer(5, 2, 3, 3);

    grid->AddSpacer(0);
    grid->AddSpacer(0);

    grid->Add(
        new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_QUESTION, wxART_OTHER)),
        0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    grid->Add(textQuestion, 0, wxALL | wxEXPAND | wxALIGN_CENTER_VERTICAL, 5);

    grid->AddSpacer(0);
    grid->AddSpacer(0);

    grid->AddSpacer(0);
    auto* sizerCheck = new wxBoxSizer(wxVERTICAL);
    sizerCheck->Add(lineSeparator, 0, wxALL | wxEXPAND, 3);
    sizerCheck->Add(checkDontAsk, 0, wxALL | wxALIGN_RIGHT, 3);
    grid->Add(sizerCheck, 1, wxRIGHT | wxEXPAND, 3);

    grid->AddSpacer(0);
    auto* sizerButtons = new wxBoxSizer(wxHORIZONTAL);
    sizerButtons->Add(btnYes, 0, 0, 0);
    sizerButtons->Add(btnNo, 0, wxLEFT | wxRIGHT, 3);
    grid->Add(sizerButtons, 1, wxALL | wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL, 3);

    grid->AddGrowableRow(0);
    grid->AddGrowableRow(2);
    grid->AddGrowableCol(1);
    sizerOuter->Add(grid, 1, wxEXPAND, 0);

    sizerTop = sizerOuter;
    SetSizer(sizerTop);
    Layout();
}

int CDontShowDialog::ShowModal(wxString key, wxString text)
{
    textQuestion->SetLabel(text);
    sizerTop->Fit(this);
    Layout();

    strKey = key;
    const long stored = wxConfigBase::Get()->ReadLong(strKey, -1);
    if (stored != -1 && !(bOnlyYes && stored == 0))
        return static_cast<int>(stored);

    const int code = wxDialog::ShowModal();
    const int answer = (code == 1 || code == wxID_OK) ? 1 : 0;
    if (checkDontAsk->GetValue() && (answer == 1 || !bOnlyYes))
        wxConfigBase::Get()->Write(strKey, answer);
    return answer;
}

void CDontShowDialog::OnBtnOk(wxCommandEvent& event)
{
    EndModal(1);
    event.Skip();
}

void CDontShowDialog::OnBtnCanvel(wxCommandEvent& event)
{
    EndModal(0);
    event.Skip();
}

void CDontShowDialog::OnClose(wxCloseEvent& event)
{
    if (event.CanVeto())
        event.Veto();
    else
        event.Skip();
}
