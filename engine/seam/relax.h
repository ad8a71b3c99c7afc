// SPDX-License-Identifier: GPL-3.0-or-later
// The cost recurrence over one lane: the inner loop of every seam search.
#ifndef KERV_SEAM_RELAX_H
#define KERV_SEAM_RELAX_H

#include <cstdint>

namespace seam {

// A cell's step byte: its predecessor's offset plus one in the low two bits (0 left or upper,
// 1 straight, 2 right or lower), and kStaleBit for a cell that may not match the recurrence.
// Computing a cell writes a fresh step byte, which clears kStaleBit.
constexpr std::uint8_t kStaleBit = 4;
inline int StepOffset(std::uint8_t step)
{
    return (step & 3) - 1;
}
inline std::uint8_t StepByte(int offset)
{
    return static_cast<std::uint8_t>(offset + 1);
}

// a + b modulo 2^32: the sum of two costs or energies, defined for every pair of values (it
// gives what the plain sum gives wherever that does not overflow).
inline int WrappingAdd(int a, int b)
{
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Computes positions [begin, end) of a lane of `positions` cells from the previous lane:
//   cost[j] = energy[j] + the chosen predecessor's cost, step[j] = the step byte of its offset,
// with the recurrence and tie rules of SeamGrid (the first and last positions lack a left or
// right predecessor). All four arrays are contiguous over the lane's positions. The loop takes
// the instruction-set path of ActiveSimdPath().
void RelaxRange(const int* previous, const int* energy, int* cost, std::uint8_t* step, int begin,
                int end, int positions);
// RelaxRange that also tells which costs it changed: widens [changedLo, changedHi] by the
// positions whose new cost differs from the one it overwrote. scratch holds end - begin bytes
// that the loop may use for its marks.
void RelaxRangeMarking(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                       int begin, int end, int positions, std::uint8_t* scratch, int& changedLo,
                       int& changedHi);

}  // namespace seam

#endif
