// SPDX-License-Identifier: GPL-3.0-or-later
#include "forward_reference.h"

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

std::vector<int> ForwardCarver::FindVert() const
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

std::vector<int> ForwardCarver::FindHorz() const
{
    std::vector<long long> cost(rows * cols);
    std::vector<int> step(rows * cols, 0);
    for (int x = 0; x < cols; ++x) {
        for (int y = 0; y < rows; ++y) {
            const int upper = Grey(Clamp(y - 1, 0, rows - 1), x);
            const int lower = Grey(Clamp(y + 1, 0, rows - 1), x);
            const long long cu = std::abs(lower - upper);
            if (x == 0) {
                cost[y * cols] = energyMap[y * cols] + cu;
                continue;
            }
            const int before = Grey(y, x - 1);
            const long long l = cost[y * cols + x - 1] + cu;
            const long long u =
                y > 0 ? cost[(y - 1) * cols + x - 1] + cu + std::abs(before - Grey(y - 1, x))
                      : kNone;
            const long long d =
                y < rows - 1 ? cost[(y + 1) * cols + x - 1] + cu + std::abs(before - Grey(y + 1, x))
                             : kNone;
            const int s = Choose(u, l, d);
            step[y * cols + x] = s;
            cost[y * cols + x] = energyMap[y * cols + x] + (s == -1 ? u : (s == 1 ? d : l));
        }
    }
    std::vector<int> seam(cols);
    int best = 0;
    for (int y = 1; y < rows; ++y) {
        if (cost[y * cols + cols - 1] < cost[best * cols + cols - 1])
            best = y;
    }
    seam[cols - 1] = best;
    for (int x = cols - 1; x > 0; --x)
        seam[x - 1] = seam[x] + step[seam[x] * cols + x];
    return seam;
}

std::vector<int> ForwardCarver::SeamVert(bool remove)
{
    const std::vector<int> seam = FindVert();
    const int width = remove ? cols - 1 : cols + 1;
    std::vector<std::uint8_t> rgb;
    std::vector<int> energy;
    for (int i = 0; i < rows; ++i) {
        const int s = seam[i];
        for (int j = 0; j < cols; ++j) {
            if (remove && j == s)
                continue;
            const int e = energyMap[i * cols + j];
            energy.push_back(!remove && j == s ? 255 : e);
            for (int c = 0; c < 3; ++c)
                rgb.push_back(pixels[(i * cols + j) * 3 + c]);
            if (!remove && j == s) {
                const int n = j + 1 < cols ? j + 1 : j;
                energy.push_back((e + energyMap[i * cols + n]) / 2);
                for (int c = 0; c < 3; ++c)
                    rgb.push_back(
                        (pixels[(i * cols + j) * 3 + c] + pixels[(i * cols + n) * 3 + c]) / 2);
            }
        }
    }
    cols = width;
    pixels = rgb;
    energyMap = energy;
    return FindVert();
}

std::vector<int> ForwardCarver::SeamHorz(bool remove)
{
    const std::vector<int> seam = FindHorz();
    const int height = remove ? rows - 1 : rows + 1;
    std::vector<std::uint8_t> rgb(height * cols * 3);
    std::vector<int> energy(height * cols);
    for (int x = 0; x < cols; ++x) {
        const int s = seam[x];
        std::vector<int> column;  // the new column's rows, as indices into the old one (-1: new)
        for (int y = 0; y < rows; ++y) {
            if (remove && y == s)
                continue;
            column.push_back(y);
            if (!remove && y == s)
                column.push_back(-1);
        }
        for (int y = 0; y < height; ++y) {
            const int from = column[y];
            std::uint8_t* out = &rgb[(y * cols + x) * 3];
            if (from < 0) {
                const int n = s + 1 < rows ? s + 1 : s;
                energy[y * cols + x] = 255;
                for (int c = 0; c < 3; ++c)
                    out[c] = (pixels[(s * cols + x) * 3 + c] + pixels[(n * cols + x) * 3 + c]) / 2;
                continue;
            }
            energy[y * cols + x] = !remove && from == s ? 255 : energyMap[from * cols + x];
            for (int c = 0; c < 3; ++c) {
                const int own = pixels[(from * cols + x) * 3 + c];
                const int gone = pixels[(s * cols + x) * 3 + c];
                // A removal blends the seam into the pixels above and below it (none at row 0).
                const bool blended = remove && s > 0 && (from == s - 1 || from == s + 1);
                out[c] = blended ? own * 2 / 3 + gone / 3 : own;
            }
        }
    }
    rows = height;
    pixels = rgb;
    energyMap = energy;
    return FindHorz();
}

void ForwardCarver::AddEnergy(const std::vector<int>& delta)
{
    for (size_t i = 0; i < delta.size(); ++i)
        energyMap[i] += delta[i];
}

}  // namespace reference
