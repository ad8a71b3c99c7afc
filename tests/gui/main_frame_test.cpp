// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's placement: the stored rectangle when it can be used, else the default.
#include <wx/settings.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "window_placement.h"

TEST(WindowPlacement, StoredGeometryIsUsedOnlyWhenItsCornerIsOnTheScreenAndItsSizePositive)
{
    const wxSize screen(1600, 1200);
    const struct {
        wxRect stored;
        bool used;
    } cases[] = {{{40, 30, 700, 500}, true},    {{1600, 1200, 640, 480}, true},
                 {{-1, 30, 700, 500}, false},   {{30, -1, 700, 500}, false},
                 {{10, 1201, 700, 500}, false}, {{1601, 10, 700, 500}, false},
                 {{10, 20, 0, -300}, false},    {{10, 20, 700, 0}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(ChooseWindowRect(screen, c.stored), c.used ? c.stored : DefaultWindowRect(screen))
            << c.stored.x << "," << c.stored.y << " " << c.stored.width << "x" << c.stored.height;
}

TEST(WindowPlacement, DefaultsAreOneSixthInAndTwoThirdsOfTheScreenTruncated)
{
    EXPECT_EQ(DefaultWindowRect(wxSize(1600, 1200)), wxRect(266, 200, 1066, 800));
    EXPECT_EQ(DefaultWindowRect(wxSize(1025, 769)), wxRect(170, 128, 683, 512));
}

// A stored rectangle that is used comes back with the settings kept between starts; one that is
// not gives the default on the screen Kerv runs on.
using WindowPlacementTest = GuiTest;

TEST_F(WindowPlacementTest, AnUnusableStoredRectangleGivesTheDefault)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->Write("/Look/x", 10L);
    config->Write("/Look/y", 20L);
    config->Write("/Look/w", 700L);
    config->Write("/Look/h", -300L);
    CMainFrame* frame = MakeFrame();
    const wxSize screen(wxSystemSettings::GetMetric(wxSYS_SCREEN_X),
                        wxSystemSettings::GetMetric(wxSYS_SCREEN_Y));
    EXPECT_EQ(wxRect(frame->GetPosition(), frame->GetSize()), DefaultWindowRect(screen));
}
