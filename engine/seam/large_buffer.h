// SPDX-License-Identifier: GPL-3.0-or-later
// Storage for the engine's frames and tables, which span megabytes.
#ifndef KERV_SEAM_LARGE_BUFFER_H
#define KERV_SEAM_LARGE_BUFFER_H

#include <cstddef>
#include <vector>

namespace seam {

// Memory for `bytes` bytes; buffers of several megabytes are laid on large pages where the
// system offers them. The band update reads a few cells of every lane, and the lanes lie a whole
// row or column apart: with ordinary pages nearly every lane it reads is on a page of its own,
// which costs an address translation that the processor's cache of them cannot hold.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* memory, std::size_t bytes);

template <typename T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&)
    {
    }
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T* memory, std::size_t n) { FreeLarge(memory, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LargeAllocator<U>&) const
    {
        return true;
    }
    template <typename U>
    bool operator!=(const LargeAllocator<U>&) const
    {
        return false;
    }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace seam

#endif
