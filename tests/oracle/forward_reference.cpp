// SPDX-License-Identifier: GPL-3.0-or-later
#include "forward_reference.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace reference {

namespace {

constexpr long long kNone = std::numeric_limits<long long>::max();

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// The predecessor chosen among the straight one (offset 0) and the two diagonals (offset -1 and
// +1, kNone when absent): straight on ties, then the lower offset.
int Choose(long long lower, long long straight, long long higher)
{
    if (higher != kNone && higher < straight)
        return lower != kNone && lower <= higher ? -1 : +1;
    return lower != kNone && lower < straight ? -1 : 0;
}

}  // namespace

ForwardCarver::ForwardCarver(std::vector<std::uint8_t> rgb, int width, int height)
    : rows(height), cols(width), pixels(std::move(rgb)), energyMap(width * height, 0)
{
}

int ForwardCarver::Grey(int row, int col) const
{
    const std::uint8_t* p = &pixels[(row * cols + col) * 3];
    return (299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000;
}

std::vector<int> ForwardCarver::Find() const
{
    std::vector<long long> cost(rows * cols);
    std::vector<int> step(rows * cols, 0);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            const int left = Grey(i, Clamp(j - 1, 0, cols - 1));
            const int right = Grey(i, Clamp(j + 1, 0, cols - 1));
            const long long cu = std::abs(right - left);
            if (i == 0) {
                cost[j] = energyMap[j] + cu;
                continue;
            }
            const int above = Grey(i - 1, j);
            const long long u = cost[(i - 1) * cols + j] + cu;
            const long long l =
                j > 0 ? cost[(i - 1) * cols + j - 1] + cu + std::abs(above - Grey(i, j - 1))
                      : kNone;
            const long long r =
                j < cols - 1 ? cost[(i - 1) * cols + j + 1] + cu + std::abs(above - Grey(i, j + 1))
                             : kNone;
            const int s = Choose(l, u, r);
            step[i * cols + j] = s;
            cost[i * cols + j] = energyMap[i * cols + j] + (s == -1 ? l : (s == 1 ? r : u));
        }
    }
    std::vector<int> seam(rows);
    int best = 0;
    for (int j = 1; j < cols; ++j) {
        if (cost[(rows - 1) * cols + j] < cost[(rows - 1) * cols + best])
            best = j;
    }
    seam[rows - 1] = best;
    for (int i = rows - 1; i > 0; --i)
        seam[i - 1] = seam[i] + step[i * cols + seam[i]];
    return seam;
}

std::vector<int> ForwardCarver::SeamVert(bool remove)
{
    return Carve(remove, false);
}

std::vector<int> ForwardCarver::SeamHorz(bool remove)
{
    Transpose();
    const std::vector<int> seam = Carve(remove, true);
    Transpose();
    return seam;
}

void ForwardCarver::Transpose()
{
    std::vector<std::uint8_t> rgb(pixels.size());
    std::vector<int> energy(energyMap.size());
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            energy[j * rows + i] = energyMap[i * cols + j];
            for (int c = 0; c < 3; ++c)
                rgb[(j * rows + i) * 3 + c] = pixels[(i * cols + j) * 3 + c];
        }
    }
    pixels = rgb;
    energyMap = energy;
    std::swap(rows, cols);
}

// In the frame where the seam runs from top to bottom. An insertion puts the mean of the seam and
// its right neighbour (the seam itself at the last column) right of it, with the mean energy for
// a vertical seam and 255 for a horizontal one; the seam's energy becomes 255. A horizontal
// removal blends the seam into its two neighbours (none at the first row).
std::vector<int> ForwardCarver::Carve(bool remove, bool horizontal)
{
    const std::vector<int> seam = Find();
    std::vector<std::uint8_t> rgb;
    std::vector<int> energy;
    for (int i = 0; i < rows; ++i) {
        const int s = seam[i];
        for (int j = 0; j < cols; ++j) {
            if (remove && j == s)
                continue;
            const int e = energyMap[i * cols + j];
            energy.push_back(!remove && j == s ? 255 : e);
            const bool blended = horizontal && remove && s > 0 && (j == s - 1 || j == s + 1);
            for (int c = 0; c < 3; ++c) {
                const int own = pixels[(i * cols + j) * 3 + c];
                rgb.push_back(blended ? own * 2 / 3 + pixels[(i * cols + s) * 3 + c] / 3 : own);
            }
            if (!remove && j == s) {
                const int n = j + 1 < cols ? j + 1 : j;
                energy.push_back(horizontal ? 255 : (e + energyMap[i * cols + n]) / 2);
                for (int c = 0; c < 3; ++c)
                    rgb.push_back(
                        (pixels[(i * cols + j) * 3 + c] + pixels[(i * cols + n) * 3 + c]) / 2);
            }
        }
    }
    cols += remove ? -1 : 1;
    pixels = rgb;
    energyMap = energy;
    return Find();
}

void ForwardCarver::AddEnergy(const std::vector<int>& delta)
{
    for (size_t i = 0; i < delta.size(); ++i)
        energyMap[i] += delta[i];
}

}  // namespace reference
