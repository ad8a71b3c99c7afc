// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: "&Undo" and "&Redo" of the Edit menu. The session keeps the steps; the window
// tells it when a step begins, hands it the mask with it, and shows what a step puts back.
// A mask stroke is one step from the first pointer event that paints (a drag with a button
// held, or a click) until the pointer moves again with no button held.
#include "main_frame.h"

#include <memory>

#include <wx/checkbox.h>
#include <wx/menu.h>

#include "main_frame_ids.h"
#include "paint_panel.h"

PictureSession::MaskState CMainFrame::CurrentMaskState() const
{
    PictureSession::MaskState state;
    // A black mask of the picture's size is what a step without one brings back (the fresh
    // mask of ShowRestoredStep), so it need not be read and kept.
    const wxBitmap* mask = paintPanel->maskBitmap.get();
    const bool blank = mask != nullptr && HasPictureSize(*mask) && paintPanel->MaskIsBlank();
    if (mask != nullptr && mask->IsOk() && !blank)
        state.mask = mask->ConvertToImage();
    state.workedOn = paintPanel->maskChanged;
    return state;
}

void CMainFrame::RememberStep()
{
    if (!session.IsOpen())
        return;
    session.RememberStep(CurrentMaskState());
    UpdateUndoMenu();
}

void CMainFrame::UpdateUndoMenu()
{
    const bool idle = !IsCarving();
    menuBar->Enable(ID_MENU_UNDO, idle && session.CanUndo());
    menuBar->Enable(ID_MENU_REDO, idle && session.CanRedo());
}

void CMainFrame::BindStrokeSteps()
{
    // Bound to the canvas itself, so these run before the canvas paints.
    paintPanel->Bind(wxEVT_MOTION, [this](wxMouseEvent& event) {
        if (!event.ButtonIsDown(wxMOUSE_BTN_ANY))
            bStrokeOpen = false;
        else if (!bStrokeOpen && StrokeWouldPaint()) {
            RememberStep();
            bStrokeOpen = true;
        }
        event.Skip();
    });
    paintPanel->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
        // A click paints a disc of its own; the end of a drag belongs to the drag.
        if (!bStrokeOpen && StrokeWouldPaint())
            RememberStep();
        bStrokeOpen = false;
        event.Skip();
    });
}

bool CMainFrame::StrokeWouldPaint() const
{
    return paintPanel->paintEnabled && session.IsOpen() && !IsCarving() &&
           paintPanel->maskBitmap != nullptr && paintPanel->maskBitmap->IsOk() &&
           paintPanel->cursorX != -1 && paintPanel->cursorY != -1;
}

void CMainFrame::OnUndo(wxCommandEvent& WXUNUSED(event))
{
    if (IsCarving())
        return;
    PictureSession::MaskState mask = CurrentMaskState();
    if (session.Undo(mask))
        ShowRestoredStep(mask);
}

void CMainFrame::OnRedo(wxCommandEvent& WXUNUSED(event))
{
    if (IsCarving())
        return;
    PictureSession::MaskState mask = CurrentMaskState();
    if (session.Redo(mask))
        ShowRestoredStep(mask);
}

void CMainFrame::ShowRestoredStep(const PictureSession::MaskState& mask)
{
    const int width = session.CurrentWidth();
    const int height = session.CurrentHeight();
    // A fresh mask first: it also makes the canvas build its view of the picture again, which
    // may differ from the one shown at the same size.
    paintPanel->Init(width, height);
    if (mask.mask.IsOk())
        paintPanel->maskBitmap = std::make_unique<wxBitmap>(mask.mask);
    paintPanel->maskChanged = mask.workedOn;
    bStrokeOpen = false;
    ApplyEnergyMode();
    paintPanel->Refresh();
    UpdateStat();
}
