// The cost recurrence over one lane: the inner loop of every seam search.
#ifndef KERV_SEAM_RELAX_H
#define KERV_SEAM_RELAX_H

#include <cstdint>

namespace seam {

// Computes positions [begin, end) of a lane of `positions` cells from the previous lane:
//   cost[j] = energy[j] + the chosen predecessor's cost, step[j] = its offset (-1, 0, +1),
// with the recurrence and tie rules of SeamGrid (the first and last positions lack a left or
// right predecessor). All four arrays are contiguous over the lane's positions.
void RelaxRange(const int* previous, const int* energy, int* cost, std::int8_t* step, int begin,
                int end, int positions);

}  // namespace seam

#endif
