// SPDX-License-Identifier: GPL-3.0-or-later
// Seeing the whole picture: the visible part of the zoomed view against the toolkit's scaling of
// the whole picture, scrolling, zooming about the pointer and to fit, the View menu, continuous
// strokes against a plain distance rule, and the zoom box giving the keyboard back; the zoom
// box's reading of a zoom and its delay.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "view_compose.h"
#include "zoom_value.h"

namespace {

constexpr int nCols = 400;
constexpr int nRows = 240;

wxFastImage Picture(int cols = nCols, int rows = nRows)
{
    return DistinctPixelsPicture(cols, rows);
}

// Whether image shows exactly the part of reference at (left, top) of its own size.
bool ShowsPart(const wxImage& image, const wxImage& reference, int left, int top)
{
    return image.IsOk() &&
           std::memcmp(image.GetData(),
                       reference.GetSubImage(wxRect(left, top, image.GetWidth(), image.GetHeight()))
                           .GetData(),
                       static_cast<size_t>(image.GetWidth()) * image.GetHeight() * 3) == 0;
}

void Wheel(CPaintPanel* panel, int x, int y, int rotation, bool ctrl, bool shift = false)
{
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.SetPosition(wxPoint(x, y));
    event.m_wheelRotation = rotation;
    event.m_wheelDelta = 120;
    event.m_linesPerAction = 3;
    event.SetControlDown(ctrl);
    event.SetShiftDown(shift);
    event.SetEventObject(panel);
    panel->GetEventHandler()->ProcessEvent(event);
}

// What the zoom box sends when an entry is chosen (wxEVT_COMBOBOX) or Enter is pressed.
void Zoom(CMainFrame* frame, wxEventType type, const wxString& text = wxString())
{
    wxCommandEvent event(type, ID_COMBO_ZOOM);
    event.SetString(text);
    event.SetEventObject(Ui(frame).comboZoom);
    Ui(frame).comboZoom->GetEventHandler()->ProcessEvent(event);
}

class ScrollZoomTest : public GuiTest {
protected:
    CPaintPanel* Open(bool paint, int cols = nCols, int rows = nRows)
    {
        frame = FrameShowing(cols, rows, paint);
        return Ui(frame).paintPanel;
    }

    CMainFrame* frame = nullptr;
};

}  // namespace

TEST(ZoomSteps, LadderFitAndRange)
{
    EXPECT_EQ(StepZoom(100, 1), 150);
    EXPECT_EQ(StepZoom(100, -1), 75);
    EXPECT_EQ(StepZoom(120, 1), 150);
    EXPECT_EQ(StepZoom(120, -1), 100);
    EXPECT_EQ(StepZoom(600, 3), 800);
    EXPECT_EQ(StepZoom(5, -1), 1);
    EXPECT_EQ(StepZoom(1, -1), 1);
    // The fitted view never exceeds the pane and one percent more would.
    for (const auto& [cols, rows, width, height] : {std::array{6000, 4000, 1200, 900},
                                                    {400, 240, 533, 317},
                                                    {10, 10, 700, 500},
                                                    {32000, 3, 100, 100}}) {
        const int zoom = FitZoom(cols, rows, width, height);
        // Only the smallest zoom may be too large for the pane.
        EXPECT_TRUE(zoom == kMinZoom || (cols * static_cast<long>(zoom) / 100 <= width &&
                                         rows * static_cast<long>(zoom) / 100 <= height));
        if (zoom > kMinZoom && zoom < kMaxZoom) {
            EXPECT_TRUE(cols * static_cast<long>(zoom + 1) / 100 > width ||
                        rows * static_cast<long>(zoom + 1) / 100 > height)
                << cols << "x" << rows;
        }
    }
}

TEST(ZoomedPart, EqualsTheToolkitsScalingOfTheWholePicture)
{
    const wxImage picture = Picture().CopyToImage();
    for (int zoom : {25, 50, 37, 100, 150, 333, 800}) {
        SCOPED_TRACE(zoom);
        const int width = nCols * zoom / 100;
        const int height = nRows * zoom / 100;
        const wxImage scaled = picture.Scale(width, height, wxIMAGE_QUALITY_NORMAL);
        const wxRect part(width / 3, height / 4, width / 2, height / 2);
        wxImage shown(part.width, part.height, false);
        canvasview::ZoomedPart(picture.GetData(), nCols, nRows, width, height, part.x, part.y,
                               part.width, part.height, shown.GetData());
        EXPECT_TRUE(ShowsPart(shown, scaled, part.x, part.y));
    }
}

TEST_F(ScrollZoomTest, ScrolledViewShowsItsPartAndScrollingStaysWithinTheView)
{
    CPaintPanel* panel = Open(false);
    panel->SetZoom(800);
    const wxImage scaled = Picture().CopyToImage().Scale(3200, 1920, wxIMAGE_QUALITY_NORMAL);
    panel->ScrollTo(150, 90);
    EXPECT_EQ(panel->ScrollPosition(), wxPoint(150, 90));
    EXPECT_TRUE(ShowsPart(panel->ComposeView(wxRect(0, 0, 100, 50)), scaled, 150, 90));

    const wxSize pane = panel->GetClientSize();
    panel->ScrollTo(100000, -5);
    EXPECT_EQ(panel->ScrollPosition(), wxPoint(3200 - pane.x, 0));
    // Wheel down scrolls down, Shift+wheel sideways; never past the edges.
    Wheel(panel, 10, 10, -120, false);
    EXPECT_EQ(panel->ScrollPosition(), wxPoint(3200 - pane.x, 48));
    Wheel(panel, 10, 10, 120, false, true);
    EXPECT_EQ(panel->ScrollPosition(), wxPoint(3200 - pane.x - 48, 48));
    Wheel(panel, 10, 10, 360, false);
    EXPECT_EQ(panel->ScrollPosition().y, 0);

    // Dragging with the middle button moves the view with the pointer.
    panel->ScrollTo(300, 200);
    SendMouse(panel, wxEVT_MIDDLE_DOWN, {100, 100});
    wxMouseEvent drag(wxEVT_MOTION);
    drag.SetPosition(wxPoint(60, 130));
    drag.SetMiddleDown(true);
    panel->GetEventHandler()->ProcessEvent(drag);
    SendMouse(panel, wxEVT_MIDDLE_UP, {60, 130});
    EXPECT_EQ(panel->ScrollPosition(), wxPoint(340, 170));
    // Back at 100 % the picture fits and cannot scroll.
    panel->SetZoom(100);
    if (pane.x >= nCols && pane.y >= nRows) {
        EXPECT_EQ(panel->ScrollPosition(), wxPoint(0, 0));
    }
}

TEST_F(ScrollZoomTest, CtrlWheelZoomsAboutThePointerAndTheMenuStepsAndResets)
{
    CPaintPanel* panel = Open(false, 1600, 1000);
    panel->SetZoom(200);
    panel->ScrollTo(100, 60);
    const wxPoint under = panel->MaskPoint(wxPoint(120, 70));
    Wheel(panel, 120, 70, 120, true);
    EXPECT_EQ(panel->zoom, 300);
    EXPECT_EQ(panel->MaskPoint(wxPoint(120, 70)), under);
    EXPECT_EQ(Ui(frame).comboZoom->GetValue(), "300%");
    Wheel(panel, 120, 70, -240, true);
    EXPECT_EQ(panel->zoom, 150);
    EXPECT_EQ(panel->MaskPoint(wxPoint(120, 70)), under);

    // The ladder and its ends are StepZoom's (tested above); here the menu's commands.
    SendMenu(frame, ID_MENU_ZOOM_IN);
    EXPECT_EQ(panel->zoom, 200);
    SendMenu(frame, ID_MENU_ZOOM_OUT);
    SendMenu(frame, ID_MENU_ZOOM_OUT);
    EXPECT_EQ(panel->zoom, 100);
    SendMenu(frame, ID_MENU_ZOOM_IN);
    SendMenu(frame, ID_MENU_ZOOM_ACTUAL);
    EXPECT_EQ(panel->zoom, 100);
    EXPECT_EQ(Ui(frame).comboZoom->GetValue(), "100%");
}

TEST_F(ScrollZoomTest, FitShowsTheWholePictureAndFollowsThePane)
{
    CPaintPanel* panel = Open(false, 1800, 1000);
    Zoom(frame, wxEVT_COMBOBOX, "Fit");
    EXPECT_TRUE(panel->IsFitZoom());
    EXPECT_EQ(Ui(frame).comboZoom->GetValue(), "Fit");
    auto fits = [panel] {
        const wxSize view = panel->ViewSize();
        const wxSize pane = panel->GetClientSize();
        const wxSize larger(1800 * (panel->zoom + 1) / 100, 1000 * (panel->zoom + 1) / 100);
        return view.x <= pane.x && view.y <= pane.y && (larger.x > pane.x || larger.y > pane.y);
    };
    EXPECT_TRUE(WaitFor(fits, 1000));
    const int before = panel->zoom;
    frame->SetSize(frame->GetSize() + wxSize(300, 200));
    EXPECT_TRUE(WaitFor([&] { return panel->zoom > before && fits(); }, 2000));
    // A chosen zoom ends fitting.
    Zoom(frame, wxEVT_COMBOBOX, "200%");
    EXPECT_FALSE(panel->IsFitZoom());
    EXPECT_EQ(panel->zoom, 200);
}

TEST_F(ScrollZoomTest, StrokesCoverEverySegmentAndAClickOneDisc)
{
    // Mask pixels within the brush's radius (size - 1) of the polyline through points.
    auto expected = [](const std::vector<wxPoint>& points, int radius, int x, int y) {
        for (size_t i = 0; i < points.size(); ++i) {
            const wxPoint a = points[i];
            const wxPoint b = points[std::min(i + 1, points.size() - 1)];
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double length2 = dx * dx + dy * dy;
            const double t =
                length2 == 0 ? 0
                             : std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0, 1.0);
            if (std::hypot(x - a.x - t * dx, y - a.y - t * dy) <= radius)
                return true;
        }
        return false;
    };
    struct Case {
        int zoom;
        wxPoint scroll;
        std::vector<wxPoint> window;  // the pointer's positions; the button is down from the second
        int brush;
    };
    const Case cases[] = {{25, {0, 0}, {{10, 30}, {90, 30}, {95, 50}, {95, 50}}, 3},
                          {800, {1000, 600}, {{10, 10}, {300, 200}, {20, 250}}, 4},
                          {100, {0, 0}, {{50, 50}}, 6},
                          {400, {50, 30}, {{70, 40}}, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        CPaintPanel* panel = Open(true);
        panel->SetZoom(c.zoom);
        panel->ScrollTo(c.scroll.x, c.scroll.y);
        ASSERT_EQ(panel->ScrollPosition(), c.scroll);
        panel->SetBrushSize(c.brush);
        std::vector<wxPoint> mask;
        for (size_t i = 0; i < c.window.size(); ++i) {
            SendMouse(panel, wxEVT_MOTION, c.window[i], i > 0);
            mask.push_back(wxPoint((c.window[i].x + c.scroll.x) * 100 / c.zoom,
                                   (c.window[i].y + c.scroll.y) * 100 / c.zoom));
        }
        SendMouse(panel, wxEVT_LEFT_UP, c.window.back());
        const wxImage shown = panel->maskBitmap->ConvertToImage();
        int painted = 0;
        for (int y = 0; y < nRows; ++y)
            for (int x = 0; x < nCols; ++x) {
                const bool red = shown.GetRed(x, y) == 255 && shown.GetGreen(x, y) == 0;
                ASSERT_EQ(red, expected(mask, c.brush - 1, x, y)) << x << "," << y;
                painted += red;
            }
        EXPECT_GT(painted, 0);
        CloseQuietly(frame);
    }
}

TEST_F(ScrollZoomTest, TheZoomBoxGivesTheKeyboardBackRefusesBadEntriesAndWaitsASecond)
{
    CPaintPanel* panel = Open(false);
    wxComboBox* box = Ui(frame).comboZoom;
    // A choice from the list.
    box->SetFocus();
    PumpEvents(30);
    Zoom(frame, wxEVT_COMBOBOX, "50%");
    EXPECT_EQ(panel->zoom, 50);
    EXPECT_TRUE(WaitFor([panel] { return wxWindow::FindFocus() == panel; }, 1000));
    // Enter applies a typed zoom at once.
    box->SetFocus();
    box->SetValue("175");
    Zoom(frame, wxEVT_TEXT_ENTER);
    EXPECT_EQ(panel->zoom, 175);
    EXPECT_FALSE(Ui(frame).timerZoom.IsRunning());
    EXPECT_TRUE(WaitFor([panel] { return wxWindow::FindFocus() == panel; }, 1000));
    // A refused typed value gives way to the zoom in effect when the delay ends.
    box->SetValue("12x");
    EXPECT_TRUE(WaitFor([box] { return box->GetValue() == "175%"; }, 2500));
    EXPECT_EQ(panel->zoom, 175);
    box->SetValue("fit");
    EXPECT_TRUE(WaitFor([panel] { return panel->IsFitZoom(); }, 2500));
    // A list entry that does not parse shows the error and keeps the zoom.
    Zoom(frame, wxEVT_COMBOBOX, "75%");
    for (const char* entry : {"12x", "0%", "900%"}) {
        wxTEST_DIALOG(
            Zoom(frame, wxEVT_COMBOBOX, entry),
            ExpectMessageBox("Cannot parse zoom value. Correct Values (135% or 135 % or 12 %)",
                             "Error"));
        EXPECT_EQ(panel->zoom, 75) << entry;
    }
    // A typed zoom takes effect one second after the last change.
    box->SetValue("3");
    PumpEvents(300);
    box->SetValue("30");
    EXPECT_TRUE(Ui(frame).timerZoom.IsRunning());
    PumpEvents(700);
    EXPECT_EQ(panel->zoom, 75);
    EXPECT_TRUE(WaitFor([panel] { return panel->zoom == 30; }, 1500));
    EXPECT_FALSE(Ui(frame).timerZoom.IsRunning());
}

TEST(ZoomValue, OneWholeNumberFromOneToEightHundredWithOnePercentSignAndBlanks)
{
    const std::pair<const char*, int> cases[] = {
        {"135%", 135},
        {"\t135 % ", 135},
        {"+40%", 40},
        {"1%", 1},
        {"800%", 800},
        // Not one whole number, more than one percent sign, or outside 1 to 800.
        {"", -1},
        {"   ", -1},
        {"12.5%", -1},
        {"1 2", -1},
        {"50%%", -1},
        {"%50", -1},
        {"99999999999999999999", -1},
        {"0%", -1},
        {"801%", -1}};
    for (const auto& [text, zoom] : cases)
        EXPECT_EQ(ParseZoom(text), zoom) << "\"" << text << "\"";
}

// While a run carves, the canvas leaves its scroll bars as they are: new ones would have the
// toolkit redraw the whole pane at every yield of the run. They follow at the repaint after it.
TEST_F(ScrollZoomTest, TheBarsWaitForTheEndOfARun)
{
    CPaintPanel* panel = Open(false, 1600, 1000);
    panel->SetZoom(100);
    panel->Update();
    PictureSession& session = Ui(frame).session;
    ASSERT_TRUE(session.BeginRun(PictureSession::RunKind::Width));
    for (int i = 0; i < 100; ++i)
        session.CarveSeam(SizeAxis::Width, true);
    panel->Refresh();
    panel->Update();
    EXPECT_EQ(panel->GetScrollRange(wxHORIZONTAL), 1600);
    session.EndRun(PictureSession::RunKind::Width);
    panel->Refresh();
    panel->Update();
    EXPECT_EQ(panel->GetScrollRange(wxHORIZONTAL), 1500);
}
