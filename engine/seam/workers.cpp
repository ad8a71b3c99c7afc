// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace seam {

Workers::Workers(int threads)
{
    if (threads > 1)
        helper_ = std::thread([this] { Serve(); });
}

Workers::~Workers()
{
    if (!helper_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    helper_.join();
}

int Workers::DefaultThreads()
{
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

void Workers::Run(const void* body, Trampoline call, int count, int parts)
{
    body_ = body;
    call_ = call;
    count_ = count;
    finished_.store(0, std::memory_order_relaxed);
    const std::uint32_t generation = ++generation_;
    claim_.store(static_cast<std::uint64_t>(generation) << 32 | static_cast<std::uint64_t>(parts)
                                                                    << 16,
                 std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        posted_ = generation;
    }
    wake_.notify_one();
    while (RunPart(generation)) {
    }
    // Only parts the helper has taken are left; each is short, so wait without sleeping at
    // first, then give the core away (the helper may be waiting for it).
    for (int round = 0; finished_.load(std::memory_order_acquire) < parts; ++round) {
        if (round < 2000) {
#if defined(__x86_64__)
            _mm_pause();
#endif
        } else {
            std::this_thread::yield();
        }
    }
}

// Takes the next part of the loop of `generation` and runs it; false when none is left.
bool Workers::RunPart(std::uint32_t generation)
{
    std::uint64_t claim = claim_.load(std::memory_order_acquire);
    for (;;) {
        const int parts = static_cast<int>(claim >> 16 & 0xFFFF);
        const int part = static_cast<int>(claim & 0xFFFF);
        if (static_cast<std::uint32_t>(claim >> 32) != generation || part >= parts)
            return false;
        if (claim_.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel,
                                         std::memory_order_acquire)) {
            // Until this part finishes, the caller leaves the loop's fields alone.
            const long long count = count_;
            call_(body_, static_cast<int>(count * part / parts),
                  static_cast<int>(count * (part + 1) / parts));
            finished_.fetch_add(1, std::memory_order_release);
            return true;
        }
    }
}

void Workers::Serve()
{
    std::uint32_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || posted_ != seen; });
        if (stopping_)
            return;
        seen = posted_;
        lock.unlock();
        while (RunPart(seen)) {
        }
        lock.lock();
    }
}

}  // namespace seam
