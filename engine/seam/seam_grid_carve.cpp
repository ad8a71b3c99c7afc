// SPDX-License-Identifier: GPL-3.0-or-later
// SeamGrid's carves: removing and duplicating a seam, and growing the frame they work in.
#include "seam_grid.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "cell_moves.h"
#include "dp_assert.h"
#include "relax.h"

namespace seam {

namespace {

// What ShiftColumns does with a cell.
enum { kKeep, kTake, kNew };

// One row of ShiftColumns, columns [xBegin, xEnd). Every cell is read and written whatever the
// rule says, and the rows are distinct, so the loop vectorises.
template <typename Rule>
inline void ShiftRow(const Rule& rule, int y, const int* __restrict seam, int* __restrict energy,
                     const int* __restrict energyFrom, std::uint32_t* __restrict pixels,
                     const std::uint32_t* __restrict pixelsFrom,
                     const std::uint32_t* __restrict newPixels, int xBegin, int xEnd)
{
    for (int x = xBegin; x < xEnd; ++x) {
        const int what = rule(y, seam[x]);
        // All ones where the cell is taken, or new; the choice is made with masks, since a
        // conditional is compiled into a branch.
        const std::uint32_t take = 0u - (what == kTake);
        const std::uint32_t fresh = 0u - (what == kNew);
        const std::uint32_t keep = ~(take | fresh);
        const std::uint32_t newPixel = newPixels ? newPixels[x] : 0;
        energy[x] =
            static_cast<int>((static_cast<std::uint32_t>(energyFrom[x]) & take) | (255u & fresh) |
                             (static_cast<std::uint32_t>(energy[x]) & keep));
        pixels[x] = (pixelsFrom[x] & take) | (newPixel & fresh) | (pixels[x] & keep);
    }
}

// Each channel 2 * own / 3 + seam / 3 (both rounded down).
inline std::uint32_t BlendRgb(std::uint32_t own, std::uint32_t seam)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t o = (own >> shift) & 0xFF;
        const std::uint32_t s = (seam >> shift) & 0xFF;
        out |= (2 * o / 3 + s / 3) << shift;
    }
    return out;
}

// Removing position s of a lane of n cells moves the shorter side: the cells before s one on
// (the lane then starts one later) or the cells after s one back.
inline bool RemovalMovesFront(int s, int n)
{
    return s < n - 1 - s;
}

template <typename T>
void CloseGap(T* lane, int s, int n, bool front)
{
    if (front)
        std::memmove(lane + 1, lane, static_cast<size_t>(s) * sizeof(T));
    else
        std::memmove(lane + s, lane + s + 1, static_cast<size_t>(n - 1 - s) * sizeof(T));
}

}  // namespace

void SeamGrid::RemoveVertical()
{
    // The seam's energy moves from its leftmost column on.
    KeepAsideLanesBefore(Pending::Horizontal,
                         *std::min_element(seam_.data(), seam_.data() + rows_));
    // Energy, pixels and tables only note the removed cell (see CompactRows).
    if (deferredCount_ == 0 && deferred_.size() < static_cast<size_t>(rows_) * kDeferredLimit)
        deferred_.resize(static_cast<size_t>(rows_) * kDeferredLimit);
    // A few operations a row: handing half of them to the other core costs more than it saves.
    for (int row = 0; row < rows_; ++row) {
        if (row + kBandLookahead < rows_) {  // the step byte and the list that row reads
            const int ahead = row + kBandLookahead;
            __builtin_prefetch(&step_[TableIndex(ahead, 0)] + seam_[ahead], 1);
            __builtin_prefetch(&deferred_[static_cast<size_t>(ahead) * kDeferredLimit], 1);
        }
        int* removed = &deferred_[static_cast<size_t>(row) * kDeferredLimit];
        const int stored = StoredColumn(row, seam_[row]);
        if (step_[TableIndex(row, 0) + stored] & kStaleBit)
            --staleCount_[row];
        int at = deferredCount_;
        for (; at > 0 && removed[at - 1] > stored; --at)
            removed[at] = removed[at - 1];
        removed[at] = stored;
    }
    ++deferredCount_;
    --cols_;
    if (deferredCount_ == kDeferredLimit)
        CompactRows();
}

// The stored position of a row's cell at column col, past the holes before it; firstHoleAfter,
// when given, receives the index of the first hole past it (deferredCount_ when none is).
int SeamGrid::StoredColumn(int row, int col, int* firstHoleAfter) const
{
    const int* holes = &deferred_[static_cast<size_t>(row) * kDeferredLimit];
    int stored = col;
    int k = 0;
    for (; k < deferredCount_ && holes[k] <= stored; ++k)
        ++stored;
    if (firstHoleAfter)
        *firstHoleAfter = k;
    return stored;
}

namespace {

// Closes the gaps of a row of `stored` cells at the ascending positions removed[0..count).
// front: the cells before the last gap move on, each past the gaps after it (the row then
// starts count cells later); else the cells after the first gap move back.
template <typename T>
void CloseGaps(T* row, const int* removed, int count, int stored, bool front)
{
    if (front) {
        for (int k = count - 1; k >= 0; --k) {
            const int from = k > 0 ? removed[k - 1] + 1 : 0;
            std::memmove(row + from + (count - k), row + from,
                         static_cast<size_t>(removed[k] - from) * sizeof(T));
        }
        return;
    }
    int write = removed[0];
    for (int k = 0; k < count; ++k) {
        const int from = removed[k] + 1;
        const int to = k + 1 < count ? removed[k + 1] : stored;
        std::memmove(row + write, row + from, static_cast<size_t>(to - from) * sizeof(T));
        write += to - from;
    }
}

}  // namespace

// Applies the deferred removals, each row moving the shorter side: the cells before its last
// removed one, or those after its first. The tables close up with them while they are pending,
// unless the caller searches them afresh next (keepTables false).
void SeamGrid::CompactRows(bool keepTables)
{
    if (deferredCount_ == 0)
        return;
    // A removal flushes the pixels before it is deferred; spares are not in the pixels.
    DP_ASSERT(holesAreSpares_ || pixelsDeferred_ == 0);
    const bool pixels = !holesAreSpares_;
    const int count = deferredCount_;
    const int stored = cols_ + count;
    const bool tables = keepTables && pending_ == Pending::Vertical;
    workers_.ForEach(rows_, kMinimumSplit, [&](int first, int last) {
        for (int row = first; row < last; ++row) {
            const int* removed = &deferred_[static_cast<size_t>(row) * kDeferredLimit];
            const bool front = removed[count - 1] - (count - 1) < stored - removed[0] - count;
            const int physical = rowSlot_[row];
            const size_t base = static_cast<size_t>(physical) * stride_ + rowStart_[physical];
            CloseGaps(&energy_[base], removed, count, stored, front);
            if (pixels)
                CloseGaps(&pixels_[base], removed, count, stored, front);
            if (front)
                rowStart_[physical] += count;
            if (tables) {
                const size_t lane = TableIndex(row, 0);
                CloseGaps(&cost_[lane], removed, count, stored, front);
                CloseGaps(&step_[lane], removed, count, stored, front);
                if (front)
                    laneStart_[row] += count;
            }
        }
    });
    deferredCount_ = 0;
    holesAreSpares_ = false;
    FlushPixels();
}

void SeamGrid::RemoveHorizontal()
{
    workers_.ForEach(cols_, kMinimumSplit, [this](int first, int last) {
        for (int x = first; x < last; ++x) {
            const int s = seam_[x];
            // The colours above and below the seam take a third of the seam pixel; a seam in
            // the top row blends nothing.
            if (s > 0) {
                const std::uint32_t seamPixel = pixels_[Index(s, x)];
                pixels_[Index(s - 1, x)] = BlendRgb(pixels_[Index(s - 1, x)], seamPixel);
                if (s + 1 < rows_)
                    pixels_[Index(s + 1, x)] = BlendRgb(pixels_[Index(s + 1, x)], seamPixel);
            }
            const size_t lane = TableIndex(x, 0);
            if (step_[lane + s] & kStaleBit)
                --staleCount_[x];
            const bool front = RemovalMovesFront(s, rows_);
            CloseGap(&cost_[lane], s, rows_, front);
            CloseGap(&step_[lane], s, rows_, front);
            CloseGap(&laneEnergy_[lane], s, rows_, front);
            if (front)
                ++laneStart_[x];
        }
    });
    // Energy and pixels close up over the seam: rows top to bottom - 1 take, in the columns
    // where the seam lies at or above them, the cell of the row below. That leaves the stored row
    // of row `bottom` unused; the rows after it only move up a place in rowSlot_.
    const int* seam = seam_.data();
    const int top = *std::min_element(seam, seam + cols_);
    const int bottom = *std::max_element(seam, seam + cols_);
    KeepAsideLanesBefore(Pending::Vertical, top);
    ShiftColumns(
        top, bottom - top, +1, [](int y, int s) { return s <= y ? kTake : kKeep; }, nullptr);
    freeSlots_.push_back(rowSlot_[bottom]);
    rowSlot_.erase(rowSlot_.begin() + bottom);
    --rows_;
}

// Moves energy and pixels within their columns: rows first, first + direction, ... (count rows)
// each take, cell by cell, what rule(row, seam row of the column) says: the cell of the next
// row in `direction` (kTake), a new cell (kNew: energy 255, pixel newPixels[column]), or
// nothing (kKeep). Walking away from the rows being overwritten reads every row before it
// changes. Every row read from must be a row of the picture.
template <typename Rule>
void SeamGrid::ShiftColumns(int first, int count, int direction, const Rule& rule,
                            const std::uint32_t* newPixels)
{
    const int* seam = seam_.data();
    workers_.ForEach(cols_, kMinimumSplit, [&](int xBegin, int xEnd) {
        for (int i = 0, y = first; i < count; ++i, y += direction) {
            const int from = y + direction;
            int* energy = &energy_[Index(y, 0)];
            const int* energyFrom = &energy_[Index(from, 0)];
            std::uint32_t* pixels = &pixels_[Index(y, 0)];
            const std::uint32_t* pixelsFrom = &pixels_[Index(from, 0)];
            if (newPixels)
                ShiftRow(rule, y, seam, energy, energyFrom, pixels, pixelsFrom, newPixels, xBegin,
                         xEnd);
            else
                ShiftRow(rule, y, seam, energy, energyFrom, pixels, pixelsFrom, nullptr, xBegin,
                         xEnd);
        }
    });
}

void SeamGrid::InsertHorizontal()
{
    if (freeSlots_.empty())
        Reserve(GrownCapacity(rows_ + 1), stride_);
    // The tables: per lane (column) the cells after the seam move one position on.
    newPixels_.resize(cols_);
    workers_.ForEach(cols_, kMinimumSplit, [this](int first, int last) {
        for (int x = first; x < last; ++x)
            InsertInColumnTables(x);
    });
    // Energy and pixels open a row after the seam: a free stored row becomes row bottom + 1,
    // the rows after it only move down a place in rowSlot_, and rows bottom + 1 up to top + 1
    // take, in the columns where the seam lies above the row before them, that row's cell (the
    // row just after the seam a new one). Both the seam cell and the new one get energy 255.
    const int* seam = seam_.data();
    const int top = *std::min_element(seam, seam + cols_);
    const int bottom = *std::max_element(seam, seam + cols_);
    KeepAsideLanesBefore(Pending::Vertical, top);
    const int slot = freeSlots_.back();
    freeSlots_.pop_back();
    rowStart_[slot] = rowStart_[rowSlot_[bottom]];
    rowSlot_.insert(rowSlot_.begin() + bottom + 1, slot);
    ShiftColumns(
        bottom + 1, bottom + 1 - top, -1,
        [](int y, int s) { return y <= s ? kKeep : (y == s + 1 ? kNew : kTake); },
        newPixels_.data());
    for (int x = 0; x < cols_; ++x)
        energy_[Index(seam[x], x)] = 255;
    ++rows_;
}

void SeamGrid::InsertInColumnTables(int x)
{
    const int s = seam_[x];
    // Without a lower neighbour (last row) the new cell copies the seam cell.
    const int below = s < rows_ - 1 ? s + 1 : s;
    int* cost = &cost_[TableIndex(x, 0)];
    std::uint8_t* step = &step_[TableIndex(x, 0)];
    const int newCost = Average(cost[s], cost[below]);
    // Not stale: the band update decides, as for a vertical insertion.
    const std::uint8_t newStep = StepByte(Average(StepOffset(step[s]), StepOffset(step[below])));
    const size_t lane = static_cast<size_t>(x) * tableStride_;
    laneStart_[x] = CentreForInsertion(s, rows_, laneStart_[x], tableStride_, &cost_[lane],
                                       &step_[lane], &laneEnergy_[lane]);
    cost = &cost_[TableIndex(x, 0)];
    step = &step_[TableIndex(x, 0)];
    const bool front = InsertionMovesFront(s, rows_, laneStart_[x], tableStride_);
    OpenGap(cost, s, rows_, front);
    OpenGap(step, s, rows_, front);
    OpenGap(&laneEnergy_[TableIndex(x, 0)], s, rows_, front);
    if (front)
        --laneStart_[x];
    const size_t table = TableIndex(x, s + 1);
    cost_[table] = newCost;
    step_[table] = newStep;
    laneEnergy_[table] = 255;
    laneEnergy_[TableIndex(x, s)] = 255;
    newPixels_[x] = AverageRgb(pixels_[Index(s, x)], pixels_[Index(below, x)]);
}

// A carve changed the energy from `lane` of the kept tables of `direction` on.
void SeamGrid::KeepAsideLanesBefore(Pending direction, int lane)
{
    if (aside_ == direction)
        asideKept_ = std::min(asideKept_, lane);
}

void SeamGrid::MakeRoom(int width, int height)
{
    // Room for spare cells to the end of a run of insertions (see holesAreSpares_).
    const int stride = width > stride_ ? width + kDeferredLimit : stride_;
    const int rowCapacity = std::max(rowCapacity_, height);
    if (stride == stride_ && rowCapacity == rowCapacity_)
        return;
    CompactRows();  // the frames are copied row by row, as cols_ cells side by side
    Reserve(rowCapacity, stride);
}

// New energy and pixel frames (and tables of the pending direction) with the given capacity;
// each row (lane) starts in the middle of its headroom, so it can grow either way.
void SeamGrid::Reserve(int rowCapacity, int stride)
{
    FlushPixels();
    asideKept_ = 0;  // the kept tables' layout no longer fits the frame
    const size_t cells = static_cast<size_t>(rowCapacity) * stride;
    LargeVector<std::uint32_t> pixels(cells);
    LargeVector<int> energy(cells);
    std::vector<int> rowStart(rowCapacity, (stride - cols_) / 2);
    for (int y = 0; y < rows_; ++y) {
        const size_t to = static_cast<size_t>(y) * stride + rowStart[y];
        std::copy_n(&pixels_[Index(y, 0)], cols_, &pixels[to]);
        std::copy_n(&energy_[Index(y, 0)], cols_, &energy[to]);
    }

    if (pending_ != Pending::None) {
        const bool horizontal = pending_ == Pending::Horizontal;
        const int lanes = horizontal ? cols_ : rows_;
        const int positions = horizontal ? rows_ : cols_;
        const int tableStride = horizontal ? rowCapacity : stride;
        LargeVector<int> cost(cells);
        LargeVector<std::uint8_t> step(cells);
        LargeVector<int> laneEnergy(horizontal ? cells : 0);
        std::vector<int> laneStart(horizontal ? stride : rowCapacity,
                                   (tableStride - positions) / 2);
        for (int lane = 0; lane < lanes; ++lane) {
            const size_t from = TableIndex(lane, 0);
            const size_t to = static_cast<size_t>(lane) * tableStride + laneStart[lane];
            std::copy_n(&cost_[from], positions, &cost[to]);
            std::copy_n(&step_[from], positions, &step[to]);
            if (horizontal)
                std::copy_n(&laneEnergy_[from], positions, &laneEnergy[to]);
        }
        cost_.swap(cost);
        step_.swap(step);
        laneEnergy_.swap(laneEnergy);
        laneStart_.swap(laneStart);
        tableStride_ = tableStride;
    } else {
        cost_.clear();
        step_.clear();
        laneEnergy_.clear();
    }
    pixels_.swap(pixels);
    energy_.swap(energy);
    rowStart_.swap(rowStart);
    std::iota(rowSlot_.begin(), rowSlot_.end(), 0);
    freeSlots_.clear();
    for (int slot = rowCapacity - 1; slot >= rows_; --slot)
        freeSlots_.push_back(slot);
    stride_ = stride;
    rowCapacity_ = rowCapacity;
}

}  // namespace seam
