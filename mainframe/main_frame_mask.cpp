// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the "Protect/Delete" group: painting on and off, the brush size, and the mask
// commands that move whole masks between the canvas, memory and files. The canvas owns the
// mask and its format; these commands keep its size equal to the picture's.
#include "config_keys.h"
#include "main_frame.h"

#include <memory>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "dont_show_dialog.h"
#include "paint_panel.h"
#include "picture_reader.h"

void CMainFrame::DoEnableProtectDelete()
{
    const bool enable = checkEnableMask->GetValue();
    // "Re&call Mask" follows the group even when nothing was stored: recalling then explains
    // that there is no mask of this size.
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             sliderBrush, textBrushSize, radioProtect, radioDelete, radioErase, btnClearMask,
             btnStoreMask, btnRecallMask, btnSaveMask, btnLoadMask})
        control->Enable(enable);
    paintPanel->paintEnabled = enable;

    // While painting is on, the picture's size cannot be changed from the immediate controls.
    const bool sizeControls = session.IsOpen() && !enable;
    for (wxWindow* control :
         std::initializer_list<wxWindow*>{sliderWidth, spinWidth, sliderHeight, spinHeight})
        control->Enable(sizeControls);
}

void CMainFrame::OnEnableProtectDelete(wxCommandEvent& WXUNUSED(event))
{
    // A run changes the size under the mask: the box keeps its state until the run is over.
    if (IsCarving()) {
        checkEnableMask->SetValue(!checkEnableMask->GetValue());
        return;
    }
    // The box has already changed. Switching painting off throws the mask away, so a mask the
    // user has worked on is given up only after asking.
    if (!checkEnableMask->GetValue() && paintPanel->maskChanged) {
        CDontShowDialog question(this, wxID_ANY, _("Warning"));
        if (question.ShowModal(kKeyConfirmLoseMask,
                               _("Mask will be lost\nContinue without Storing?")) == 0) {
            checkEnableMask->SetValue(true);
            return;
        }
    }
    // A typing delay still running would carve after the mask was made.
    if (checkEnableMask->GetValue()) {
        timerWidth.Stop();
        timerHeight.Stop();
    }
    DoEnableProtectDelete();
    // Every toggle starts from an empty mask of the picture's current size.
    paintPanel->Init(session.CurrentWidth(), session.CurrentHeight());
    paintPanel->Refresh();
}

void CMainFrame::OnSliderBrush(wxScrollEvent& event)
{
    // Bound for every scroll event of the window: the size sliders' handlers pass their
    // events on to here, which then re-applies the unchanged brush size.
    const int size = sliderBrush->GetValue();
    textBrushSize->SetValue(wxString::Format("%d", size));
    paintPanel->SetBrushSize(size);
    event.Skip();
}

void CMainFrame::OnBtnStoreMask(wxCommandEvent& WXUNUSED(event))
{
    // A shared handle: the canvas detaches its own copy before it paints, so later strokes
    // never reach the stored mask.
    bmpStoredMask = paintPanel->maskBitmap != nullptr ? *paintPanel->maskBitmap : wxNullBitmap;
    btnRecallMask->Enable();
}

bool CMainFrame::HasPictureSize(const wxBitmap& mask) const
{
    return mask.IsOk() && mask.GetWidth() == session.CurrentWidth() &&
           mask.GetHeight() == session.CurrentHeight();
}

void CMainFrame::OnBtnRecallMask(wxCommandEvent& WXUNUSED(event))
{
    // Nothing stored counts as a mask of no size, so it gets the same answer.
    if (!HasPictureSize(bmpStoredMask)) {
        wxMessageBox(_("The Mask was created with a different image or image size"),
                     _("Can not recall mask"), wxOK | wxICON_EXCLAMATION, this);
        return;
    }
    RememberStep();
    ReplaceMask(std::make_unique<wxBitmap>(bmpStoredMask));
}

void CMainFrame::ReplaceMask(std::unique_ptr<wxBitmap> mask)
{
    // maskChanged stays as it was: only the pointer over the canvas marks a mask as worked on.
    paintPanel->maskBitmap = std::move(mask);
    paintPanel->Refresh();
}

void CMainFrame::OnBtnSaveMask(wxCommandEvent& WXUNUSED(event))
{
    // Without an open picture the canvas holds a mask of no size: nothing to write either.
    if (paintPanel->maskBitmap == nullptr || !paintPanel->maskBitmap->IsOk()) {
        wxMessageBox(_("No Mask defined"), _("Error"), wxOK | wxICON_ERROR, this);
        return;
    }

    // The toolkit takes the proposed folder and name apart.
    const wxFileName proposed(DefaultMaskFileName(session.FileName()));
    wxFileDialog dialog(this, _("Save Mask"), proposed.GetPath(), proposed.GetFullName(), "*.*",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    // The format follows the extension; a failure is reported by the toolkit's log.
    paintPanel->maskBitmap->ConvertToImage().SaveFile(dialog.GetPath());
}

wxString CMainFrame::DefaultMaskFileName(const wxString& picturePath)
{
    // Only the file's own name loses its extension: a dot in a folder's name stays, and a name
    // without an extension keeps all of itself.
    wxFileName name(picturePath);
    name.SetName(name.GetName() + "_mask");
    name.SetExt("bmp");
    return name.GetFullPath();
}

void CMainFrame::OnBtnLoadMask(wxCommandEvent& WXUNUSED(event))
{
    const wxString filter = _("Mask") + "|*.bmp|" + _("All Files") + " (*.*)|*.*";
    wxFileDialog dialog(this, _("Load Mask"), wxEmptyString, wxEmptyString, filter,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;

    wxImage image;
    {
        // The box below says what went wrong; the toolkit's own log would say it a second time.
        wxLogNull quiet;
        ReadPictureFile(dialog.GetPath(), image);
    }
    if (!image.IsOk()) {
        wxMessageBox(_("Error Loading Image"), _("Error"), wxOK | wxICON_ERROR, this);
        return;
    }
    if (image.GetWidth() != session.CurrentWidth() ||
        image.GetHeight() != session.CurrentHeight()) {
        wxMessageBox(_("The Mask was created with a different image or image size"),
                     _("Can not recall mask"), wxOK | wxICON_ERROR, this);
        return;
    }
    // The mask's colours count, not its transparency: a mask has the screen's depth.
    if (image.HasAlpha())
        image.ClearAlpha();
    RememberStep();
    ReplaceMask(std::make_unique<wxBitmap>(image));
}

void CMainFrame::OnBtnMaskClear(wxCommandEvent& WXUNUSED(event))
{
    if (!session.IsOpen())
        return;
    RememberStep();
    paintPanel->Init(session.CurrentWidth(), session.CurrentHeight());
    paintPanel->Refresh();
}
