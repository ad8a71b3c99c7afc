// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a picture, through the engine's reader list (header check, then decode),
// and every pixel of the result read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fast_image.h"
#include "picture_reading.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetUpPictureReading();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (DeclaresLargePicture(data, size))
        return 0;
    wxFastImage picture;
    if (!picture.LoadBytes(data, size))
        return 0;
    const wxFastImage grey = picture.ConvertToGreyscale(0.299, 0.587, 0.114);
    if (!grey.IsOk() || grey.GetWidth() != picture.GetWidth())
        std::abort();
    return 0;
}
