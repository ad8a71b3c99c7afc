// SPDX-License-Identifier: GPL-3.0-or-later
#include "forward_grid.h"

#include <algorithm>
#include <cstdlib>

#include "dp_assert.h"

namespace seam {

namespace {

int Intensity(const unsigned char* rgb)
{
    return (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2] + 500) / 1000;
}

}  // namespace

ForwardGrid::ForwardGrid(const unsigned char* rgb, int width, int height)
    : rows_(height), cols_(width), rgb_(rgb, rgb + static_cast<size_t>(width) * height * 3),
      energy_(static_cast<size_t>(width) * height, 0), grey_(static_cast<size_t>(width) * height)
{
    for (int row = 0; row < rows_; ++row) {
        for (int col = 0; col < cols_; ++col)
            UpdateGrey(row, col);
    }
}

void ForwardGrid::UpdateGrey(int row, int col)
{
    grey_[At(row, col)] = Intensity(&rgb_[At(row, col) * 3]);
}

const int* ForwardGrid::Carve(Direction direction, bool remove)
{
    const bool vertical = direction == Direction::Vertical;
    DP_ASSERT(!remove || (vertical ? cols_ : rows_) > 1);
    if (remove && (vertical ? cols_ : rows_) <= 1)
        return seam_.data();
    const Pending wanted = vertical ? Pending::Vertical : Pending::Horizontal;
    if (pending_ != wanted)
        Search(direction);
    if (vertical)
        remove ? RemoveVertical() : InsertVertical();
    else
        remove ? RemoveHorizontal() : InsertHorizontal();
    Search(direction);
    pending_ = wanted;
    return seam_.data();
}

const int* ForwardGrid::PendingSeam(Direction direction)
{
    const Pending wanted =
        direction == Direction::Vertical ? Pending::Vertical : Pending::Horizontal;
    if (pending_ != wanted) {
        Search(direction);
        pending_ = wanted;
    }
    return seam_.data();
}

// One search over the whole picture in lane/position words (see seam_grid.h): a vertical seam's
// lanes are rows, a horizontal seam's lanes are columns.
void ForwardGrid::Search(Direction direction)
{
    const bool vertical = direction == Direction::Vertical;
    const int lanes = vertical ? rows_ : cols_;
    const int positions = vertical ? cols_ : rows_;
    auto grey = [&](int lane, int position) {
        return vertical ? Grey(lane, position) : Grey(position, lane);
    };
    auto energy = [&](int lane, int position) {
        return vertical ? energy_[At(lane, position)] : energy_[At(position, lane)];
    };
    const size_t cells = static_cast<size_t>(lanes) * positions;
    cost_.resize(cells);
    step_.resize(cells);
    auto cell = [&](int lane, int position) {
        return static_cast<size_t>(lane) * positions + position;
    };
    // The jump between the two pixels that meet when (lane, position) goes.
    auto up = [&](int lane, int position) {
        const int before = grey(lane, std::max(position - 1, 0));
        const int after = grey(lane, std::min(position + 1, positions - 1));
        return std::abs(after - before);
    };

    for (int p = 0; p < positions; ++p)
        cost_[cell(0, p)] = energy(0, p) + up(0, p);
    for (int lane = 1; lane < lanes; ++lane) {
        for (int p = 0; p < positions; ++p) {
            const int cu = up(lane, p);
            const int above = grey(lane - 1, p);
            const bool hasL = p > 0;
            const bool hasR = p < positions - 1;
            const long long u = cost_[cell(lane - 1, p)] + cu;
            const long long l =
                hasL ? cost_[cell(lane - 1, p - 1)] + cu + std::abs(above - grey(lane, p - 1)) : 0;
            const long long r =
                hasR ? cost_[cell(lane - 1, p + 1)] + cu + std::abs(above - grey(lane, p + 1)) : 0;
            long long taken = u;
            signed char step = 0;
            if (hasR && r < u) {
                if (hasL && l <= r) {
                    taken = l;
                    step = -1;
                } else {
                    taken = r;
                    step = +1;
                }
            } else if (hasL && l < u) {
                taken = l;
                step = -1;
            }
            cost_[cell(lane, p)] = energy(lane, p) + taken;
            step_[cell(lane, p)] = step;
        }
    }

    seam_.resize(lanes);
    int best = 0;
    for (int p = 1; p < positions; ++p) {
        if (cost_[cell(lanes - 1, p)] < cost_[cell(lanes - 1, best)])
            best = p;
    }
    seam_[lanes - 1] = best;
    for (int lane = lanes - 1; lane > 0; --lane)
        seam_[lane - 1] = seam_[lane] + step_[cell(lane, seam_[lane])];
}

void ForwardGrid::RemoveVertical()
{
    const int width = cols_ - 1;
    for (int row = 0; row < rows_; ++row) {
        const int s = seam_[row];
        for (int col = 0; col < width; ++col) {
            const size_t from = At(row, col < s ? col : col + 1);
            const size_t to = static_cast<size_t>(row) * width + col;
            energy_[to] = energy_[from];
            grey_[to] = grey_[from];
            std::copy_n(&rgb_[from * 3], 3, &rgb_[to * 3]);
        }
    }
    cols_ = width;
    energy_.resize(static_cast<size_t>(rows_) * cols_);
    grey_.resize(energy_.size());
    rgb_.resize(energy_.size() * 3);
}

void ForwardGrid::RemoveHorizontal()
{
    for (int col = 0; col < cols_; ++col) {
        const int s = seam_[col];
        const unsigned char* seamPixel = &rgb_[At(s, col) * 3];
        if (s > 0) {
            for (int neighbour : {s - 1, s + 1}) {
                if (neighbour >= rows_)
                    continue;
                unsigned char* own = &rgb_[At(neighbour, col) * 3];
                for (int c = 0; c < 3; ++c)
                    own[c] = static_cast<unsigned char>(2 * own[c] / 3 + seamPixel[c] / 3);
                UpdateGrey(neighbour, col);
            }
        }
        for (int row = s; row < rows_ - 1; ++row) {
            energy_[At(row, col)] = energy_[At(row + 1, col)];
            grey_[At(row, col)] = grey_[At(row + 1, col)];
            std::copy_n(&rgb_[At(row + 1, col) * 3], 3, &rgb_[At(row, col) * 3]);
        }
    }
    --rows_;
    energy_.resize(static_cast<size_t>(rows_) * cols_);
    grey_.resize(energy_.size());
    rgb_.resize(energy_.size() * 3);
}

void ForwardGrid::InsertVertical()
{
    const int width = cols_ + 1;
    std::vector<unsigned char> rgb(static_cast<size_t>(rows_) * width * 3);
    std::vector<int> energy(static_cast<size_t>(rows_) * width);
    std::vector<int> grey(energy.size());
    for (int row = 0; row < rows_; ++row) {
        const int s = seam_[row];
        const int right = s < cols_ - 1 ? s + 1 : s;
        for (int col = 0; col < width; ++col) {
            const size_t to = static_cast<size_t>(row) * width + col;
            if (col == s + 1) {
                energy[to] = (energy_[At(row, s)] + energy_[At(row, right)]) / 2;
                for (int c = 0; c < 3; ++c)
                    rgb[to * 3 + c] = static_cast<unsigned char>(
                        (rgb_[At(row, s) * 3 + c] + rgb_[At(row, right) * 3 + c]) >> 1);
                grey[to] = Intensity(&rgb[to * 3]);
                continue;
            }
            const size_t from = At(row, col <= s ? col : col - 1);
            energy[to] = col == s ? 255 : energy_[from];
            grey[to] = grey_[from];
            std::copy_n(&rgb_[from * 3], 3, &rgb[to * 3]);
        }
    }
    cols_ = width;
    rgb_.swap(rgb);
    energy_.swap(energy);
    grey_.swap(grey);
}

void ForwardGrid::InsertHorizontal()
{
    const int height = rows_ + 1;
    std::vector<unsigned char> rgb(static_cast<size_t>(height) * cols_ * 3);
    std::vector<int> energy(static_cast<size_t>(height) * cols_);
    std::vector<int> grey(energy.size());
    for (int col = 0; col < cols_; ++col) {
        const int s = seam_[col];
        const int below = s < rows_ - 1 ? s + 1 : s;
        for (int row = 0; row < height; ++row) {
            const size_t to = static_cast<size_t>(row) * cols_ + col;
            if (row == s + 1) {
                energy[to] = 255;
                for (int c = 0; c < 3; ++c)
                    rgb[to * 3 + c] = static_cast<unsigned char>(
                        (rgb_[At(s, col) * 3 + c] + rgb_[At(below, col) * 3 + c]) >> 1);
                grey[to] = Intensity(&rgb[to * 3]);
                continue;
            }
            const size_t from = At(row <= s ? row : row - 1, col);
            energy[to] = row == s ? 255 : energy_[from];
            grey[to] = grey_[from];
            std::copy_n(&rgb_[from * 3], 3, &rgb[to * 3]);
        }
    }
    rows_ = height;
    rgb_.swap(rgb);
    energy_.swap(energy);
    grey_.swap(grey);
}

void ForwardGrid::AddEnergy(const int* delta)
{
    for (size_t i = 0; i < energy_.size(); ++i)
        energy_[i] += delta[i];
}

void ForwardGrid::AddEnergyAt(int x, int y, int value)
{
    energy_[At(y, x)] += value;
    pending_ = Pending::None;
}

void ForwardGrid::CopyPixels(unsigned char* out) const
{
    std::copy(rgb_.begin(), rgb_.end(), out);
}

void ForwardGrid::CopyEnergy(int* out) const
{
    std::copy(energy_.begin(), energy_.end(), out);
}

}  // namespace seam
