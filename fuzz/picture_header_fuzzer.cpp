// SPDX-License-Identifier: GPL-3.0-or-later
// Every format's header check over arbitrary bytes: no check may read outside them, overflow
// or pass a size beyond the carving limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "picture_header.h"
#include "target_size.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryBytes bytes(data, size);
    for (PictureFormat format : kAllPictureFormats) {
        const HeaderVerdict verdict = CheckPictureHeader(format, bytes);
        if (verdict.Passed() &&
            (verdict.width < 1 || verdict.height < 1 || verdict.width > target::kMaxSide ||
             verdict.height > target::kMaxSide ||
             verdict.width * verdict.height > target::kMaxPixels))
            std::abort();
    }
    return 0;
}
