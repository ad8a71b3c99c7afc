// SPDX-License-Identifier: GPL-3.0-or-later
// SeamGrid's searches: the whole table, the band after a carve, and the seam's extraction.
#include "seam_grid.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "dp_assert.h"
#include "relax.h"
#include "transpose.h"

namespace seam {

namespace {

// Columns copied into the lane-major energy together: one cache line of ints per row.
constexpr int kStrip = 16;

}  // namespace

// Sizes the tables for a direction: lanes are rows (vertical) or columns (horizontal), each as
// long as the energy's capacity in that direction.
void SeamGrid::LayOutTables(bool horizontal)
{
    tableStride_ = horizontal ? rowCapacity_ : stride_;
    const size_t cells = static_cast<size_t>(horizontal ? stride_ : rowCapacity_) * tableStride_;
    if (cost_.size() < cells) {
        cost_.resize(cells);
        step_.resize(cells);
    }
    if (horizontal && laneEnergy_.size() < cells)
        laneEnergy_.resize(cells);
    laneStart_.assign(horizontal ? stride_ : rowCapacity_, 0);
}

template <bool kHorizontal>
void SeamGrid::SearchAll()
{
    const int lanes = kHorizontal ? cols_ : rows_;
    const int positions = kHorizontal ? rows_ : cols_;
    LayOutTables(kHorizontal);
    if (kHorizontal) {
        SearchAllColumns();
    } else {
        std::copy_n(&energy_[Index(0, 0)], positions, &cost_[TableIndex(0, 0)]);
        for (int lane = 1; lane < lanes; ++lane)
            RelaxRange(&cost_[TableIndex(lane - 1, 0)], &energy_[Index(lane, 0)],
                       &cost_[TableIndex(lane, 0)], &step_[TableIndex(lane, 0)], 0, positions,
                       positions);
    }
    // Every lane but the first was written afresh, which leaves no cell stale; lane 0 has no
    // predecessors and is never recomputed.
    std::memset(&step_[TableIndex(0, 0)], StepByte(0), positions);
    staleCount_.assign(lanes, 0);
    ExtractSeam(lanes, positions);
}

// The whole horizontal table. Lanes are columns, whose energies lie a row apart; they are first
// copied into the lane-major energy a strip of columns at a time, walking the energy row by row,
// so every energy cache line is read once.
void SeamGrid::SearchAllColumns()
{
    rowPointers_.resize(rows_);
    for (int y = 0; y < rows_; ++y)
        rowPointers_[y] = &energy_[Index(y, 0)];
    const int strips = (cols_ + kStrip - 1) / kStrip;
    workers_.ForEach(strips, 2, [this](int first, int last) {
        for (int strip = first; strip < last; ++strip) {
            const int x0 = strip * kStrip;
            const int width = std::min(kStrip, cols_ - x0);
            int* lanes[kStrip];
            for (int k = 0; k < width; ++k)
                lanes[k] = &laneEnergy_[TableIndex(x0 + k, 0)];
            GatherLanes(rowPointers_.data(), rows_, x0, width, lanes);
        }
    });
    std::copy_n(LaneEnergy<true>(0, 0, rows_), rows_, &cost_[TableIndex(0, 0)]);
    for (int lane = 1; lane < cols_; ++lane)
        RelaxLane<true>(lane, 0, rows_);
}

// The energies of a lane, contiguous over its positions.
// The energies of positions [begin, end) of a lane, contiguous at [begin, end) of the result.
template <bool kHorizontal>
const int* SeamGrid::LaneEnergy(int lane, int begin, int end)
{
    if (kHorizontal)
        return &laneEnergy_[TableIndex(lane, 0)];
    const int* row =
        &energy_[static_cast<size_t>(rowBase_ + lane) * stride_ + rowStart_[rowBase_ + lane]];
    if (deferredCount_ == 0)
        return row;
    // Copy the runs of stored cells between the removed ones, from the range's first cell on.
    if (gathered_.size() < static_cast<size_t>(stride_))
        gathered_.resize(stride_);
    const int* removed = &deferred_[static_cast<size_t>(lane) * kDeferredLimit];
    int next = 0;  // the first removed position past `stored`
    int stored = begin;
    while (next < deferredCount_ && removed[next] <= stored) {
        ++stored;
        ++next;
    }
    for (int j = begin; j < end;) {
        const int runEnd = next < deferredCount_ ? removed[next] : stored + (end - j);
        const int run = std::min(end - j, runEnd - stored);
        std::copy_n(row + stored, run, &gathered_[j]);
        j += run;
        stored += run;
        while (next < deferredCount_ && removed[next] == stored) {
            ++stored;
            ++next;
        }
    }
    return gathered_.data();
}

// Recomputes positions [begin, end) of one lane from the lane before it.
template <bool kHorizontal>
void SeamGrid::RelaxLane(int lane, int begin, int end)
{
    const int positions = kHorizontal ? rows_ : cols_;
    RelaxRange(&cost_[TableIndex(lane - 1, 0)], LaneEnergy<kHorizontal>(lane, begin, end),
               &cost_[TableIndex(lane, 0)], &step_[TableIndex(lane, 0)], begin, end, positions);
}

// The band after carving a seam whose lane-0 position was s0: in lane i, positions
// max(0, s0 - i) <= j < min(n, s0 + i). Lane 0 is never recomputed, and cells outside the band
// keep what the carve left in them, even where their predecessors changed.
//
// Recomputing a consistent cell whose energy and predecessors are unchanged gives back its
// value, so only three kinds of band cells are recomputed, which yields the same table:
//  - cells next to the carved seam, whose predecessors moved or whose energy changed: in lane i
//    they lie within [min(s(i), s(i-1)) - 1, max(s(i), s(i-1)) + 2] (removals need less);
//  - cells next to a cell of the previous lane whose cost changed in this update;
//  - stale cells.
// The first two kinds outside the band are not recomputed and become stale.
template <bool kHorizontal>
void SeamGrid::SearchBand(int firstPosition)
{
    const int lanes = kHorizontal ? cols_ : rows_;
    const int positions = kHorizontal ? rows_ : cols_;
    int changedLo = INT_MAX;  // cost changes in the previous lane: positions [lo, hi]
    int changedHi = INT_MIN;
    for (int lane = 1; lane < lanes; ++lane) {
        const int bandLo = std::max(0, firstPosition - lane);
        const int bandHi = std::min(positions, firstPosition + lane);
        int touchedLo = std::min(seam_[lane], seam_[lane - 1]) - 2;
        int touchedHi = std::max(seam_[lane], seam_[lane - 1]) + 3;
        if (changedLo <= changedHi) {
            touchedLo = std::min(touchedLo, changedLo - 1);
            touchedHi = std::max(touchedHi, changedHi + 2);
        }
        touchedLo = std::max(touchedLo, 0);
        touchedHi = std::min(touchedHi, positions);

        changedLo = INT_MAX;
        changedHi = INT_MIN;
        const int relaxLo = std::max(touchedLo, bandLo);
        const int relaxHi = std::min(touchedHi, bandHi);
        if (relaxLo < relaxHi)
            RelaxAndCompare<kHorizontal>(lane, relaxLo, relaxHi, changedLo, changedHi);
        if (staleCount_[lane] > 0 && bandLo < bandHi)
            RelaxStaleCells(lane, bandLo, bandHi, changedLo, changedHi, kHorizontal);
        if (touchedLo < std::min(touchedHi, bandLo))
            MarkStale(lane, touchedLo, std::min(touchedHi, bandLo));
        if (std::max(touchedLo, bandHi) < touchedHi)
            MarkStale(lane, std::max(touchedLo, bandHi), touchedHi);
    }
}

// Recomputes [begin, end) of a lane and widens [changedLo, changedHi] by the cells whose cost
// changed. Stale cells among them become consistent.
template <bool kHorizontal>
void SeamGrid::RelaxAndCompare(int lane, int begin, int end, int& changedLo, int& changedHi)
{
    int* cost = &cost_[TableIndex(lane, 0)];
    if (staleCount_[lane] > 0) {  // recomputing clears them
        const std::uint8_t* step = &step_[TableIndex(lane, 0)];
        for (int j = begin; j < end; ++j)
            staleCount_[lane] -= (step[j] & kStaleBit) != 0;
    }
    before_.assign(cost + begin, cost + end);
    RelaxLane<kHorizontal>(lane, begin, end);
    const int* before = before_.data() - begin;
    int first = begin;
    while (first < end && cost[first] == before[first])
        ++first;
    if (first == end)
        return;
    int last = end - 1;
    while (cost[last] == before[last])
        --last;
    changedLo = std::min(changedLo, first);
    changedHi = std::max(changedHi, last);
}

// Recomputes the stale cells of [begin, end) in a lane.
void SeamGrid::RelaxStaleCells(int lane, int begin, int end, int& changedLo, int& changedHi,
                               bool horizontal)
{
    const std::uint8_t* step = &step_[TableIndex(lane, 0)];
    for (int j = begin; j < end && staleCount_[lane] > 0; ++j) {
        if (!(step[j] & kStaleBit))
            continue;
        if (horizontal)
            RelaxAndCompare<true>(lane, j, j + 1, changedLo, changedHi);
        else
            RelaxAndCompare<false>(lane, j, j + 1, changedLo, changedHi);
    }
}

void SeamGrid::MarkStale(int lane, int begin, int end)
{
    std::uint8_t* step = &step_[TableIndex(lane, 0)];
    for (int j = begin; j < end; ++j) {
        if (!(step[j] & kStaleBit)) {
            step[j] |= kStaleBit;
            ++staleCount_[lane];
        }
    }
}

void SeamGrid::ExtractSeam(int lanes, int positions)
{
    if (seam_.size() < static_cast<size_t>(lanes))
        seam_.resize(GrownCapacity(lanes));
    const int* last = &cost_[TableIndex(lanes - 1, 0)];
    seam_[lanes - 1] = static_cast<int>(std::min_element(last, last + positions) - last);
    for (int lane = lanes - 1; lane > 0; --lane) {
        int next = seam_[lane] + StepOffset(step_[TableIndex(lane, seam_[lane])]);
        DP_ASSERT(next >= 0 && next < positions);
        next = std::clamp(next, 0, positions - 1);  // keeps a release build inside the arrays
        seam_[lane - 1] = next;
    }
}

template void SeamGrid::SearchAll<false>();
template void SeamGrid::SearchAll<true>();
template void SeamGrid::SearchBand<false>(int);
template void SeamGrid::SearchBand<true>(int);

}  // namespace seam
