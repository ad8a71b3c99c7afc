// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the exit question, the close of the window, and writing the settings back.
#include "config_keys.h"
#include "main_frame.h"

#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/html/helpctrl.h>
#include <wx/intl.h>

#include "dont_show_dialog.h"
#include "fast_image.h"

void CMainFrame::OnFileExit(wxCommandEvent& event)
{
    Close(false);
    event.Skip();
}

void CMainFrame::OnCloseMainFrame(wxCloseEvent& event)
{
    if (IsCarving()) {
        if (event.CanVeto()) {
            event.Veto();
        } else {
            // A close that cannot be refused arrived while a run (Kerv or immediate) is on the
            // call stack (it yields to the event loop between seams). Destroying the window or
            // the engine now would pull them from under the run; instead the run is told to
            // stop, and when it has unwound it closes the window (see bCloseAfterCalc).
            bCancelCalc = true;
            bCloseAfterCalc = true;
        }
        return;
    }
    if (!bCloseForUpdate && event.CanVeto() && !MayQuit()) {
        event.Veto();
        return;
    }

    if (pHelpController) {
        pHelpController->Quit();
        pHelpController.reset();
    }

    session.Close();

    SaveSettings();

    wxFastImage::CleanUpHandlers();

    // The recent-files list was saved after each successful open; nothing to write here.
    pFileHistory.reset();

    // Deleting the detached store writes it to disk.
    delete wxConfigBase::Set(nullptr);

    event.Skip();
}

bool CMainFrame::MayQuit()
{
    // Unsaved changes are always asked about, whatever answer "Really quit?" has stored.
    if (session.IsModified())
        return AskDismissChanges();
    CDontShowDialog question(this, wxID_ANY, _("Question"));
    // A standing "no" would leave no way to close the window.
    question.RememberOnlyYes();
    return question.ShowModal(kKeyConfirmOnExit, _("Really quit?")) != 0;
}

void CMainFrame::SaveSettings()
{
    wxConfigBase* config = wxConfigBase::Get();
    const wxPoint position = GetPosition();
    const wxSize size = GetSize();
    config->SetPath(kGroupLook);
    config->Write(kKeyLookX, position.x);
    config->Write(kKeyLookY, position.y);
    config->Write(kKeyLookWidth, size.GetWidth());
    config->Write(kKeyLookHeight, size.GetHeight());
    config->SetPath(kConfigRoot);
    config->Write(kKeyAnimatedKerv, checkAnimated->GetValue());
    config->Write(kKeyMaintainAspect, checkAspect->GetValue());
}
