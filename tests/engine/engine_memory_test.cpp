// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine holds and lets go: the picture it was given stays the caller's, and the end of
// carving keeps the result.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "dp.h"
#include "picture_factory.h"
#include "reference_carver.h"

namespace {

TEST(EngineMemory, CarvingLeavesTheGivenPictureAndEndingKeepsTheResult)
{
    std::mt19937 random(16);
    const test_pictures::Picture picture = test_pictures::Random(random, 40, 30);
    const wxFastImage given = test_pictures::ToFastImage(picture);
    DP dp(given);
    reference::Carver ref(picture.rgb, picture.width, picture.height);
    const bool removals[] = {true, true, false, true};
    for (bool vertical : {true, false}) {
        for (bool remove : removals) {
            vertical ? dp.GetSeam_Vert(remove) : dp.GetSeam_Horz(remove);
            vertical ? ref.SeamVert(remove) : ref.SeamHorz(remove);
            dp.GetColourImage();
        }
    }
    ASSERT_EQ(given.GetWidth(), picture.width);
    ASSERT_EQ(given.GetHeight(), picture.height);
    EXPECT_EQ(std::memcmp(given.GetData(), picture.rgb.data(), picture.rgb.size()), 0);

    dp.EndCarving();
    const wxFastImage& result = dp.GetColourImage();
    ASSERT_EQ(result.GetWidth(), ref.cols);
    ASSERT_EQ(result.GetHeight(), ref.rows);
    EXPECT_EQ(std::memcmp(result.GetData(), ref.pixels.data(), ref.pixels.size()), 0);
    EXPECT_FALSE(dp.GetEnergyImage().IsOk());
}

}  // namespace
