// SPDX-License-Identifier: GPL-3.0-or-later
#include "zoom_value.h"

int ParseZoom(wxString text)
{
    text.Trim(true).Trim(false);
    if (text.EndsWith("%"))
        text.RemoveLast();
    text.Trim(true).Trim(false);
    // ToLong takes a sign and digits only, the whole text, and refuses an empty one.
    long value = 0;
    if (!text.ToLong(&value, 10))
        return -1;
    if (value < kMinZoom || value > kMaxZoom)
        return -1;
    return static_cast<int>(value);
}
