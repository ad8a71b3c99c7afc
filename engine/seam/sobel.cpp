// SPDX-License-Identifier: GPL-3.0-or-later
#include "sobel.h"

#include <cmath>
#include <cstdlib>
#include <vector>

int* Sobel(const unsigned char* grey, int height, int width)
{
    const size_t count = static_cast<size_t>(height) * static_cast<size_t>(width);
    int* out = static_cast<int*>(std::calloc(count ? count : 1, sizeof(int)));
    if (!out)
        return nullptr;

    int largest = 0;
    for (int y = 1; y < height - 1; ++y) {
        const unsigned char* above = grey + static_cast<size_t>(y - 1) * width;
        const unsigned char* here = above + width;
        const unsigned char* below = here + width;
        int* row = out + static_cast<size_t>(y) * width;
        for (int x = 1; x < width - 1; ++x) {
            // Kernels (1,0,-1; 2,0,-2; 1,0,-1) and (-1,-2,-1; 0,0,0; 1,2,1).
            const int gx = above[x - 1] - above[x + 1] + 2 * here[x - 1] - 2 * here[x + 1] +
                           below[x - 1] - below[x + 1];
            const int gy = -above[x - 1] - 2 * above[x] - above[x + 1] + below[x - 1] +
                           2 * below[x] + below[x + 1];
            const int m = static_cast<int>(std::sqrt(static_cast<double>(gx * gx + gy * gy)));
            row[x] = m;
            if (m > largest)
                largest = m;
        }
    }

    if (largest == 0)
        return out;  // no gradient anywhere: every element stays 0
    // Every value lies in [0, largest]: its scaled value is looked up, since a division per
    // element costs more than the gradient itself.
    std::vector<int> scaled(static_cast<size_t>(largest) + 1);
    for (int m = 0; m <= largest; ++m) {
        const int v = m * 255 / largest;
        scaled[m] = v <= 4 ? 0 : v;
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = scaled[out[i]];
    return out;
}

void RaiseEnergyFrame(int* energy, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    for (int y = 0; y < height; ++y) {
        energy[static_cast<size_t>(y) * width] = 255;
        energy[static_cast<size_t>(y) * width + width - 1] = 255;
    }
    for (int x = 0; x < width; ++x) {
        energy[x] = 255;
        energy[static_cast<size_t>(height - 1) * width + x] = 255;
    }
}
