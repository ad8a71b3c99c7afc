// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas in the main window: the mask overlay, erasing and hiding it, the brush outline and
// its size keys, painting switched off, and the view of a changed or very wide picture; and the
// pure pieces the view is composed of.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "view_compose.h"

namespace {

constexpr int nCols = 400;
constexpr int nRows = 240;

wxColour Pixel(const wxImage& image, int x, int y)
{
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

wxColour Inverted(const wxImage& image, int x, int y)
{
    return wxColour(255 - image.GetRed(x, y), 255 - image.GetGreen(x, y),
                    255 - image.GetBlue(x, y));
}

class CanvasTest : public GuiTest {
protected:
    CPaintPanel* Open(bool paint = true, int cols = nCols, int rows = nRows)
    {
        frame = FrameShowing(cols, rows, paint);
        return Ui(frame).paintPanel;
    }
    void Dab(CPaintPanel* panel, int x, int y)
    {
        SendMouse(panel, wxEVT_MOTION, {x, y});
        SendMouse(panel, wxEVT_LEFT_UP, {x, y});
    }

    CMainFrame* frame = nullptr;
    const wxImage picture = DistinctPixelsPicture(nCols, nRows).CopyToImage();
};

}  // namespace

// Red keeps the picture's red channel only, green its green channel; hiding the mask or erasing
// it shows the picture unchanged; the mask holds only pure colours.
TEST_F(CanvasTest, TheOverlayShowsThePaintedChannelsUntilHiddenOrErased)
{
    CPaintPanel* panel = Open();
    panel->SetBrushSize(25);
    // A click gives the picture the keyboard while painting is on.
    Ui(frame).checkEnableMask->SetFocus();
    PumpEvents(20);
    Dab(panel, 100, 100);
    EXPECT_TRUE(WaitFor([panel] { return wxWindow::FindFocus() == panel; }, 1000));
    Ui(frame).radioDelete->SetValue(true);
    Dab(panel, 130, 100);
    SendMouse(panel, wxEVT_LEAVE_WINDOW, {0, 0});
    const wxImage mask = MaskImage(frame);
    const int red = CountPixels(mask, 255, 0, 0), green = CountPixels(mask, 0, 255, 0);
    EXPECT_EQ(red + green + CountPixels(mask, 0, 0, 0), nCols * nRows);
    // Two discs of radius about 24, the second covering part of the first.
    EXPECT_TRUE(green > 1500 && green < 2100 && red > 500 && red < 1800) << red << " " << green;
    const wxImage shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    EXPECT_EQ(Pixel(shown, 80, 100), wxColour(picture.GetRed(80, 100), 0, 0));
    EXPECT_EQ(Pixel(shown, 150, 100), wxColour(0, picture.GetGreen(150, 100), 0));
    EXPECT_EQ(Pixel(shown, 10, 10), Pixel(picture, 10, 10));

    panel->maskShown = false;
    EXPECT_TRUE(SamePixels(panel->ComposeView(wxRect(0, 0, nCols, nRows)), picture));
    panel->maskShown = true;
    Ui(frame).radioErase->SetValue(true);
    panel->SetBrushSize(60);
    Dab(panel, 115, 100);
    SendMouse(panel, wxEVT_LEAVE_WINDOW, {0, 0});
    EXPECT_EQ(CountPixels(MaskImage(frame), 0, 0, 0), nCols * nRows);
    EXPECT_TRUE(SamePixels(panel->ComposeView(wxRect(0, 0, nCols, nRows)), picture));
}

// Without painting (and without a picture) pointer, keys and brush changes do nothing; the
// window's own brush display does not hand the size back to the canvas.
TEST_F(CanvasTest, WithPaintingOffOrNoPicturePointerAndKeysChangeNothing)
{
    CMainFrame* empty = MakeFrame();
    CPaintPanel* idle = Ui(empty).paintPanel;
    idle->Init(-1, -1);
    EXPECT_FALSE(idle->maskBitmap->IsOk());
    SetChecked(Ui(empty).checkEnableMask, true);
    Dab(idle, 10, 10);
    EXPECT_FALSE(idle->maskChanged);
    CloseQuietly(empty);

    CPaintPanel* panel = Open(false);
    Ui(frame).textBrushSize->SetValue("untouched");
    SendMouse(panel, wxEVT_MOTION, {30, 30}, true);
    SendMouse(panel, wxEVT_LEFT_UP, {30, 30});
    EXPECT_TRUE(SendKey(panel, wxEVT_CHAR, WXK_RIGHT));
    panel->SetBrushSize(30);
    EXPECT_FALSE(panel->maskChanged);
    EXPECT_EQ(panel->cursorX, -1);
    EXPECT_EQ(panel->brushSize, 10);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "untouched");
    EXPECT_EQ(CountPixels(MaskImage(frame), 0, 0, 0), nCols * nRows);
    frame->SetBrushSize(42);
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 42);
    EXPECT_EQ(panel->brushSize, 10);
}

// The outline: an XOR circle of the brush radius (in view pixels) around the pointer, gone when
// the pointer leaves, drawn at the new place only when it comes back.
TEST_F(CanvasTest, OutlineFollowsThePointerAndTheZoomAndLeavingTakesItAway)
{
    CPaintPanel* panel = Open();
    auto shown = [panel] { return panel->ComposeView(wxRect(0, 0, nCols, nRows)); };
    SendMouse(panel, wxEVT_MOTION, {100, 100});
    EXPECT_EQ(Pixel(shown(), 110, 100), Inverted(picture, 110, 100));
    EXPECT_EQ(Pixel(shown(), 100, 90), Inverted(picture, 100, 90));
    EXPECT_EQ(Pixel(shown(), 100, 100), Pixel(picture, 100, 100));
    SendMouse(panel, wxEVT_MOTION, {150, 120});
    EXPECT_EQ(Pixel(shown(), 110, 100), Pixel(picture, 110, 100));
    EXPECT_EQ(Pixel(shown(), 160, 120), Inverted(picture, 160, 120));
    SendMouse(panel, wxEVT_LEAVE_WINDOW, {0, 0});
    EXPECT_TRUE(SamePixels(shown(), picture));
    SendMouse(panel, wxEVT_MOTION, {60, 60});
    EXPECT_EQ(Pixel(shown(), 160, 120), Pixel(picture, 160, 120));
    EXPECT_EQ(Pixel(shown(), 70, 60), Inverted(picture, 70, 60));

    panel->SetZoom(200);
    SendMouse(panel, wxEVT_MOTION, {100, 100});
    const wxImage zoomed = picture.Scale(nCols * 2, nRows * 2, wxIMAGE_QUALITY_NORMAL);
    EXPECT_EQ(Pixel(shown(), 120, 100), Inverted(zoomed, 120, 100));
    EXPECT_EQ(Pixel(shown(), 110, 100), Pixel(zoomed, 110, 100));
}

TEST_F(CanvasTest, BrushSizeChangesAreClampedAndShownInTheMainWindow)
{
    struct Case {
        int start;
        int key;       // an arrow key, or 0 for SetBrushSize(size)
        int size;      // for SetBrushSize
        int expected;  // the brush afterwards, shown in the text and the slider
    };
    for (const Case& c : {Case{10, WXK_RIGHT, 0, 11}, Case{10, WXK_LEFT, 0, 9},
                          Case{10, 0, 250, 100}, Case{10, 0, 0, 1}, Case{10, 0, 42, 42}}) {
        SCOPED_TRACE(c.expected);
        CPaintPanel* panel = Open();
        SendMouse(panel, wxEVT_MOTION, {100, 100});
        panel->SetBrushSize(c.start);
        // Even an unchanged size is reported back.
        Ui(frame).textBrushSize->SetValue("-");
        Ui(frame).sliderBrush->SetValue(50);
        if (c.key != 0)
            EXPECT_TRUE(SendKey(panel, wxEVT_CHAR, c.key));
        else
            panel->SetBrushSize(c.size);
        EXPECT_EQ(panel->brushSize, c.expected);
        EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), wxString::Format("%d", c.expected));
        EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), c.expected);
        // Other keys pass on and change nothing; a brush of one paints and asserts nothing.
        EXPECT_TRUE(SendKey(panel, wxEVT_CHAR, 'a'));
        EXPECT_EQ(panel->brushSize, c.expected);
        SendMouse(panel, wxEVT_LEFT_UP, {100, 100});
        CloseQuietly(frame);
    }
}

// The view follows the engine's picture when it changes size, and a picture that shrinks to
// nothing at the zoom is not drawn at all.
TEST_F(CanvasTest, ViewIsRebuiltWhenThePictureOrTheZoomChangesItsSize)
{
    CPaintPanel* panel = Open(false, 60, 30);
    ASSERT_TRUE(panel->ComposeView(wxRect(0, 0, 1, 1)).IsOk());
    Ui(frame).pDP->GetSeam_Vert(true);
    const wxImage carved = Ui(frame).pDP->GetColourImage().CopyToImage();
    EXPECT_TRUE(SamePixels(panel->ComposeView(wxRect(0, 0, 2000, 2000)), carved));
    panel->SetZoom(1);
    EXPECT_FALSE(panel->ComposeView(wxRect(0, 0, 10, 10)).IsOk());
    panel->SetZoom(150);
    PumpEvents(30);
    EXPECT_EQ(panel->shownZoom, 150);
    EXPECT_EQ(panel->ViewSize(), wxSize(59 * 150 / 100, 30 * 150 / 100));
}

TEST_F(CanvasTest, ViewWiderThanTheDrawingSurfaceLimitShowsAndPaintsToItsRightEdge)
{
    // At 200 % the view is 34000 pixels wide, beyond the 32767 that the toolkit's drawing
    // surfaces take: the canvas never draws on the view, it only cuts pieces out of it.
    constexpr int cols = 17000;
    constexpr int rows = 40;
    CPaintPanel* panel = Open(true, cols, rows);
    panel->SetZoom(200);
    const wxImage wide = DistinctPixelsPicture(cols, rows).CopyToImage();
    const wxImage shown = panel->ComposeView(wxRect(2 * cols - 100, 0, 500, 2 * rows));
    ASSERT_TRUE(shown.IsOk());
    EXPECT_EQ(shown.GetSize(), wxSize(100, 2 * rows));
    EXPECT_EQ(Pixel(shown, 99, 79), Pixel(wide, cols - 1, rows - 1));
    EXPECT_EQ(Pixel(shown, 0, 0), Pixel(wide, cols - 50, 0));
    Dab(panel, 2 * cols - 10, 40);
    EXPECT_EQ(Pixel(MaskImage(frame), cols - 5, 20), *wxRED);
}

TEST(CanvasView, NearestSourceMatchesTheToolkitsNormalScaling)
{
    wxImage row(7, 1);
    for (int x = 0; x < 7; ++x)
        row.SetRGB(x, 0, static_cast<unsigned char>(x), 0, 0);
    // (Shrinking by a whole factor on both sides the toolkit averages blocks instead; the
    // canvas scales only the picture that way, never the mask, whose colours must stay pure.)
    for (int width : {3, 10, 23}) {
        const wxImage scaled = row.Scale(width, 1, wxIMAGE_QUALITY_NORMAL);
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(canvasview::NearestSource(x, 7, width), scaled.GetRed(x, 0))
                << width << " " << x;
    }
    EXPECT_EQ(canvasview::NearestSource(63999, 32000, 64000), 31999);
}

TEST(CanvasView, AndOverlayKeepsTheChannelsOfTheMaskColourAndSkipsBlack)
{
    unsigned char picture[] = {200, 150, 100, 200, 150, 100, 200, 150, 100, 200, 150, 100};
    const unsigned char overlay[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 15, 240, 255};
    canvasview::AndOverlay(picture, overlay, 2, 2);
    const unsigned char expected[] = {200, 150, 100, 200, 0, 0, 0, 150, 0, 8, 144, 100};
    EXPECT_EQ(0, memcmp(picture, expected, sizeof expected));
}

TEST(CanvasView, CircleOutlineIsOnePixelRoundWithNoRepeats)
{
    EXPECT_TRUE(canvasview::CircleOutline(5, 5, 0).empty());
    auto points = canvasview::CircleOutline(50, 40, 10);
    for (const auto& [x, y] : points)
        EXPECT_NEAR(std::hypot(x - 50.0, y - 40.0), 10.0, 0.75) << x << "," << y;
    for (const std::pair<int, int>& pole : {std::pair{60, 40}, {40, 40}, {50, 30}, {50, 50}})
        EXPECT_NE(std::find(points.begin(), points.end(), pole), points.end());
    std::sort(points.begin(), points.end());
    EXPECT_EQ(std::unique(points.begin(), points.end()), points.end());
}

TEST(CanvasView, InvertPointsChangesOnlyPointsInsideTheImage)
{
    std::vector<unsigned char> rgb(4 * 3 * 3, 0);
    canvasview::InvertPoints(rgb.data(), 10, 20, 4, 3,
                             {{9, 20}, {14, 20}, {10, 19}, {10, 23}, {13, 22}});
    for (size_t i = 0; i < rgb.size(); ++i)
        EXPECT_EQ(rgb[i], i / 3 == 11 ? 0xFF : 0) << i;
}

// What the canvas redraws must hold the outline it takes away and every view pixel (scaled the
// way the view is) of a painted mask box.
TEST(CanvasView, RedrawnBoxesCoverTheOutlineAndTheZoomedMaskBox)
{
    auto inside = [](const canvasview::Box& b, int x, int y) {
        return x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height;
    };
    for (int r : {1, 2, 7, 30})
        for (const auto& [x, y] : canvasview::CircleOutline(50, 40, r))
            EXPECT_TRUE(inside(canvasview::OutlineBox(50, 40, r), x, y)) << r;
    const int cols = 97;
    for (int zoom : {25, 50, 100, 101, 150, 199, 250, 333})
        for (int x = 0; x < cols; x += 7) {
            const canvasview::Box mask{x, 0, 1 + x % 5, 1};
            const canvasview::Box view = canvasview::ZoomedOutwards(mask, zoom);
            const int side = cols * zoom / 100;
            for (int i = 0; i < side; ++i) {
                const int source = canvasview::NearestSource(i, cols, side);
                const bool shown = source >= mask.x && source < mask.x + mask.width;
                EXPECT_TRUE(!shown || inside(view, i, 0)) << zoom << " " << x << " " << i;
            }
        }
}
