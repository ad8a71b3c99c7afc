// SPDX-License-Identifier: GPL-3.0-or-later
// The energy picture, the mask and the other edits of the working energy.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include <wx/filename.h>
#include <wx/image.h>

#include "dp.h"
#include "picture_factory.h"
#include "reference_carver.h"
#include "sobel.h"

namespace {

// A grey plane of zeros with single bright pixels ("bumps"): a bump of height a gives its four
// direct neighbours a gradient magnitude of 2a and its diagonal neighbours floor(a * sqrt 2).
std::vector<unsigned char> PlaneWithBumps(int width, int height,
                                          const std::vector<std::array<int, 3>>& bumps)
{
    std::vector<unsigned char> plane(static_cast<size_t>(width) * height, 0);
    for (const auto& bump : bumps)
        plane[static_cast<size_t>(bump[1]) * width + bump[0]] = static_cast<unsigned char>(bump[2]);
    return plane;
}

int At(const int* values, int width, int x, int y)
{
    return values[y * width + x];
}

TEST(Sobel, StrongestGradientBecomes255AndWeakOnesScaleOrVanish)
{
    using Points = std::vector<std::array<int, 3>>;  // x, y and height or energy
    const struct {
        Points bumps, expected;
    } cases[] = {
        // Largest magnitude 200 (bump 100); a bump of 50 gives 100 -> 127; a bump of 2 gives
        // 4 -> 5, and on its diagonal 2 -> 2 * 255 / 200 = 2, cut to 0.
        {{{3, 4, 100}, {12, 4, 50}, {22, 4, 2}},
         {{4, 4, 255}, {13, 4, 127}, {23, 4, 5}, {23, 5, 0}}},
        // Largest magnitude 254 (bump 127). Bump 2: 4 * 255 / 254 = 4 -> 0. Bump 4, diagonal:
        // floor(4 * 1.414) = 5 -> 5 * 255 / 254 = 5, kept.
        {{{3, 4, 127}, {12, 4, 2}, {22, 4, 4}}, {{13, 4, 0}, {23, 5, 5}}},
    };
    for (const auto& c : cases) {
        auto plane = PlaneWithBumps(30, 10, c.bumps);
        int* energy = Sobel(plane.data(), 10, 30);
        for (const auto& [x, y, value] : c.expected)
            EXPECT_EQ(At(energy, 30, x, y), value) << x << "," << y;
        std::free(energy);
    }
}

TEST(EnergyImage, MatchesTheReference)
{
    std::mt19937 random(11);
    for (int trial = 0; trial < 50; ++trial) {
        const auto picture = test_pictures::Random(random, 1 + random() % 40, 1 + random() % 40);
        const wxFastImage energy = DP::buildEnergyImage(test_pictures::ToFastImage(picture));
        ASSERT_TRUE(energy.IsOk());
        const std::vector<int> expected =
            reference::Energy(picture.rgb, picture.width, picture.height);
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const unsigned char* p = energy.GetData() + (y * picture.width + x) * 3;
                ASSERT_EQ(p[0], expected[y * picture.width + x])
                    << picture.kind << " at " << x << "," << y;
                ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]);
            }
        }
    }
}

// A flat picture: interior energy 0, frame 255.
DP FlatEngine(int side = 5)
{
    return DP(test_pictures::ToFastImage(
        {side, side, std::vector<std::uint8_t>(static_cast<size_t>(side) * side * 3, 120),
         "flat"}));
}

int EnergyAt(DP& dp, int x, int y)
{
    return dp.EnergyMapPicture().GetData()[(y * dp.cols + x) * 3];
}

TEST(Mask, RedAddsGreenSubtractsAndRepeatsAddUp)
{
    DP dp = FlatEngine();
    wxImage mask(5, 5, true);
    mask.SetRGB(2, 2, 100, 40, 0);  // +60
    mask.SetRGB(1, 1, 255, 0, 0);   // +255
    mask.SetRGB(3, 3, 0, 255, 77);  // -255 (blue ignored)
    ASSERT_TRUE(dp.ModifyEnergy(mask));
    EXPECT_EQ(EnergyAt(dp, 2, 2), 60);
    EXPECT_EQ(EnergyAt(dp, 1, 1), 255);
    EXPECT_EQ(EnergyAt(dp, 3, 3), (-255) & 0xFF);  // the dump wraps
    EXPECT_EQ(EnergyAt(dp, 0, 0), 255);            // black frame pixel unchanged
    ASSERT_TRUE(dp.ModifyEnergy(mask));
    EXPECT_EQ(EnergyAt(dp, 2, 2), 120);
    EXPECT_EQ(EnergyAt(dp, 1, 1), 510 & 0xFF);
}

TEST(Mask, OfAnotherSizeIsRefusedAndChangesNothing)
{
    DP dp = FlatEngine();
    wxImage wrong(4, 5);
    wrong.SetRGB(2, 2, 255, 0, 0);
    EXPECT_FALSE(dp.ModifyEnergy(wrong));
    EXPECT_FALSE(dp.ModifyEnergy(wxImage()));
    EXPECT_EQ(EnergyAt(dp, 2, 2), 0);
    dp.GetSeam_Vert(true);  // now 4 wide: a 5-wide mask no longer fits
    wxImage old(5, 5, true);
    EXPECT_FALSE(dp.ModifyEnergy(old));
}

TEST(EnergyCircle, AddsInsideTheCircleOnlyAndIgnoresNonPositiveRadius)
{
    DP dp = FlatEngine(9);
    dp.AddEnergyCircleValue(4, 4, 0, 50);
    dp.AddEnergyCircleValue(4, 4, -3, 50);
    EXPECT_EQ(EnergyAt(dp, 4, 4), 0);
    dp.AddEnergyCircleValue(4, 4, 2, 50);
    EXPECT_EQ(EnergyAt(dp, 4, 4), 50);
    EXPECT_EQ(EnergyAt(dp, 3, 4), 50);
    EXPECT_EQ(EnergyAt(dp, 5, 5), 50);     // 1 + 1 < 4
    EXPECT_EQ(EnergyAt(dp, 6, 4), 0);      // 4 is not below 4
    EXPECT_EQ(EnergyAt(dp, 2, 3), 0);      // 4 + 1
    dp.AddEnergyCircleValue(0, 0, 3, 10);  // clipped at the picture's corner
    EXPECT_EQ(EnergyAt(dp, 1, 1), 10);
}

TEST(EnergyDump, WritesTheWorkingEnergyAsAGreyPicture)
{
    DP dp = FlatEngine();
    dp.AddEnergyCircleValue(2, 2, 1, 77);
    const wxString path = wxFileName::CreateTempFileName("kerv-energy") + ".png";
    ASSERT_TRUE(dp.SaveEnergyImage(path));
    wxImage back(path);
    wxRemoveFile(path);
    ASSERT_TRUE(back.IsOk());
    EXPECT_EQ(back.GetRed(2, 2), 77);
    EXPECT_EQ(back.GetGreen(0, 3), 255);
    EXPECT_EQ(back.GetBlue(1, 1), 0);
}

}  // namespace
