// SPDX-License-Identifier: GPL-3.0-or-later
// SeamGrid's vertical insertions: the spare cells they fill and the pixels they defer.
#include "seam_grid.h"

#include <algorithm>
#include <cstring>

#include "cell_moves.h"
#include "dp_assert.h"
#include "relax.h"

namespace seam {

// Asks the processor to fetch the cells of a row that a vertical insertion reads first: the
// seam's cost, step byte and energy (up to deferredCount_ cells further on past the spares),
// the row's spares and its slot in the list of insertions, and its pixel, which lies up to
// pixelsDeferred_ cells before the seam while insertions are deferred. Rows lie a whole row
// apart, so without this nearly every row of the insertion waits for memory.
__attribute__((always_inline)) inline void SeamGrid::PrefetchInsertion(int row) const
{
    const int s = seam_[row];
    const int spares = deferredCount_;
    __builtin_prefetch(&cost_[TableIndex(row, s)], 1);
    __builtin_prefetch(&cost_[TableIndex(row, s)] + spares, 1);
    __builtin_prefetch(&step_[TableIndex(row, s)], 1);
    __builtin_prefetch(&energy_[Index(row, s)], 1);
    __builtin_prefetch(&energy_[Index(row, s)] + spares, 1);
    const size_t list = static_cast<size_t>(row) * kDeferredLimit;
    if (spares > 0) {
        __builtin_prefetch(&deferred_[list], 1);
        __builtin_prefetch(&deferred_[list] + spares - 1, 1);
    }
    __builtin_prefetch(&insertedAt_[list + pixelsDeferred_], 1);
    __builtin_prefetch(&insertedPixel_[list + pixelsDeferred_], 1);
    if (pixelsDeferred_ > 0) {
        const std::uint32_t* pixels =
            &pixels_[static_cast<size_t>(rowSlot_[row]) * stride_ + pixelStart_[row]];
        __builtin_prefetch(pixels + s);
        __builtin_prefetch(pixels + std::max(0, s - pixelsDeferred_));
    }
}

void SeamGrid::InsertVertical()
{
    if (cols_ + 1 > stride_)
        Reserve(rowCapacity_, GrownCapacity(cols_ + 1));
    const int left = *std::min_element(seam_.data(), seam_.data() + rows_);
    KeepAsideLanesBefore(Pending::Horizontal, left);
    if (pixelsDeferred_ == 0) {
        pixelStart_.resize(rows_);
        for (int row = 0; row < rows_; ++row)
            pixelStart_[row] = rowStart_[rowSlot_[row]];
        const size_t entries = static_cast<size_t>(rows_) * kDeferredLimit;
        if (insertedAt_.size() < entries) {
            insertedAt_.resize(entries);
            insertedPixel_.resize(entries);
        }
    }
    const int room = std::min(kDeferredLimit, stride_ - cols_);
    if (deferredCount_ == 0 && pixelsDeferred_ == 0 && room >= kLeastSpares)
        SpreadSpares(room);
    const bool spares = holesAreSpares_;
    workers_.ForEach(rows_, kMinimumSplit, [this, spares](int first, int last) {
        for (int row = first; row < last; ++row) {
            if (row + kBandLookahead < last)
                PrefetchInsertion(row + kBandLookahead);
            if (spares)
                InsertAtSpare(row);
            else
                InsertInRow(row);
        }
    });
    ++pixelsDeferred_;
    ++cols_;
    if (spares && --deferredCount_ == 0) {
        holesAreSpares_ = false;
        FlushPixels();
    } else if (!spares && pixelsDeferred_ == kDeferredLimit) {
        FlushPixels();
    }
}

namespace {

// Writes the `cells` cells of `from` to `to` with `count` holes among them, hole k before cell
// before[k] (ascending, at most cells), and stores the holes' positions in holes. The two rows
// may overlap. Holes are written as fill.
template <typename T>
void SpreadRow(const T* from, T* to, int cells, int count, T fill, const int* before,
               std::vector<T>& buffer, int* holes)
{
    buffer.assign(from, from + cells);
    int cell = 0;
    for (int k = 0; k <= count; ++k) {
        const int end = k < count ? before[k] : cells;
        std::copy(buffer.begin() + cell, buffer.begin() + end, to + cell + k);
        if (k < count) {
            holes[k] = end + k;
            to[end + k] = fill;
        }
        cell = end;
    }
}

}  // namespace

// Where a row's `count` spares go, as cells they lie before (ascending): after the cells the
// last run of insertions added to the row, as far as it goes, since seams keep returning to the
// parts of a row they favour; the rest evenly along the row. Any choice gives the same carve.
void SeamGrid::PlaceSpares(int row, int count, int* before) const
{
    const int guided = std::min(count, guideInsertions_);
    const int* inserted = &insertedAt_[static_cast<size_t>(row) * kDeferredLimit];
    for (int k = 0; k < guided; ++k)
        before[k] = std::clamp(inserted[k] + 1, 0, cols_);
    for (int k = guided; k < count; ++k)
        before[k] = static_cast<int>((2LL * (k - guided) + 1) * cols_ / (2LL * (count - guided)));
    std::sort(before, before + count);
}

// Spreads `count` spare holes along every row of the energy and of the vertical tables, each row
// centred in its room (count <= stride_ - cols_). Spares are never stale.
void SeamGrid::SpreadSpares(int count)
{
    DP_ASSERT(deferredCount_ == 0 && pending_ == Pending::Vertical);
    if (deferred_.size() < static_cast<size_t>(rows_) * kDeferredLimit)
        deferred_.resize(static_cast<size_t>(rows_) * kDeferredLimit);
    const int start = (stride_ - cols_ - count) / 2;
    workers_.ForEach(rows_, kMinimumSplit, [&](int first, int last) {
        std::vector<int> ints;
        std::vector<std::uint8_t> bytes;
        int before[kDeferredLimit];
        for (int row = first; row < last; ++row) {
            PlaceSpares(row, count, before);
            int* holes = &deferred_[static_cast<size_t>(row) * kDeferredLimit];
            const int slot = rowSlot_[row];
            int* energy = &energy_[static_cast<size_t>(slot) * stride_];
            SpreadRow(energy + rowStart_[slot], energy + start, cols_, count, 0, before, ints,
                      holes);
            rowStart_[slot] = start;
            const size_t lane = static_cast<size_t>(row) * tableStride_;
            SpreadRow(&cost_[lane + laneStart_[row]], &cost_[lane + start], cols_, count, 0, before,
                      ints, holes);
            SpreadRow(&step_[lane + laneStart_[row]], &step_[lane + start], cols_, count,
                      StepByte(0), before, bytes, holes);
            laneStart_[row] = start;
        }
    });
    deferredCount_ = count;
    holesAreSpares_ = true;
}

// Duplicates the seam cell of a row with spares: the cells between it and the nearest spare
// move one place toward the spare, which the row then no longer has, and the new cell takes
// the place next to the seam cell.
void SeamGrid::InsertAtSpare(int row)
{
    const int s = seam_[row];
    int* holes = &deferred_[static_cast<size_t>(row) * kDeferredLimit];
    const int count = deferredCount_;
    int next = 0;  // the first spare past the seam cell
    const int stored = StoredColumn(row, s, &next);
    // Without a right neighbour (last column) the new cell copies the seam cell.
    int storedRight = stored;
    if (s < cols_ - 1) {
        storedRight = stored + 1;
        for (int k = next; k < count && holes[k] == storedRight; ++k)
            ++storedRight;
    }
    int* cost = &cost_[static_cast<size_t>(row) * tableStride_ + laneStart_[row]];
    std::uint8_t* step = &step_[static_cast<size_t>(row) * tableStride_ + laneStart_[row]];
    const int slot = rowSlot_[row];
    int* energy = &energy_[static_cast<size_t>(slot) * stride_ + rowStart_[slot]];
    const int newCost = Average(cost[stored], cost[storedRight]);
    // Not stale: the band update decides (recomputed in the band, else made stale).
    const std::uint8_t newStep =
        StepByte(Average(StepOffset(step[stored]), StepOffset(step[storedRight])));
    const int newEnergy = Average(energy[stored], energy[storedRight]);

    const bool toRight =
        next < count && (next == 0 || holes[next] - stored - 1 <= stored - holes[next - 1]);
    const int spare = toRight ? next : next - 1;
    const int hole = holes[spare];
    auto openCell = [&](auto* cells) {
        if (toRight)
            std::memmove(cells + stored + 2, cells + stored + 1,
                         static_cast<size_t>(hole - stored - 1) * sizeof(*cells));
        else
            std::memmove(cells + hole, cells + hole + 1,
                         static_cast<size_t>(stored - hole) * sizeof(*cells));
    };
    openCell(cost);
    openCell(step);
    openCell(energy);
    std::copy(holes + spare + 1, holes + count, holes + spare);
    const int seamCell = toRight ? stored : stored - 1;
    cost[seamCell + 1] = newCost;
    step[seamCell + 1] = newStep;
    energy[seamCell + 1] = newEnergy;
    // The duplicated seam steers the next searches away from itself.
    energy[seamCell] = 255;
    DeferInsertedPixel(row);
}

void SeamGrid::InsertInRow(int row)
{
    const int s = seam_[row];
    // Without a right neighbour (last column) the new cell copies the seam cell.
    const int right = s < cols_ - 1 ? s + 1 : s;

    const size_t tableLane = static_cast<size_t>(row) * tableStride_;
    laneStart_[row] = CentreForInsertion(s, cols_, laneStart_[row], tableStride_, &cost_[tableLane],
                                         &step_[tableLane]);
    const bool tableFront = InsertionMovesFront(s, cols_, laneStart_[row], tableStride_);
    int* cost = &cost_[TableIndex(row, 0)];
    std::uint8_t* step = &step_[TableIndex(row, 0)];
    const int newCost = Average(cost[s], cost[right]);
    // Not stale: the band update decides (recomputed in the band, else made stale).
    const std::uint8_t newStep = StepByte(Average(StepOffset(step[s]), StepOffset(step[right])));
    OpenGap(cost, s, cols_, tableFront);
    OpenGap(step, s, cols_, tableFront);
    if (tableFront)
        --laneStart_[row];
    const size_t table = TableIndex(row, s + 1);
    cost_[table] = newCost;
    step_[table] = newStep;

    const int slot = rowSlot_[row];
    const size_t stored = static_cast<size_t>(slot) * stride_;
    rowStart_[slot] = CentreForInsertion(s, cols_, rowStart_[slot], stride_, &energy_[stored]);
    const bool rowFront = InsertionMovesFront(s, cols_, rowStart_[slot], stride_);
    int* energy = &energy_[Index(row, 0)];
    const int newEnergy = Average(energy[s], energy[right]);
    OpenGap(energy, s, cols_, rowFront);
    if (rowFront)
        --rowStart_[slot];
    energy_[Index(row, s + 1)] = newEnergy;
    // The duplicated seam steers the next searches away from itself.
    energy_[Index(row, s)] = 255;
    DeferInsertedPixel(row);
}

// Notes the pixel a row's insertion adds (the average of the seam pixel and its right
// neighbour, or the seam pixel in the last column) and where, for FlushPixels.
void SeamGrid::DeferInsertedPixel(int row)
{
    const int s = seam_[row];
    const int right = s < cols_ - 1 ? s + 1 : s;
    const size_t inserted = static_cast<size_t>(row) * kDeferredLimit + pixelsDeferred_;
    insertedPixel_[inserted] = AverageRgb(PendingPixel(row, s), PendingPixel(row, right));
    insertedAt_[inserted] = s;
}

// The pixel of a row's column col while insertions are deferred.
std::uint32_t SeamGrid::PendingPixel(int row, int col) const
{
    const size_t first = static_cast<size_t>(row) * kDeferredLimit;
    for (int k = pixelsDeferred_ - 1; k >= 0; --k) {
        const int at = insertedAt_[first + k] + 1;
        if (col == at)
            return insertedPixel_[first + k];
        if (col > at)
            --col;
    }
    return pixels_[static_cast<size_t>(rowSlot_[row]) * stride_ + pixelStart_[row] + col];
}

// Applies the deferred insertions to the pixels: each row is replayed in a buffer with room for
// them on both sides (each insertion moving the shorter side) and written where its energy is.
void SeamGrid::FlushPixels()
{
    if (pixelsDeferred_ == 0)
        return;
    if (deferredCount_ > 0)
        return CompactRows();  // closes the spares first, then comes back
    const int count = pixelsDeferred_;
    const int pixelCols = cols_ - count;  // the row as the run of insertions found it
    workers_.ForEach(rows_, kMinimumSplit, [&](int first, int last) {
        std::vector<std::uint32_t> buffer(static_cast<size_t>(pixelCols) + 2 * count);
        for (int row = first; row < last; ++row) {
            const size_t slot = static_cast<size_t>(rowSlot_[row]) * stride_;
            int begin = count;
            int length = pixelCols;
            std::copy_n(&pixels_[slot + pixelStart_[row]], length, &buffer[begin]);
            const size_t inserted = static_cast<size_t>(row) * kDeferredLimit;
            for (int k = 0; k < count; ++k) {
                const int s = insertedAt_[inserted + k];
                std::uint32_t* cells = &buffer[begin];
                if (s + 1 < length - 1 - s && begin > 0) {
                    std::memmove(cells - 1, cells, static_cast<size_t>(s + 1) * sizeof(*cells));
                    --begin;
                } else {
                    std::memmove(cells + s + 2, cells + s + 1,
                                 static_cast<size_t>(length - 1 - s) * sizeof(*cells));
                }
                buffer[begin + s + 1] = insertedPixel_[inserted + k];
                ++length;
            }
            DP_ASSERT(length == cols_);
            std::copy_n(&buffer[begin], length, &pixels_[Index(row, 0)]);
        }
    });
    guideInsertions_ = count;
    pixelsDeferred_ = 0;
}

}  // namespace seam
