// SPDX-License-Identifier: GPL-3.0-or-later
// The averaged view the canvas keeps for zooms below half: after carves that bring the picture
// back to the same size in place, and beside the picture as opened (shown while Backslash is
// held), it shows exactly the toolkit's scaling of the picture drawn; and a mask handed to the
// canvas (as recalling or loading one does) is laid over it at once.
#include <cstring>
#include <memory>
#include <utility>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "paint_panel.h"

namespace {

constexpr int nCols = 240;
constexpr int nRows = 160;

class ViewCacheTest : public GuiTest {
protected:
    // Whether the canvas shows the whole of picture scaled by the toolkit to the view's size.
    bool ShowsScaled(const wxFastImage& picture) { return ShowsScaled(picture.CopyToImage()); }
    bool ShowsScaled(const wxImage& picture)
    {
        const wxSize view = panel->ViewSize();
        const wxImage scaled = picture.Scale(view.x, view.y, wxIMAGE_QUALITY_NORMAL);
        const wxImage shown = panel->ComposeView(wxRect(wxPoint(0, 0), view));
        return shown.IsOk() && shown.GetSize() == view &&
               std::memcmp(shown.GetData(), scaled.GetData(),
                           static_cast<size_t>(view.x) * view.y * 3) == 0;
    }

    CMainFrame* frame = nullptr;
    CPaintPanel* panel = nullptr;
};

}  // namespace

// Backslash shows the picture as opened until it is released, and nothing is painted meanwhile.
TEST_F(ViewCacheTest, AveragedViewFollowsCarvesInPlaceAndBackslashShowsThePictureAsOpened)
{
    frame = FrameShowing(nCols, nRows, true);
    const wxFastImage opened = DistinctPixelsPicture(nCols, nRows);
    panel = Ui(frame).paintPanel;
    PictureSession& session = Ui(frame).session;
    for (int zoom : {50, 25}) {
        SCOPED_TRACE(zoom);
        panel->SetZoom(zoom);
        ASSERT_TRUE(ShowsScaled(*session.Picture()));
        // Narrower and wider again, as two immediate runs do, with no repaint between.
        for (bool remove : {true, true, false, false})
            session.CarveSeam(SizeAxis::Width, remove);
        panel->Refresh();
        ASSERT_EQ(session.Picture()->GetWidth(), nCols);
        ASSERT_NE(std::memcmp(session.Picture()->GetData(), opened.GetData(),
                              static_cast<size_t>(nCols) * nRows * 3),
                  0);
        EXPECT_TRUE(ShowsScaled(*session.Picture()));
        // Narrower, the picture as opened has a view of another size.
        session.CarveSeam(SizeAxis::Width, true);
        panel->Init(nCols - 1, nRows);
        SendKey(panel, wxEVT_KEY_DOWN, '\\');
        EXPECT_TRUE(panel->IsShowingOpened());
        EXPECT_EQ(panel->ViewSize(), wxSize(nCols * zoom / 100, nRows * zoom / 100));
        EXPECT_TRUE(ShowsScaled(opened));
        SendMouse(panel, wxEVT_MOTION, {40, 40});
        SendMouse(panel, wxEVT_LEFT_UP, {40, 40});
        SendKey(panel, wxEVT_KEY_UP, '\\');
        EXPECT_FALSE(panel->IsShowingOpened());
        EXPECT_EQ(CountPixels(MaskImage(frame), 0, 0, 0), (nCols - 1) * nRows);
        SendMouse(panel, wxEVT_LEAVE_WINDOW, {0, 0});
        EXPECT_TRUE(ShowsScaled(*session.Picture()));
        session.CarveSeam(SizeAxis::Width, false);
        panel->Init(nCols, nRows);
    }
}

TEST_F(ViewCacheTest, AMaskHandedOverIsShownOverThePicture)
{
    frame = FrameShowing(nCols, nRows, false);
    const wxFastImage picture = DistinctPixelsPicture(nCols, nRows);
    panel = Ui(frame).paintPanel;
    for (const auto& [zoom, colour] : {std::pair{100, *wxRED}, {800, *wxGREEN}}) {
        SCOPED_TRACE(zoom);
        panel->SetZoom(zoom);
        const wxRect block(nCols / 4, nRows / 2, nCols / 2, 8);
        auto mask = std::make_unique<wxBitmap>(nCols, nRows, wxBITMAP_SCREEN_DEPTH);
        {
            wxMemoryDC dc(*mask);
            dc.SetBackground(*wxBLACK_BRUSH);
            dc.Clear();
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(colour));
            dc.DrawRectangle(block);
        }
        panel->maskBitmap = std::move(mask);
        // The plain rule: inside the block only the colour's channel of the picture is left
        // (zooms that pick pixels, where masking and scaling may change places).
        wxImage expected = picture.CopyToImage();
        for (int y = block.y; y < block.GetBottom() + 1; ++y)
            for (int x = block.x; x < block.GetRight() + 1; ++x)
                expected.SetRGB(x, y, expected.GetRed(x, y) & colour.Red(),
                                expected.GetGreen(x, y) & colour.Green(), 0);
        EXPECT_TRUE(ShowsScaled(expected));
    }
}
