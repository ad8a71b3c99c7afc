// SPDX-License-Identifier: GPL-3.0-or-later
#include "simd.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace seam {

namespace {

bool Supported(SimdPath path)
{
#if defined(__x86_64__)
    switch (path) {
        case SimdPath::Scalar:
            return true;
        case SimdPath::Avx2:
            return __builtin_cpu_supports("avx2");
        case SimdPath::Avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                   __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512dq") &&
                   __builtin_cpu_supports("avx512vl");
    }
    return false;
#else
    return path == SimdPath::Scalar;
#endif
}

}  // namespace

SimdPath ChooseSimdPath(const char* name)
{
    const SimdPath widest = SupportedSimdPaths().back();
    if (!name || !*name)
        return widest;
    SimdPath asked = widest;
    if (!ParseSimdPath(name, asked)) {
        std::fprintf(stderr, "kerv: KERV_SIMD=%s is not scalar, avx2 or avx512; using %s\n", name,
                     SimdPathName(widest));
        return widest;
    }
    if (!Supported(asked)) {
        std::fprintf(stderr, "kerv: this processor has no %s; using %s\n", name,
                     SimdPathName(widest));
        return widest;
    }
    return asked;
}

namespace {

// Read by the loops of both threads; written only while no loop runs.
std::atomic<int>& Chosen()
{
    static std::atomic<int> chosen{static_cast<int>(ChooseSimdPath(std::getenv("KERV_SIMD")))};
    return chosen;
}

}  // namespace

std::vector<SimdPath> SupportedSimdPaths()
{
    std::vector<SimdPath> paths;
    for (SimdPath path : {SimdPath::Scalar, SimdPath::Avx2, SimdPath::Avx512})
        if (Supported(path))
            paths.push_back(path);
    return paths;
}

SimdPath ActiveSimdPath()
{
    return static_cast<SimdPath>(Chosen().load(std::memory_order_relaxed));
}

bool UseSimdPath(SimdPath path)
{
    if (!Supported(path))
        return false;
    Chosen().store(static_cast<int>(path), std::memory_order_relaxed);
    return true;
}

const char* SimdPathName(SimdPath path)
{
    switch (path) {
        case SimdPath::Scalar:
            return "scalar";
        case SimdPath::Avx2:
            return "avx2";
        case SimdPath::Avx512:
            return "avx512";
    }
    return "?";
}

bool ParseSimdPath(const char* name, SimdPath& path)
{
    for (SimdPath candidate : {SimdPath::Scalar, SimdPath::Avx2, SimdPath::Avx512}) {
        if (std::strcmp(name, SimdPathName(candidate)) == 0) {
            path = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace seam
