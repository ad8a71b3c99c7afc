// SPDX-License-Identifier: GPL-3.0-or-later
// A one-line progress display on stderr: seams done of total, elapsed and estimated time left.
#ifndef KERV_CLI_PROGRESS_BAR_H
#define KERV_CLI_PROGRESS_BAR_H

#include <chrono>
#include <cstdio>

class ProgressBar {
public:
    // Draws nothing unless enabled (stderr is a terminal and --quiet was not given).
    ProgressBar(int total, bool enabled, std::FILE* out = stderr);
    void Update(int done);
    // Draws the final state and ends the line.
    void Finish();

private:
    void Draw(int done);

    using Clock = std::chrono::steady_clock;
    int total_;
    bool enabled_;
    std::FILE* out_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_{};
};

#endif
