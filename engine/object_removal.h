// SPDX-License-Identifier: GPL-3.0-or-later
// Removing an object in one run: the seams of one direction are removed until no pixel marked
// for deletion is left, then as many are duplicated, so the picture gets its size back.
#ifndef KERV_ENGINE_OBJECT_REMOVAL_H
#define KERV_ENGINE_OBJECT_REMOVAL_H

#include <vector>

#include "seam_grid.h"

class DP;
class SeamTrace;
class wxImage;

class ObjectRemoval {
public:
    // Adds the mask to the engine's energy (as a resizing run does) and plans the run. A mask
    // pixel marks the object when its green exceeds its red. The direction is the one needing
    // fewer seams: vertical seams when the marked pixels' bounding box is no wider than it is
    // high, else horizontal ones. A mask of another size than the picture changes nothing.
    ObjectRemoval(DP& dp, const wxImage& mask);

    // False when the mask fits the picture but marks nothing, or does not fit it.
    bool HasObject() const { return remaining_ > 0; }
    seam::Direction Direction() const { return direction_; }

    // Carves the next seam (recorded in the trace when given); false when the run is complete.
    // The removals stop when no marked pixel is left, or when one pixel is left across the
    // direction.
    bool Step(SeamTrace* trace = nullptr);

    // Seams carved so far, and the run's length as far as it is known (the removals still
    // needed are counted as the marked extent left across the direction).
    int Done() const { return removed_ + duplicated_; }
    int Expected() const;

private:
    DP& dp_;
    seam::Direction direction_ = seam::Direction::Vertical;
    int rows_ = 0;
    int cols_ = 0;
    std::vector<unsigned char> marked_;  // rows_ * cols_, the current picture's marked pixels
    int remaining_ = 0;                  // marked pixels left
    bool removing_ = true;
    int removed_ = 0;
    int duplicated_ = 0;
};

#endif
