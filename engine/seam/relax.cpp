// SPDX-License-Identifier: GPL-3.0-or-later
#include "relax.h"

#include <algorithm>
#include <climits>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// Widens [lo, hi] by the positions begin + k whose marks[k] is set (length marks).
void WidenByMarked(const std::uint8_t* marks, size_t length, int begin, int& lo, int& hi)
{
    const void* first = std::memchr(marks, 1, length);
    if (!first)
        return;
    const void* last = memrchr(marks, 1, length);  // glibc: the last byte of the value
    lo = std::min(lo, begin + static_cast<int>(static_cast<const std::uint8_t*>(first) - marks));
    hi = std::max(hi, begin + static_cast<int>(static_cast<const std::uint8_t*>(last) - marks));
}

// The loops of the paths that mark changes byte by byte; changed may be null.
using MarkingLoop = void (*)(const int*, const int*, int*, std::uint8_t*, std::uint8_t*, int, int);

#if defined(__x86_64__)
template <bool kFull>
__attribute__((target("avx2"), always_inline)) inline __m256i Avx2Load(const int* at, __m256i lanes)
{
    return kFull ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at))
                 : _mm256_maskload_epi32(at, lanes);
}

// One round of RelaxAvx2 at position j: all eight positions (kFull), or the first `remaining`
// under a mask that keeps the loads and stores inside the range.
template <bool kFull>
__attribute__((target("avx2"), always_inline)) inline void RelaxAvx2Round(
    const int* previous, const int* energy, int* cost, std::uint8_t* step, bool mark, int j,
    int remaining, int& lo, int& hi)
{
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i lanes = kFull ? _mm256_set1_epi32(-1)
                                : _mm256_cmpgt_epi32(_mm256_set1_epi32(remaining),
                                                     _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i l = Avx2Load<kFull>(previous + j - 1, lanes);
    const __m256i u = Avx2Load<kFull>(previous + j, lanes);
    const __m256i r = Avx2Load<kFull>(previous + j + 1, lanes);
    const __m256i e = Avx2Load<kFull>(energy + j, lanes);
    const __m256i rightBelowUp = _mm256_cmpgt_epi32(u, r);
    const __m256i straightOrRight = _mm256_min_epi32(r, u);
    const __m256i takeLeft =
        _mm256_or_si256(_mm256_cmpgt_epi32(straightOrRight, l),
                        _mm256_and_si256(_mm256_cmpeq_epi32(l, straightOrRight), rightBelowUp));
    const __m256i fresh = _mm256_add_epi32(e, _mm256_min_epi32(l, straightOrRight));
    // offset + 1: 0 for left, else 1, plus 1 for right (rightBelowUp is -1 there).
    const __m256i steps = _mm256_andnot_si256(takeLeft, _mm256_sub_epi32(one, rightBelowUp));
    // The eight low bytes, in order, into the low 64 bits.
    const __m256i words = _mm256_packs_epi32(steps, steps);
    const __m128i bytes = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(
        _mm256_packs_epi16(words, words), _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0)));
    if (kFull) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(step + j), bytes);
    } else {
        const std::uint64_t packed = static_cast<std::uint64_t>(_mm_cvtsi128_si64(bytes));
        std::memcpy(step + j, &packed, static_cast<size_t>(remaining));
    }
    if (mark) {
        const unsigned same = static_cast<unsigned>(_mm256_movemask_ps(
            _mm256_castsi256_ps(_mm256_cmpeq_epi32(fresh, Avx2Load<kFull>(cost + j, lanes)))));
        const unsigned differ = ~same & (kFull ? 0xFFu : (1u << remaining) - 1);
        if (differ) {
            lo = std::min(lo, j + __builtin_ctz(differ));
            hi = j + 31 - __builtin_clz(differ);
        }
    }
    if (kFull)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cost + j), fresh);
    else
        _mm256_maskstore_epi32(cost + j, lanes, fresh);
}

// Eight positions at a time, the last few under a mask, as RelaxAvx512 does with sixteen.
__attribute__((target("avx2"))) void RelaxAvx2(const int* previous, const int* energy, int* cost,
                                               std::uint8_t* step, bool mark, int begin, int end,
                                               int& changedLo, int& changedHi)
{
    int lo = INT_MAX;
    int hi = INT_MIN;
    int j = begin;
    for (; j + 8 <= end; j += 8)
        RelaxAvx2Round<true>(previous, energy, cost, step, mark, j, 8, lo, hi);
    if (j < end)
        RelaxAvx2Round<false>(previous, energy, cost, step, mark, j, end - j, lo, hi);
    changedLo = std::min(changedLo, lo);
    changedHi = std::max(changedHi, hi);
}

// Sixteen positions at a time, the last few under a mask, so a short range costs one or two
// rounds rather than a scalar tail. The masked loads read nothing outside [begin - 1, end + 1).
// The changed costs are found from the comparison masks, without marks.
__attribute__((target("arch=x86-64-v4"))) void RelaxAvx512(const int* previous, const int* energy,
                                                           int* cost, std::uint8_t* step, bool mark,
                                                           int begin, int end, int& changedLo,
                                                           int& changedHi)
{
    const __m512i one = _mm512_set1_epi32(1);
    // The masked minimum with every lane set (the plain one trips GCC 12's uninitialised-value
    // warning).
    const __mmask16 kAll = 0xFFFF;
    int lo = INT_MAX;
    int hi = INT_MIN;
    for (int j = begin; j < end; j += 16) {
        const int remaining = end - j;
        const __mmask16 lanes =
            remaining >= 16 ? kAll : static_cast<__mmask16>((1u << remaining) - 1);
        const __m512i l = _mm512_maskz_loadu_epi32(lanes, previous + j - 1);
        const __m512i u = _mm512_maskz_loadu_epi32(lanes, previous + j);
        const __m512i r = _mm512_maskz_loadu_epi32(lanes, previous + j + 1);
        const __m512i e = _mm512_maskz_loadu_epi32(lanes, energy + j);
        const __mmask16 rightBelowUp = _mm512_cmplt_epi32_mask(r, u);
        const __m512i straightOrRight = _mm512_maskz_min_epi32(kAll, r, u);
        const __mmask16 takeLeft = _mm512_cmplt_epi32_mask(l, straightOrRight) |
                                   (_mm512_cmpeq_epi32_mask(l, straightOrRight) & rightBelowUp);
        const __m512i fresh = _mm512_add_epi32(e, _mm512_maskz_min_epi32(kAll, l, straightOrRight));
        // offset + 1: 0 for left, else 1, plus 1 for right.
        const __m512i steps = _mm512_maskz_mov_epi32(
            static_cast<__mmask16>(~takeLeft), _mm512_mask_add_epi32(one, rightBelowUp, one, one));
        _mm512_mask_cvtepi32_storeu_epi8(step + j, lanes, steps);
        if (mark) {
            const __m512i old = _mm512_maskz_loadu_epi32(lanes, cost + j);
            const unsigned differ = _mm512_mask_cmpneq_epi32_mask(lanes, fresh, old);
            if (differ) {
                lo = std::min(lo, j + __builtin_ctz(differ));
                hi = j + 31 - __builtin_clz(differ);
            }
        }
        _mm512_mask_storeu_epi32(cost + j, lanes, fresh);
    }
    changedLo = std::min(changedLo, lo);
    changedHi = std::max(changedHi, hi);
}
#endif

// Positions [begin, end) with both neighbours; with scratch, [changedLo, changedHi] widens by
// the changed costs (scratch holds end - begin bytes for the paths that mark them).
void RelaxInterior(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                   std::uint8_t* scratch, int begin, int end, int& changedLo, int& changedHi)
{
    MarkingLoop loop = RelaxScalar;
    switch (ActiveSimdPath()) {
#if defined(__x86_64__)
        case SimdPath::Avx512:
            return RelaxAvx512(previous, energy, cost, step, scratch != nullptr, begin, end,
                               changedLo, changedHi);
        case SimdPath::Avx2:
            return RelaxAvx2(previous, energy, cost, step, scratch != nullptr, begin, end,
                             changedLo, changedHi);
#endif
        default:
            break;
    }
    loop(previous, energy, cost, step, scratch, begin, end);
    if (scratch)
        WidenByMarked(scratch, static_cast<size_t>(end - begin), begin, changedLo, changedHi);
}

// RelaxRange and RelaxRangeMarking; scratch is null when nothing is marked.
void RelaxWithEdges(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                    int begin, int end, int positions, std::uint8_t* scratch, int& changedLo,
                    int& changedHi)
{
    // An absent neighbour is kNoNeighbour: an absent right one is never below up, which is
    // exactly the recurrence's "otherwise" branch.
    auto relaxEdge = [&](int j) {
        const int left = j > 0 ? previous[j - 1] : kNoNeighbour;
        const int right = j < positions - 1 ? previous[j + 1] : kNoNeighbour;
        int fresh;
        Choose(left, previous[j], right, energy[j], fresh, step[j]);
        if (scratch && fresh != cost[j]) {
            changedLo = std::min(changedLo, j);
            changedHi = std::max(changedHi, j);
        }
        cost[j] = fresh;
    };
    int first = begin;
    int last = end;
    if (first == 0 && first < last)
        relaxEdge(first++);
    if (last == positions && last > first)
        relaxEdge(--last);
    if (first < last)
        RelaxInterior(previous, energy, cost, step, scratch, first, last, changedLo, changedHi);
}

}  // namespace

void RelaxRange(const int* previous, const int* energy, int* cost, std::uint8_t* step, int begin,
                int end, int positions)
{
    int lo = 0;
    int hi = 0;
    RelaxWithEdges(previous, energy, cost, step, begin, end, positions, nullptr, lo, hi);
}

void RelaxRangeMarking(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                       int begin, int end, int positions, std::uint8_t* scratch, int& changedLo,
                       int& changedHi)
{
    RelaxWithEdges(previous, energy, cost, step, begin, end, positions, scratch, changedLo,
                   changedHi);
}

}  // namespace seam
