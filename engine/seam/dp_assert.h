// SPDX-License-Identifier: GPL-3.0-or-later
// Debug-only checks of the engine's invariants. They never fire in correct operation; a failure
// names the engine ("dp"), the condition and the line, then aborts.
#ifndef KERV_SEAM_DP_ASSERT_H
#define KERV_SEAM_DP_ASSERT_H

namespace seam {
[[noreturn]] void DpAssertFailed(const char* condition, int line);
}

#ifdef NDEBUG
#define DP_ASSERT(condition) ((void)0)
#else
#define DP_ASSERT(condition) ((condition) ? (void)0 : ::seam::DpAssertFailed(#condition, __LINE__))
#endif

#endif
