// SPDX-License-Identifier: GPL-3.0-or-later
// Edge cases of seam search and carving that a reference comparison alone would not name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <wx/log.h>

#include "dp.h"
#include "picture_factory.h"

namespace {

// A grey energy picture from a table of values (row-major).
wxFastImage EnergyPicture(int width, int height, const std::vector<int>& values)
{
    auto* buffer = static_cast<unsigned char*>(std::malloc(values.size() * 3));
    for (size_t i = 0; i < values.size(); ++i)
        buffer[i * 3] = buffer[i * 3 + 1] = buffer[i * 3 + 2] =
            static_cast<unsigned char>(values[i]);
    wxFastImage energy;
    energy.SetData(buffer, width, height, false);
    return energy;
}

wxFastImage Gradient(int width, int height)
{
    std::vector<std::uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>(i * 37 % 251);
    return test_pictures::ToFastImage({width, height, rgb, "gradient"});
}

int EnergyAt(DP& dp, int x, int y)
{
    return dp.EnergyMapPicture().GetData()[(y * dp.cols + x) * 3];
}

TEST(SeamEdges, OnePixelWideOrHighPicturesHaveTheOnlySeamThereIs)
{
    // Duplicating the only column (row) copies every pixel next to itself.
    const wxFastImage column = Gradient(1, 7);
    DP narrow(column);
    const int* seam = narrow.GetSeam_Vert(false);
    ASSERT_EQ(narrow.cols, 2);
    for (int row = 0; row < 7; ++row) {
        const unsigned char* rgb = narrow.GetColourImage().GetData() + row * 2 * 3;
        EXPECT_EQ(std::memcmp(rgb, column.GetData() + row * 3, 3), 0);
        EXPECT_EQ(std::memcmp(rgb + 3, column.GetData() + row * 3, 3), 0);
    }
    EXPECT_EQ(seam[0], 0);  // the duplicate got energy 255: the next seam is the original column

    const wxFastImage line = Gradient(6, 1);
    DP low(line);
    seam = low.GetSeam_Horz(false);
    ASSERT_EQ(low.rows, 2);
    EXPECT_EQ(std::memcmp(low.GetColourImage().GetData(), line.GetData(), 18), 0);
    EXPECT_EQ(std::memcmp(low.GetColourImage().GetData() + 18, line.GetData(), 18), 0);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(seam[x], 0);
}

TEST(SeamEdges, EqualCostsGoStraightAndEndInTheFirstColumn)
{
    const wxFastImage zeros = EnergyPicture(5, 4, std::vector<int>(20, 0));
    DP dp(Gradient(5, 4), &zeros);
    const int* seam = dp.GetSeam_Vert(true);
    for (int row = 0; row < dp.rows; ++row)
        EXPECT_EQ(seam[row], 0) << "row " << row;
    seam = dp.GetSeam_Horz(true);
    for (int col = 0; col < dp.cols; ++col)
        EXPECT_EQ(seam[col], 0) << "column " << col;
}

// A duplicated seam on an energy of 200 with cheaper lines (columns or rows, whole): the seam's
// energy is raised to 255, and the new line beside it gets the mean of the seam and its next
// neighbour (vertical), 255 (horizontal), or the seam's own energy and pixels at the last column.
TEST(SeamEdges, DuplicationRaisesTheSeamAndFillsTheNewLine)
{
    const struct {
        bool vertical;
        int width, height;
        std::vector<std::pair<int, int>> cheap, after;  // line and energy, before and after
    } cases[] = {{true, 5, 3, {{1, 10}, {2, 21}}, {{1, 255}, {2, 15}, {3, 21}}},
                 {false, 4, 5, {{2, 10}}, {{2, 255}, {3, 255}, {4, 200}}},
                 {true, 4, 3, {{3, 7}}, {{3, 255}, {4, 7}}}};
    for (const auto& c : cases) {
        const int across = c.vertical ? c.height : c.width;
        std::vector<int> energy(static_cast<size_t>(c.width) * c.height, 200);
        for (const auto& [line, value] : c.cheap)
            for (int k = 0; k < across; ++k)
                energy[c.vertical ? k * c.width + line : line * c.width + k] = value;
        const wxFastImage map = EnergyPicture(c.width, c.height, energy);
        const wxFastImage picture = Gradient(c.width, c.height);
        DP dp(picture, &map);
        c.vertical ? dp.GetSeam_Vert(false) : dp.GetSeam_Horz(false);
        ASSERT_EQ(dp.cols, c.width + c.vertical);
        ASSERT_EQ(dp.rows, c.height + !c.vertical);
        for (int k = 0; k < across; ++k) {
            for (const auto& [line, value] : c.after)
                EXPECT_EQ(c.vertical ? EnergyAt(dp, line, k) : EnergyAt(dp, k, line), value)
                    << "line " << line << " at " << k;
            if (c.vertical && c.cheap[0].first == c.width - 1) {
                EXPECT_EQ(std::memcmp(dp.GetColourImage().GetData() + (k * dp.cols + c.width) * 3,
                                      picture.GetData() + (k * c.width + c.width - 1) * 3, 3),
                          0);
            }
        }
    }
}

TEST(SeamEdges, HorizontalRemovalKeepsThePixelBuffer)
{
    DP dp(Gradient(10, 11));
    dp.GetSeam_Horz(true);
    const unsigned char* before = dp.GetColourImage().GetData();
    dp.GetSeam_Horz(true);
    const wxFastImage& after = dp.GetColourImage();
    EXPECT_EQ(after.GetData(), before);
    EXPECT_EQ(after.GetHeight(), 9);
}

TEST(SeamEdges, AnUnreadablePictureLeavesNoneAndAnEnergyPictureOfAnotherSizeIsNotUsed)
{
    wxLogNull quiet;
    DP unread(wxString("no-such-picture.png"));
    EXPECT_EQ(unread.cols, -1);
    EXPECT_EQ(unread.rows, -1);
    const wxFastImage wrong = EnergyPicture(2, 2, {0, 0, 0, 0});
    DP dp(Gradient(6, 6), &wrong);
    EXPECT_EQ(dp.GetEnergyImage().GetWidth(), 6);
    EXPECT_EQ(EnergyAt(dp, 0, 0), 255);
}

#ifndef NDEBUG
TEST(SeamEdgesDeathTest, RemovingFromOnePixelWideAssertsInDebug)
{
    EXPECT_DEATH(
        {
            DP dp(Gradient(1, 5));
            dp.GetSeam_Vert(true);
        },
        "dp:.*removal from a dimension of 1 pixel");
}
#else
TEST(SeamEdges, RemovingFromOnePixelWideChangesNothingInRelease)
{
    DP dp(Gradient(1, 5));
    dp.GetSeam_Vert(true);
    EXPECT_EQ(dp.cols, 1);
    DP low(Gradient(5, 1));
    low.GetSeam_Horz(true);
    EXPECT_EQ(low.rows, 1);
}
#endif

}  // namespace
