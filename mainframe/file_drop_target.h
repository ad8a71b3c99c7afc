// SPDX-License-Identifier: GPL-3.0-or-later
// FileDropTarget: the main window's drop target. Files dropped on the window are handed to
// CMainFrame::Drop, which opens one picture and refuses more. While the window is in
// calculation mode the frame clears bAccept, and the window refuses drops.
#ifndef KERV_MAINFRAME_FILE_DROP_TARGET_H
#define KERV_MAINFRAME_FILE_DROP_TARGET_H

#include <wx/dnd.h>

class CMainFrame;

class FileDropTarget : public wxFileDropTarget {
public:
    explicit FileDropTarget(CMainFrame* frame);

    // Offers no drop while drops are refused, so the pointer shows it before the user lets go.
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult defaultResult) override;
    // Whether a drop is accepted here: bAccept, and no carving run in progress.
    bool OnDrop(wxCoord x, wxCoord y) override;
    // Hands a copy of the names to the frame; always true (the frame reports its own errors).
    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

    CMainFrame* pFrame;  // not owned: the window owns this target
    bool bAccept;        // true from construction; false during calculation mode

private:
    bool Accepting() const;
};

#endif
