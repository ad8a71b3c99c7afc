// SPDX-License-Identifier: GPL-3.0-or-later
// A second core for the engine's loops over independent rows or columns.
#ifndef KERV_SEAM_WORKERS_H
#define KERV_SEAM_WORKERS_H

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace seam {

// Splits a loop over [0, count) between the calling thread and one helper thread, which waits
// for work between loops. The loop is cut into parts that either thread takes as it comes free,
// so a helper that is slow to start (its core busy with other work) takes only what the caller
// has not reached yet: the caller never waits for more than the part the helper is running.
// With one thread (or a small loop) the caller runs it all. Not re-entrant: one loop at a time,
// started from one thread.
class Workers {
public:
    // threads: 1 (everything on the caller) or more (the caller and one helper).
    explicit Workers(int threads);
    ~Workers();
    // A copy runs everything on its caller: it shares no thread with the original.
    Workers(const Workers&) : Workers(1) {}
    Workers& operator=(const Workers&) = delete;

    int Threads() const { return helper_.joinable() ? 2 : 1; }

    // Calls body(begin, end) on disjoint parts of [0, count) that cover it, and returns when all
    // have run. Loops of fewer than minimumSplit items run on the caller alone; a part has at
    // least half that many items.
    template <typename Body>
    void ForEach(int count, int minimumSplit, const Body& body)
    {
        if (!helper_.joinable() || count < minimumSplit || count < 2) {
            body(0, count);
            return;
        }
        const int parts = std::clamp(count / std::max(1, minimumSplit / 2), 2, kMostParts);
        Run(&body, &Call<Body>, count, parts);
    }

    // The number of threads to use by default: both cores where there are two or more.
    static int DefaultThreads();

private:
    using Trampoline = void (*)(const void*, int, int);
    template <typename Body>
    static void Call(const void* body, int begin, int end)
    {
        (*static_cast<const Body*>(body))(begin, end);
    }

    static constexpr int kMostParts = 8;

    void Run(const void* body, Trampoline call, int count, int parts);
    bool RunPart(std::uint32_t generation);
    void Serve();

    // The loop being run: written by the caller before it publishes the loop's generation in
    // claim_, and left alone until every part has finished.
    const void* body_ = nullptr;
    Trampoline call_ = nullptr;
    int count_ = 0;
    // The loop's generation (high 32 bits), its number of parts (next 16) and the next part to
    // take (low 16): a thread takes a part by raising the last, and only while the generation is
    // the one it was woken for.
    std::atomic<std::uint64_t> claim_{0};
    std::atomic<int> finished_{0};  // parts of the loop that have run
    std::uint32_t generation_ = 0;  // the caller's

    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint32_t posted_ = 0;  // the generation the helper is woken for
    bool stopping_ = false;
    std::thread helper_;
};

}  // namespace seam

#endif
