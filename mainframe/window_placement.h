// SPDX-License-Identifier: GPL-3.0-or-later
// Where the main window opens: the geometry stored under "/Look" when it is usable, otherwise
// one sixth of the screen in from the top-left corner, two thirds of the screen in size.
#ifndef KERV_MAINFRAME_WINDOW_PLACEMENT_H
#define KERV_MAINFRAME_WINDOW_PLACEMENT_H

#include <wx/gdicmn.h>

// (W/6, H/6, 2W/3, 2H/3), each computed in floating point and truncated toward zero.
wxRect DefaultWindowRect(const wxSize& screen);

// The stored rectangle if its corner lies on the screen (0 <= x <= W, 0 <= y <= H: a window
// whose corner sits exactly on the right or bottom edge is still accepted) and its size is
// positive; otherwise all four defaults, even when only one value was bad.
wxRect ChooseWindowRect(const wxSize& screen, const wxRect& stored);

#endif
