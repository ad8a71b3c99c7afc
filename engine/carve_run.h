// SPDX-License-Identifier: GPL-3.0-or-later
// The order of a resizing run that changes both dimensions to a target in one go.
#ifndef KERV_ENGINE_CARVE_RUN_H
#define KERV_ENGINE_CARVE_RUN_H

class DP;
class SeamTrace;

// The seams between the engine's current size and a target: positive differences remove,
// negative ones duplicate.
struct CarvePlan {
    int widthDifference;   // current width - target width
    int heightDifference;  // current height - target height

    static CarvePlan To(const DP& dp, int targetWidth, int targetHeight);
    // Number of steps: each step carves one seam in every dimension that still differs.
    int Steps() const;
    // Step `index` (0-based): one horizontal seam while the height still differs, then one
    // vertical seam while the width still differs. Step 0 first makes room for the target.
    // A trace, when given, records each seam before it is carved.
    void CarveStep(DP& dp, int index, SeamTrace* trace = nullptr) const;
};

#endif
