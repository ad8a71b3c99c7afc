// SPDX-License-Identifier: GPL-3.0-or-later
#include "carve_run.h"

#include <algorithm>
#include <cstdlib>

#include "dp.h"
#include "seam_trace.h"

CarvePlan CarvePlan::To(const DP& dp, int targetWidth, int targetHeight)
{
    return {dp.cols - targetWidth, dp.rows - targetHeight};
}

int CarvePlan::Steps() const
{
    return std::max(std::abs(widthDifference), std::abs(heightDifference));
}

void CarvePlan::CarveStep(DP& dp, int index, SeamTrace* trace) const
{
    if (index == 0)
        dp.MakeRoom(dp.cols - widthDifference, dp.rows - heightDifference);
    if (index < std::abs(heightDifference)) {
        if (trace)
            trace->BeforeCarve(dp, seam::Direction::Horizontal, heightDifference > 0);
        dp.GetSeam_Horz(heightDifference > 0);
    }
    if (index < std::abs(widthDifference)) {
        if (trace)
            trace->BeforeCarve(dp, seam::Direction::Vertical, widthDifference > 0);
        dp.GetSeam_Vert(widthDifference > 0);
    }
}
