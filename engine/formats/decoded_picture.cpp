#include "decoded_picture.h"

bool DecodedPicture::Allocate(int w, int h, bool withAlpha)
{
    const size_t pixels = static_cast<size_t>(w) * h;
    rgb.reset(static_cast<unsigned char*>(std::calloc(pixels * 3, 1)));
    alpha.reset(withAlpha ? static_cast<unsigned char*>(std::calloc(pixels, 1)) : nullptr);
    if (!rgb || (withAlpha && !alpha))
        return false;
    width = w;
    height = h;
    return true;
}
