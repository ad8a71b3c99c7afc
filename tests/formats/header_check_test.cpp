// SPDX-License-Identifier: GPL-3.0-or-later
// The header checks on valid files with one declaration made false: each is refused for its
// reason, before any decoder sees it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "picture_header.h"

namespace {

std::vector<unsigned char> Contents(const std::string& name)
{
    std::ifstream file(std::string(KERV_PICTURES_DIR "/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct Damage {
    const char* picture;
    PictureFormat format;
    size_t at;  // where `bytes` are written
    std::vector<unsigned char> bytes;
    size_t keep;  // bytes kept (0: all)
    HeaderProblem expected;
};

void PrintTo(const Damage& damage, std::ostream* out)
{
    *out << damage.picture << " changed at " << damage.at << ", cut to " << damage.keep;
}

class HeaderCheck : public testing::TestWithParam<Damage> {};

TEST_P(HeaderCheck, RefusesTheFileForItsReason)
{
    const Damage& damage = GetParam();
    std::vector<unsigned char> data = Contents(damage.picture);
    ASSERT_GT(data.size(), damage.at + damage.bytes.size());
    MemoryBytes intact(data.data(), data.size());
    ASSERT_TRUE(CheckPictureHeader(damage.format, intact).Passed());
    std::copy(damage.bytes.begin(), damage.bytes.end(), data.begin() + damage.at);
    MemoryBytes damaged(data.data(), damage.keep ? damage.keep : data.size());
    EXPECT_EQ(static_cast<int>(CheckPictureHeader(damage.format, damaged).problem),
              static_cast<int>(damage.expected));
}

using P = PictureFormat;
using H = HeaderProblem;
INSTANTIATE_TEST_SUITE_P(
    EveryFormat, HeaderCheck,
    testing::Values(
        Damage{"bmp-24.bmp", P::kBmp, 18, {0x40, 0x9C, 0, 0}, 0, H::kOverLimit},
        Damage{"bmp-24.bmp", P::kBmp, 22, {0, 0, 0, 0}, 0, H::kNoSize},
        Damage{"bmp-24.bmp", P::kBmp, 0, {}, 500, H::kTruncated},
        Damage{"bmp-4.bmp", P::kBmp, 46, {17, 0, 0, 0}, 0, H::kBadColourTable},
        Damage{"png-rgb.png", P::kPng, 16, {0, 0, 0x2E, 0xE0, 0, 0, 0x2E, 0xE0}, 0, H::kOverLimit},
        Damage{"png-rgb.png", P::kPng, 0, {}, 300, H::kTruncated},
        Damage{"jpeg-baseline.jpg", P::kJpeg, 163, {0, 0}, 0, H::kNoSize},
        Damage{"jpeg-baseline.jpg", P::kJpeg, 163, {0x7D, 0x01}, 0, H::kOverLimit},
        Damage{"jpeg-baseline.jpg", P::kJpeg, 163, {0x7D, 0x00}, 0, H::kTruncated},
        Damage{"tiff-none.tif", P::kTiff, 858, {0x01, 0x7D}, 0, H::kOverLimit},
        Damage{"tiff-none.tif", P::kTiff, 930, {0, 0, 1, 0}, 0, H::kBadFrames},
        Damage{"gif-palette.gif", P::kGif, 6, {0, 0}, 0, H::kNoSize},
        Damage{"gif-palette.gif", P::kGif, 0, {}, 400, H::kBadColourTable},
        Damage{"pnm-raw-rgb.ppm", P::kPnm, 3, {'9', '9'}, 0, H::kTruncated},
        Damage{"pcx-24.pcx", P::kPcx, 4, {100, 0}, 0, H::kNoSize},
        Damage{"ico-4.ico", P::kIco, 4, {50, 0}, 0, H::kBadFrames},
        Damage{"ico-4.ico", P::kIco, 18, {0, 0, 1, 0}, 0, H::kBadFrames},
        Damage{"ani-two-frames-sequence.ani", P::kAni, 84, {7, 0, 0, 0}, 0, H::kBadFrames},
        Damage{"ani-two-frames-sequence.ani", P::kAni, 24, {3, 0, 0, 0}, 0, H::kBadFrames},
        Damage{"tga-mapped.tga", P::kTga, 5, {0, 0}, 0, H::kBadColourTable},
        Damage{"tga-24.tga", P::kTga, 12, {0, 0}, 0, H::kNoSize},
        Damage{"tga-24-rle.tga", P::kTga, 0, {}, 25, H::kTruncated}));

}  // namespace
