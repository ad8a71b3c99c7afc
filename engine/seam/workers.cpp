// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers.h"

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

void Workers::Post(const void* body, Trampoline call, int begin, int end)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        body_ = body;
        call_ = call;
        begin_ = begin;
        end_ = end;
        pending_ = true;
    }
    wake_.notify_one();
}

void Workers::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return !pending_; });
}

void Workers::Serve()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_)
            return;
        lock.unlock();
        call_(body_, begin_, end_);
        lock.lock();
        pending_ = false;
        done_.notify_one();
    }
}

}  // namespace seam
