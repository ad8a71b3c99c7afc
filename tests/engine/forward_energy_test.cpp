// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's forward mode against the plain forward-energy carver: after every call the same
// size and the same next seam, and after every run of calls the same pixels and working energy.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include <wx/image.h>

#include "dp.h"
#include "forward_reference.h"
#include "picture_factory.h"

namespace {

struct ForwardCase {
    const char* name;
    int maxSide;  // pictures from 1 to maxSide pixels a side
    bool masked;  // a painted mask before the first seam
    int trials;
};

class ForwardMatchesReference : public testing::TestWithParam<ForwardCase> {};

TEST_P(ForwardMatchesReference, SeamBySeam)
{
    const ForwardCase& c = GetParam();
    std::mt19937 random(2008 + c.maxSide + c.masked);
    for (int trial = 0; trial < c.trials; ++trial) {
        const int width = 1 + static_cast<int>(random() % c.maxSide);
        const int height = 1 + static_cast<int>(random() % c.maxSide);
        const test_pictures::Picture picture = test_pictures::Random(random, width, height);
        DP dp(test_pictures::ToFastImage(picture));
        dp.SetEnergyMode(seam::EnergyMode::Forward);
        reference::ForwardCarver ref(picture.rgb, width, height);
        if (c.masked) {
            wxImage mask(width, height, true);
            std::vector<int> delta(static_cast<size_t>(width) * height);
            for (size_t i = 0; i < delta.size(); ++i) {
                const int paint = static_cast<int>(random() % 4);  // red, green or black
                mask.GetData()[i * 3] = paint == 1 ? 255 : 0;
                mask.GetData()[i * 3 + 1] = paint == 2 ? 255 : 0;
                delta[i] = (paint == 1) * 255 - (paint == 2) * 255;
            }
            ASSERT_TRUE(dp.ModifyEnergy(mask));
            ref.AddEnergy(delta);
        }
        for (int run = 0; run < 6; ++run) {
            const bool vertical = random() % 2 == 0;
            const bool remove = random() % 3 != 0;
            for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i) {
                if (remove && (vertical ? dp.cols : dp.rows) <= 1)
                    break;
                const int* seam = vertical ? dp.GetSeam_Vert(remove) : dp.GetSeam_Horz(remove);
                const std::vector<int> expected =
                    vertical ? ref.SeamVert(remove) : ref.SeamHorz(remove);
                ASSERT_EQ(dp.cols, ref.cols);
                ASSERT_EQ(dp.rows, ref.rows);
                ASSERT_EQ(std::vector<int>(seam, seam + expected.size()), expected)
                    << width << "x" << height << " trial " << trial << " run " << run;
            }
            const wxFastImage& result = dp.GetColourImage();
            ASSERT_EQ(0, std::memcmp(result.GetData(), ref.pixels.data(), ref.pixels.size()))
                << width << "x" << height << " trial " << trial << " run " << run;
            const wxFastImage energy = dp.EnergyMapPicture();
            for (size_t i = 0; i < ref.energyMap.size(); ++i)
                ASSERT_EQ(energy.GetData()[i * 3], static_cast<unsigned char>(ref.energyMap[i]));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ForwardMatchesReference,
                         testing::Values(ForwardCase{"Tiny", 4, false, 80},
                                         ForwardCase{"Small", 40, false, 60},
                                         ForwardCase{"SmallMasked", 40, true, 60},
                                         ForwardCase{"LargerMasked", 150, true, 6}),
                         [](const testing::TestParamInfo<ForwardCase>& info) {
                             return info.param.name;
                         });

// Back in Sobel mode after forward carving, the engine carves as a fresh engine would from the
// current pixels.
TEST(ForwardEnergyMode, BackToSobelCarvesLikeAFreshEngine)
{
    std::mt19937 random(15);
    const test_pictures::Picture picture = test_pictures::Random(random, 30, 20);
    DP dp(test_pictures::ToFastImage(picture));
    dp.SetEnergyMode(seam::EnergyMode::Forward);
    for (int i = 0; i < 5; ++i)
        dp.GetSeam_Vert(true);
    dp.SetEnergyMode(seam::EnergyMode::Sobel);
    DP fresh(test_pictures::ToFastImage(test_pictures::FromFastImage(dp.GetColourImage(), "")));
    for (int i = 0; i < 5; ++i) {
        dp.GetSeam_Horz(true);
        fresh.GetSeam_Horz(true);
    }
    ASSERT_EQ(dp.rows, fresh.rows);
    EXPECT_EQ(0, std::memcmp(dp.GetColourImage().GetData(), fresh.GetColourImage().GetData(),
                             static_cast<size_t>(dp.cols) * dp.rows * 3));
}

}  // namespace
