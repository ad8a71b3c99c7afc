// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoded_picture.h"

#include "target_size.h"

bool DecodedPicture::Allocate(int w, int h, bool withAlpha)
{
    // The header checks keep sizes within the limits; a decoder reading a size of its own
    // may never allocate beyond them either.
    if (w < 1 || h < 1 || w > target::kMaxSide || h > target::kMaxSide ||
        static_cast<long long>(w) * h > target::kMaxPixels)
        return false;
    const size_t pixels = static_cast<size_t>(w) * h;
    rgb.reset(static_cast<unsigned char*>(std::calloc(pixels * 3, 1)));
    alpha.reset(withAlpha ? static_cast<unsigned char*>(std::calloc(pixels, 1)) : nullptr);
    if (!rgb || (withAlpha && !alpha))
        return false;
    width = w;
    height = h;
    return true;
}
