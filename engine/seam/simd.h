// SPDX-License-Identifier: GPL-3.0-or-later
// The instruction-set paths of the engine's vector loops (the cost recurrence and the column
// gathers of the horizontal search). Every path computes the same values bit for bit.
#ifndef KERV_SEAM_SIMD_H
#define KERV_SEAM_SIMD_H

#include <vector>

namespace seam {

// Scalar: plain code, not vectorised (the path of processors without AVX2). Avx2, Avx512:
// vectorised for AVX2, and for AVX-512 (x86-64-v4: F, BW, CD, DQ and VL).
enum class SimdPath { Scalar, Avx2, Avx512 };

// The paths this processor runs, narrowest first; Scalar is always among them.
std::vector<SimdPath> SupportedSimdPaths();

// The path the loops take: the one last given to UseSimdPath, else the one the environment
// variable KERV_SIMD names ("scalar", "avx2" or "avx512") when the processor runs it, else the
// widest the processor runs (see ChooseSimdPath); the variable is read once.
SimdPath ActiveSimdPath();

// The path for a value of KERV_SIMD: the one it names when the processor runs it, else (and for
// null or empty) the widest the processor runs; an unknown or unsupported name is reported on
// stderr.
SimdPath ChooseSimdPath(const char* name);

// Makes every later loop take `path` (which must be supported; otherwise nothing changes and
// false is returned). Call it while no carve is running.
bool UseSimdPath(SimdPath path);

const char* SimdPathName(SimdPath path);
// Reads "scalar", "avx2" or "avx512"; false for anything else.
bool ParseSimdPath(const char* name, SimdPath& path);

}  // namespace seam

#endif
