// SPDX-License-Identifier: GPL-3.0-or-later
#include "large_buffer.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace seam {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Smaller buffers keep to ordinary allocations: a large page is only worth it for a buffer
// that fills several.
constexpr std::size_t kLeastLarge = 2 * kLargePage;

}  // namespace

void* AllocateLarge(std::size_t bytes)
{
    if (bytes < kLeastLarge)
        return ::operator new(bytes);
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* memory = std::aligned_alloc(kLargePage, rounded);
    if (!memory)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(memory, rounded, MADV_HUGEPAGE);  // only advice: ordinary pages do as well
#endif
    return memory;
}

void FreeLarge(void* memory, std::size_t bytes)
{
    if (bytes < kLeastLarge)
        ::operator delete(memory);
    else
        std::free(memory);
}

}  // namespace seam
