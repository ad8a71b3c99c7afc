// SPDX-License-Identifier: GPL-3.0-or-later
#include "carve_run.h"

#include <algorithm>
#include <cstdlib>

#include "dp.h"

CarvePlan CarvePlan::To(const DP& dp, int targetWidth, int targetHeight)
{
    return {dp.cols - targetWidth, dp.rows - targetHeight};
}

int CarvePlan::Steps() const
{
    return std::max(std::abs(widthDifference), std::abs(heightDifference));
}

void CarvePlan::CarveStep(DP& dp, int index) const
{
    if (index < std::abs(heightDifference))
        dp.GetSeam_Horz(heightDifference > 0);
    if (index < std::abs(widthDifference))
        dp.GetSeam_Vert(widthDifference > 0);
}
