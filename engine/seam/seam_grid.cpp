#include "seam_grid.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dp_assert.h"
#include "relax.h"
#include "transpose.h"

namespace seam {

void DpAssertFailed(const char* condition, int line)
{
    std::fprintf(stderr, "dp:%d: assertion failed: %s\n", line, condition);
    std::abort();
}

namespace {

// Columns copied into the lane-major energy together: one cache line of ints per row.
constexpr int kStrip = 16;

// Capacity for n elements with headroom, so that a run of insertions reallocates rarely.
int GrownCapacity(int n)
{
    return n + n / 4 + 16;
}

inline int Average(int a, int b)
{
    return (a + b) / 2;  // truncates toward zero, also for negative sums
}

inline std::uint32_t PackRgb(const unsigned char* rgb)
{
    return rgb[0] | (rgb[1] << 8) | (static_cast<std::uint32_t>(rgb[2]) << 16);
}

// Each channel (a + b) >> 1.
inline std::uint32_t AverageRgb(std::uint32_t a, std::uint32_t b)
{
    return ((a >> 1) & 0x7F7F7F) + ((b >> 1) & 0x7F7F7F) + (a & b & 0x010101);
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

template <typename T> void CloseGap(T* lane, int s, int n, bool front)
{
    if (front)
        std::memmove(lane + 1, lane, static_cast<size_t>(s) * sizeof(T));
    else
        std::memmove(lane + s, lane + s + 1, static_cast<size_t>(n - 1 - s) * sizeof(T));
}

// Opening a cell after position s likewise moves the cells up to s one back (the lane then
// starts one earlier; it needs room before it) or the cells after s one on (it needs room
// after it).
inline bool InsertionMovesFront(int s, int n, int start, int capacity)
{
    const bool roomBefore = start > 0;
    const bool roomAfter = start + n + 1 <= capacity;
    return roomBefore && (!roomAfter || s + 1 < n - 1 - s);
}

template <typename T> void OpenGap(T* lane, int s, int n, bool front)
{
    if (front)
        std::memmove(lane - 1, lane, static_cast<size_t>(s + 1) * sizeof(T));
    else
        std::memmove(lane + s + 2, lane + s + 1, static_cast<size_t>(n - 1 - s) * sizeof(T));
}

}  // namespace

SeamGrid::SeamGrid(const unsigned char* rgb, const int* energy, int width, int height, int threads)
    : rows_(height), cols_(width), stride_(width), rowCapacity_(height), rowStart_(height, 0),
      workers_(threads)
{
    const size_t cells = static_cast<size_t>(width) * height;
    pixels_.resize(cells);
    for (size_t i = 0; i < cells; ++i)
        pixels_[i] = PackRgb(rgb + i * 3);
    energy_.assign(energy, energy + cells);
    seam_.reserve(std::max(width, height));
}

bool SeamGrid::HasPendingSeam(Direction direction) const
{
    return pending_ == (direction == Direction::Vertical ? Pending::Vertical : Pending::Horizontal);
}

const int* SeamGrid::Carve(Direction direction, bool remove)
{
    const bool horizontal = direction == Direction::Horizontal;
    if (remove && (horizontal ? rows_ : cols_) <= 1) {
        DP_ASSERT(!"removal from a dimension of 1 pixel");
        return seam_.data();
    }

    if (!HasPendingSeam(direction)) {
        if (horizontal)
            SearchAll<true>();
        else
            SearchAll<false>();
        pending_ = horizontal ? Pending::Horizontal : Pending::Vertical;
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

template <bool kHorizontal> void SeamGrid::SearchAll()
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
    std::copy_n(LaneEnergy<true>(0), rows_, &cost_[TableIndex(0, 0)]);
    for (int lane = 1; lane < cols_; ++lane)
        RelaxLane<true>(lane, 0, rows_);
}

// The energies of a lane, contiguous over its positions.
template <bool kHorizontal> const int* SeamGrid::LaneEnergy(int lane)
{
    return kHorizontal ? &laneEnergy_[TableIndex(lane, 0)] : &energy_[Index(lane, 0)];
}

// Recomputes positions [begin, end) of one lane from the lane before it.
template <bool kHorizontal> void SeamGrid::RelaxLane(int lane, int begin, int end)
{
    const int positions = kHorizontal ? rows_ : cols_;
    RelaxRange(&cost_[TableIndex(lane - 1, 0)], LaneEnergy<kHorizontal>(lane),
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
template <bool kHorizontal> void SeamGrid::SearchBand(int firstPosition)
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

void SeamGrid::RemoveVertical()
{
    workers_.ForEach(rows_, kMinimumSplit, [this](int first, int last) {
        for (int row = first; row < last; ++row) {
            const int s = seam_[row];
            const bool front = RemovalMovesFront(s, cols_);
            const size_t lane = TableIndex(row, 0);
            if (step_[lane + s] & kStaleBit)
                --staleCount_[row];
            CloseGap(&cost_[lane], s, cols_, front);
            CloseGap(&step_[lane], s, cols_, front);
            CloseGap(&energy_[Index(row, 0)], s, cols_, front);
            CloseGap(&pixels_[Index(row, 0)], s, cols_, front);
            if (front) {
                ++laneStart_[row];
                ++rowStart_[rowBase_ + row];
            }
        }
    });
    --cols_;
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
    // Energy and pixels close up over the seam, moving the shorter side: the rows above it
    // down (then the picture starts one stored row later), or the rows below it up.
    const int* seam = seam_.data();
    const int top = *std::min_element(seam, seam + cols_);
    const int bottom = *std::max_element(seam, seam + cols_);
    if (bottom + 1 < rows_ - top) {
        ShiftColumns(bottom, bottom, -1, [](int y, int s) { return s >= y ? kTake : kKeep; }, nullptr);
        ++rowBase_;
    } else {
        ShiftColumns(top, rows_ - 1 - top, +1, [](int y, int s) { return s <= y ? kTake : kKeep; },
                     nullptr);
    }
    --rows_;
}

// Moves energy and pixels within their columns: rows first, first + direction, ... (count rows)
// each take, cell by cell, what rule(row, seam row of the column) says: the cell of the next
// row in `direction` (kTake), a new cell (kNew: energy 255, pixel newPixels[column]), or
// nothing (kKeep). Walking away from the rows being overwritten reads every row before it
// changes; a source row past the picture's last stored row is never taken from.
template <typename Rule>
void SeamGrid::ShiftColumns(int first, int count, int direction, const Rule& rule,
                            const std::uint32_t* newPixels)
{
    const int* seam = seam_.data();
    workers_.ForEach(cols_, kMinimumSplit, [&](int xBegin, int xEnd) {
        for (int i = 0, y = first; i < count; ++i, y += direction) {
            const int from = std::min(y + direction, rows_);
            int* energy = &energy_[Index(y, 0)];
            const int* energyFrom = &energy_[Index(from, 0)];
            std::uint32_t* pixels = &pixels_[Index(y, 0)];
            const std::uint32_t* pixelsFrom = &pixels_[Index(from, 0)];
            for (int x = xBegin; x < xEnd; ++x) {
                const int what = rule(y, seam[x]);
                energy[x] = what == kTake ? energyFrom[x] : (what == kNew ? 255 : energy[x]);
                pixels[x] = what == kTake ? pixelsFrom[x] : (what == kNew ? newPixels[x] : pixels[x]);
            }
        }
    });
}

void SeamGrid::InsertVertical()
{
    if (cols_ + 1 > stride_)
        Reserve(rowCapacity_, GrownCapacity(cols_ + 1));
    workers_.ForEach(rows_, kMinimumSplit, [this](int first, int last) {
        for (int row = first; row < last; ++row)
            InsertInRow(row);
    });
    ++cols_;
}

void SeamGrid::InsertInRow(int row)
{
    const int s = seam_[row];
    // Without a right neighbour (last column) the new cell copies the seam cell.
    const int right = s < cols_ - 1 ? s + 1 : s;

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

    const bool rowFront = InsertionMovesFront(s, cols_, rowStart_[rowBase_ + row], stride_);
    int* energy = &energy_[Index(row, 0)];
    std::uint32_t* pixels = &pixels_[Index(row, 0)];
    const int newEnergy = Average(energy[s], energy[right]);
    const std::uint32_t newPixel = AverageRgb(pixels[s], pixels[right]);
    OpenGap(energy, s, cols_, rowFront);
    OpenGap(pixels, s, cols_, rowFront);
    if (rowFront)
        --rowStart_[rowBase_ + row];
    energy_[Index(row, s + 1)] = newEnergy;
    pixels_[Index(row, s + 1)] = newPixel;
    // The duplicated seam steers the next searches away from itself.
    energy_[Index(row, s)] = 255;
}

void SeamGrid::InsertHorizontal()
{
    if (rowBase_ == 0 && rows_ + 1 > rowCapacity_)
        Reserve(GrownCapacity(rows_ + 1), stride_);
    // The tables: per lane (column) the cells after the seam move one position on.
    newPixels_.resize(cols_);
    workers_.ForEach(cols_, kMinimumSplit, [this](int first, int last) {
        for (int x = first; x < last; ++x)
            InsertInColumnTables(x);
    });
    // Energy and pixels open a row after the seam, moving the shorter side: the rows above it
    // up (when there is a stored row free above the picture), or the rows below it down. Both
    // the seam cell and the new one get energy 255.
    const int* seam = seam_.data();
    const int top = *std::min_element(seam, seam + cols_);
    const int bottom = *std::max_element(seam, seam + cols_);
    const bool roomBelow = rowBase_ + rows_ + 1 <= rowCapacity_;
    if (rowBase_ > 0 && (!roomBelow || bottom + 1 < rows_ - top)) {
        --rowBase_;  // new row y takes old row y, stored one lower, down to the seam
        rowStart_[rowBase_] = rowStart_[rowBase_ + 1];
        ShiftColumns(0, bottom + 2, +1,
                     [](int y, int s) { return y <= s ? kTake : (y == s + 1 ? kNew : kKeep); },
                     newPixels_.data());
    } else {
        // New row y takes old row y - 1 below the seam; the new last row is laid out like the
        // one above it.
        rowStart_[rowBase_ + rows_] = rowStart_[rowBase_ + rows_ - 1];
        ShiftColumns(rows_, rows_ - top, -1,
                     [](int y, int s) { return y > s + 1 ? kTake : (y == s + 1 ? kNew : kKeep); },
                     newPixels_.data());
    }
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

// New energy and pixel frames (and tables of the pending direction) with the given capacity;
// each row (lane) starts in the middle of its headroom, so it can grow either way.
void SeamGrid::Reserve(int rowCapacity, int stride)
{
    const size_t cells = static_cast<size_t>(rowCapacity) * stride;
    std::vector<std::uint32_t> pixels(cells);
    std::vector<int> energy(cells);
    std::vector<int> rowStart(rowCapacity, (stride - cols_) / 2);
    const int rowBase = (rowCapacity - rows_) / 2;
    for (int y = 0; y < rows_; ++y) {
        const size_t to = static_cast<size_t>(rowBase + y) * stride + rowStart[rowBase + y];
        std::copy_n(&pixels_[Index(y, 0)], cols_, &pixels[to]);
        std::copy_n(&energy_[Index(y, 0)], cols_, &energy[to]);
    }

    if (pending_ != Pending::None) {
        const bool horizontal = pending_ == Pending::Horizontal;
        const int lanes = horizontal ? cols_ : rows_;
        const int positions = horizontal ? rows_ : cols_;
        const int tableStride = horizontal ? rowCapacity : stride;
        std::vector<int> cost(cells);
        std::vector<std::uint8_t> step(cells);
        std::vector<int> laneEnergy(horizontal ? cells : 0);
        std::vector<int> laneStart(horizontal ? stride : rowCapacity, (tableStride - positions) / 2);
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
    rowBase_ = rowBase;
    stride_ = stride;
    rowCapacity_ = rowCapacity;
}

void SeamGrid::AddEnergy(const int* delta)
{
    for (int y = 0; y < rows_; ++y) {
        int* row = &energy_[Index(y, 0)];
        const int* add = delta + static_cast<size_t>(y) * cols_;
        for (int x = 0; x < cols_; ++x)
            row[x] += add[x];
    }
}

void SeamGrid::AddEnergyAt(int x, int y, int value)
{
    energy_[Index(y, x)] += value;
    if (pending_ == Pending::None)
        return;
    const bool horizontal = pending_ == Pending::Horizontal;
    const int lane = horizontal ? x : y;
    const int position = horizontal ? y : x;
    if (horizontal)
        laneEnergy_[TableIndex(lane, position)] += value;
    std::uint8_t& step = step_[TableIndex(lane, position)];
    if (!(step & kStaleBit)) {
        step |= kStaleBit;
        ++staleCount_[lane];
    }
}

void SeamGrid::CopyPixels(unsigned char* out) const
{
    for (int y = 0; y < rows_; ++y) {
        const std::uint32_t* row = &pixels_[Index(y, 0)];
        for (int x = 0; x < cols_; ++x, out += 3) {
            out[0] = static_cast<unsigned char>(row[x]);
            out[1] = static_cast<unsigned char>(row[x] >> 8);
            out[2] = static_cast<unsigned char>(row[x] >> 16);
        }
    }
}

void SeamGrid::CopyEnergy(int* out) const
{
    for (int y = 0; y < rows_; ++y)
        std::memcpy(out + static_cast<size_t>(y) * cols_, &energy_[Index(y, 0)],
                    static_cast<size_t>(cols_) * sizeof(int));
}

}  // namespace seam
