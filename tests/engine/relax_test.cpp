// SPDX-License-Identifier: GPL-3.0-or-later
// The cost recurrence over one lane on every instruction-set path against the recurrence
// written out cell by cell: every range of lanes short and long (the vector loops' full rounds
// and their partial last ones), many ties, and costs that wrap.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "relax.h"
#include "simd.h"

namespace {

// One cell as the recurrence defines it: the predecessor's cost and the step byte.
void PlainCell(const std::vector<int>& previous, int energy, int j, int& cost, std::uint8_t& step)
{
    const int n = static_cast<int>(previous.size());
    const long long left = j > 0 ? previous[j - 1] : INT_MAX;
    const long long up = previous[j];
    int offset = 0;
    if (j < n - 1 && previous[j + 1] < up)
        offset = left <= previous[j + 1] ? -1 : +1;
    else
        offset = left < up ? -1 : 0;
    cost = static_cast<int>(static_cast<std::uint32_t>(energy) +
                            static_cast<std::uint32_t>(previous[j + offset]));
    step = static_cast<std::uint8_t>(offset + 1);
}

std::vector<int> RandomLane(std::mt19937& random, int n)
{
    std::vector<int> lane(n);
    const int style = static_cast<int>(random() % 3);
    for (int& value : lane) {
        if (style == 0)  // few values: ties everywhere
            value = static_cast<int>(random() % 3);
        else if (style == 1)  // sums that wrap
            value =
                static_cast<int>(random() % 2 ? INT_MAX - random() % 4 : INT_MIN + random() % 4);
        else
            value = static_cast<int>(random() % 1000);
    }
    return lane;
}

class RelaxMatchesRecurrence : public testing::TestWithParam<seam::SimdPath> {
protected:
    void SetUp() override { ASSERT_TRUE(seam::UseSimdPath(GetParam())); }
    void TearDown() override { seam::UseSimdPath(seam::SupportedSimdPaths().back()); }
};

TEST_P(RelaxMatchesRecurrence, EveryRangeOfShortAndLongLanes)
{
    std::mt19937 random(1606);
    for (int n : {1, 2, 3, 5, 16, 17, 18, 31, 33, 47, 130}) {
        for (int trial = 0; trial < 6; ++trial) {
            const std::vector<int> previous = RandomLane(random, n);
            const std::vector<int> energy = RandomLane(random, n);
            std::vector<int> before = RandomLane(random, n);
            // Some cells already hold what the recurrence gives, so that not every cost changes.
            for (int j = 0; j < n; ++j) {
                std::uint8_t step;
                if (random() % 2)
                    PlainCell(previous, energy[j], j, before[j], step);
            }
            const int stride = n < 40 ? 1 : 7;  // every range of short lanes, a sample of long
            for (int begin = 0; begin < n; begin += (begin < 3 ? 1 : stride)) {
                for (int end = begin + 1; end <= n; end += (n - end < 3 ? 1 : stride)) {
                    const std::string where = "n " + std::to_string(n) + " range [" +
                                              std::to_string(begin) + ", " + std::to_string(end) +
                                              ")";
                    std::vector<int> expectedCost = before;
                    std::vector<std::uint8_t> expectedStep(n, 0xEE);
                    int expectedLo = INT_MAX;
                    int expectedHi = INT_MIN;
                    for (int j = begin; j < end; ++j) {
                        PlainCell(previous, energy[j], j, expectedCost[j], expectedStep[j]);
                        if (expectedCost[j] != before[j]) {
                            expectedLo = std::min(expectedLo, j);
                            expectedHi = j;
                        }
                    }

                    std::vector<int> cost = before;
                    std::vector<std::uint8_t> step(n, 0xEE);
                    std::vector<std::uint8_t> scratch(n);
                    // The range found widens what is given; it does not replace it.
                    int lo = n + 5;
                    int hi = -5;
                    seam::RelaxRangeMarking(previous.data(), energy.data(), cost.data(),
                                            step.data(), begin, end, n, scratch.data(), lo, hi);
                    ASSERT_EQ(cost, expectedCost) << where;
                    ASSERT_EQ(step, expectedStep) << where;
                    ASSERT_EQ(lo, std::min(expectedLo, n + 5)) << where;
                    ASSERT_EQ(hi, std::max(expectedHi, -5)) << where;

                    cost = before;
                    step.assign(n, 0xEE);
                    seam::RelaxRange(previous.data(), energy.data(), cost.data(), step.data(),
                                     begin, end, n);
                    ASSERT_EQ(cost, expectedCost) << where;
                    ASSERT_EQ(step, expectedStep) << where;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, RelaxMatchesRecurrence,
                         testing::ValuesIn(seam::SupportedSimdPaths()),
                         [](const testing::TestParamInfo<seam::SimdPath>& info) {
                             return std::string(seam::SimdPathName(info.param));
                         });

}  // namespace
