// SPDX-License-Identifier: GPL-3.0-or-later
// The engine against the reference carver: after every call the same size, the same returned
// seam and the same pixels, bit for bit, over random pictures, random call sequences and long
// runs in one direction, on every instruction-set path and on one and two threads.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include <wx/image.h>

#include "dp.h"
#include "picture_factory.h"
#include "reference_carver.h"
#include "simd.h"

namespace {

using test_pictures::Picture;

struct Call {
    bool vertical;
    bool remove;
};

std::string Describe(const std::vector<Call>& calls)
{
    std::ostringstream text;
    for (const Call& call : calls)
        text << (call.vertical ? 'V' : 'H') << (call.remove ? '-' : '+') << ' ';
    return text.str();
}

bool SamePixels(DP& dp, const reference::Carver& ref)
{
    const wxFastImage& picture = dp.GetColourImage();
    return picture.GetWidth() == ref.cols && picture.GetHeight() == ref.rows &&
           std::memcmp(picture.GetData(), ref.pixels.data(), ref.pixels.size()) == 0;
}

// Checks size, returned seam and (when comparePixels) every pixel. Returns false on the first
// difference, so a long sequence stops at its first fault.
bool SameState(DP& dp, const reference::Carver& ref, const int* seam,
               const std::vector<int>& refSeam, bool comparePixels)
{
    EXPECT_EQ(dp.cols, ref.cols);
    EXPECT_EQ(dp.rows, ref.rows);
    if (dp.cols != ref.cols || dp.rows != ref.rows)
        return false;
    EXPECT_NE(seam, nullptr);
    if (!seam)
        return false;
    const std::vector<int> engineSeam(seam, seam + refSeam.size());
    EXPECT_EQ(engineSeam, refSeam);
    if (engineSeam != refSeam)
        return false;
    const bool samePixels = !comparePixels || SamePixels(dp, ref);
    EXPECT_TRUE(samePixels) << "pixels differ";
    return samePixels;
}

wxImage RandomMask(std::mt19937& random, int width, int height)
{
    wxImage mask(width, height, true);
    unsigned char* rgb = mask.GetData();
    const int style = static_cast<int>(random() % 3);
    for (int i = 0; i < width * height; ++i) {
        if (style == 0) {  // painted: red protects, green deletes, black neutral
            const int paint = static_cast<int>(random() % 3);
            rgb[i * 3] = paint == 1 ? 255 : 0;
            rgb[i * 3 + 1] = paint == 2 ? 255 : 0;
        } else {
            for (int c = 0; c < 3; ++c)
                rgb[i * 3 + c] = static_cast<unsigned char>(random());
        }
    }
    return mask;
}

std::vector<int> MaskDelta(const wxImage& mask)
{
    std::vector<int> delta(static_cast<size_t>(mask.GetWidth()) * mask.GetHeight());
    for (size_t i = 0; i < delta.size(); ++i)
        delta[i] = mask.GetData()[i * 3] - mask.GetData()[i * 3 + 1];
    return delta;
}

// Runs `callCount` random calls (runs of one direction, removals and insertions mixed, with
// an occasional mask or energy edit) on the engine and the reference side by side. Some runs
// are long and all of one kind, so that a run of vertical removals outlasts the engine's
// deferred moves (it closes their gaps every 32 seams); some edits are large enough that costs
// wrap around the 32-bit range.
void RunRandomSequence(const Picture& picture, std::mt19937& random, int callCount, int maxSide)
{
    const wxFastImage image = test_pictures::ToFastImage(picture);
    DP dp(image);
    reference::Carver ref(picture.rgb, picture.width, picture.height);
    ASSERT_EQ(dp.cols, picture.width);

    std::vector<Call> calls;
    while (static_cast<int>(calls.size()) < callCount) {
        const bool vertical = random() % 2 == 0;
        const bool longRun = random() % 8 == 0;
        const int run =
            longRun ? 33 + static_cast<int>(random() % 40) : 1 + static_cast<int>(random() % 8);
        const bool preferRemove = random() % 2 == 0;
        if (random() % 16 == 0) {
            const wxImage mask = RandomMask(random, dp.cols, dp.rows);
            ASSERT_TRUE(dp.ModifyEnergy(mask));
            ref.AddEnergy(MaskDelta(mask));
        }
        if (random() % 8 == 0) {
            // An edit of the energy that leaves the pending tables alone.
            const int x = static_cast<int>(random() % dp.cols);
            const int y = static_cast<int>(random() % dp.rows);
            const int r = static_cast<int>(random() % 6);
            const int value = random() % 4 == 0
                                  ? static_cast<int>(random() % (1u << 31)) - (1 << 30)
                                  : static_cast<int>(random() % 600) - 300;
            dp.AddEnergyCircleValue(x, y, r, value);
            ref.AddEnergyCircle(x, y, r, value);
        }
        for (int i = 0; i < run && static_cast<int>(calls.size()) < callCount; ++i) {
            const int side = vertical ? dp.cols : dp.rows;
            bool remove = longRun || random() % 4 != 0 ? preferRemove : !preferRemove;
            if (side <= 1)
                remove = false;
            if (side >= maxSide)
                remove = true;
            calls.push_back({vertical, remove});
            if (random() % 16 == 0) {  // room for growth, whatever is pending or deferred
                dp.MakeRoom(dp.cols + static_cast<int>(random() % 40),
                            dp.rows + static_cast<int>(random() % 40));
            }
            const int* seam = vertical ? dp.GetSeam_Vert(remove) : dp.GetSeam_Horz(remove);
            const std::vector<int> refSeam = vertical ? ref.SeamVert(remove) : ref.SeamHorz(remove);
            // Reading the pixels closes the deferred gaps: long runs read them at their end.
            const bool comparePixels = i == run - 1 || (!longRun && random() % 2 == 0);
            ASSERT_TRUE(SameState(dp, ref, seam, refSeam, comparePixels))
                << picture.kind << " " << picture.width << "x" << picture.height << " after calls "
                << Describe(calls);
        }
    }
}

// trials random pictures of minSide to minSide + spread - 1 pixels a side, each given calls
// random calls that keep its sides within maxSide.
void RunRandomTrials(std::mt19937& random, int minSide, int spread, int trials, int calls,
                     int maxSide)
{
    for (int trial = 0; trial < trials && !testing::Test::HasFatalFailure(); ++trial) {
        const int width = minSide + static_cast<int>(random() % spread);
        const int height = minSide + static_cast<int>(random() % spread);
        RunRandomSequence(test_pictures::Random(random, width, height), random, calls, maxSide);
    }
}

// Every test runs once on each instruction-set path of the processor.
class EngineMatchesReference : public testing::TestWithParam<seam::SimdPath> {
protected:
    void SetUp() override { ASSERT_TRUE(seam::UseSimdPath(GetParam())); }
    void TearDown() override
    {
        seam::UseSimdPath(seam::SupportedSimdPaths().back());
        DP::SetThreads(0);
    }
};

TEST_P(EngineMatchesReference, RandomSmallPicturesAndCallSequences)
{
    std::mt19937 random(20261206);
    RunRandomTrials(random, 1, 48, 600, 60, 64);
}

TEST_P(EngineMatchesReference, TinyPicturesDownToOnePixel)
{
    std::mt19937 random(7);
    RunRandomTrials(random, 1, 4, 160, 30, 8);
}

// Pictures wide and high enough that the carves split their rows and columns between two
// threads.
TEST_P(EngineMatchesReference, RandomLargerPicturesOnOneAndTwoThreads)
{
    std::mt19937 random(99);
    for (int threads : {1, 2}) {
        DP::SetThreads(threads);
        RunRandomTrials(random, 64, 70, 30, 50, 160);
    }
}

TEST_P(EngineMatchesReference, LongRunsInOneDirectionOnPhotos)
{
    for (const char* name : {"coffee.png", "chelsea.png"}) {
        DP::SetThreads(name[1] == 'o' ? 2 : 1);
        wxFastImage photo;
        ASSERT_TRUE(photo.LoadFile(wxString(KERV_SAMPLES_DIR) + "/" + name));
        const Picture picture = test_pictures::FromFastImage(photo, name);
        DP dp(photo);
        reference::Carver ref(picture.rgb, picture.width, picture.height);
        // Narrower, wider, lower, higher, 40 each, then alternating: every carve and both
        // searches; the pixels are compared every fourth call, and after each alternating one.
        std::vector<Call> plan;
        for (const Call& call : {Call{true, true}, {true, false}, {false, true}, {false, false}})
            plan.insert(plan.end(), 40, call);
        for (int i = 0; i < 10; ++i)
            plan.push_back({i % 2 == 0, i % 3 != 0});
        std::vector<Call> calls;
        for (const Call& call : plan) {
            calls.push_back(call);
            const int* seam =
                call.vertical ? dp.GetSeam_Vert(call.remove) : dp.GetSeam_Horz(call.remove);
            const std::vector<int> refSeam =
                call.vertical ? ref.SeamVert(call.remove) : ref.SeamHorz(call.remove);
            const bool comparePixels = calls.size() % 4 == 0 || calls.size() > 160;
            ASSERT_TRUE(SameState(dp, ref, seam, refSeam, comparePixels))
                << name << " " << Describe(calls);
        }
    }
}

// Long runs of vertical removals: runs that outlast the engine's deferred moves, runs broken by
// edits, previews, insertions and horizontal carves, and pictures whose seams keep crossing the
// gaps left by the seams before them.
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

struct LongRun {
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

// Rows removed and inserted in runs, which leave the rows stored out of order: insertions that
// reuse the stored rows of removed ones, a vertical run through rows stored out of order, then
// more insertions than there are rows free.
const std::vector<Step> kRowRuns = {
    {Op::RemoveRow, 20}, {Op::InsertRow, 12}, {Op::Remove, 40}, {Op::Insert, 3},
    {Op::InsertRow, 30}, {Op::RemoveRow, 5},  {Op::Remove, 33}, {Op::InsertRow, 2},
};

const LongRun kLongRuns[] = {
    {test_pictures::Random, 230, 140, {{Op::Remove, 100}}},
    {Valley, 220, 140, kBrokenRuns},
    {Flat, 200, 130, {{Op::Remove, 40}, {Op::Edit, 1}, {Op::Remove, 70}}},
    {Bands, 240, 135, kBrokenRuns},
    {test_pictures::Random, 260, 70, kBrokenRuns},
    // Insertions that keep to the left half, past the room before the rows.
    {Valley, 220, 60, {{Op::Insert, 120}, {Op::Remove, 40}}},
    {Bands, 150, 120, kRowRuns},
    {Flat, 120, 100, kRowRuns},
    // Frames and tables of several megabytes, which are allocated on their own.
    {Bands, 1100, 1000, {{Op::Remove, 3}, {Op::Insert, 2}, {Op::RemoveRow, 1}, {Op::InsertRow, 1}}},
};

TEST_P(EngineMatchesReference, LongRunsSeamBySeam)
{
    for (int threads : {1, 2}) {
        DP::SetThreads(threads);
        std::mt19937 random(4711);
        for (const LongRun& c : kLongRuns) {
            const Picture picture = c.make(random, c.width, c.height);
            DP dp(test_pictures::ToFastImage(picture));
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
                    ASSERT_TRUE(SameState(dp, ref, seam, last, false));
                }
                // Reading the pixels closes the gaps: only at the end of each step.
                ASSERT_TRUE(SamePixels(dp, ref)) << picture.kind << " after call " << done;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, EngineMatchesReference,
                         testing::ValuesIn(seam::SupportedSimdPaths()),
                         [](const testing::TestParamInfo<seam::SimdPath>& info) {
                             return std::string(seam::SimdPathName(info.param));
                         });

// The picture the engine was given stays the caller's, and the end of carving keeps the result.
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
