// SPDX-License-Identifier: GPL-3.0-or-later
#include "upright_picture.h"

#include <cstdlib>

#include "fast_image.h"
#include "orientation.h"

std::shared_ptr<const PictureMetadata> TakeUpright(const wxString& path, wxFastImage& picture)
{
    auto metadata =
        std::make_shared<PictureMetadata>(ReadPictureMetadata(std::string(path.fn_str())));
    const int orientation = metadata->orientation;
    // A picture with alpha is refused by every caller; turning it would drop the alpha that
    // tells them so.
    if (orientation == 1 || !picture.IsOk() || picture.GetAlpha())
        return metadata;
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    auto* upright =
        static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width) * height * 3));
    if (!upright)
        return nullptr;
    TurnUpright(picture.GetData(), width, height, orientation, upright);
    if (SwapsSides(orientation))
        picture.SetData(upright, height, width);
    else
        picture.SetData(upright, width, height);
    return metadata;
}
