// SPDX-License-Identifier: GPL-3.0-or-later
#include "view_compose.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace canvasview {

int NearestSource(int i, int source, int view)
{
    const int64_t delta = (static_cast<int64_t>(source) << 16) / view;
    return static_cast<int>((static_cast<int64_t>(i) * delta) >> 16);
}

bool AveragesBlocks(int cols, int rows, int viewWidth, int viewHeight)
{
    return (cols != viewWidth || rows != viewHeight) && cols >= viewWidth && rows >= viewHeight &&
           cols % viewWidth == 0 && rows % viewHeight == 0;
}

void ZoomedPart(const unsigned char* picture, int cols, int rows, int viewWidth, int viewHeight,
                int left, int top, int width, int height, unsigned char* out)
{
    const size_t stride = static_cast<size_t>(cols) * 3;
    const size_t outStride = static_cast<size_t>(width) * 3;
    if (viewWidth == cols && viewHeight == rows) {
        for (int y = 0; y < height; ++y)
            std::memcpy(
                out + y * outStride,
                picture + static_cast<size_t>(top + y) * stride + static_cast<size_t>(left) * 3,
                outStride);
        return;
    }
    if (AveragesBlocks(cols, rows, viewWidth, viewHeight)) {
        const int fx = cols / viewWidth;
        const int fy = rows / viewHeight;
        const unsigned count = static_cast<unsigned>(fx) * static_cast<unsigned>(fy);
        std::vector<unsigned> sums(outStride);
        for (int y = 0; y < height; ++y) {
            std::fill(sums.begin(), sums.end(), 0u);
            for (int y1 = 0; y1 < fy; ++y1) {
                const unsigned char* from = picture +
                                            static_cast<size_t>((top + y) * fy + y1) * stride +
                                            static_cast<size_t>(left) * fx * 3;
                unsigned* sum = sums.data();
                for (int x = 0; x < width; ++x, sum += 3) {
                    unsigned r = 0;
                    unsigned g = 0;
                    unsigned b = 0;
                    for (int x1 = 0; x1 < fx; ++x1, from += 3) {
                        r += from[0];
                        g += from[1];
                        b += from[2];
                    }
                    sum[0] += r;
                    sum[1] += g;
                    sum[2] += b;
                }
            }
            unsigned char* to = out + y * outStride;
            for (size_t i = 0; i < outStride; ++i)
                to[i] = static_cast<unsigned char>(sums[i] / count);
        }
        return;
    }
    std::vector<size_t> sourceX(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        sourceX[x] = static_cast<size_t>(NearestSource(left + x, cols, viewWidth)) * 3;
    for (int y = 0; y < height; ++y) {
        const unsigned char* from =
            picture + static_cast<size_t>(NearestSource(top + y, rows, viewHeight)) * stride;
        unsigned char* to = out + y * outStride;
        for (int x = 0; x < width; ++x, to += 3) {
            const unsigned char* p = from + sourceX[x];
            to[0] = p[0];
            to[1] = p[1];
            to[2] = p[2];
        }
    }
}

PaintBox PaintSegment(unsigned char* rgb, int width, int height, int x0, int y0, int x1, int y1,
                      int radius, unsigned char red, unsigned char green, unsigned char blue)
{
    PaintBox box;
    const int left = std::max(0, std::min(x0, x1) - radius);
    const int top = std::max(0, std::min(y0, y1) - radius);
    const int right = std::min(width - 1, std::max(x0, x1) + radius);
    const int bottom = std::min(height - 1, std::max(y0, y1) + radius);
    if (radius < 0 || left > right || top > bottom)
        return box;
    box = {left, top, right - left + 1, bottom - top + 1};
    // Squared distances in whole numbers: from a point to the nearer end where the point's
    // projection falls outside the segment, else to the line, compared as cross^2 <= r^2 len^2.
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const int64_t length2 = dx * dx + dy * dy;
    const int64_t r2 = static_cast<int64_t>(radius) * radius;
    for (int y = top; y <= bottom; ++y) {
        unsigned char* pixel = rgb + (static_cast<size_t>(y) * width + left) * 3;
        for (int x = left; x <= right; ++x, pixel += 3) {
            const int64_t px = x - x0;
            const int64_t py = y - y0;
            const int64_t dot = px * dx + py * dy;
            bool inside;
            if (dot <= 0) {
                inside = px * px + py * py <= r2;
            } else if (dot >= length2) {
                const int64_t qx = x - x1;
                const int64_t qy = y - y1;
                inside = qx * qx + qy * qy <= r2;
            } else {
                const int64_t cross = px * dy - py * dx;
                inside = cross * cross <= r2 * length2;
            }
            if (inside) {
                pixel[0] = red;
                pixel[1] = green;
                pixel[2] = blue;
            }
        }
    }
    return box;
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

std::vector<unsigned char> PaintedRows(const unsigned char* rgb, int width, int height)
{
    std::vector<unsigned char> painted(static_cast<size_t>(std::max(0, height)));
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rgb + y * rowBytes;
        painted[y] = std::any_of(row, row + rowBytes, [](unsigned char c) { return c != 0; });
    }
    return painted;
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
