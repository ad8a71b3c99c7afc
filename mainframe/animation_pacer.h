// SPDX-License-Identifier: GPL-3.0-or-later
// AnimationPacer: when an animated run repaints the canvas. At most 25 repaints a second, as the
// progress display yields, and never sooner after a repaint began than six times what it cost,
// so that showing a large picture takes at most a sixth of the run's time however slow it is to
// draw. A repaint costs the call that asked for it plus the drawing the toolkit did for it later,
// in the event loop: a pane whose scroll bars changed is redrawn by the toolkit itself, after the
// call. The first step of a run always repaints.
#ifndef KERV_MAINFRAME_ANIMATION_PACER_H
#define KERV_MAINFRAME_ANIMATION_PACER_H

#include <algorithm>
#include <chrono>

class AnimationPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Whether a repaint is due now.
    bool IsDue(Clock::time_point now) const { return !bPainted || now >= timeNext; }

    // A repaint's call ran from start to end; drawn is the canvas's drawing time so far.
    void Painted(Clock::time_point start, Clock::time_point end, Clock::duration drawn)
    {
        bPainted = true;
        timeStart = start;
        cost = end - start;
        drawnAtEnd = drawn;
        Schedule();
    }

    // The canvas's drawing time so far: what it drew since the last repaint's call ended is part
    // of that repaint's cost.
    void Drawn(Clock::duration drawn)
    {
        if (!bPainted || drawn <= drawnAtEnd)
            return;
        cost += drawn - drawnAtEnd;
        drawnAtEnd = drawn;
        Schedule();
    }

    static constexpr std::chrono::milliseconds kMinInterval{40};
    static constexpr int kCostFactor = 6;

private:
    void Schedule()
    {
        timeNext = timeStart + std::max<Clock::duration>(kMinInterval, kCostFactor * cost);
    }

    bool bPainted = false;
    Clock::time_point timeStart;
    Clock::time_point timeNext;
    Clock::duration cost{};
    Clock::duration drawnAtEnd{};
};

#endif
