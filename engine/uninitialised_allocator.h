// SPDX-License-Identifier: GPL-3.0-or-later
// UninitialisedAllocator: a vector allocator whose resize leaves new elements of a trivial type
// as they are, for buffers that are written whole right after they are sized. Zero-filling a
// picture-sized buffer first costs as much as the copy that then overwrites it.
#ifndef KERV_ENGINE_UNINITIALISED_ALLOCATOR_H
#define KERV_ENGINE_UNINITIALISED_ALLOCATOR_H

#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept
    {
    }
    // Value-initialisation (what resize asks for) becomes default-initialisation.
    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

template <typename T>
using UninitialisedVector = std::vector<T, UninitialisedAllocator<T>>;

#endif
