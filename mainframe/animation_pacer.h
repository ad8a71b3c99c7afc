// SPDX-License-Identifier: GPL-3.0-or-later
// AnimationPacer: when an animated run repaints the canvas. At most 25 repaints a second, as the
// progress display yields, and never more often than five times a repaint's own duration, so
// that showing a large picture takes at most a sixth of the run's time however slow it is to
// draw. The first step of a run always repaints.
#ifndef KERV_MAINFRAME_ANIMATION_PACER_H
#define KERV_MAINFRAME_ANIMATION_PACER_H

#include <algorithm>
#include <chrono>

class AnimationPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Whether a repaint is due now.
    bool IsDue(Clock::time_point now) const { return !bPainted || now >= timeNext; }

    // A repaint ran from start to end.
    void Painted(Clock::time_point start, Clock::time_point end)
    {
        bPainted = true;
        timeNext = start + std::max<Clock::duration>(kMinInterval, kCostFactor * (end - start));
    }

    static constexpr std::chrono::milliseconds kMinInterval{40};
    static constexpr int kCostFactor = 6;

private:
    bool bPainted = false;
    Clock::time_point timeNext;
};

#endif
