// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of the instruction-set path from a KERV_SIMD value.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "simd.h"

namespace {

using seam::SimdPath;

TEST(SimdPathChoice, ANamedPathThatRunsIsTakenAnythingElseGivesTheWidest)
{
    const std::vector<SimdPath> supported = seam::SupportedSimdPaths();
    ASSERT_EQ(supported.front(), SimdPath::Scalar);
    const SimdPath widest = supported.back();
    auto runs = [&](SimdPath path) {
        return std::find(supported.begin(), supported.end(), path) != supported.end();
    };
    const struct {
        const char* name;
        SimdPath expected;
    } cases[] = {
        {"scalar", SimdPath::Scalar},
        {"avx2", runs(SimdPath::Avx2) ? SimdPath::Avx2 : widest},
        {"avx512", runs(SimdPath::Avx512) ? SimdPath::Avx512 : widest},
        {nullptr, widest},
        {"", widest},
        {"AVX2", widest},
        {"sse2", widest},
    };
    for (const auto& c : cases)
        EXPECT_EQ(seam::ChooseSimdPath(c.name), c.expected) << (c.name ? c.name : "(unset)");
}

}  // namespace
