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

// A picture with no two neighbouring pixels alike, so that any shift or wrong scaling shows.
wxFastImage TestPicture(int cols, int rows)
{
    wxFastImage picture(cols, rows);
    unsigned char* p = picture.GetData();
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x, p += 3) {
            p[0] = static_cast<unsigned char>(x * 7 + y * 3 + 40);
            p[1] = static_cast<unsigned char>(x * 5 + y * 11 + 90);
            p[2] = static_cast<unsigned char>(x * 13 + y * 2 + 10);
        }
    return picture;
}

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
        ShowPicture(frame, TestPicture(cols, rows));
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

TEST_F(CanvasTest, IsTheRightPaneOfTheSplitterAndKnowsTheMainWindow)
{
    CMainFrame* frame = MakeFrame();
    CPaintPanel* panel = Ui(frame).paintPanel;
    ASSERT_NE(panel, nullptr);
    auto* splitter = static_cast<wxSplitterWindow*>(frame->FindWindow(ID_SPLITTER));
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->GetWindow2(), panel);
    EXPECT_EQ(panel->GetId(), ID_PAINT_PANEL);
    EXPECT_EQ(panel->mainFrame, frame);
    EXPECT_TRUE(panel->HasFlag(wxBORDER_SIMPLE));
    EXPECT_TRUE(panel->HasFlag(wxWANTS_CHARS));
    EXPECT_EQ(panel->GetBackgroundStyle(), wxBG_STYLE_CUSTOM);
    EXPECT_TRUE(panel->IsKindOf(wxCLASSINFO(wxPanel)));
    EXPECT_STREQ(panel->GetClassInfo()->GetClassName(), L"CPaintPanel");

    EXPECT_EQ(panel->brushSize, 10);
    EXPECT_EQ(panel->zoom, 100);
    EXPECT_EQ(panel->cursorX, -1);
    EXPECT_EQ(panel->cursorY, -1);
    EXPECT_TRUE(panel->outlineHidden);
    EXPECT_TRUE(panel->maskShown);
    EXPECT_FALSE(panel->maskChanged);
    // "&Enable" is clear at start: the canvas cannot be painted on.
    EXPECT_FALSE(panel->paintEnabled);
}

TEST_F(CanvasTest, EnableTickFollowsIntoTheCanvas)
{
    CPaintPanel* panel = Open(true);
    EXPECT_TRUE(panel->paintEnabled);
    Ui(frame).checkEnableMask->SetValue(false);
    frame->DoEnableProtectDelete();
    EXPECT_FALSE(panel->paintEnabled);
}

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
    const wxImage picture = TestPicture(nCols, nRows).CopyToImage();
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

TEST_F(CanvasTest, AtZoomFiftyTheDiscIsPaintedAtTwiceThePreviousPointerPosition)
{
    CPaintPanel* panel = Open();
    panel->SetZoom(50);
    Motion(panel, 100, 40);
    // A click without movement paints at the position of the last motion.
    LeftUp(panel, 100, 40);
    EXPECT_EQ(MaskPixel(panel, 200, 80), *wxRED);
    EXPECT_EQ(MaskPixel(panel, 200 + 7, 80), *wxRED);
    EXPECT_EQ(MaskPixel(panel, 200, 80 - 7), *wxRED);
    EXPECT_EQ(MaskPixel(panel, 200 + 12, 80), *wxBLACK);
    EXPECT_EQ(MaskPixel(panel, 100, 40), *wxBLACK);
    // The window shows the zoomed picture's red channel only where the disc is (around
    // window point 100, 40); the outline is 5 pixels away from it at this zoom.
    const wxImage shown = panel->ComposeView(wxRect(0, 0, nCols / 2, nRows / 2));
    const wxImage zoomed =
        TestPicture(nCols, nRows).CopyToImage().Scale(nCols / 2, nRows / 2, wxIMAGE_QUALITY_NORMAL);
    EXPECT_EQ(ImagePixel(shown, 100, 40), wxColour(zoomed.GetRed(100, 40), 0, 0));
    EXPECT_EQ(ImagePixel(shown, 10, 10), ImagePixel(zoomed, 10, 10));
}

TEST_F(CanvasTest, AtZoomTwoHundredTheDiscIsPaintedAtHalfThePreviousPointerPosition)
{
    CPaintPanel* panel = Open();
    Ui(frame).radioDelete->SetValue(true);
    panel->SetZoom(200);
    Motion(panel, 100, 40);
    LeftUp(panel, 100, 40);
    EXPECT_EQ(MaskPixel(panel, 50, 20), *wxGREEN);
    EXPECT_EQ(MaskPixel(panel, 50 - 8, 20), *wxGREEN);
    EXPECT_EQ(MaskPixel(panel, 50 + 11, 20), *wxBLACK);
    EXPECT_EQ(MaskPixel(panel, 100, 40), *wxBLACK);
    const wxImage shown = panel->ComposeView(wxRect(0, 0, 400, 200));
    const wxImage picture = TestPicture(nCols, nRows).CopyToImage();
    // Window (101, 41) shows picture pixel (50, 20) with only its green channel; the outline
    // passes 20 pixels away at this zoom, so the centre is not inverted.
    EXPECT_EQ(ImagePixel(shown, 101, 41), wxColour(0, picture.GetGreen(50, 20), 0));
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
    const wxImage picture = TestPicture(nCols, nRows).CopyToImage();
    EXPECT_EQ(0, memcmp(shown.GetData(), picture.GetData(), nCols * nRows * 3));
}

TEST_F(CanvasTest, PaintingLeavesAStoredCopyOfTheMaskAsItWas)
{
    CPaintPanel* panel = Open();
    const wxBitmap stored = *panel->maskBitmap;  // shares the mask's data
    Motion(panel, 50, 50);
    LeftUp(panel, 50, 50);
    EXPECT_EQ(MaskPixel(panel, 50, 50), *wxRED);
    const wxImage kept = stored.ConvertToImage();
    EXPECT_EQ(ImagePixel(kept, 50, 50), *wxBLACK);
}

TEST_F(CanvasTest, HiddenMaskIsNotDrawnOverThePicture)
{
    CPaintPanel* panel = Open();
    Motion(panel, 50, 50);
    LeftUp(panel, 50, 50);
    Leave(panel);
    panel->maskShown = false;
    const wxImage shown = panel->ComposeView(wxRect(0, 0, nCols, nRows));
    const wxImage picture = TestPicture(nCols, nRows).CopyToImage();
    EXPECT_EQ(0, memcmp(shown.GetData(), picture.GetData(), nCols * nRows * 3));
}

TEST_F(CanvasTest, MovingThePointerWithoutAButtonMarksTheMaskChanged)
{
    CPaintPanel* panel = Open();
    EXPECT_FALSE(panel->maskChanged);
    Motion(panel, 30, 30);
    EXPECT_TRUE(panel->maskChanged);
    EXPECT_EQ(MaskPixel(panel, 30, 30), *wxBLACK);
    panel->Init(nCols, nRows);
    EXPECT_FALSE(panel->maskChanged);
}

TEST_F(CanvasTest, WithPaintingDisabledPointerAndKeysChangeNothing)
{
    CPaintPanel* panel = Open(false);
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
    const wxImage picture = TestPicture(nCols, nRows).CopyToImage();
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
    const wxImage picture = TestPicture(nCols, nRows).CopyToImage();
    panel->SetZoom(200);
    Motion(panel, 100, 100);
    const wxImage shown = panel->ComposeView(wxRect(0, 0, 400, 400));
    const wxImage zoomed = picture.Scale(nCols * 2, nRows * 2, wxIMAGE_QUALITY_NORMAL);
    EXPECT_EQ(ImagePixel(shown, 120, 100).Red(), 255 - zoomed.GetRed(120, 100));
    EXPECT_EQ(ImagePixel(shown, 110, 100), ImagePixel(zoomed, 110, 100));
}

TEST_F(CanvasTest, ArrowKeysResizeTheBrushAndShowItInTheMainWindow)
{
    CPaintPanel* panel = Open();
    Motion(panel, 100, 100);
    EXPECT_TRUE(Key(panel, WXK_RIGHT));
    EXPECT_EQ(panel->brushSize, 11);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "11");
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 11);
    EXPECT_TRUE(Key(panel, WXK_LEFT));
    EXPECT_TRUE(Key(panel, WXK_LEFT));
    EXPECT_EQ(panel->brushSize, 9);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "9");
    // Other keys pass on and change nothing.
    EXPECT_TRUE(Key(panel, 'a'));
    EXPECT_EQ(panel->brushSize, 9);
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

TEST_F(CanvasTest, RightArrowAtOneHundredKeepsOneHundredAndStillTellsTheMainWindow)
{
    CPaintPanel* panel = Open();
    panel->SetBrushSize(100);
    ASSERT_EQ(panel->brushSize, 100);
    Ui(frame).textBrushSize->SetValue("-");
    Ui(frame).sliderBrush->SetValue(50);
    EXPECT_TRUE(Key(panel, WXK_RIGHT));
    EXPECT_EQ(panel->brushSize, 100);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "100");
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 100);
}

TEST_F(CanvasTest, LeftArrowAtOneKeepsOneAndStillTellsTheMainWindow)
{
    CPaintPanel* panel = Open();
    panel->SetBrushSize(1);
    ASSERT_EQ(panel->brushSize, 1);
    Ui(frame).textBrushSize->SetValue("-");
    Ui(frame).sliderBrush->SetValue(50);
    EXPECT_TRUE(Key(panel, WXK_LEFT));
    EXPECT_EQ(panel->brushSize, 1);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "1");
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 1);
    // A brush of one paints nothing: the disc's box is empty, and nothing asserts.
    Motion(panel, 40, 40);
    LeftUp(panel, 40, 40);
}

TEST_F(CanvasTest, SetBrushSizeClampsToOneToOneHundred)
{
    CPaintPanel* panel = Open();
    panel->SetBrushSize(250);
    EXPECT_EQ(panel->brushSize, 100);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "100");
    panel->SetBrushSize(0);
    EXPECT_EQ(panel->brushSize, 1);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "1");
}

TEST_F(CanvasTest, SetBrushSizeWithPaintingDisabledChangesNothingAndDoesNotCallBack)
{
    CPaintPanel* panel = Open(false);
    Ui(frame).textBrushSize->SetValue("untouched");
    Ui(frame).sliderBrush->SetValue(10);
    panel->SetBrushSize(30);
    EXPECT_EQ(panel->brushSize, 10);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "untouched");
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 10);
}

TEST_F(CanvasTest, MainWindowSetBrushSizeShowsTheSizeInTextAndSlider)
{
    CMainFrame* frame = MakeFrame();
    frame->SetBrushSize(42);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "42");
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 42);
    // It does not hand the size back to the canvas.
    EXPECT_EQ(Ui(frame).paintPanel->brushSize, 10);
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
    ShowPicture(frame, TestPicture(60, 30));
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
    EXPECT_EQ(panel->viewBitmap.GetWidth(), 90);
    EXPECT_EQ(panel->viewBitmap.GetHeight(), 45);
}

TEST_F(CanvasTest, ViewIsRebuiltWhenThePictureChangesSize)
{
    CPaintPanel* panel = Open(false);
    ASSERT_TRUE(panel->ComposeView(wxRect(0, 0, 1, 1)).IsOk());
    EXPECT_EQ(panel->viewBitmap.GetWidth(), nCols);
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
    const wxImage picture = TestPicture(cols, rows).CopyToImage();
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
