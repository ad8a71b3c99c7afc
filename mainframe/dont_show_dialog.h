// SPDX-License-Identifier: GPL-3.0-or-later
// CDontShowDialog: a yes/no question with a "Don't ask this question again" box. Every
// confirmation of the program goes through it. A ticked box stores the answer (1 yes, 0 no)
// under the question's key of the "/Confirmations" group; while a key holds an answer, the
// question is not shown and that answer is returned instead. Removing the key brings the
// question back.
#ifndef KERV_MAINFRAME_DONT_SHOW_DIALOG_H
#define KERV_MAINFRAME_DONT_SHOW_DIALOG_H

#include <wx/dialog.h>

class wxButton;
class wxCheckBox;
class wxSizer;
class wxStaticLine;
class wxStaticText;

class CDontShowDialog : public wxDialog {
public:
    CDontShowDialog(wxWindow* parent, int id, const wxString& title,
                    const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                    long style = wxDEFAULT_DIALOG_STYLE);

    // Asks text, remembering the answer under key when the box is ticked. Returns 1 for yes,
    // 0 for no, or the stored answer unchanged (callers take any non-zero value as yes).
    int ShowModal(wxString key, wxString text);
    // For a question whose standing "no" would trap the user: only "yes" is ever stored, and a
    // stored 0 counts as no answer, so the question is asked.
    void RememberOnlyYes() { bOnlyYes = true; }

    void OnBtnOk(wxCommandEvent& event);
    void OnBtnCanvel(wxCommandEvent& event);
    // The window's close box does not answer the question.
    void OnClose(wxCloseEvent& event);

    wxString strKey;
    wxStaticText* textQuestion;
    wxStaticLine* lineSeparator;
    wxCheckBox* checkDontAsk;
    wxButton* btnYes;
    wxButton* btnNo;
    wxSizer* sizerTop;

private:
    bool bOnlyYes = false;

    using wxDialog::ShowModal;

    void set_properties();
    void do_layout();

    wxDECLARE_EVENT_TABLE();
};

#endif
