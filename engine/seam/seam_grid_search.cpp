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

// A row with deferred removals at the ascending stored positions removed[0..count): calls
// fn(position, stored, length) for each run of positions [begin, end) that lie side by side in
// storage, position p of the run at stored + (p - position).
template <typename Fn>
void ForEachRun(const int* removed, int count, int begin, int end, const Fn& fn)
{
    int next = 0;  // the first removed position past `stored`
    int stored = begin;
    while (next < count && removed[next] <= stored) {
        ++stored;
        ++next;
    }
    for (int j = begin; j < end;) {
        const int run = next < count ? std::min(end - j, removed[next] - stored) : end - j;
        fn(j, stored, run);
        j += run;
        stored += run;
        while (next < count && removed[next] == stored) {
            ++stored;
            ++next;
        }
    }
}

// The offset of positions [begin, end) from their stored positions when they lie side by side
// in storage, else -1.
int ContiguousShift(const int* removed, int count, int begin, int end)
{
    int shift = 0;
    while (shift < count && removed[shift] <= begin + shift)
        ++shift;
    return shift == count || removed[shift] - shift >= end ? shift : -1;
}

template <typename T>
void Gather(const T* stored, const int* removed, int count, int begin, int end, T* out)
{
    ForEachRun(removed, count, begin, end,
               [&](int j, int from, int run) { std::copy_n(stored + from, run, out + j); });
}

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

// The direction's tables as a search of the whole table leaves them, and its seam: the tables
// kept aside for it are taken up when it has them, and the pending direction's go aside.
template <bool kHorizontal>
void SeamGrid::SearchAfresh()
{
    const Pending wanted = kHorizontal ? Pending::Horizontal : Pending::Vertical;
    int kept = 0;
    if (aside_ == wanted) {
        kept = asideKept_;
        SetTablesAside();
    } else if (pending_ != Pending::None) {
        SetTablesAside();
    }
    SearchAll<kHorizontal>(kept);
    pending_ = wanted;
}

// Exchanges the pending direction's tables (or none) with the ones kept aside.
void SeamGrid::SetTablesAside()
{
    std::swap(tableStride_, asideTableStride_);
    laneStart_.swap(asideLaneStart_);
    cost_.swap(asideCost_);
    step_.swap(asideStep_);
    staleCount_.swap(asideStaleCount_);
    aside_ = pending_;
    asideKept_ = pending_ == Pending::Horizontal ? cols_ : rows_;
    pending_ = Pending::None;
}

// Searches the whole table, except that lanes [0, kept) hold tables whose energy is unchanged
// since they were last consistent: only their stale cells and what these change are recomputed.
template <bool kHorizontal>
void SeamGrid::SearchAll(int kept)
{
    const int lanes = kHorizontal ? cols_ : rows_;
    const int positions = kHorizontal ? rows_ : cols_;
    kept = std::min(kept, lanes);
    if (kept > 0 && staleCount_[0] > 0)
        kept = 0;
    if (kept == 0)
        LayOutTables(kHorizontal);
    RepairLanes<kHorizontal>(kept);
    for (int lane = kept; lane < lanes; ++lane)
        laneStart_[lane] = 0;
    if (kHorizontal) {
        SearchAllColumns(kept);
    } else {
        if (kept == 0)
            std::copy_n(&energy_[Index(0, 0)], positions, &cost_[TableIndex(0, 0)]);
        for (int lane = std::max(kept, 1); lane < lanes; ++lane)
            RelaxRange(&cost_[TableIndex(lane - 1, 0)], &energy_[Index(lane, 0)],
                       &cost_[TableIndex(lane, 0)], &step_[TableIndex(lane, 0)], 0, positions,
                       positions);
    }
    // Every lane but the first was written afresh or made consistent, which leaves no cell
    // stale; lane 0 has no predecessors and is never recomputed.
    std::memset(&step_[TableIndex(0, 0)], StepByte(0), positions);
    staleCount_.assign(lanes, 0);
    ExtractSeam(lanes, positions);
}

// Makes lanes [0, kept) consistent: lane 0 takes its energy again (an insertion leaves it an
// average), and in later lanes the stale cells are recomputed and the cells next to a cost that
// changed in the lane before. Recomputing any other cell would give back its value.
template <bool kHorizontal>
void SeamGrid::RepairLanes(int kept)
{
    if (kept == 0)
        return;
    const int positions = kHorizontal ? rows_ : cols_;
    int changedLo = INT_MAX;
    int changedHi = INT_MIN;
    int* first = &cost_[TableIndex(0, 0)];
    const int* energy = LaneEnergy<kHorizontal>(0);
    for (int j = 0; j < positions; ++j) {
        if (first[j] != energy[j]) {
            changedLo = std::min(changedLo, j);
            changedHi = j;
            first[j] = energy[j];
        }
    }
    for (int lane = 1; lane < kept; ++lane) {
        int lo = INT_MAX;
        int hi = INT_MIN;
        if (changedLo <= changedHi)
            RelaxAndCompare<kHorizontal>(lane, std::max(changedLo - 1, 0),
                                         std::min(changedHi + 2, positions), lo, hi);
        if (staleCount_[lane] > 0)
            RelaxStaleCells(lane, 0, positions, lo, hi, kHorizontal);
        changedLo = lo;
        changedHi = hi;
    }
}

// The whole horizontal table. Lanes are columns, whose energies lie a row apart; they are first
// copied into the lane-major energy a strip of columns at a time, walking the energy row by row,
// so every energy cache line is read once.
void SeamGrid::SearchAllColumns(int kept)
{
    rowPointers_.resize(rows_);
    for (int y = 0; y < rows_; ++y)
        rowPointers_[y] = &energy_[Index(y, 0)];
    const int firstStrip = kept / kStrip;
    const int strips = (cols_ + kStrip - 1) / kStrip - firstStrip;
    workers_.ForEach(strips, 2, [this, firstStrip](int first, int last) {
        for (int strip = firstStrip + first; strip < firstStrip + last; ++strip) {
            const int x0 = strip * kStrip;
            const int width = std::min(kStrip, cols_ - x0);
            int* lanes[kStrip];
            for (int k = 0; k < width; ++k)
                lanes[k] = &laneEnergy_[TableIndex(x0 + k, 0)];
            GatherLanes(rowPointers_.data(), rows_, x0, width, lanes);
        }
    });
    if (kept == 0)
        std::copy_n(LaneEnergy<true>(0), rows_, &cost_[TableIndex(0, 0)]);
    for (int lane = std::max(kept, 1); lane < cols_; ++lane)
        RelaxLane<true>(lane, 0, rows_);
}

// The energies of a lane, contiguous over its positions (nothing may be deferred).
template <bool kHorizontal>
const int* SeamGrid::LaneEnergy(int lane)
{
    if (kHorizontal)
        return &laneEnergy_[TableIndex(lane, 0)];
    return &energy_[Index(lane, 0)];
}

// Recomputes positions [begin, end) of one lane from the lane before it (nothing deferred).
template <bool kHorizontal>
void SeamGrid::RelaxLane(int lane, int begin, int end)
{
    const int positions = kHorizontal ? rows_ : cols_;
    RelaxRange(&cost_[TableIndex(lane - 1, 0)], LaneEnergy<kHorizontal>(lane),
               &cost_[TableIndex(lane, 0)], &step_[TableIndex(lane, 0)], begin, end, positions);
}

// Asks the processor to fetch what recomputing positions about [begin, end) of a lane reads and
// writes: its costs, step bytes and energy, and its deferred removals. The band update reads a
// short range of every lane, a whole lane apart, a pattern the processor's own prefetcher does
// not follow, so without this nearly every lane waits for memory. The range widens by the
// distance a seam can drift in kBandLookahead lanes and by the lane's deferred removals.
// Inlined always: GCC takes a function whose only effects are prefetches for one without
// effects and drops its calls.
template <bool kHorizontal>
__attribute__((always_inline)) inline void SeamGrid::PrefetchLane(int lane, int begin,
                                                                  int end) const
{
    constexpr int kMargin = 16;  // cells: at least kBandLookahead plus the band's own margins
    const int deferred = kHorizontal ? 0 : deferredCount_;
    const int positions = kHorizontal ? rows_ : cols_;
    const int first = std::max(0, begin - kMargin);
    const int last = std::min(positions + deferred, end + kMargin + deferred);
    if (first >= last)
        return;
    const auto* cost = reinterpret_cast<const char*>(&cost_[TableIndex(lane, 0)]);
    const auto* energy = reinterpret_cast<const char*>(
        kHorizontal ? &laneEnergy_[TableIndex(lane, 0)] : &energy_[Index(lane, 0)]);
    constexpr int kLine = 64;
    constexpr int kCell = sizeof(int);
    for (int byte = first * kCell & -kLine; byte < last * kCell; byte += kLine) {
        __builtin_prefetch(cost + byte, 1);
        __builtin_prefetch(energy + byte, 0);
    }
    const auto* step = reinterpret_cast<const char*>(&step_[TableIndex(lane, 0)]);
    for (int byte = first & -kLine; byte < last; byte += kLine)
        __builtin_prefetch(step + byte, 1);
    for (int k = 0; k < deferred; k += kLine / kCell)
        __builtin_prefetch(&deferred_[static_cast<size_t>(lane) * kDeferredLimit + k]);
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
        if (relaxLo < relaxHi) {
            if (lane + kBandLookahead < lanes)
                PrefetchLane<kHorizontal>(lane + kBandLookahead, relaxLo, relaxHi);
            RelaxAndCompare<kHorizontal>(lane, relaxLo, relaxHi, changedLo, changedHi);
        }
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
    if (!kHorizontal && deferredCount_ > 0)
        return RelaxDeferred(lane, begin, end, changedLo, changedHi);
    RelaxAndCompareAt(&cost_[TableIndex(lane - 1, 0)], LaneEnergy<kHorizontal>(lane),
                      &cost_[TableIndex(lane, 0)], &step_[TableIndex(lane, 0)], lane,
                      kHorizontal ? rows_ : cols_, begin, end, changedLo, changedHi);
}

// The same over arrays indexed by position: the previous lane's costs over [begin - 1, end + 1)
// (within the lane), this lane's energy, costs and step bytes over [begin, end).
void SeamGrid::RelaxAndCompareAt(const int* previous, const int* energy, int* cost,
                                 std::uint8_t* step, int lane, int positions, int begin, int end,
                                 int& changedLo, int& changedHi)
{
    if (staleCount_[lane] > 0) {  // recomputing clears them
        for (int j = begin; j < end; ++j)
            staleCount_[lane] -= (step[j] & kStaleBit) != 0;
    }
    const size_t length = static_cast<size_t>(end - begin);
    if (changed_.size() < length)
        changed_.resize(std::max(length, static_cast<size_t>(stride_)));
    RelaxRangeMarking(previous, energy, cost, step, begin, end, positions, changed_.data(),
                      changedLo, changedHi);
}

// RelaxAndCompare for a row with deferred removals: each run of the range that lies side by
// side in storage is recomputed in place, from the previous lane in place where its cells
// around the range lie side by side too, else from one gathered copy of them.
void SeamGrid::RelaxDeferred(int lane, int begin, int end, int& changedLo, int& changedHi)
{
    const int count = deferredCount_;
    const int* removed = &deferred_[static_cast<size_t>(lane) * kDeferredLimit];
    const int* removedAbove = removed - kDeferredLimit;
    const int* previous = &cost_[TableIndex(lane - 1, 0)];
    const int* energy = &energy_[Index(lane, 0)];
    int* cost = &cost_[TableIndex(lane, 0)];
    std::uint8_t* step = &step_[TableIndex(lane, 0)];
    const int lo = std::max(0, begin - 1);
    const int hi = std::min(cols_, end + 1);
    const int shiftAbove = ContiguousShift(removedAbove, count, lo, hi);
    const int* above = previous + shiftAbove;
    if (shiftAbove < 0) {
        if (gatheredPrevious_.size() < static_cast<size_t>(stride_))
            gatheredPrevious_.resize(stride_);
        Gather(previous, removedAbove, count, lo, hi, gatheredPrevious_.data());
        above = gatheredPrevious_.data();
    }
    ForEachRun(removed, count, begin, end, [&](int first, int stored, int run) {
        const int shift = stored - first;
        RelaxAndCompareAt(above, energy + shift, cost + shift, step + shift, lane, cols_, first,
                          first + run, changedLo, changedHi);
    });
}

// Recomputes the stale cells of [begin, end) in a lane.
void SeamGrid::RelaxStaleCells(int lane, int begin, int end, int& changedLo, int& changedHi,
                               bool horizontal)
{
    const std::uint8_t* step = &step_[TableIndex(lane, 0)];
    auto relaxRun = [&](int position, int stored, int run) {
        for (int k = 0; k < run && staleCount_[lane] > 0; ++k) {
            if (!(step[stored + k] & kStaleBit))
                continue;
            if (horizontal)
                RelaxAndCompare<true>(lane, position + k, position + k + 1, changedLo, changedHi);
            else
                RelaxAndCompare<false>(lane, position + k, position + k + 1, changedLo, changedHi);
        }
    };
    if (!horizontal && deferredCount_ > 0)
        ForEachRun(&deferred_[static_cast<size_t>(lane) * kDeferredLimit], deferredCount_, begin,
                   end, relaxRun);
    else
        relaxRun(begin, begin, end - begin);
}

// Marks [begin, end) of a lane stale (a vertical lane through its deferred removals).
void SeamGrid::MarkStale(int lane, int begin, int end)
{
    std::uint8_t* step = &step_[TableIndex(lane, 0)];
    auto markRun = [&](int, int stored, int run) {
        for (int j = stored; j < stored + run; ++j) {
            if (!(step[j] & kStaleBit)) {
                step[j] |= kStaleBit;
                ++staleCount_[lane];
            }
        }
    };
    if (deferredCount_ > 0)
        ForEachRun(&deferred_[static_cast<size_t>(lane) * kDeferredLimit], deferredCount_, begin,
                   end, markRun);
    else
        markRun(begin, begin, end - begin);
}

void SeamGrid::ExtractSeam(int lanes, int positions)
{
    if (seam_.size() < static_cast<size_t>(lanes))
        seam_.resize(GrownCapacity(lanes));
    const int* last = &cost_[TableIndex(lanes - 1, 0)];
    if (deferredCount_ == 0) {
        seam_[lanes - 1] = static_cast<int>(std::min_element(last, last + positions) - last);
    } else {
        int best = 0;
        int bestCost = 0;
        ForEachRun(&deferred_[static_cast<size_t>(lanes - 1) * kDeferredLimit], deferredCount_, 0,
                   positions, [&](int position, int stored, int run) {
                       const int* least = std::min_element(last + stored, last + stored + run);
                       if (position == 0 || *least < bestCost) {
                           best = position + static_cast<int>(least - (last + stored));
                           bestCost = *least;
                       }
                   });
        seam_[lanes - 1] = best;
    }
    for (int lane = lanes - 1; lane > 0; --lane) {
        const int stored = deferredCount_ > 0 ? StoredColumn(lane, seam_[lane]) : seam_[lane];
        // The seam lies within kBandLookahead positions of here that many lanes on, mostly in
        // the same line of step bytes.
        if (lane > kBandLookahead) {
            __builtin_prefetch(&step_[TableIndex(lane - kBandLookahead, 0)] + stored);
            if (deferredCount_ > 0)
                __builtin_prefetch(
                    &deferred_[static_cast<size_t>(lane - kBandLookahead) * kDeferredLimit]);
        }
        int next = seam_[lane] + StepOffset(step_[TableIndex(lane, stored)]);
        DP_ASSERT(next >= 0 && next < positions);
        next = std::clamp(next, 0, positions - 1);  // keeps a release build inside the arrays
        seam_[lane - 1] = next;
    }
}

template void SeamGrid::SearchAfresh<false>();
template void SeamGrid::SearchAfresh<true>();
template void SeamGrid::SearchBand<false>(int);
template void SeamGrid::SearchBand<true>(int);

}  // namespace seam
