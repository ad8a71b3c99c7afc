// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of target sizes shared by the target fields and kerv-cli; which sizes can be
// carved is tested with the session, which asks it.
#include <gtest/gtest.h>

#include <climits>

#include "target_size.h"

namespace {

TEST(TargetSize, PercentAndAspectAreTruncatedAndSaturate)
{
    using target::HeightForWidth;
    using target::PercentOf;
    using target::WidthForHeight;
    const struct {
        int result, expected;
    } cases[] = {
        {PercentOf(333, 50), 166}, {PercentOf(400, 150), 600}, {PercentOf(3, 33), 0},
        // The aspect uses the opened ratio and truncates too.
        {HeightForWidth(166, 333, 250), 124},  // 166 / 1.332
        {WidthForHeight(124, 333, 250), 165},  // 124 / 0.750750...
        {HeightForWidth(450, 600, 400), 300}, {WidthForHeight(300, 600, 400), 450},
        {PercentOf(INT_MAX, 200), INT_MAX}, {PercentOf(INT_MAX, -200), INT_MIN},
        {HeightForWidth(INT_MAX, 1, 32000), INT_MAX}, {WidthForHeight(INT_MIN, 32000, 1), INT_MIN},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].result, cases[i].expected) << "case " << i;
}

TEST(TargetSize, FieldsAreReadTheStrtolWay)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {{"450", 450}, {"  42abc", 42}, {"+7", 7},  {"-5", -5},
                 {"abc", 0},   {"", 0},         {"99999999999999", INT_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ(target::ReadLeadingInteger(c.text), c.value) << c.text;
}

}  // namespace
