// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas in the main window: the picture at the zoom, painting the mask with the brush, the
// mask overlay, the brush outline and its size keys, and the brush-size display.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>

#include "dp.h"
#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "view_compose.h"

namespace {

constexpr int nCols = 400;
constexpr int nRows = 240;

wxColour MaskPixel(CPaintPanel* panel, int x, int y)
{
    const wxImage mask = panel->maskBitmap->ConvertToImage();
    return wxColour(mask.GetRed(x, y), mask.GetGreen(x, y), mask.GetBlue(x, y));
}

wxColour ImagePixel(const wxImage& image, int x, int y)
{
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

void Motion(CPaintPanel* panel, int x, int y, bool leftDown = false)
{
    wxMouseEvent event(wxEVT_MOTION);
    event.SetPosition(wxPoint(x, y));
    event.SetLeftDown(leftDown);
    event.SetEventObject(panel);
    panel->GetEventHandler()->ProcessEvent(event);
}

void LeftUp(CPaintPanel* panel, int x, int y)
{
    wxMouseEvent event(wxEVT_LEFT_UP);
    event.SetPosition(wxPoint(x, y));
    event.SetEventObject(panel);
    panel->GetEventHandler()->ProcessEvent(event);
}

void Leave(CPaintPanel* panel)
{
    wxMouseEvent event(wxEVT_LEAVE_WINDOW);
    event.SetEventObject(panel);
    panel->GetEventHandler()->ProcessEvent(event);
}

// Returns whether the key event was passed on.
bool Key(CPaintPanel* panel, int code)
{
    wxKeyEvent event(wxEVT_CHAR);
    event.m_keyCode = code;
    event.SetEventObject(panel);
    return panel->GetEventHandler()->ProcessEvent(event) == false;
}

class CanvasTest : public GuiTest {
protected:
    // A main window holding the test picture, with painting switched on the way the mask
    // commands switch it on, when paint is true.
    CPaintPanel* Open(bool paint = true, int cols = nCols, int rows = nRows)
    {
        frame = MakeFrame();
        ShowPicture(frame, DistinctPixelsPicture(cols, rows));
        CPaintPanel* panel = Ui(frame).paintPanel;
        Ui(frame).checkEnableMask->SetValue(paint);
        frame->DoEnableProtectDelete();
        panel->Init(cols, rows);
        panel->Refresh();
        PumpEvents(30);
        return panel;
    }

    CMainFrame* frame = nullptr;
};

}  // namespace

TEST_F(CanvasTest, InitMakesABlackMaskOfThePictureSizeMarkedUnchangedAndShown)
{
    CPaintPanel* panel = Open();
    panel->maskChanged = true;
    panel->maskShown = false;
    panel->Init(30, 20);
    ASSERT_NE(panel->maskBitmap, nullptr);
    ASSERT_TRUE(panel->maskBitmap->IsOk());
    EXPECT_EQ(panel->maskBitmap->GetWidth(), 30);
    EXPECT_EQ(panel->maskBitmap->GetHeight(), 20);
    const wxImage mask = panel->maskBitmap->ConvertToImage();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(ImagePixel(mask, x, y), *wxBLACK) << x << "," << y;
    EXPECT_FALSE(panel->maskChanged);
    EXPECT_TRUE(panel->maskShown);
    EXPECT_EQ(panel->shownZoom, -1);
}

TEST_F(CanvasTest, InitWithoutAPictureLeavesNoMaskToPaintOn)
{
    CMainFrame* frame = MakeFrame();
    CPaintPanel* panel = Ui(frame).paintPanel;
    panel->Init(-1, -1);
    ASSERT_NE(panel->maskBitmap, nullptr);
    EXPECT_FALSE(panel->maskBitmap->IsOk());
    // Painting needs an opened picture; nothing happens, nothing asserts.
    Ui(frame).checkEnableMask->SetValue(true);
    frame->DoEnableProtectDelete();
    Motion(panel, 10, 10, true);
    LeftUp(panel, 10, 10);
    EXPECT_FALSE(panel->maskChanged);
    panel->Refresh();
    panel->Update();
    PumpEvents(20);
}

TEST_F(CanvasTest, ShowsThePictureScaledFromItsTopLeftCorner)
{
    CPaintPanel* panel = Open(false);
    const wxImage picture = DistinctPixelsPicture(nCols, nRows).CopyToImage();
    for (int zoom : {100, 50, 200, 37}) {
        panel->SetZoom(zoom);
        const wxImage shown = panel->ComposeView(wxRect(0, 0, 2000, 2000));
        ASSERT_TRUE(shown.IsOk());
        const wxImage expected = zoom == 100 ? picture
                                             : picture.Scale(nCols * zoom / 100, nRows * zoom / 100,
                                                             wxIMAGE_QUALITY_NORMAL);
        ASSERT_EQ(shown.GetSize(), expected.GetSize()) << zoom;
        EXPECT_EQ(0, memcmp(shown.GetData(), expected.GetData(),
                            static_cast<size_t>(expected.GetWidth()) * expected.GetHeight() * 3))
            << "zoom " << zoom;
    }
}

TEST_F(CanvasTest, TheDiscIsPaintedAtThePreviousPointerPositionInMaskCoordinates)
{
    struct Case {
        int zoom;
        bool protect;
        wxPoint centre;   // mask point under window point (100, 40)
        wxPoint inside;   // another mask point of the disc
        wxPoint outside;  // a mask point beyond it
        wxPoint window;   // a window point showing the disc, away from the outline
    };
    const Case cases[] = {{50, true, {200, 80}, {207, 80}, {212, 80}, {100, 40}},
                          {200, false, {50, 20}, {42, 20}, {61, 20}, {101, 41}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        CPaintPanel* panel = Open();
        (c.protect ? Ui(frame).radioProtect : Ui(frame).radioDelete)->SetValue(true);
        panel->SetZoom(c.zoom);
        Motion(panel, 100, 40);
        // A click without movement paints at the position of the last motion.
        LeftUp(panel, 100, 40);
        const wxColour colour = c.protect ? *wxRED : *wxGREEN;
        EXPECT_EQ(MaskPixel(panel, c.centre.x, c.centre.y), colour);
        EXPECT_EQ(MaskPixel(panel, c.inside.x, c.inside.y), colour);
        EXPECT_EQ(MaskPixel(panel, c.outside.x, c.outside.y), *wxBLACK);
        EXPECT_EQ(MaskPixel(panel, 100, 40), *wxBLACK);
        // The window shows only the painted colour's channel of the zoomed picture there.
        const wxImage zoomed =
            DistinctPixelsPicture(nCols, nRows)
                .CopyToImage()
                .Scale(nCols * c.zoom / 100, nRows * c.zoom / 100, wxIMAGE_QUALITY_NORMAL);
        const wxImage shown = panel->ComposeView(wxRect(0, 0, 400, 200));
        const wxColour picture = ImagePixel(zoomed, c.window.x, c.window.y);
        EXPECT_EQ(ImagePixel(shown, c.window.x, c.window.y),
                  c.protect ? wxColour(picture.Red(), 0, 0) : wxColour(0, picture.Green(), 0));
        EXPECT_EQ(ImagePixel(shown, 10, 10), ImagePixel(zoomed, 10, 10));
        CloseQuietly(frame);
    }
}

TEST_F(CanvasTest, StrokesPaintAtEachPreviousPositionWhileAButtonIsHeld)
{
    CPaintPanel* panel = Open();
    panel->SetBrushSize(3);
    Motion(panel, 20, 20);
    Motion(panel, 60, 20, true);   // paints at (20, 20)
    Motion(panel, 100, 20, true);  // paints at (60, 20)
    Motion(panel, 140, 20);        // moves only
    EXPECT_EQ(MaskPixel(panel, 20, 20), *wxRED);
    EXPECT_EQ(MaskPixel(panel, 60, 20), *wxRED);
    EXPECT_EQ(MaskPixel(panel, 100, 20), *wxBLACK);
    EXPECT_EQ(MaskPixel(panel, 140, 20), *wxBLACK);
}

TEST_F(CanvasTest, PaintedMaskHoldsOnlyPureColours)
{
    CPaintPanel* panel = Open();
    panel->SetBrushSize(25);
    Motion(panel, 100, 100);
    LeftUp(panel, 100, 100);
    Ui(frame).radioDelete->SetValue(true);
    Motion(panel, 130, 100);
    LeftUp(panel, 130, 100);
    const wxImage mask = panel->maskBitmap->ConvertToImage();
    int red = 0;
    int green = 0;
    for (int y = 0; y < nRows; ++y)
        for (int x = 0; x < nCols; ++x) {
            const wxColour c = ImagePixel(mask, x, y);
            ASSERT_TRUE(c == *wxBLACK || c == *wxRED || c == *wxGREEN)
                << x << "," << y << " " << c.GetAsString().ToStdString();
            red += c == *wxRED;
            green += c == *wxGREEN;
        }
    // Two discs of radius about 24: roughly 1800 pixels each, the second covering part of the
    // first.
    EXPECT_GT(green, 1500);
    EXPECT_LT(green, 2100);
    EXPECT_GT(red, 500);
    EXPECT_LT(red, 1800);
}

TEST_F(CanvasTest, ErasingMakesPaintedAreasBlackAndThePictureShowsUnchanged)
{
    CPaintPanel* panel = Open();
    Motion(panel, 50, 50);
    LeftUp(panel, 50, 50);
    Ui(frame).radioDelete->SetValue(true);
    Motion(panel, 80, 50);
    LeftUp(panel, 80, 50);
    ASSERT_EQ(MaskPixel(panel, 50, 50), *wxRED);
    ASSERT_EQ(MaskPixel(panel, 80, 50), *wxGREEN);

    Ui(frame).radioErase->SetValue(true);
    panel->SetBrushSize(30);
    Motion(panel, 65, 50);
    LeftUp(panel, 65, 50);
    const wxImage mask = panel->maskBitmap->ConvertToImage();
    for (int y = 0; y < nRows; ++y)
        for (int x = 0; x < nCols; ++x)
            ASSERT_EQ(ImagePixel(mask, x, y), *wxBLACK) << x << "," << y;

    Leave(panel);
    const wxImage shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    const wxImage picture = DistinctPixelsPicture(nCols, nRows).CopyToImage();
    EXPECT_EQ(0, memcmp(shown.GetData(), picture.GetData(), nCols * nRows * 3));
}

TEST_F(CanvasTest, HiddenMaskIsNotDrawnOverThePicture)
{
    CPaintPanel* panel = Open();
    Motion(panel, 50, 50);
    LeftUp(panel, 50, 50);
    Leave(panel);
    panel->maskShown = false;
    const wxImage shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    const wxImage picture = DistinctPixelsPicture(nCols, nRows).CopyToImage();
    EXPECT_EQ(0, memcmp(shown.GetData(), picture.GetData(), nCols * nRows * 3));
}

TEST_F(CanvasTest, WithPaintingDisabledPointerAndKeysChangeNothing)
{
    CPaintPanel* panel = Open(false);
    EXPECT_FALSE(panel->paintEnabled);
    Motion(panel, 30, 30, true);
    LeftUp(panel, 30, 30);
    EXPECT_TRUE(Key(panel, WXK_RIGHT));
    EXPECT_FALSE(panel->maskChanged);
    EXPECT_EQ(panel->cursorX, -1);
    EXPECT_EQ(panel->brushSize, 10);
    EXPECT_EQ(MaskPixel(panel, 30, 30), *wxBLACK);
}

TEST_F(CanvasTest, OutlineFollowsThePointerAndLeavingTakesItAway)
{
    CPaintPanel* panel = Open();
    const wxImage picture = DistinctPixelsPicture(nCols, nRows).CopyToImage();
    Motion(panel, 100, 100);
    EXPECT_FALSE(panel->outlineHidden);
    EXPECT_EQ(panel->cursorX, 100);
    EXPECT_EQ(panel->cursorY, 100);
    // The outline: a white XOR circle of radius 10 around the pointer.
    wxImage shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    EXPECT_EQ(ImagePixel(shown, 110, 100),
              wxColour(255 - picture.GetRed(110, 100), 255 - picture.GetGreen(110, 100),
                       255 - picture.GetBlue(110, 100)));
    EXPECT_EQ(ImagePixel(shown, 100, 90),
              wxColour(255 - picture.GetRed(100, 90), 255 - picture.GetGreen(100, 90),
                       255 - picture.GetBlue(100, 90)));
    EXPECT_EQ(ImagePixel(shown, 100, 100), ImagePixel(picture, 100, 100));

    Motion(panel, 150, 120);
    shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    EXPECT_EQ(ImagePixel(shown, 110, 100), ImagePixel(picture, 110, 100));
    EXPECT_EQ(ImagePixel(shown, 160, 120).Red(), 255 - picture.GetRed(160, 120));

    Leave(panel);
    EXPECT_TRUE(panel->outlineHidden);
    shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    EXPECT_EQ(0, memcmp(shown.GetData(), picture.GetData(), nCols * nRows * 3));

    // Coming back draws the outline at the new place only.
    Motion(panel, 60, 60);
    EXPECT_FALSE(panel->outlineHidden);
    shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    EXPECT_EQ(ImagePixel(shown, 160, 120), ImagePixel(picture, 160, 120));
    EXPECT_EQ(ImagePixel(shown, 70, 60).Red(), 255 - picture.GetRed(70, 60));
}

TEST_F(CanvasTest, OutlineRadiusFollowsTheZoom)
{
    CPaintPanel* panel = Open();
    const wxImage picture = DistinctPixelsPicture(nCols, nRows).CopyToImage();
    panel->SetZoom(200);
    Motion(panel, 100, 100);
    const wxImage shown = panel->ComposeView(wxRect(0, 0, 400, 400));
    const wxImage zoomed = picture.Scale(nCols * 2, nRows * 2, wxIMAGE_QUALITY_NORMAL);
    EXPECT_EQ(ImagePixel(shown, 120, 100).Red(), 255 - zoomed.GetRed(120, 100));
    EXPECT_EQ(ImagePixel(shown, 110, 100), ImagePixel(zoomed, 110, 100));
}

TEST_F(CanvasTest, BrushSizeChangesAreClampedAndShownInTheMainWindow)
{
    struct Case {
        int start;
        int key;       // an arrow key, or 0 for SetBrushSize(size)
        int size;      // for SetBrushSize
        int expected;  // the brush afterwards, shown in the text and the slider
    };
    for (const Case& c :
         {Case{10, WXK_RIGHT, 0, 11}, Case{10, WXK_LEFT, 0, 9}, Case{100, WXK_RIGHT, 0, 100},
          Case{1, WXK_LEFT, 0, 1}, Case{10, 0, 250, 100}, Case{10, 0, 0, 1}, Case{10, 0, 42, 42}}) {
        SCOPED_TRACE(c.expected);
        CPaintPanel* panel = Open();
        Motion(panel, 100, 100);
        panel->SetBrushSize(c.start);
        // Even an unchanged size is reported back.
        Ui(frame).textBrushSize->SetValue("-");
        Ui(frame).sliderBrush->SetValue(50);
        if (c.key != 0)
            EXPECT_TRUE(Key(panel, c.key));
        else
            panel->SetBrushSize(c.size);
        EXPECT_EQ(panel->brushSize, c.expected);
        EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), wxString::Format("%d", c.expected));
        EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), c.expected);
        // Other keys pass on and change nothing; a brush of one paints nothing and asserts
        // nothing.
        EXPECT_TRUE(Key(panel, 'a'));
        EXPECT_EQ(panel->brushSize, c.expected);
        LeftUp(panel, 100, 100);
        CloseQuietly(frame);
    }
}

TEST_F(CanvasTest, SetBrushSizeWithPaintingDisabledChangesNothingAndDoesNotCallBack)
{
    CPaintPanel* panel = Open(false);
    Ui(frame).textBrushSize->SetValue("untouched");
    panel->SetBrushSize(30);
    EXPECT_EQ(panel->brushSize, 10);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "untouched");
    // The window's own display does not hand the size back to the canvas.
    frame->SetBrushSize(42);
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 42);
    EXPECT_EQ(panel->brushSize, 10);
}

TEST_F(CanvasTest, AClickGivesThePictureTheKeyboardWhilePaintingIsOn)
{
    CPaintPanel* panel = Open();
    Ui(frame).checkEnableMask->SetFocus();
    PumpEvents(20);
    Motion(panel, 50, 50);
    LeftUp(panel, 50, 50);
    EXPECT_TRUE(WaitFor([panel] { return wxWindow::FindFocus() == panel; }, 1000));
}

TEST_F(CanvasTest, RepaintsWithAndWithoutAPictureRunCleanly)
{
    CMainFrame* frame = MakeFrame();
    CPaintPanel* panel = Ui(frame).paintPanel;
    int paints = 0;
    panel->Bind(wxEVT_PAINT, [&paints](wxPaintEvent& event) {
        ++paints;
        event.Skip();
    });
    panel->Refresh();
    panel->Update();
    PumpEvents(30);
    ShowPicture(frame, DistinctPixelsPicture(60, 30));
    panel->Init(60, 30);
    // A picture that shrinks to nothing at this zoom is not drawn at all.
    panel->SetZoom(1);
    panel->Update();
    EXPECT_FALSE(panel->ComposeView(wxRect(0, 0, 10, 10)).IsOk());
    panel->SetZoom(150);
    panel->Update();
    PumpEvents(30);
    EXPECT_GE(paints, 2);
    EXPECT_EQ(panel->shownZoom, 150);
    EXPECT_EQ(panel->ViewSize(), wxSize(90, 45));
}

TEST_F(CanvasTest, ViewIsRebuiltWhenThePictureChangesSize)
{
    CPaintPanel* panel = Open(false);
    ASSERT_TRUE(panel->ComposeView(wxRect(0, 0, 1, 1)).IsOk());
    EXPECT_EQ(panel->ViewSize().x, nCols);
    Ui(frame).pDP->GetSeam_Vert(true);
    ASSERT_EQ(Ui(frame).pDP->cols, nCols - 1);
    const wxImage shown = panel->ComposeView(wxRect(0, 0, 2000, 2000));
    EXPECT_EQ(shown.GetWidth(), nCols - 1);
    const wxImage carved = Ui(frame).pDP->GetColourImage().CopyToImage();
    EXPECT_EQ(0, memcmp(shown.GetData(), carved.GetData(), (nCols - 1) * nRows * 3));
}

TEST_F(CanvasTest, ViewWiderThanTheDrawingSurfaceLimitShowsAndPaintsToItsRightEdge)
{
    // At 200 % the view is 34000 pixels wide, beyond the 32767 that the toolkit's drawing
    // surfaces take: the canvas never draws on the view, it only cuts pieces out of it.
    constexpr int cols = 17000;
    constexpr int rows = 40;
    CPaintPanel* panel = Open(true, cols, rows);
    panel->SetZoom(200);
    const wxImage picture = DistinctPixelsPicture(cols, rows).CopyToImage();
    const wxImage shown = panel->ComposeView(wxRect(2 * cols - 100, 0, 500, 2 * rows));
    ASSERT_TRUE(shown.IsOk());
    EXPECT_EQ(shown.GetSize(), wxSize(100, 2 * rows));
    EXPECT_EQ(ImagePixel(shown, 99, 79), ImagePixel(picture, cols - 1, rows - 1));
    EXPECT_EQ(ImagePixel(shown, 0, 0), ImagePixel(picture, cols - 50, 0));

    Motion(panel, 2 * cols - 10, 40);
    LeftUp(panel, 2 * cols - 10, 40);
    EXPECT_EQ(MaskPixel(panel, cols - 5, 20), *wxRED);
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
    const auto points = canvasview::CircleOutline(50, 40, 10);
    for (const auto& [x, y] : points) {
        const double d = std::hypot(x - 50.0, y - 40.0);
        EXPECT_NEAR(d, 10.0, 0.75) << x << "," << y;
    }
    auto has = [&points](int x, int y) {
        return std::find(points.begin(), points.end(), std::pair{x, y}) != points.end();
    };
    EXPECT_TRUE(has(60, 40));
    EXPECT_TRUE(has(40, 40));
    EXPECT_TRUE(has(50, 30));
    EXPECT_TRUE(has(50, 50));
    auto sorted = points;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
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
