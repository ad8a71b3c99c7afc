// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_carver.h"

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
    costVert.assign(static_cast<size_t>(rows) * cols, 0);
    stepVert = costVert;
    costHorz = costVert;
    stepHorz = costVert;
}

void Carver::AddEnergy(const std::vector<int>& delta)
{
    for (size_t i = 0; i < energyMap.size(); ++i)
        energyMap[i] = Wrap(static_cast<long long>(energyMap[i]) + delta[i]);
    searchVertValid = false;
    searchHorzValid = false;
    seamVert.clear();
    seamHorz.clear();
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

// ---- vertical ----

void Carver::RelaxVert(int i, int j)
{
    const int L = j > 0 ? costVert[At(i - 1, j - 1)] : INT_MAX;
    const int U = costVert[At(i - 1, j)];
    const bool hasR = j < cols - 1;
    const int R = hasR ? costVert[At(i - 1, j + 1)] : 0;
    int value;
    int step;
    if (hasR && R < U) {
        if (L <= R) {
            value = L;
            step = -1;
        } else {
            value = R;
            step = +1;
        }
    } else {
        if (L < U) {
            value = L;
            step = -1;
        } else {
            value = U;
            step = 0;
        }
    }
    costVert[At(i, j)] = Wrap(static_cast<long long>(energyMap[At(i, j)]) + value);
    stepVert[At(i, j)] = step;
}

void Carver::FullSearchVert()
{
    costVert.assign(static_cast<size_t>(rows) * cols, 0);
    stepVert.assign(static_cast<size_t>(rows) * cols, 0);
    for (int j = 0; j < cols; ++j)
        costVert[At(0, j)] = energyMap[At(0, j)];
    for (int i = 1; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            RelaxVert(i, j);
    seamVert.assign(rows, 0);
    BackTrackVert();
}

void Carver::BackTrackVert()
{
    seamVert.assign(rows, 0);
    int best = 0;
    for (int j = 0; j < cols; ++j)
        if (costVert[At(rows - 1, j)] < costVert[At(rows - 1, best)])
            best = j;
    seamVert[rows - 1] = best;
    for (int i = rows - 1; i >= 1; --i) {
        seamVert[i - 1] = seamVert[i] + stepVert[At(i, seamVert[i])];
        if (seamVert[i - 1] < 0 || seamVert[i - 1] >= cols)
            throw std::logic_error("reference: vertical seam left the picture");
    }
}

void Carver::RemoveSeamVert()
{
    const int newCols = cols - 1;
    std::vector<int> energy(static_cast<size_t>(rows) * newCols), cost(energy.size()),
        step(energy.size());
    std::vector<std::uint8_t> rgb(energy.size() * 3);
    for (int i = 0; i < rows; ++i) {
        int to = 0;
        for (int j = 0; j < cols; ++j) {
            if (j == seamVert[i])
                continue;
            const size_t dst = static_cast<size_t>(i) * newCols + to++;
            energy[dst] = energyMap[At(i, j)];
            cost[dst] = costVert[At(i, j)];
            step[dst] = stepVert[At(i, j)];
            for (int c = 0; c < 3; ++c)
                rgb[dst * 3 + c] = pixels[At(i, j) * 3 + c];
        }
    }
    energyMap = energy;
    costVert = cost;
    stepVert = step;
    pixels = rgb;
    cols = newCols;
}

void Carver::AddSeamVert()
{
    const int newCols = cols + 1;
    std::vector<int> energy(static_cast<size_t>(rows) * newCols), cost(energy.size()),
        step(energy.size());
    std::vector<std::uint8_t> rgb(energy.size() * 3);
    for (int i = 0; i < rows; ++i) {
        const int s = seamVert[i];
        const int right = s + 1 < cols ? s + 1 : s;  // last column: the seam pixel itself
        auto dst = [&](int j) { return static_cast<size_t>(i) * newCols + j; };
        for (int j = 0; j <= s; ++j) {
            energy[dst(j)] = energyMap[At(i, j)];
            cost[dst(j)] = costVert[At(i, j)];
            step[dst(j)] = stepVert[At(i, j)];
            for (int c = 0; c < 3; ++c)
                rgb[dst(j) * 3 + c] = pixels[At(i, j) * 3 + c];
        }
        energy[dst(s + 1)] =
            Wrap(static_cast<long long>(energyMap[At(i, s)]) + energyMap[At(i, right)]) / 2;
        cost[dst(s + 1)] =
            Wrap(static_cast<long long>(costVert[At(i, s)]) + costVert[At(i, right)]) / 2;
        step[dst(s + 1)] = (stepVert[At(i, s)] + stepVert[At(i, right)]) / 2;
        for (int c = 0; c < 3; ++c)
            rgb[dst(s + 1) * 3 + c] = static_cast<std::uint8_t>(
                (pixels[At(i, s) * 3 + c] + pixels[At(i, right) * 3 + c]) >> 1);
        energy[dst(s)] = 255;
        for (int j = s + 1; j < cols; ++j) {
            energy[dst(j + 1)] = energyMap[At(i, j)];
            cost[dst(j + 1)] = costVert[At(i, j)];
            step[dst(j + 1)] = stepVert[At(i, j)];
            for (int c = 0; c < 3; ++c)
                rgb[dst(j + 1) * 3 + c] = pixels[At(i, j) * 3 + c];
        }
    }
    energyMap = energy;
    costVert = cost;
    stepVert = step;
    pixels = rgb;
    cols = newCols;
}

std::vector<int> Carver::SeamVert(bool remove)
{
    if (!searchVertValid) {
        FullSearchVert();
        searchVertValid = true;
    }
    if (remove)
        RemoveSeamVert();
    else
        AddSeamVert();
    seamHorz.clear();
    searchHorzValid = false;
    const int s0 = seamVert[0];
    for (int i = 1; i < rows; ++i)
        for (int j = std::max(0, s0 - i); j < std::min(cols, s0 + i); ++j)
            RelaxVert(i, j);
    BackTrackVert();
    return seamVert;
}

// ---- horizontal ----

void Carver::RelaxHorz(int y, int x)
{
    const int U = y > 0 ? costHorz[At(y - 1, x - 1)] : INT_MAX;
    const int L = costHorz[At(y, x - 1)];
    const bool hasD = y < rows - 1;
    const int D = hasD ? costHorz[At(y + 1, x - 1)] : 0;
    int value;
    int step;
    if (hasD && D < L) {
        if (U <= D) {
            value = U;
            step = +1;
        } else {
            value = D;
            step = -1;
        }
    } else {
        if (U < L) {
            value = U;
            step = +1;
        } else {
            value = L;
            step = 0;
        }
    }
    costHorz[At(y, x)] = Wrap(static_cast<long long>(energyMap[At(y, x)]) + value);
    stepHorz[At(y, x)] = step;
}

void Carver::FullSearchHorz()
{
    costHorz.assign(static_cast<size_t>(rows) * cols, 0);
    stepHorz.assign(static_cast<size_t>(rows) * cols, 0);
    for (int y = 0; y < rows; ++y)
        costHorz[At(y, 0)] = energyMap[At(y, 0)];
    for (int x = 1; x < cols; ++x)
        for (int y = 0; y < rows; ++y)
            RelaxHorz(y, x);
    BackTrackHorz();
}

void Carver::BackTrackHorz()
{
    seamHorz.assign(cols, 0);
    int best = 0;
    for (int y = 0; y < rows; ++y)
        if (costHorz[At(y, cols - 1)] < costHorz[At(best, cols - 1)])
            best = y;
    seamHorz[cols - 1] = best;
    for (int x = cols - 1; x >= 1; --x) {
        seamHorz[x - 1] = seamHorz[x] - stepHorz[At(seamHorz[x], x)];
        if (seamHorz[x - 1] < 0 || seamHorz[x - 1] >= rows)
            throw std::logic_error("reference: horizontal seam left the picture");
    }
}

void Carver::RemoveSeamHorz()
{
    std::vector<std::uint8_t> blended = pixels;
    for (int x = 0; x < cols; ++x) {
        const int s = seamHorz[x];
        if (s == 0)
            continue;
        for (int y : {s - 1, s + 1}) {
            if (y >= rows)
                continue;
            for (int c = 0; c < 3; ++c) {
                const int own = pixels[At(y, x) * 3 + c];
                const int seam = pixels[At(s, x) * 3 + c];
                blended[At(y, x) * 3 + c] = static_cast<std::uint8_t>(2 * own / 3 + seam / 3);
            }
        }
    }
    const int newRows = rows - 1;
    std::vector<int> energy(static_cast<size_t>(newRows) * cols), cost(energy.size()),
        step(energy.size());
    std::vector<std::uint8_t> rgb(energy.size() * 3);
    for (int x = 0; x < cols; ++x) {
        for (int y = 0; y < newRows; ++y) {
            const int from = y < seamHorz[x] ? y : y + 1;
            const size_t dst = static_cast<size_t>(y) * cols + x;
            energy[dst] = energyMap[At(from, x)];
            cost[dst] = costHorz[At(from, x)];
            step[dst] = stepHorz[At(from, x)];
            for (int c = 0; c < 3; ++c)
                rgb[dst * 3 + c] = blended[At(from, x) * 3 + c];
        }
    }
    energyMap = energy;
    costHorz = cost;
    stepHorz = step;
    pixels = rgb;
    rows = newRows;
}

void Carver::AddSeamHorz()
{
    const int newRows = rows + 1;
    std::vector<int> energy(static_cast<size_t>(newRows) * cols), cost(energy.size()),
        step(energy.size());
    std::vector<std::uint8_t> rgb(energy.size() * 3);
    for (int x = 0; x < cols; ++x) {
        const int s = seamHorz[x];
        const int below = s + 1 < rows ? s + 1 : s;  // last row: the seam pixel itself
        auto dst = [&](int y) { return static_cast<size_t>(y) * cols + x; };
        for (int y = 0; y < rows; ++y) {
            const int to = y <= s ? y : y + 1;
            energy[dst(to)] = energyMap[At(y, x)];
            cost[dst(to)] = costHorz[At(y, x)];
            step[dst(to)] = stepHorz[At(y, x)];
            for (int c = 0; c < 3; ++c)
                rgb[dst(to) * 3 + c] = pixels[At(y, x) * 3 + c];
        }
        energy[dst(s + 1)] = 255;
        cost[dst(s + 1)] =
            Wrap(static_cast<long long>(costHorz[At(s, x)]) + costHorz[At(below, x)]) / 2;
        step[dst(s + 1)] = (stepHorz[At(s, x)] + stepHorz[At(below, x)]) / 2;
        for (int c = 0; c < 3; ++c)
            rgb[dst(s + 1) * 3 + c] = static_cast<std::uint8_t>(
                (pixels[At(s, x) * 3 + c] + pixels[At(below, x) * 3 + c]) >> 1);
        energy[dst(s)] = 255;
    }
    energyMap = energy;
    costHorz = cost;
    stepHorz = step;
    pixels = rgb;
    rows = newRows;
}

std::vector<int> Carver::SeamHorz(bool remove)
{
    if (!searchHorzValid) {
        FullSearchHorz();
        searchHorzValid = true;
    }
    if (remove)
        RemoveSeamHorz();
    else
        AddSeamHorz();
    seamVert.clear();
    searchVertValid = false;
    const int s0 = seamHorz[0];
    for (int x = 1; x < cols; ++x)
        for (int y = std::max(0, s0 - x); y < std::min(rows, s0 + x); ++y)
            RelaxHorz(y, x);
    BackTrackHorz();
    return seamHorz;
}

}  // namespace reference
