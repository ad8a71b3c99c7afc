// SPDX-License-Identifier: GPL-3.0-or-later
#include "display_hold.h"

#include <unistd.h>

#include <X11/Xlib.h>

DisplayHold::DisplayHold()
{
    for (int attempt = 0; attempt < 100 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display)
            usleep(100 * 1000);
    }
}

DisplayHold::~DisplayHold()
{
    if (display)
        XCloseDisplay(static_cast<Display*>(display));
}
