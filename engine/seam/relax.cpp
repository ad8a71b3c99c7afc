// SPDX-License-Identifier: GPL-3.0-or-later
#include "relax.h"

#include <algorithm>
#include <climits>

#include "simd.h"

namespace seam {

namespace {

constexpr int kNoNeighbour = INT_MAX;

// The recurrence's choice, written without branches so that the compiler vectorises it:
//   right < up:   left when left <= right, else right
//   otherwise:    left when left < up, else up
// Both branches pick min(left, up, right) as the value; only the step depends on the ties.
// The sum wraps (two's complement) instead of overflowing, so absurd energies give defined costs.
__attribute__((always_inline)) inline void Choose(int left, int up, int right, int energy,
                                                  int& cost, std::uint8_t& step)
{
    const int rightBelowUp = right < up;
    const int straightOrRight = std::min(right, up);
    const int takeLeft = (left < straightOrRight) | ((left == straightOrRight) & rightBelowUp);
    cost = WrappingAdd(energy, std::min(left, straightOrRight));
    step = static_cast<std::uint8_t>(takeLeft ? 0 : 1 + rightBelowUp);  // offset + 1
}

// Positions with both neighbours present, once per instruction-set path. The loop is the same;
// the target attribute lets the compiler vectorise it for that instruction set. With a changed
// array (indexed from begin) it also notes which costs differ from the ones they overwrite.
template <bool kMark>
__attribute__((always_inline)) inline void RelaxLoopOf(
    const int* __restrict previous, const int* __restrict energy, int* __restrict cost,
    std::uint8_t* __restrict step, std::uint8_t* __restrict changed, int begin, int end)
{
    for (int j = begin; j < end; ++j) {
        int fresh;
        Choose(previous[j - 1], previous[j], previous[j + 1], energy[j], fresh, step[j]);
        if (kMark)
            changed[j - begin] = fresh != cost[j];
        cost[j] = fresh;
    }
}

// The loop with or without the marks, chosen once per range rather than per position.
__attribute__((always_inline)) inline void RelaxLoop(const int* previous, const int* energy,
                                                     int* cost, std::uint8_t* step,
                                                     std::uint8_t* changed, int begin, int end)
{
    if (changed)
        RelaxLoopOf<true>(previous, energy, cost, step, changed, begin, end);
    else
        RelaxLoopOf<false>(previous, energy, cost, step, changed, begin, end);
}

#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
void RelaxScalar(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                 std::uint8_t* changed, int begin, int end)
{
#if defined(__clang__)
#pragma clang loop vectorize(disable) interleave(disable)
#endif
    for (int j = begin; j < end; ++j) {
        int fresh;
        Choose(previous[j - 1], previous[j], previous[j + 1], energy[j], fresh, step[j]);
        if (changed)
            changed[j - begin] = fresh != cost[j];
        cost[j] = fresh;
    }
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) void RelaxAvx2(const int* previous, const int* energy, int* cost,
                                               std::uint8_t* step, std::uint8_t* changed, int begin,
                                               int end)
{
    RelaxLoop(previous, energy, cost, step, changed, begin, end);
}

__attribute__((target("arch=x86-64-v4"))) void RelaxAvx512(const int* previous, const int* energy,
                                                           int* cost, std::uint8_t* step,
                                                           std::uint8_t* changed, int begin,
                                                           int end)
{
    RelaxLoop(previous, energy, cost, step, changed, begin, end);
}
#endif

void RelaxInterior(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                   std::uint8_t* changed, int begin, int end)
{
    switch (ActiveSimdPath()) {
#if defined(__x86_64__)
        case SimdPath::Avx512:
            return RelaxAvx512(previous, energy, cost, step, changed, begin, end);
        case SimdPath::Avx2:
            return RelaxAvx2(previous, energy, cost, step, changed, begin, end);
#endif
        default:
            return RelaxScalar(previous, energy, cost, step, changed, begin, end);
    }
}

// RelaxRange and RelaxRangeMarking; changed may be null.
void RelaxWithEdges(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                    int begin, int end, int positions, std::uint8_t* changed)
{
    // An absent neighbour is kNoNeighbour: an absent right one is never below up, which is
    // exactly the recurrence's "otherwise" branch.
    auto relaxEdge = [&](int j) {
        const int left = j > 0 ? previous[j - 1] : kNoNeighbour;
        const int right = j < positions - 1 ? previous[j + 1] : kNoNeighbour;
        int fresh;
        Choose(left, previous[j], right, energy[j], fresh, step[j]);
        if (changed)
            changed[j - begin] = fresh != cost[j];
        cost[j] = fresh;
    };
    int first = begin;
    int last = end;
    if (first == 0 && first < last)
        relaxEdge(first++);
    if (last == positions && last > first)
        relaxEdge(--last);
    if (first < last)
        RelaxInterior(previous, energy, cost, step, changed ? changed + (first - begin) : nullptr,
                      first, last);
}

}  // namespace

void RelaxRange(const int* previous, const int* energy, int* cost, std::uint8_t* step, int begin,
                int end, int positions)
{
    RelaxWithEdges(previous, energy, cost, step, begin, end, positions, nullptr);
}

void RelaxRangeMarking(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                       int begin, int end, int positions, std::uint8_t* changed)
{
    RelaxWithEdges(previous, energy, cost, step, begin, end, positions, changed);
}

}  // namespace seam
