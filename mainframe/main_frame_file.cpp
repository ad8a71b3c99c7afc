// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the commands that bring a picture in (file dialog, drop, recent files) and take
// the result out (save, clipboard), and the question about unsaved changes.
#include "config_keys.h"
#include "main_frame.h"

#include <optional>

#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "dp.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "picture_files.h"

namespace {

void ShowError(wxWindow* parent, const wxString& message)
{
    wxMessageBox(message, _("Error"), wxOK | wxICON_ERROR, parent);
}

}  // namespace

bool CMainFrame::OkToLoad()
{
    // The flag stays until a new picture has really replaced this one: a failed open, or a
    // file dialog left with Cancel, keeps the changes and the question.
    return !session.IsModified() || AskDismissChanges();
}

bool CMainFrame::AskDismissChanges()
{
    return wxMessageBox(_("Dismiss Changes?"), _("Image not Saved"), wxYES_NO, this) == wxYES;
}

void CMainFrame::OnFileOpen(wxCommandEvent& WXUNUSED(event))
{
    if (IsCarving() || !OkToLoad())
        return;
    const wxString filter =
        _("Image Formats") +
        "|*.jpg;*.jpeg;*.gif;*.bmp;*.png;*.tga;*.pcx;*.tif;*.tiff;*.ico;*.cur|" + _("All Files") +
        " (*.*)|*.*";
    wxFileDialog dialog(this, _("Select Picture to Resize"), wxEmptyString, wxEmptyString, filter,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxString path = dialog.GetPath();
    DoOpenFile(path, -1);
}

void CMainFrame::OnMRUFile(wxCommandEvent& event)
{
    // The list stays usable during a Kerv run; opening then would replace the engine under it.
    if (IsCarving() || !OkToLoad())
        return;
    const int index = event.GetId() - ID_MRU_FIRST;
    if (index < 0 || static_cast<size_t>(index) >= pFileHistory->GetCount())
        return;
    wxString path = pFileHistory->GetHistoryFile(index);
    if (!path.empty())
        DoOpenFile(path, index);
}

bool CMainFrame::Drop(wxArrayString files)
{
    if (IsCarving())
        return false;
    if (files.size() != 1) {
        ShowError(this, _("Only one file may be dropped"));
        return false;
    }
    // A drop replaces the picture as the open command does, so it asks the same question.
    if (OkToLoad())
        DoOpenFile(files[0], -1);
    return false;
}

void CMainFrame::DoOpenFile(wxString& path, int index)
{
    if (IsCarving())
        return;
    // The hourglass lasts for the reading only, not over an error box.
    std::optional<wxBusyCursor> busy(std::in_place);
    const PictureSession::OpenResult result = session.Open(path);
    if (result != PictureSession::OpenResult::Opened) {
        // The session still holds the picture that was open; so does the window.
        busy.reset();
        ShowError(this, wxString::Format(_("Error opening image %s:\n%s"), path,
                                         OpenFailureReason(result)));
        if (index != -1) {
            pFileHistory->RemoveFileFromHistory(index);
            SaveRecentFiles();
        }
        return;
    }
    // Timers armed for the previous picture must not carve the new one.
    timerWidth.Stop();
    timerHeight.Stop();

    pFileHistory->AddFileToHistory(session.FileName());
    SaveRecentFiles();

    DoSetTitle(session.FileName());
    const int width = session.OriginalWidth();
    const int height = session.OriginalHeight();
    SetUpSizeControls(width, height);
    textOriginal->SetLabel(wxString::Format(_("Original: Width: %d, Height:%d"), width, height));
    UpdateStat();
    DoEnableSizeControls(true);
    DoEnableProtectDelete();

    ApplyEnergyMode();
    paintPanel->Init(width, height);
    paintPanel->Refresh();
}

wxString CMainFrame::OpenFailureReason(PictureSession::OpenResult result) const
{
    switch (result) {
        case PictureSession::OpenResult::Missing:
            return _("The file does not exist.");
        case PictureSession::OpenResult::Unreadable:
            return _("The file cannot be read.");
        case PictureSession::OpenResult::HasAlpha:
            return _("Image with Alpha Channel not supported YET.");
        case PictureSession::OpenResult::Refused:
            return session.Refusal();
        default:
            return _("The file is not a picture in a format Kerv reads.");
    }
}

void CMainFrame::SaveRecentFiles()
{
    // Written whole and at once, so that the list survives a crash; the toolkit's own save
    // would write an empty entry for every free place.
    wxConfigBase* config = wxConfigBase::Get();
    config->DeleteGroup(kGroupRecentFiles);
    config->SetPath(kGroupRecentFiles);
    int written = 0;
    for (size_t i = 0; i < pFileHistory->GetCount(); ++i) {
        const wxString file = pFileHistory->GetHistoryFile(i);
        if (!file.empty())
            config->Write(wxString::Format("file%d", ++written), file);
    }
    config->SetPath(kConfigRoot);
    config->Flush();
}

void CMainFrame::SetUpSizeControls(int width, int height)
{
    bUpdatingControls = true;
    sliderWidth->SetRange(1, 2 * width);
    sliderWidth->SetValue(width);
    spinWidth->SetRange(1, 2 * width);
    spinWidth->SetValue(width);
    sliderHeight->SetRange(1, 2 * height);
    sliderHeight->SetValue(height);
    spinHeight->SetRange(1, 2 * height);
    spinHeight->SetValue(height);
    spinAbsWidth->SetRange(1, 2 * width);
    spinAbsHeight->SetRange(1, 2 * height);
    spinPercWidth->SetRange(1, 200);
    spinPercHeight->SetRange(1, 200);
    nEditSource = -1;
    SetWidthHeight(width, height);
    bUpdatingControls = false;
}

void CMainFrame::OnSave(wxCommandEvent& WXUNUSED(event))
{
    // Saving during a run would record a picture half-way; the run marks it modified anyway.
    const wxFastImage* picture = session.IsOpen() && !IsCarving() ? session.Picture() : nullptr;
    if (picture == nullptr || !picture->IsOk())
        return;
    const wxFileName proposal(DefaultSaveName(session.FileName()));
    wxFileDialog dialog(this, _("Save To File"), proposal.GetPath(), proposal.GetFullName(), "*.*",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const wxString path = dialog.GetPath();
    wxString reason, warning;
    bool saved;
    {
        wxBusyCursor busy;
        saved = SavePictureSafely(picture->AsImage(), session.Engine()->Metadata(), path, reason,
                                  warning);
    }
    if (!saved) {
        // The picture stays marked as modified, so it is not dismissed later without asking.
        ShowError(this,
                  wxString::Format(_("The image could not be saved to %s."), path) + "\n" + reason);
        return;
    }
    session.SetModified(false);
    UpdateStat();
    SetStatusText(warning);  // also clears the warning of an earlier save
}

void CMainFrame::OnEditCopy(wxCommandEvent& WXUNUSED(event))
{
    const wxFastImage* picture = session.Picture();
    if (picture == nullptr)
        return;
    {
        wxClipboardLocker clipboard;
        if (!clipboard)
            return;
        wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(picture->AsImage())));
    }
    // Where the desktop keeps the clipboard, the picture stays pasteable after Kerv has quit.
    wxTheClipboard->Flush();
}
