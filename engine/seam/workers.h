// SPDX-License-Identifier: GPL-3.0-or-later
// A second core for the engine's loops over independent rows or columns.
#ifndef KERV_SEAM_WORKERS_H
#define KERV_SEAM_WORKERS_H

#include <condition_variable>
#include <mutex>
#include <thread>

namespace seam {

// Splits a loop over [0, count) between the calling thread and one helper thread, which waits
// for work between loops. With one thread (or a small loop) the caller runs it all. Not
// re-entrant: one loop at a time, started from one thread.
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
    // have run. Loops of fewer than minimumSplit items run on the caller alone.
    template <typename Body>
    void ForEach(int count, int minimumSplit, const Body& body)
    {
        if (!helper_.joinable() || count < minimumSplit || count < 2) {
            body(0, count);
            return;
        }
        const int middle = count / 2;
        Post(&body, &Call<Body>, middle, count);
        body(0, middle);
        Wait();
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

    void Post(const void* body, Trampoline call, int begin, int end);
    void Wait();
    void Serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const void* body_ = nullptr;
    Trampoline call_ = nullptr;
    int begin_ = 0;
    int end_ = 0;
    bool pending_ = false;
    bool stopping_ = false;
    std::thread helper_;
};

}  // namespace seam

#endif
