// SPDX-License-Identifier: GPL-3.0-or-later
// When an animated run repaints: the interval after a repaint's start is six times its cost, at
// least 40 ms, and the cost includes what the toolkit drew for it after the call.
#include "animation_pacer.h"

#include <gtest/gtest.h>

namespace {

using ms = std::chrono::milliseconds;

struct PacerCase {
    int callMs;         // the repaint's call
    int drawnInCallMs;  // canvas drawing during the call
    int drawnLaterMs;   // canvas drawing after it, in the event loop
    int intervalMs;     // from the call's start to the next repaint
};

class AnimationPacerTest : public ::testing::TestWithParam<PacerCase> {};

}  // namespace

TEST_P(AnimationPacerTest, TheNextRepaintWaitsSixTimesTheWholeCost)
{
    const PacerCase& c = GetParam();
    const auto start = AnimationPacer::Clock::time_point() + ms(1000);
    const ms before(250);  // drawing of earlier repaints
    AnimationPacer pacer;
    ASSERT_TRUE(pacer.IsDue(start)) << "the first step repaints";
    pacer.Painted(start, start + ms(c.callMs), before + ms(c.drawnInCallMs));
    // Looked at after every step: the same total again adds nothing.
    for (int step = 0; step < 3; ++step)
        pacer.Drawn(before + ms(c.drawnInCallMs + c.drawnLaterMs));
    EXPECT_FALSE(pacer.IsDue(start + ms(c.intervalMs - 1)));
    EXPECT_TRUE(pacer.IsDue(start + ms(c.intervalMs)));
}

INSTANTIATE_TEST_SUITE_P(Costs, AnimationPacerTest,
                         ::testing::Values(PacerCase{2, 1, 0, 40}, PacerCase{10, 8, 0, 60},
                                           PacerCase{3, 0, 12, 90}, PacerCase{5, 5, 20, 150}));
