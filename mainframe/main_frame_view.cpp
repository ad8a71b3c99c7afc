// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the View menu's two ways of showing the picture. "Show &Energy" shows the working
// energy the seams are chosen by (masks already applied included), grey, cut to 0 to 255;
// "Show &Seams" marks, over the picture or the energy, the seams the next immediate changes
// would remove: up to kPreviewSeams in each direction, found on a copy of the engine. The
// canvas gets what it draws through PictureToShow; while a run is going on it gets the picture.
#include "main_frame.h"

#include <algorithm>
#include <vector>

#include <wx/menu.h>

#include "dp.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "seam_trace.h"

namespace {

constexpr int kPreviewSeams = 20;

}  // namespace

wxMenu* CMainFrame::CreateViewMenu()
{
    auto* menuView = new wxMenu();
    AppendZoomCommands(menuView);
    menuView->AppendSeparator();
    menuView->AppendCheckItem(ID_MENU_SHOW_ENERGY, _("Show &Energy"),
                              _("Show the energy the seams are chosen by"));
    menuView->AppendCheckItem(ID_MENU_SHOW_SEAMS, _("Show &Seams"),
                              _("Mark the seams the next size changes remove"));
    return menuView;
}

void CMainFrame::OnShowView(wxCommandEvent& WXUNUSED(event))
{
    RedrawPicture();
}

bool CMainFrame::ShowsView() const
{
    return menuBar->IsChecked(ID_MENU_SHOW_ENERGY) || menuBar->IsChecked(ID_MENU_SHOW_SEAMS);
}

void CMainFrame::RedrawPicture()
{
    shownGeneration = 0;
    shown = wxFastImage();
    // The canvas keeps its zoomed view until the zoom or the size changes: build it anew.
    paintPanel->shownZoom = -1;
    paintPanel->Refresh();
}

unsigned long CMainFrame::PictureGeneration() const
{
    return session.Generation() * 4 + menuBar->IsChecked(ID_MENU_SHOW_ENERGY) * 2 +
           menuBar->IsChecked(ID_MENU_SHOW_SEAMS);
}

const wxFastImage* CMainFrame::PictureToShow()
{
    const wxFastImage* picture = session.Picture();
    const bool energy = menuBar->IsChecked(ID_MENU_SHOW_ENERGY);
    const bool seams = menuBar->IsChecked(ID_MENU_SHOW_SEAMS);
    if (picture == nullptr || !picture->IsOk() || IsCarving() || (!energy && !seams))
        return picture;
    const unsigned long generation = session.Generation() * 4 + energy * 2 + seams + 1;
    if (generation == shownGeneration && shown.IsOk())
        return &shown;

    DP& engine = *session.Engine();
    const int width = picture->GetWidth();
    const int height = picture->GetHeight();
    const size_t pixels = static_cast<size_t>(width) * height;
    shown = wxFastImage(width, height, false);
    unsigned char* rgb = shown.GetData();
    if (energy) {
        const std::vector<int> values = engine.WorkingEnergy();
        for (size_t i = 0; i < pixels && i < values.size(); ++i)
            rgb[i * 3] = rgb[i * 3 + 1] = rgb[i * 3 + 2] =
                static_cast<unsigned char>(std::clamp(values[i], 0, 255));
    } else {
        std::copy(picture->GetData(), picture->GetData() + pixels * 3, rgb);
    }
    if (seams) {
        // Vertical seams: one column per row; horizontal ones: one row per column. A pixel of
        // both kinds is marked once, by the colour under it.
        std::vector<bool> marked(pixels);
        for (const std::vector<int>& seam :
             engine.PreviewSeams(seam::Direction::Vertical, kPreviewSeams))
            for (int row = 0; row < height; ++row)
                marked[static_cast<size_t>(row) * width + seam[row]] = true;
        for (const std::vector<int>& seam :
             engine.PreviewSeams(seam::Direction::Horizontal, kPreviewSeams))
            for (int col = 0; col < width; ++col)
                marked[static_cast<size_t>(seam[col]) * width + col] = true;
        for (size_t i = 0; i < pixels; ++i)
            if (marked[i])
                MarkSeamPixel(rgb + i * 3, rgb + i * 3);
    }
    shownGeneration = generation;
    return &shown;
}
