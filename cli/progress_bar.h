// SPDX-License-Identifier: GPL-3.0-or-later
// One-line progress displays on stderr: for one picture, seams done of total, elapsed and
// estimated time left; for a batch, files done, seams per second and estimated time left.
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

class BatchProgress {
public:
    // Draws nothing unless enabled (stderr is a terminal and --quiet was not given).
    BatchProgress(int files, bool enabled, std::FILE* out = stderr);
    // filesDone whole files finished, progress the same counting the running files' shares.
    void Update(int filesDone, double progress, long long seams);
    // Removes the line, so that a report can take its place; the next Update draws it again.
    void Clear();
    void Finish(int filesDone, long long seams);

private:
    void Draw(int filesDone, double progress, long long seams);

    using Clock = std::chrono::steady_clock;
    int files_;
    bool enabled_;
    bool shown_ = false;
    std::FILE* out_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_{};
};

#endif
