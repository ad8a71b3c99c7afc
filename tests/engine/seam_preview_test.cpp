// SPDX-License-Identifier: GPL-3.0-or-later
// The seams the window previews: found on a copy (the engine carves on as if never asked), and
// exactly the pixels that the next vertical removals take out of the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "dp.h"
#include "picture_factory.h"

namespace {

class SeamPreview : public testing::TestWithParam<seam::EnergyMode> {};

TEST_P(SeamPreview, IsTheNextRemovalsAndLeavesTheEngineAlone)
{
    std::mt19937 random(4);
    for (int trial = 0; trial < 40; ++trial) {
        const int width = 3 + static_cast<int>(random() % 40);
        const int height = 2 + static_cast<int>(random() % 40);
        const test_pictures::Picture picture = test_pictures::Random(random, width, height);
        DP dp(test_pictures::ToFastImage(picture));
        DP twin(test_pictures::ToFastImage(picture));
        for (DP* engine : {&dp, &twin}) {
            engine->SetEnergyMode(GetParam());
            engine->GetSeam_Vert(true);  // a pending seam from a band update, not a full search
        }
        // Fewer than the columns, so that all of them can be removed.
        const int count = 1 + static_cast<int>(random() % std::min(20, dp.cols - 1));
        const auto vertical = dp.PreviewSeams(seam::Direction::Vertical, count);
        const auto horizontal = dp.PreviewSeams(seam::Direction::Horizontal, count);
        ASSERT_EQ(static_cast<int>(vertical.size()), count);
        ASSERT_EQ(static_cast<int>(horizontal.size()), std::min(count, dp.rows));

        // The preview's pixels left out of each row give the picture after as many removals.
        const test_pictures::Picture before = test_pictures::FromFastImage(dp.GetColourImage(), "");
        std::vector<std::uint8_t> expected;
        for (int row = 0; row < before.height; ++row) {
            std::vector<bool> gone(before.width, false);
            for (const std::vector<int>& seam : vertical) {
                ASSERT_FALSE(gone[seam[row]]) << "a pixel in two seams";
                gone[seam[row]] = true;
            }
            for (int col = 0; col < before.width; ++col) {
                if (!gone[col])
                    expected.insert(expected.end(), &before.rgb[(row * before.width + col) * 3],
                                    &before.rgb[(row * before.width + col) * 3 + 3]);
            }
        }
        for (int n = 0; n < count; ++n) {
            dp.GetSeam_Vert(true);
            twin.GetSeam_Vert(true);
        }
        ASSERT_EQ(0, std::memcmp(dp.GetColourImage().GetData(), expected.data(), expected.size()));
        ASSERT_EQ(0, std::memcmp(dp.GetColourImage().GetData(), twin.GetColourImage().GetData(),
                                 static_cast<size_t>(dp.cols) * dp.rows * 3));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, SeamPreview,
                         testing::Values(seam::EnergyMode::Sobel, seam::EnergyMode::Forward));

}  // namespace
