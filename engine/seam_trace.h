// SPDX-License-Identifier: GPL-3.0-or-later
// The seams of a run traced back to the picture the run started from, to be drawn on it.
#ifndef KERV_ENGINE_SEAM_TRACE_H
#define KERV_ENGINE_SEAM_TRACE_H

#include <vector>

#include "fast_image.h"
#include "seam_grid.h"

class DP;

class SeamTrace {
public:
    // Starts at the engine's current picture.
    explicit SeamTrace(const DP& dp);

    // Records the seam the engine's next call of the direction carves; call it right before
    // that call, with the same remove.
    void BeforeCarve(DP& dp, seam::Direction direction, bool remove);

    // The starting picture with every recorded seam drawn on it, in the order carved: each seam
    // pixel in magenta (255, 0, 255), or in green (0, 255, 0) where the picture's own pixel lies
    // nearer to magenta than to green, so that a seam stands out on any colour.
    wxFastImage Draw(const wxFastImage& start) const;

private:
    int rows_;
    int cols_;
    int startCols_;
    // origin_[row * cols_ + col]: the index (row * startCols_ + col) in the starting picture of
    // the pixel at (row, col) of the engine's picture; a duplicated pixel's is its seam pixel's.
    std::vector<int> origin_;
    std::vector<int> traced_;  // starting-picture indices of the seam pixels, in order carved
};

// Writes to out (RGB) the colour a seam pixel over the picture's pixel is drawn in: magenta, or
// green where the pixel lies nearer to magenta than to green. out may be pixel.
void MarkSeamPixel(const unsigned char* pixel, unsigned char* out);

#endif
