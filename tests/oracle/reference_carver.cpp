// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_carver.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace reference {

namespace {

// Sums of costs and energies are taken modulo 2^32, as 32-bit two's-complement hardware adds.
int Wrap(long long sum)
{
    return static_cast<int>(static_cast<std::uint32_t>(sum & 0xFFFFFFFFLL));
}

// values of a rows x cols picture with `channels` values a position, rows and columns exchanged.
template <class T>
std::vector<T> Transposed(const std::vector<T>& values, int rows, int cols, int channels)
{
    std::vector<T> out(values.size());
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            for (int c = 0; c < channels; ++c)
                out[(static_cast<size_t>(j) * rows + i) * channels + c] =
                    values[(static_cast<size_t>(i) * cols + j) * channels + c];
    return out;
}

}  // namespace

std::vector<int> Energy(const std::vector<std::uint8_t>& rgb, int width, int height)
{
    std::vector<int> grey(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < grey.size(); ++i) {
        const double luma =
            rgb[i * 3] * 0.299 + rgb[i * 3 + 1] * 0.587 + rgb[i * 3 + 2] * 0.114 + 0.5;
        grey[i] = static_cast<std::uint8_t>(luma);
    }
    auto g = [&](int x, int y) { return grey[static_cast<size_t>(y) * width + x]; };

    std::vector<int> magnitude(grey.size(), 0);
    int largest = 0;
    for (int y = 1; y <= height - 2; ++y) {
        for (int x = 1; x <= width - 2; ++x) {
            const int gx = g(x - 1, y - 1) - g(x + 1, y - 1) + 2 * g(x - 1, y) - 2 * g(x + 1, y) +
                           g(x - 1, y + 1) - g(x + 1, y + 1);
            const int gy = -g(x - 1, y - 1) - 2 * g(x, y - 1) - g(x + 1, y - 1) + g(x - 1, y + 1) +
                           2 * g(x, y + 1) + g(x + 1, y + 1);
            const int m = static_cast<int>(std::sqrt(static_cast<double>(gx * gx + gy * gy)));
            magnitude[static_cast<size_t>(y) * width + x] = m;
            largest = std::max(largest, m);
        }
    }
    std::vector<int> energy(grey.size(), 0);
    for (size_t i = 0; i < energy.size(); ++i) {
        if (largest > 0) {
            const int v = magnitude[i] * 255 / largest;
            energy[i] = v <= 4 ? 0 : v;
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
                energy[static_cast<size_t>(y) * width + x] = 255;
        }
    }
    return energy;
}

Carver::Carver(std::vector<std::uint8_t> rgb, int width, int height)
    : Carver(rgb, Energy(rgb, width, height), width, height)
{
}

Carver::Carver(std::vector<std::uint8_t> rgb, std::vector<int> energy, int width, int height)
    : rows(height), cols(width), pixels(std::move(rgb)), energyMap(std::move(energy))
{
}

void Carver::AddEnergy(const std::vector<int>& delta)
{
    for (size_t i = 0; i < energyMap.size(); ++i)
        energyMap[i] = Wrap(static_cast<long long>(energyMap[i]) + delta[i]);
    vert = Search();
    horz = Search();
}

void Carver::AddEnergyCircle(int x, int y, int r, int value)
{
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            if (row >= y - r && row < y + r && col >= x - r && col < x + r &&
                (col - x) * (col - x) + (row - y) * (row - y) < r * r)
                energyMap[At(row, col)] =
                    Wrap(static_cast<long long>(energyMap[At(row, col)]) + value);
}

std::vector<int> Carver::SeamVert(bool remove)
{
    horz = Search();
    return Carve(vert, remove, false);
}

std::vector<int> Carver::SeamHorz(bool remove)
{
    vert = Search();
    Transpose();
    const std::vector<int> seam = Carve(horz, remove, true);
    Transpose();
    return seam;
}

void Carver::Transpose()
{
    pixels = Transposed(pixels, rows, cols, 3);
    energyMap = Transposed(energyMap, rows, cols, 1);
    std::swap(rows, cols);
}

// The seam found before is carved, then the cells whose predecessors may have moved are relaxed
// again: in row i, those within i columns of where the seam starts.
std::vector<int> Carver::Carve(Search& search, bool remove, bool horizontal)
{
    if (!search.valid) {
        FullSearch(search);
        search.valid = true;
    }
    if (remove)
        RemoveSeam(search, horizontal);
    else
        AddSeam(search, horizontal);
    const int s0 = search.seam[0];
    for (int i = 1; i < rows; ++i)
        for (int j = std::max(0, s0 - i); j < std::min(cols, s0 + i); ++j)
            Relax(search, i, j);
    BackTrack(search);
    return search.seam;
}

// The cheapest of the three cells above; on ties straight up, then the left one.
void Carver::Relax(Search& search, int i, int j)
{
    const std::vector<int>& cost = search.cost;
    const int L = j > 0 ? cost[At(i - 1, j - 1)] : INT_MAX;
    const int U = cost[At(i - 1, j)];
    const bool hasR = j < cols - 1;
    const int R = hasR ? cost[At(i - 1, j + 1)] : 0;
    int step = 0;
    if (hasR && R < U)
        step = L <= R ? -1 : +1;
    else if (L < U)
        step = -1;
    const int value = step < 0 ? L : (step > 0 ? R : U);
    search.cost[At(i, j)] = Wrap(static_cast<long long>(energyMap[At(i, j)]) + value);
    search.step[At(i, j)] = step;
}

void Carver::FullSearch(Search& search)
{
    search.cost.assign(static_cast<size_t>(rows) * cols, 0);
    search.step.assign(static_cast<size_t>(rows) * cols, 0);
    for (int j = 0; j < cols; ++j)
        search.cost[At(0, j)] = energyMap[At(0, j)];
    for (int i = 1; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            Relax(search, i, j);
    BackTrack(search);
}

void Carver::BackTrack(Search& search)
{
    std::vector<int>& seam = search.seam;
    seam.assign(rows, 0);
    int best = 0;
    for (int j = 0; j < cols; ++j)
        if (search.cost[At(rows - 1, j)] < search.cost[At(rows - 1, best)])
            best = j;
    seam[rows - 1] = best;
    for (int i = rows - 1; i >= 1; --i) {
        seam[i - 1] = seam[i] + search.step[At(i, seam[i])];
        if (seam[i - 1] < 0 || seam[i - 1] >= cols)
            throw std::logic_error("reference: seam left the picture");
    }
}

// A horizontal removal first blends the seam into its two neighbours (none at the first row):
// two thirds their own value and a third the seam's.
void Carver::RemoveSeam(Search& search, bool horizontal)
{
    std::vector<std::uint8_t> blended = pixels;
    for (int i = 0; i < rows && horizontal; ++i) {
        const int s = search.seam[i];
        if (s == 0)
            continue;
        for (int j : {s - 1, s + 1}) {
            if (j >= cols)
                continue;
            for (int c = 0; c < 3; ++c) {
                const int own = pixels[At(i, j) * 3 + c];
                const int seam = pixels[At(i, s) * 3 + c];
                blended[At(i, j) * 3 + c] = static_cast<std::uint8_t>(2 * own / 3 + seam / 3);
            }
        }
    }
    pixels = blended;
    Rebuild(search, -1);
}

// The seam's energy becomes 255, and so does that of the new row of a horizontal seam.
void Carver::AddSeam(Search& search, bool horizontal)
{
    Rebuild(search, +1);
    for (int i = 0; i < rows; ++i) {
        energyMap[At(i, search.seam[i])] = 255;
        if (horizontal)
            energyMap[At(i, search.seam[i] + 1)] = 255;
    }
}

// Every table one column narrower, without the seam, or wider, with a cell right of the seam
// that holds the means of the seam and its right neighbour (the seam itself at the last column).
void Carver::Rebuild(Search& search, int change)
{
    const int newCols = cols + change;
    std::vector<int> energy(static_cast<size_t>(rows) * newCols), cost(energy.size()),
        step(energy.size());
    std::vector<std::uint8_t> rgb(energy.size() * 3);
    for (int i = 0; i < rows; ++i) {
        const int s = search.seam[i];
        const int right = s + 1 < cols ? s + 1 : s;
        for (int j = 0, to = 0; j < cols; ++j) {
            if (change < 0 && j == s)
                continue;
            const size_t dst = static_cast<size_t>(i) * newCols + to++;
            energy[dst] = energyMap[At(i, j)];
            cost[dst] = search.cost[At(i, j)];
            step[dst] = search.step[At(i, j)];
            for (int c = 0; c < 3; ++c)
                rgb[dst * 3 + c] = pixels[At(i, j) * 3 + c];
            if (change < 0 || j != s)
                continue;
            const size_t added = static_cast<size_t>(i) * newCols + to++;
            energy[added] =
                Wrap(static_cast<long long>(energyMap[At(i, s)]) + energyMap[At(i, right)]) / 2;
            cost[added] =
                Wrap(static_cast<long long>(search.cost[At(i, s)]) + search.cost[At(i, right)]) / 2;
            step[added] = (search.step[At(i, s)] + search.step[At(i, right)]) / 2;
            for (int c = 0; c < 3; ++c)
                rgb[added * 3 + c] = static_cast<std::uint8_t>(
                    (pixels[At(i, s) * 3 + c] + pixels[At(i, right) * 3 + c]) >> 1);
        }
    }
    energyMap = energy;
    search.cost = cost;
    search.step = step;
    pixels = rgb;
    cols = newCols;
}

}  // namespace reference
