// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs of vertical removals against the reference carver, seam by seam: runs that outlast
// the engine's deferred moves (it closes their gaps every 32 seams), runs broken by edits,
// previews, insertions and horizontal carves, and pictures whose seams keep crossing the gaps
// left by the seams before them; and runs of horizontal carves, which leave the rows stored out
// of order. On one and two threads and every instruction-set path.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "dp.h"
#include "picture_factory.h"
#include "reference_carver.h"
#include "simd.h"

namespace {

using test_pictures::Picture;

enum class Op { Remove, Insert, RemoveRow, InsertRow, Edit, Preview };
struct Step {
    Op op;
    int times;
};

// Noise with a flat vertical valley: its seams lie side by side.
Picture Valley(std::mt19937& random, int width, int height)
{
    Picture picture{width, height, std::vector<std::uint8_t>(width * height * 3), "valley"};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool flat = x > width / 3 && x < width / 3 + 40;
            for (int c = 0; c < 3; ++c)
                picture.rgb[(y * width + x) * 3 + c] =
                    flat ? 90 : static_cast<std::uint8_t>(random());
        }
    }
    return picture;
}

// One colour: every cost ties, so every seam takes the same lowest positions.
Picture Flat(std::mt19937&, int width, int height)
{
    return {width, height, std::vector<std::uint8_t>(width * height * 3, 140), "flat"};
}

// Diagonal bands a few pixels wide: seams slant and cross each other's columns.
Picture Bands(std::mt19937& random, int width, int height)
{
    Picture picture{width, height, std::vector<std::uint8_t>(width * height * 3), "bands"};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int band = ((x + y / 2) / 5) % 3;
            for (int c = 0; c < 3; ++c)
                picture.rgb[(y * width + x) * 3 + c] =
                    static_cast<std::uint8_t>(band * 100 + random() % 8);
        }
    }
    return picture;
}

struct Case {
    Picture (*make)(std::mt19937&, int, int);
    int width;
    int height;
    std::vector<Step> plan;
};

const std::vector<Step> kBrokenRuns = {
    {Op::Remove, 70}, {Op::Edit, 1},      {Op::Remove, 40}, {Op::Preview, 1},
    {Op::Remove, 5},  {Op::Insert, 3},    {Op::Remove, 35}, {Op::RemoveRow, 2},
    {Op::Remove, 33}, {Op::InsertRow, 1}, {Op::Remove, 34},
};

// Rows removed and inserted in runs: insertions that reuse the stored rows of removed ones, a
// vertical run through rows stored out of order, then more insertions than there are rows free.
const std::vector<Step> kRowRuns = {
    {Op::RemoveRow, 20}, {Op::InsertRow, 12}, {Op::Remove, 40}, {Op::Insert, 3},
    {Op::InsertRow, 30}, {Op::RemoveRow, 5},  {Op::Remove, 33}, {Op::InsertRow, 2},
};

const Case kCases[] = {
    {test_pictures::Random, 230, 140, {{Op::Remove, 100}}},
    {Valley, 220, 140, kBrokenRuns},
    {Flat, 200, 130, {{Op::Remove, 40}, {Op::Edit, 1}, {Op::Remove, 70}}},
    {Bands, 240, 135, kBrokenRuns},
    {test_pictures::Random, 260, 70, kBrokenRuns},
    // Insertions that keep to the left half, past the room before the rows.
    {Valley, 220, 60, {{Op::Insert, 120}, {Op::Remove, 40}}},
    {Bands, 150, 120, kRowRuns},
    {Flat, 120, 100, kRowRuns},
};

bool SamePixels(DP& dp, const reference::Carver& ref)
{
    const wxFastImage& picture = dp.GetColourImage();
    return picture.GetWidth() == ref.cols && picture.GetHeight() == ref.rows &&
           std::memcmp(picture.GetData(), ref.pixels.data(), ref.pixels.size()) == 0;
}

class LongRunsMatchReference : public testing::TestWithParam<seam::SimdPath> {
protected:
    void SetUp() override { ASSERT_TRUE(seam::UseSimdPath(GetParam())); }
    void TearDown() override
    {
        seam::UseSimdPath(seam::SupportedSimdPaths().back());
        DP::SetThreads(0);
    }
};

TEST_P(LongRunsMatchReference, SeamBySeam)
{
    for (int threads : {1, 2}) {
        DP::SetThreads(threads);
        std::mt19937 random(4711);
        for (const Case& c : kCases) {
            const Picture picture = c.make(random, c.width, c.height);
            const wxFastImage image = test_pictures::ToFastImage(picture);
            DP dp(image);
            reference::Carver ref(picture.rgb, picture.width, picture.height);
            std::vector<int> last;
            int done = 0;
            for (const Step& step : c.plan) {
                for (int i = 0; i < step.times; ++i, ++done) {
                    SCOPED_TRACE(picture.kind + " threads " + std::to_string(threads) + " call " +
                                 std::to_string(done));
                    if (step.op == Op::Edit) {
                        const int x = static_cast<int>(random() % dp.cols);
                        const int y = static_cast<int>(random() % dp.rows);
                        dp.AddEnergyCircleValue(x, y, 4, 500);
                        ref.AddEnergyCircle(x, y, 4, 500);
                        continue;
                    }
                    if (step.op == Op::Preview) {
                        const auto seams = dp.PreviewSeams(seam::Direction::Vertical, 3);
                        ASSERT_EQ(seams.size(), 3u);
                        ASSERT_EQ(seams[0], last);
                        continue;
                    }
                    const bool vertical = step.op == Op::Remove || step.op == Op::Insert;
                    const bool remove = step.op == Op::Remove || step.op == Op::RemoveRow;
                    const int* seam = vertical ? dp.GetSeam_Vert(remove) : dp.GetSeam_Horz(remove);
                    last = vertical ? ref.SeamVert(remove) : ref.SeamHorz(remove);
                    ASSERT_EQ(dp.cols, ref.cols);
                    ASSERT_EQ(dp.rows, ref.rows);
                    ASSERT_EQ(std::vector<int>(seam, seam + last.size()), last);
                }
                // Reading the pixels closes the gaps: only at the end of each step.
                ASSERT_TRUE(SamePixels(dp, ref)) << picture.kind << " after call " << done;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, LongRunsMatchReference,
                         testing::ValuesIn(seam::SupportedSimdPaths()),
                         [](const testing::TestParamInfo<seam::SimdPath>& info) {
                             return std::string(seam::SimdPathName(info.param));
                         });

}  // namespace
