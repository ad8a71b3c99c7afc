// SPDX-License-Identifier: GPL-3.0-or-later
// SeamGrid: construction, the carve of one seam, and access to the energy and the pixels.
#include "seam_grid.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "dp_assert.h"
#include "relax.h"

namespace seam {

void DpAssertFailed(const char* condition, int line)
{
    std::fprintf(stderr, "dp:%d: assertion failed: %s\n", line, condition);
    std::abort();
}

namespace {

inline std::uint32_t PackRgb(const unsigned char* rgb)
{
    return rgb[0] | (rgb[1] << 8) | (static_cast<std::uint32_t>(rgb[2]) << 16);
}

LargeVector<std::uint32_t> PackedPixels(const unsigned char* rgb, size_t cells)
{
    LargeVector<std::uint32_t> pixels(cells);
    for (size_t i = 0; i < cells; ++i)
        pixels[i] = PackRgb(rgb + i * 3);
    return pixels;
}

}  // namespace

SeamGrid::SeamGrid(const unsigned char* rgb, const int* energy, int width, int height, int threads)
    : rows_(height), cols_(width), stride_(width), rowCapacity_(height), rowSlot_(height),
      rowStart_(height, 0), workers_(threads)
{
    std::iota(rowSlot_.begin(), rowSlot_.end(), 0);
    const size_t cells = static_cast<size_t>(width) * height;
    pixels_ = PackedPixels(rgb, cells);
    energy_.assign(energy, energy + cells);
    seam_.reserve(std::max(width, height));
}

SeamGrid::SeamGrid(const unsigned char* rgb, const unsigned char* energyBytes, int energyStep,
                   int width, int height, int threads)
    : rows_(height), cols_(width), stride_(width), rowCapacity_(height), rowSlot_(height),
      rowStart_(height, 0), workers_(threads)
{
    std::iota(rowSlot_.begin(), rowSlot_.end(), 0);
    const size_t cells = static_cast<size_t>(width) * height;
    pixels_ = PackedPixels(rgb, cells);
    energy_.resize(cells);
    for (size_t i = 0; i < cells; ++i)
        energy_[i] = energyBytes[i * energyStep];
    seam_.reserve(std::max(width, height));
}

bool SeamGrid::HasPendingSeam(Direction direction) const
{
    return pending_ == (direction == Direction::Vertical ? Pending::Vertical : Pending::Horizontal);
}

const int* SeamGrid::PendingSeam(Direction direction)
{
    if (!HasPendingSeam(direction)) {
        CompactRows();
        if (direction == Direction::Horizontal)
            SearchAfresh<true>();
        else
            SearchAfresh<false>();
    }
    return seam_.data();
}

const int* SeamGrid::Carve(Direction direction, bool remove)
{
    const bool horizontal = direction == Direction::Horizontal;
    if (remove && (horizontal ? rows_ : cols_) <= 1) {
        DP_ASSERT(!"removal from a dimension of 1 pixel");
        return seam_.data();
    }

    // Holes are kept only for the carve that made them: removals keep removed cells, insertions
    // spare ones.
    const bool keepHoles = !horizontal && HasPendingSeam(direction) &&
                           (deferredCount_ == 0 || holesAreSpares_ != remove);
    if (!keepHoles)
        CompactRows();
    if (horizontal || remove)
        FlushPixels();
    if (!HasPendingSeam(direction)) {
        if (horizontal)
            SearchAfresh<true>();
        else
            SearchAfresh<false>();
    }

    const int firstPosition = seam_[0];
    if (horizontal) {
        remove ? RemoveHorizontal() : InsertHorizontal();
        SearchBand<true>(firstPosition);
        ExtractSeam(cols_, rows_);
    } else {
        remove ? RemoveVertical() : InsertVertical();
        SearchBand<false>(firstPosition);
        ExtractSeam(rows_, cols_);
    }
    return seam_.data();
}

void SeamGrid::AddEnergy(const int* delta)
{
    CompactRows();
    for (int y = 0; y < rows_; ++y) {
        int* row = &energy_[Index(y, 0)];
        const int* add = delta + static_cast<size_t>(y) * cols_;
        for (int x = 0; x < cols_; ++x)
            row[x] = WrappingAdd(row[x], add[x]);
    }
}

void SeamGrid::AddEnergyAt(int x, int y, int value)
{
    CompactRows();
    int& energy = energy_[Index(y, x)];
    energy = WrappingAdd(energy, value);
    if (aside_ != Pending::None)
        asideKept_ = std::min(asideKept_, aside_ == Pending::Horizontal ? x : y);
    if (pending_ == Pending::None)
        return;
    const bool horizontal = pending_ == Pending::Horizontal;
    const int lane = horizontal ? x : y;
    const int position = horizontal ? y : x;
    if (horizontal)
        laneEnergy_[TableIndex(lane, position)] =
            WrappingAdd(laneEnergy_[TableIndex(lane, position)], value);
    std::uint8_t& step = step_[TableIndex(lane, position)];
    if (!(step & kStaleBit)) {
        step |= kStaleBit;
        ++staleCount_[lane];
    }
}

void SeamGrid::CopyPixels(unsigned char* out)
{
    FlushPixels();
    CompactRows();
    for (int y = 0; y < rows_; ++y) {
        const std::uint32_t* row = &pixels_[Index(y, 0)];
        for (int x = 0; x < cols_; ++x, out += 3) {
            out[0] = static_cast<unsigned char>(row[x]);
            out[1] = static_cast<unsigned char>(row[x] >> 8);
            out[2] = static_cast<unsigned char>(row[x] >> 16);
        }
    }
}

void SeamGrid::CopyEnergy(int* out)
{
    CompactRows();
    for (int y = 0; y < rows_; ++y)
        std::memcpy(out + static_cast<size_t>(y) * cols_, &energy_[Index(y, 0)],
                    static_cast<size_t>(cols_) * sizeof(int));
}

}  // namespace seam
