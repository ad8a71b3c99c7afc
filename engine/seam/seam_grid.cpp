#include "seam_grid.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dp_assert.h"

namespace seam {

void DpAssertFailed(const char* condition, int line)
{
    std::fprintf(stderr, "dp:%d: assertion failed: %s\n", line, condition);
    std::abort();
}

namespace {

constexpr int kNoNeighbour = INT_MAX;

// Capacity for n elements with headroom, so that a run of insertions reallocates rarely.
int GrownCapacity(int n)
{
    return n + n / 4 + 16;
}

// One cell of the recurrence (see the header). L or R is kNoNeighbour where absent; an absent R
// can never be below U, which is exactly the "otherwise" branch.
inline void Relax(int left, int up, int right, int energy, int& cost, std::int8_t& step)
{
    const bool rightBelowUp = right < up;
    const bool takeLeft = rightBelowUp ? (left <= right) : (left < up);
    const int other = rightBelowUp ? right : up;
    cost = energy + (takeLeft ? left : other);
    step = static_cast<std::int8_t>(takeLeft ? -1 : (rightBelowUp ? 1 : 0));
}

inline int Average(int a, int b)
{
    return (a + b) / 2;  // truncates toward zero, also for negative sums
}

}  // namespace

SeamGrid::SeamGrid(const unsigned char* rgb, const int* energy, int width, int height)
    : rows_(height), cols_(width), stride_(width), rowCapacity_(height)
{
    const size_t cells = static_cast<size_t>(width) * height;
    pixels_.assign(rgb, rgb + cells * 3);
    energy_.assign(energy, energy + cells);
    cost_.assign(cells, 0);
    step_.assign(cells, 0);
    stale_.assign(cells, 0);
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
        ExtractSeam<true>();
    } else {
        remove ? RemoveVertical() : InsertVertical();
        SearchBand<false>(firstPosition);
        ExtractSeam<false>();
    }
    return seam_.data();
}

template <bool kHorizontal> void SeamGrid::SearchAll()
{
    const int lanes = kHorizontal ? cols_ : rows_;
    const int positions = kHorizontal ? rows_ : cols_;
    for (int j = 0; j < positions; ++j) {
        const size_t cell = kHorizontal ? Index(j, 0) : Index(0, j);
        cost_[cell] = energy_[cell];
    }
    for (int lane = 1; lane < lanes; ++lane)
        RelaxLane<kHorizontal>(lane, 0, positions);
    for (int y = 0; y < rows_; ++y)
        std::memset(&stale_[Index(y, 0)], 0, cols_);
    staleCount_.assign(lanes, 0);
    ExtractSeam<kHorizontal>();
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
            RelaxStaleCells<kHorizontal>(lane, bandLo, bandHi, changedLo, changedHi);
        if (touchedLo < std::min(touchedHi, bandLo))
            MarkStale<kHorizontal>(lane, touchedLo, std::min(touchedHi, bandLo));
        if (std::max(touchedLo, bandHi) < touchedHi)
            MarkStale<kHorizontal>(lane, std::max(touchedLo, bandHi), touchedHi);
    }
}

// Recomputes [begin, end) of a lane and widens [changedLo, changedHi] by the cells whose cost
// changed. Stale cells among them become consistent.
template <bool kHorizontal>
void SeamGrid::RelaxAndCompare(int lane, int begin, int end, int& changedLo, int& changedHi)
{
    const ptrdiff_t gap = kHorizontal ? stride_ : 1;
    int* cost = cost_.data() + Cell<kHorizontal>(lane, 0);
    std::uint8_t* stale = stale_.data() + Cell<kHorizontal>(lane, 0);
    // Keep the old costs of the range to compare with (ranges are short: a few cells around
    // the seam and the cells whose predecessors changed).
    thread_local std::vector<int> before;
    before.resize(static_cast<size_t>(end - begin));
    for (int j = begin; j < end; ++j) {
        before[j - begin] = cost[j * gap];
        if (stale[j * gap]) {
            stale[j * gap] = 0;
            --staleCount_[lane];
        }
    }
    RelaxLane<kHorizontal>(lane, begin, end);
    for (int j = begin; j < end; ++j) {
        if (cost[j * gap] != before[j - begin]) {
            changedLo = std::min(changedLo, j);
            changedHi = std::max(changedHi, j);
        }
    }
}

// Recomputes the stale cells of [begin, end) in a lane.
template <bool kHorizontal>
void SeamGrid::RelaxStaleCells(int lane, int begin, int end, int& changedLo, int& changedHi)
{
    const ptrdiff_t gap = kHorizontal ? stride_ : 1;
    const std::uint8_t* stale = stale_.data() + Cell<kHorizontal>(lane, 0);
    for (int j = begin; j < end && staleCount_[lane] > 0; ++j) {
        if (stale[j * gap])
            RelaxAndCompare<kHorizontal>(lane, j, j + 1, changedLo, changedHi);
    }
}

template <bool kHorizontal> void SeamGrid::MarkStale(int lane, int begin, int end)
{
    const ptrdiff_t gap = kHorizontal ? stride_ : 1;
    std::uint8_t* stale = stale_.data() + Cell<kHorizontal>(lane, 0);
    for (int j = begin; j < end; ++j) {
        if (!stale[j * gap]) {
            stale[j * gap] = 1;
            ++staleCount_[lane];
        }
    }
}

// Recomputes positions [begin, end) of one lane from the lane before it.
template <bool kHorizontal> void SeamGrid::RelaxLane(int lane, int begin, int end)
{
    const int positions = kHorizontal ? rows_ : cols_;
    // Distance between neighbouring positions; 1 for the vertical direction, so those loops run
    // over contiguous memory.
    const ptrdiff_t gap = kHorizontal ? stride_ : 1;
    const size_t here = kHorizontal ? Index(0, lane) : Index(lane, 0);
    const size_t before = kHorizontal ? Index(0, lane - 1) : Index(lane - 1, 0);
    const int* prev = cost_.data() + before;
    int* cost = cost_.data() + here;
    std::int8_t* step = step_.data() + here;
    const int* energy = energy_.data() + here;

    auto relaxEdge = [&](int j) {
        const int left = j > 0 ? prev[(j - 1) * gap] : kNoNeighbour;
        const int right = j < positions - 1 ? prev[(j + 1) * gap] : kNoNeighbour;
        Relax(left, prev[j * gap], right, energy[j * gap], cost[j * gap], step[j * gap]);
    };
    int lo = begin;
    int hi = end;
    if (lo == 0 && lo < hi)
        relaxEdge(lo++);
    if (hi == positions && hi > lo)
        relaxEdge(--hi);
    for (int j = lo; j < hi; ++j)
        Relax(prev[(j - 1) * gap], prev[j * gap], prev[(j + 1) * gap], energy[j * gap],
              cost[j * gap], step[j * gap]);
}

template <bool kHorizontal> void SeamGrid::ExtractSeam()
{
    const int lanes = kHorizontal ? cols_ : rows_;
    const int positions = kHorizontal ? rows_ : cols_;
    if (seam_.size() < static_cast<size_t>(lanes))
        seam_.resize(GrownCapacity(lanes));
    auto cell = [&](int lane, int j) { return kHorizontal ? Index(j, lane) : Index(lane, j); };

    int best = 0;
    for (int j = 1; j < positions; ++j) {
        if (cost_[cell(lanes - 1, j)] < cost_[cell(lanes - 1, best)])
            best = j;
    }
    seam_[lanes - 1] = best;
    for (int lane = lanes - 1; lane > 0; --lane) {
        int next = seam_[lane] + step_[cell(lane, seam_[lane])];
        DP_ASSERT(next >= 0 && next < positions);
        next = std::clamp(next, 0, positions - 1);  // keeps a release build inside the arrays
        seam_[lane - 1] = next;
    }
}

void SeamGrid::RemoveVertical()
{
    for (int row = 0; row < rows_; ++row) {
        const int s = seam_[row];
        const size_t at = Index(row, s);
        const size_t tail = static_cast<size_t>(cols_ - 1 - s);
        if (stale_[at])
            --staleCount_[row];
        std::memmove(&energy_[at], &energy_[at + 1], tail * sizeof(int));
        std::memmove(&cost_[at], &cost_[at + 1], tail * sizeof(int));
        std::memmove(&step_[at], &step_[at + 1], tail);
        std::memmove(&stale_[at], &stale_[at + 1], tail);
        std::memmove(&pixels_[at * 3], &pixels_[(at + 1) * 3], tail * 3);
    }
    --cols_;
}

void SeamGrid::RemoveHorizontal()
{
    // The colours above and below the seam take a third of the seam pixel.
    for (int x = 0; x < cols_; ++x) {
        const int s = seam_[x];
        if (s == 0)
            continue;
        const unsigned char* seamPixel = &pixels_[Index(s, x) * 3];
        for (int neighbour : {s - 1, s + 1}) {
            if (neighbour >= rows_)
                continue;
            unsigned char* p = &pixels_[Index(neighbour, x) * 3];
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<unsigned char>(2 * p[c] / 3 + seamPixel[c] / 3);
        }
    }
    for (int x = 0; x < cols_; ++x) {
        if (stale_[Index(seam_[x], x)])
            --staleCount_[x];
    }
    // Below the seam every cell moves up one row, row by row so the memory is walked in order.
    const int top = *std::min_element(seam_.begin(), seam_.begin() + cols_);
    for (int y = top; y < rows_ - 1; ++y) {
        const size_t row = Index(y, 0);
        const size_t next = Index(y + 1, 0);
        for (int x = 0; x < cols_; ++x) {
            if (seam_[x] > y)
                continue;
            energy_[row + x] = energy_[next + x];
            cost_[row + x] = cost_[next + x];
            step_[row + x] = step_[next + x];
            stale_[row + x] = stale_[next + x];
            std::memcpy(&pixels_[(row + x) * 3], &pixels_[(next + x) * 3], 3);
        }
    }
    --rows_;
}

void SeamGrid::InsertVertical()
{
    if (cols_ + 1 > stride_)
        Reserve(rowCapacity_, GrownCapacity(cols_ + 1));
    for (int row = 0; row < rows_; ++row) {
        const int s = seam_[row];
        const size_t at = Index(row, s);
        // Without a right neighbour (last column) the new cell copies the seam cell.
        const size_t right = s < cols_ - 1 ? at + 1 : at;
        const int energy = Average(energy_[at], energy_[right]);
        const int cost = Average(cost_[at], cost_[right]);
        const auto step = static_cast<std::int8_t>(Average(step_[at], step_[right]));
        unsigned char colour[3];
        for (int c = 0; c < 3; ++c)
            colour[c] = static_cast<unsigned char>((pixels_[at * 3 + c] + pixels_[right * 3 + c]) >> 1);

        const size_t tail = static_cast<size_t>(cols_ - 1 - s);
        std::memmove(&energy_[at + 2], &energy_[at + 1], tail * sizeof(int));
        std::memmove(&cost_[at + 2], &cost_[at + 1], tail * sizeof(int));
        std::memmove(&step_[at + 2], &step_[at + 1], tail);
        std::memmove(&stale_[at + 2], &stale_[at + 1], tail);
        std::memmove(&pixels_[(at + 2) * 3], &pixels_[(at + 1) * 3], tail * 3);
        energy_[at + 1] = energy;
        cost_[at + 1] = cost;
        step_[at + 1] = step;
        stale_[at + 1] = 0;  // the band update decides: recomputed in the band, else stale
        std::memcpy(&pixels_[(at + 1) * 3], colour, 3);
        // The duplicated seam steers the next searches away from itself.
        energy_[at] = 255;
    }
    ++cols_;
}

void SeamGrid::InsertHorizontal()
{
    if (rows_ + 1 > rowCapacity_)
        Reserve(GrownCapacity(rows_ + 1), stride_);
    const int top = *std::min_element(seam_.begin(), seam_.begin() + cols_);
    // New row y takes old row y - 1 below the new cell; walking up keeps the old rows unread
    // until they are moved.
    for (int y = rows_; y > top; --y) {
        const size_t row = Index(y, 0);
        const size_t above = Index(y - 1, 0);
        for (int x = 0; x < cols_; ++x) {
            const int s = seam_[x];
            if (y > s + 1) {
                energy_[row + x] = energy_[above + x];
                cost_[row + x] = cost_[above + x];
                step_[row + x] = step_[above + x];
                stale_[row + x] = stale_[above + x];
                std::memcpy(&pixels_[(row + x) * 3], &pixels_[(above + x) * 3], 3);
            } else if (y == s + 1) {
                // The new cell between the seam cell (row s) and the old row s + 1, which is
                // still in place; without one (last row) it copies the seam cell.
                const size_t seamCell = above + x;
                const size_t below = y < rows_ ? row + x : seamCell;
                cost_[row + x] = Average(cost_[seamCell], cost_[below]);
                step_[row + x] = static_cast<std::int8_t>(Average(step_[seamCell], step_[below]));
                stale_[row + x] = 0;  // the band update decides, as for a vertical insertion
                for (int c = 0; c < 3; ++c)
                    pixels_[(row + x) * 3 + c] = static_cast<unsigned char>(
                        (pixels_[seamCell * 3 + c] + pixels_[below * 3 + c]) >> 1);
                energy_[row + x] = 255;
            }
        }
    }
    for (int x = 0; x < cols_; ++x)
        energy_[Index(seam_[x], x)] = 255;
    ++rows_;
}

void SeamGrid::Reserve(int rowCapacity, int stride)
{
    const size_t cells = static_cast<size_t>(rowCapacity) * stride;
    std::vector<unsigned char> pixels(cells * 3);
    std::vector<int> energy(cells);
    std::vector<int> cost(cells);
    std::vector<std::int8_t> step(cells);
    std::vector<std::uint8_t> stale(cells);
    for (int y = 0; y < rows_; ++y) {
        const size_t from = Index(y, 0);
        const size_t to = static_cast<size_t>(y) * stride;
        std::copy_n(&pixels_[from * 3], cols_ * 3, &pixels[to * 3]);
        std::copy_n(&energy_[from], cols_, &energy[to]);
        std::copy_n(&cost_[from], cols_, &cost[to]);
        std::copy_n(&step_[from], cols_, &step[to]);
        std::copy_n(&stale_[from], cols_, &stale[to]);
    }
    pixels_.swap(pixels);
    energy_.swap(energy);
    cost_.swap(cost);
    step_.swap(step);
    stale_.swap(stale);
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
    const size_t cell = Index(y, x);
    energy_[cell] += value;
    if (pending_ != Pending::None && !stale_[cell]) {
        stale_[cell] = 1;
        ++staleCount_[pending_ == Pending::Horizontal ? x : y];
    }
}

void SeamGrid::CopyPixels(unsigned char* out) const
{
    for (int y = 0; y < rows_; ++y)
        std::memcpy(out + static_cast<size_t>(y) * cols_ * 3, &pixels_[Index(y, 0) * 3],
                    static_cast<size_t>(cols_) * 3);
}

void SeamGrid::CopyEnergy(int* out) const
{
    for (int y = 0; y < rows_; ++y)
        std::memcpy(out + static_cast<size_t>(y) * cols_, &energy_[Index(y, 0)],
                    static_cast<size_t>(cols_) * sizeof(int));
}

}  // namespace seam
