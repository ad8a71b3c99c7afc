// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_drop_target.h"

#include "main_frame.h"

FileDropTarget::FileDropTarget(CMainFrame* frame) : pFrame(frame), bAccept(true) {}

bool FileDropTarget::Accepting() const
{
    return bAccept && !pFrame->IsCarving();
}

wxDragResult FileDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult defaultResult)
{
    if (!Accepting())
        return wxDragNone;
    return wxFileDropTarget::OnDragOver(x, y, defaultResult);
}

bool FileDropTarget::OnDrop(wxCoord WXUNUSED(x), wxCoord WXUNUSED(y))
{
    return Accepting();
}

bool FileDropTarget::OnDropFiles(wxCoord WXUNUSED(x), wxCoord WXUNUSED(y),
                                 const wxArrayString& files)
{
    pFrame->Drop(files);
    return true;
}
