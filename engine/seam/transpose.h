// SPDX-License-Identifier: GPL-3.0-or-later
// Copying columns of a row-major array into contiguous lanes.
#ifndef KERV_SEAM_TRANSPOSE_H
#define KERV_SEAM_TRANSPOSE_H

namespace seam {

// lanes[k][y] = rows[y][column + k] for k < width (at most 16) and y < rowCount.
void GatherLanes(const int* const* rows, int rowCount, int column, int width, int* const* lanes);

}  // namespace seam

#endif
