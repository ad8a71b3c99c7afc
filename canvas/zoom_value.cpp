// SPDX-License-Identifier: GPL-3.0-or-later
#include "zoom_value.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

constexpr int kZoomSteps[] = {5, 10, 15, 25, 50, 75, 100, 150, 200, 300, 400, 600, 800};

}  // namespace

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

int StepZoom(int zoom, int steps)
{
    for (; steps > 0; --steps) {
        const int* next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), zoom);
        zoom = next == std::end(kZoomSteps) ? kMaxZoom : *next;
    }
    for (; steps < 0; ++steps) {
        const int* next = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), zoom);
        zoom = next == std::begin(kZoomSteps) ? kMinZoom : *(next - 1);
    }
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

int FitZoom(int cols, int rows, int paneWidth, int paneHeight)
{
    if (cols < 1 || rows < 1 || paneWidth < 1 || paneHeight < 1)
        return kMinZoom;
    // cols * zoom / 100 <= paneWidth exactly when zoom <= paneWidth * 100 / cols (floor).
    const int64_t byWidth = static_cast<int64_t>(paneWidth) * 100 / cols;
    const int64_t byHeight = static_cast<int64_t>(paneHeight) * 100 / rows;
    return static_cast<int>(std::clamp<int64_t>(std::min(byWidth, byHeight), kMinZoom, kMaxZoom));
}
