// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of target sizes shared by the target fields and kerv-cli; which sizes can be
// carved is tested with the session, which asks it.
#include <gtest/gtest.h>

#include <climits>

#include "target_size.h"

namespace {

TEST(TargetSize, PercentAndAspectAreTruncatedAndSaturate)
{
    EXPECT_EQ(target::PercentOf(333, 50), 166);
    EXPECT_EQ(target::PercentOf(400, 150), 600);
    EXPECT_EQ(target::PercentOf(3, 33), 0);
    // The aspect uses the opened ratio and truncates too.
    EXPECT_EQ(target::HeightForWidth(166, 333, 250), 124);  // 166 / 1.332
    EXPECT_EQ(target::WidthForHeight(124, 333, 250), 165);  // 124 / 0.750750...
    EXPECT_EQ(target::HeightForWidth(450, 600, 400), 300);
    EXPECT_EQ(target::WidthForHeight(300, 600, 400), 450);
    EXPECT_EQ(target::PercentOf(INT_MAX, 200), INT_MAX);
    EXPECT_EQ(target::PercentOf(INT_MAX, -200), INT_MIN);
    EXPECT_EQ(target::HeightForWidth(INT_MAX, 1, 32000), INT_MAX);
    EXPECT_EQ(target::WidthForHeight(INT_MIN, 32000, 1), INT_MIN);
}

TEST(TargetSize, FieldsAreReadTheStrtolWay)
{
    EXPECT_EQ(target::ReadLeadingInteger("450"), 450);
    EXPECT_EQ(target::ReadLeadingInteger("  42abc"), 42);
    EXPECT_EQ(target::ReadLeadingInteger("+7"), 7);
    EXPECT_EQ(target::ReadLeadingInteger("-5"), -5);
    EXPECT_EQ(target::ReadLeadingInteger("abc"), 0);
    EXPECT_EQ(target::ReadLeadingInteger(""), 0);
    EXPECT_EQ(target::ReadLeadingInteger("99999999999999"), INT_MAX);
}

}  // namespace
