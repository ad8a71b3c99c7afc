// SPDX-License-Identifier: GPL-3.0-or-later
#include "view_compose.h"

#include <algorithm>
#include <cstdint>

namespace canvasview {

int NearestSource(int i, int source, int view)
{
    const int64_t delta = (static_cast<int64_t>(source) << 16) / view;
    return static_cast<int>((static_cast<int64_t>(i) * delta) >> 16);
}

void AndOverlay(unsigned char* picture, const unsigned char* overlay, int width, int height)
{
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t p = 0; p < count; ++p, picture += 3, overlay += 3) {
        if ((overlay[0] | overlay[1] | overlay[2]) == 0)
            continue;
        picture[0] &= overlay[0];
        picture[1] &= overlay[1];
        picture[2] &= overlay[2];
    }
}

std::vector<std::pair<int, int>> CircleOutline(int cx, int cy, int r)
{
    std::vector<std::pair<int, int>> points;
    if (r < 1)
        return points;
    // Midpoint circle: one octant walked, mirrored into the other seven; the mirrored points on
    // the octant borders coincide and are removed below, so inverting them twice cannot cancel.
    int x = r;
    int y = 0;
    int err = 1 - r;
    while (x >= y) {
        for (const auto& [px, py] : {std::pair{x, y}, std::pair{y, x}}) {
            points.emplace_back(cx + px, cy + py);
            points.emplace_back(cx - px, cy + py);
            points.emplace_back(cx + px, cy - py);
            points.emplace_back(cx - px, cy - py);
        }
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

Box OutlineBox(int cx, int cy, int r)
{
    return Box{cx - r - 1, cy - r - 1, 2 * r + 3, 2 * r + 3};
}

Box ZoomedOutwards(const Box& mask, int zoom)
{
    auto floorZoomed = [zoom](int v) {
        const int64_t p = static_cast<int64_t>(v) * zoom;
        return static_cast<int>(p >= 0 ? p / 100 : -((-p + 99) / 100));
    };
    auto ceilZoomed = [zoom](int v) {
        const int64_t p = static_cast<int64_t>(v) * zoom;
        return static_cast<int>(p >= 0 ? (p + 99) / 100 : -(-p / 100));
    };
    const int left = floorZoomed(mask.x);
    const int top = floorZoomed(mask.y);
    return Box{left, top, ceilZoomed(mask.x + mask.width) - left + 1,
               ceilZoomed(mask.y + mask.height) - top + 1};
}

void InvertPoints(unsigned char* rgb, int left, int top, int width, int height,
                  const std::vector<std::pair<int, int>>& points)
{
    for (const auto& [x, y] : points) {
        const int col = x - left;
        const int row = y - top;
        if (col < 0 || row < 0 || col >= width || row >= height)
            continue;
        unsigned char* pixel = rgb + (static_cast<size_t>(row) * width + col) * 3;
        pixel[0] ^= 0xFF;
        pixel[1] ^= 0xFF;
        pixel[2] ^= 0xFF;
    }
}

}  // namespace canvasview
