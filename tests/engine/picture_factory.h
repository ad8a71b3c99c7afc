// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures for the engine tests: random ones of several kinds (noise, flat areas, stripes and
// few-valued blocks, which make many equal costs) and conversions to and from wxFastImage.
#ifndef KERV_TESTS_PICTURE_FACTORY_H
#define KERV_TESTS_PICTURE_FACTORY_H

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "fast_image.h"

namespace test_pictures {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::string kind;
};

Picture Random(std::mt19937& random, int width, int height);
wxFastImage ToFastImage(const Picture& picture);
Picture FromFastImage(const wxFastImage& image, const std::string& kind);

}  // namespace test_pictures

#endif
