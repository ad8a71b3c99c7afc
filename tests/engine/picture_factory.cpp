// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_factory.h"

#include <cstdlib>
#include <cstring>

namespace test_pictures {

Picture Random(std::mt19937& random, int width, int height)
{
    static const char* const kKinds[] = {
        "noise", "flat", "vertical stripes", "horizontal stripes", "blocks", "two levels"};
    Picture picture{width, height,
                    std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 3),
                    kKinds[random() % 6]};
    const std::uint8_t flat[3] = {static_cast<std::uint8_t>(random()),
                                  static_cast<std::uint8_t>(random()),
                                  static_cast<std::uint8_t>(random())};
    const int period = 1 + static_cast<int>(random() % 5);
    const int block = 2 + static_cast<int>(random() % 7);
    std::vector<std::uint8_t> palette(16 * 3);
    for (auto& value : palette)
        value = static_cast<std::uint8_t>(random());

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                if (picture.kind == "noise")
                    p[c] = static_cast<std::uint8_t>(random());
                else if (picture.kind == "flat")
                    p[c] = flat[c];
                else if (picture.kind == "vertical stripes")
                    p[c] = (x / period) % 2 ? 255 : flat[c];
                else if (picture.kind == "horizontal stripes")
                    p[c] = (y / period) % 2 ? 0 : flat[c];
                else if (picture.kind == "blocks")
                    p[c] = palette[((x / block * 7 + y / block * 3) % 16) * 3 + c];
                else
                    p[c] = random() % 2 ? 200 : 40;
            }
        }
    }
    return picture;
}

wxFastImage ToFastImage(const Picture& picture)
{
    auto* buffer = static_cast<unsigned char*>(std::malloc(picture.rgb.size()));
    std::memcpy(buffer, picture.rgb.data(), picture.rgb.size());
    wxFastImage image;
    image.SetData(buffer, picture.width, picture.height, false);
    return image;
}

Picture FromFastImage(const wxFastImage& image, const std::string& kind)
{
    const size_t bytes = static_cast<size_t>(image.GetWidth()) * image.GetHeight() * 3;
    return {image.GetWidth(), image.GetHeight(),
            std::vector<std::uint8_t>(image.GetData(), image.GetData() + bytes), kind};
}

}  // namespace test_pictures
