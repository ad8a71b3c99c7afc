// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_placement.h"

wxRect DefaultWindowRect(const wxSize& screen)
{
    const double w = screen.GetWidth(), h = screen.GetHeight();
    return wxRect(static_cast<int>(w / 6), static_cast<int>(h / 6), static_cast<int>(2 * w / 3),
                  static_cast<int>(2 * h / 3));
}

wxRect ChooseWindowRect(const wxSize& screen, const wxRect& stored)
{
    const bool cornerOnScreen = stored.x >= 0 && stored.y >= 0 && stored.x <= screen.GetWidth() &&
                                stored.y <= screen.GetHeight();
    // A damaged settings file may hold a zero or negative size: the window would be invisible
    // or, for -1, take a size of the toolkit's choosing.
    const bool sizeUsable = stored.width > 0 && stored.height > 0;
    return cornerOnScreen && sizeUsable ? stored : DefaultWindowRect(screen);
}
