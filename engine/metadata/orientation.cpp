// SPDX-License-Identifier: GPL-3.0-or-later
#include "orientation.h"

#include <cstring>

void TurnUpright(const unsigned char* stored, int width, int height, int orientation,
                 unsigned char* upright)
{
    const bool swaps = SwapsSides(orientation);
    const int outWidth = swaps ? height : width;
    const int outHeight = swaps ? width : height;
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            // (sx, sy): the stored pixel that shows at upright (x, y).
            int sx = x, sy = y;
            switch (orientation) {
                case 2:
                    sx = width - 1 - x;
                    break;
                case 3:
                    sx = width - 1 - x, sy = height - 1 - y;
                    break;
                case 4:
                    sy = height - 1 - y;
                    break;
                case 5:
                    sx = y, sy = x;
                    break;
                case 6:
                    sx = y, sy = height - 1 - x;
                    break;
                case 7:
                    sx = width - 1 - y, sy = height - 1 - x;
                    break;
                case 8:
                    sx = width - 1 - y, sy = x;
                    break;
                default:
                    break;
            }
            std::memcpy(upright + (static_cast<size_t>(y) * outWidth + x) * 3,
                        stored + (static_cast<size_t>(sy) * width + sx) * 3, 3);
        }
    }
}
