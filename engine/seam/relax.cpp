// SPDX-License-Identifier: GPL-3.0-or-later
#include "relax.h"

#include <algorithm>
#include <climits>

namespace seam {

namespace {

constexpr int kNoNeighbour = INT_MAX;

// The recurrence's choice, written without branches so that the compiler vectorises it:
//   right < up:   left when left <= right, else right
//   otherwise:    left when left < up, else up
// Both branches pick min(left, up, right) as the value; only the step depends on the ties.
inline void Choose(int left, int up, int right, int energy, int& cost, std::uint8_t& step)
{
    const int rightBelowUp = right < up;
    const int straightOrRight = std::min(right, up);
    const int takeLeft = (left < straightOrRight) | ((left == straightOrRight) & rightBelowUp);
    cost = energy + std::min(left, straightOrRight);
    step = static_cast<std::uint8_t>(takeLeft ? 0 : 1 + rightBelowUp);  // offset + 1
}

// Positions with both neighbours present. Compiled twice: for AVX2 and for the baseline; the
// loader picks the one the processor runs.
__attribute__((target_clones("arch=x86-64-v4", "avx2", "default"))) void RelaxInterior(
    const int* __restrict previous, const int* __restrict energy, int* __restrict cost,
    std::uint8_t* __restrict step, int begin, int end)
{
    for (int j = begin; j < end; ++j)
        Choose(previous[j - 1], previous[j], previous[j + 1], energy[j], cost[j], step[j]);
}

}  // namespace

void RelaxRange(const int* previous, const int* energy, int* cost, std::uint8_t* step, int begin,
                int end, int positions)
{
    // An absent neighbour is kNoNeighbour: an absent right one is never below up, which is
    // exactly the recurrence's "otherwise" branch.
    auto relaxEdge = [&](int j) {
        const int left = j > 0 ? previous[j - 1] : kNoNeighbour;
        const int right = j < positions - 1 ? previous[j + 1] : kNoNeighbour;
        Choose(left, previous[j], right, energy[j], cost[j], step[j]);
    };
    if (begin == 0 && begin < end)
        relaxEdge(begin++);
    if (end == positions && end > begin)
        relaxEdge(--end);
    if (begin < end)
        RelaxInterior(previous, energy, cost, step, begin, end);
}

}  // namespace seam
