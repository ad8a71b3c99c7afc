// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's placement: the stored rectangle when it can be used, else the default.
#include <wx/settings.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "window_placement.h"
namespace {

wxSize Screen()
{
    return wxSize(wxSystemSettings::GetMetric(wxSYS_SCREEN_X),
                  wxSystemSettings::GetMetric(wxSYS_SCREEN_Y));
}

void StoreLook(long x, long y, long w, long h)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath("/Look");
    config->Write("x", x);
    config->Write("y", y);
    config->Write("w", w);
    config->Write("h", h);
    config->SetPath("/");
}

wxRect FrameRect(CMainFrame* frame)
{
    return wxRect(frame->GetPosition(), frame->GetSize());
}

}  // namespace

struct PlacementCase {
    const char* what;
    // The stored rectangle relative to the screen's size (x and y may be the screen's far
    // edges), and whether it is used.
    int x, y, w, h;
    bool xAtScreenWidth, yAtScreenHeight, used;
};

class WindowPlacementTest : public GuiTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(WindowPlacementTest, StoredGeometryIsUsedOnlyWhenItsCornerIsOnTheScreenAndItsSizePositive)
{
    const PlacementCase& c = GetParam();
    const wxSize screen = Screen();
    const wxRect stored(c.xAtScreenWidth ? screen.x + c.x : c.x,
                        c.yAtScreenHeight ? screen.y + c.y : c.y, c.w, c.h);
    StoreLook(stored.x, stored.y, stored.width, stored.height);
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), c.used ? stored : DefaultWindowRect(screen));
}

INSTANTIATE_TEST_SUITE_P(
    Store, WindowPlacementTest,
    ::testing::Values(PlacementCase{"on the screen", 40, 30, 700, 500, false, false, true},
                      PlacementCase{"corner at the far edges", 0, 0, 640, 480, true, true, true},
                      PlacementCase{"x of -1", -1, 30, 700, 500, false, false, false},
                      PlacementCase{"y of -1", 30, -1, 700, 500, false, false, false},
                      PlacementCase{"y below the screen", 10, 1, 700, 500, false, true, false},
                      PlacementCase{"x beyond the screen", 1, 10, 700, 500, true, false, false},
                      PlacementCase{"size not positive", 10, 20, 0, -300, false, false, false}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::to_string(info.index); });

TEST(WindowPlacement, DefaultsAreOneSixthInAndTwoThirdsOfTheScreenTruncated)
{
    EXPECT_EQ(DefaultWindowRect(wxSize(1600, 1200)), wxRect(266, 200, 1066, 800));
    EXPECT_EQ(DefaultWindowRect(wxSize(1025, 769)), wxRect(170, 128, 683, 512));
}
