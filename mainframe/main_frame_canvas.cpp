// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the canvas in the right pane and the brush-size display it reports to.
#include "main_frame.h"

#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>

#include "main_frame_ids.h"
#include "paint_panel.h"

void CMainFrame::CreatePaintPanel()
{
    paintPanel = new CPaintPanel(splitter, ID_PAINT_PANEL);
    paintPanel->mainFrame = this;
}

void CMainFrame::SetBrushSize(int size)
{
    // The canvas has already clamped the size; the slider must not report it back.
    sliderBrush->SetValue(size);
    textBrushSize->SetValue(wxString::Format("%d", size));
}

PaintMode CMainFrame::CurrentPaintMode() const
{
    if (radioErase->GetValue())
        return PaintMode::Erase;
    return radioProtect->GetValue() ? PaintMode::Protect : PaintMode::Delete;
}

wxSize CMainFrame::PictureSizeToShow() const
{
    if (!session.IsOpen())
        return wxSize(0, 0);
    return wxSize(session.CurrentWidth(), session.CurrentHeight());
}

const wxFastImage* CMainFrame::OpenedPicture()
{
    return session.OpenedPicture();
}
