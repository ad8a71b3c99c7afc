// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_bar.h"

#include <string>

namespace {
constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

ProgressBar::ProgressBar(int total, bool enabled, std::FILE* out)
    : total_(total), enabled_(enabled && total > 0), out_(out)
{
}

void ProgressBar::Update(int done)
{
    if (!enabled_)
        return;
    const auto now = Clock::now();
    if (now - lastDraw_ < kRedrawInterval)
        return;
    lastDraw_ = now;
    Draw(done);
}

void ProgressBar::Finish()
{
    if (!enabled_)
        return;
    Draw(total_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void ProgressBar::Draw(int done)
{
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    const int filled = static_cast<int>(static_cast<long long>(done) * kBarWidth / total_);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    if (done > 0 && done < total_) {
        const double left = elapsed / done * (total_ - done);
        std::fprintf(out_, "\r[%s] %d/%d seams  %.1f s elapsed, %.1f s left  ", bar.c_str(), done,
                     total_, elapsed, left);
    } else {
        std::fprintf(out_, "\r[%s] %d/%d seams  %.1f s elapsed              ", bar.c_str(), done,
                     total_, elapsed);
    }
    std::fflush(out_);
}

BatchProgress::BatchProgress(int files, bool enabled, std::FILE* out)
    : files_(files), enabled_(enabled && files > 0), out_(out)
{
}

void BatchProgress::Update(int filesDone, double progress, long long seams)
{
    if (!enabled_)
        return;
    const auto now = Clock::now();
    if (shown_ && now - lastDraw_ < kRedrawInterval)
        return;
    lastDraw_ = now;
    Draw(filesDone, progress, seams);
}

void BatchProgress::Clear()
{
    if (!enabled_ || !shown_)
        return;
    std::fputs("\r\033[K", out_);
    shown_ = false;
}

void BatchProgress::Finish(int filesDone, long long seams)
{
    if (!enabled_)
        return;
    Draw(filesDone, filesDone, seams);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void BatchProgress::Draw(int filesDone, double progress, long long seams)
{
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    const double rate = elapsed > 0 ? seams / elapsed : 0;
    std::fprintf(out_, "\r\033[K%d/%d files  %.0f seams/s", filesDone, files_, rate);
    if (progress > 0 && filesDone < files_)
        std::fprintf(out_, "  %.0f s left", elapsed / progress * (files_ - progress));
    std::fflush(out_);
    shown_ = true;
}
