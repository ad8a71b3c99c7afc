// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_header.h"

#include <algorithm>
#include <cstring>

#include "header_checks.h"
#include "target_size.h"

namespace header {

HeaderVerdict Fail(HeaderProblem problem, long long width, long long height)
{
    return {problem, width, height};
}

HeaderVerdict SizeVerdict(long long width, long long height)
{
    if (width <= 0 || height <= 0)
        return Fail(HeaderProblem::kNoSize, width, height);
    if (width > target::kMaxSide || height > target::kMaxSide ||
        width * height > target::kMaxPixels)
        return Fail(HeaderProblem::kOverLimit, width, height);
    return {HeaderProblem::kNone, width, height};
}

HeaderVerdict Larger(const HeaderVerdict& a, const HeaderVerdict& b)
{
    if (!a.Passed())
        return a;
    if (!b.Passed())
        return b;
    return a.width * a.height >= b.width * b.height ? a : b;
}

}  // namespace header

HeaderVerdict CheckPictureHeader(PictureFormat format, ByteSource& bytes)
{
    using namespace header;
    switch (format) {
        case PictureFormat::kBmp:
            return CheckBmp(bytes);
        case PictureFormat::kPng:
            return CheckPng(bytes);
        case PictureFormat::kJpeg:
            return CheckJpeg(bytes);
        case PictureFormat::kTiff:
            return CheckTiff(bytes);
        case PictureFormat::kGif:
            return CheckGif(bytes);
        case PictureFormat::kPnm:
            return CheckPnm(bytes);
        case PictureFormat::kPcx:
            return CheckPcx(bytes);
        case PictureFormat::kIco:
            return CheckIconFile(bytes, 1);
        case PictureFormat::kCur:
            return CheckIconFile(bytes, 2);
        case PictureFormat::kAni:
            return CheckAni(bytes);
        case PictureFormat::kTga:
            return CheckTga(bytes);
    }
    return Fail(HeaderProblem::kMalformed);
}

bool RecognisePicture(PictureFormat format, ByteSource& bytes)
{
    unsigned char b[18] = {};
    const size_t count = static_cast<size_t>(std::min<uint64_t>(sizeof b, bytes.Size()));
    if (!bytes.Read(0, b, count))
        return false;
    auto starts = [&](const char* magic, size_t length, size_t at = 0) {
        return count >= at + length && std::memcmp(b + at, magic, length) == 0;
    };
    switch (format) {
        case PictureFormat::kBmp:
            return starts("BM", 2);
        case PictureFormat::kPng:
            return starts("\x89PNG\r\n\x1a\n", 8);
        case PictureFormat::kJpeg:
            return starts("\xFF\xD8", 2);
        case PictureFormat::kTiff:
            return starts("II*\0", 4) || starts("MM\0*", 4);
        case PictureFormat::kGif:
            return starts("GIF8", 4);
        case PictureFormat::kPnm:
            return count >= 2 && b[0] == 'P' && b[1] >= '1' && b[1] <= '6';
        case PictureFormat::kPcx:
            return count >= 3 && b[0] == 0x0A && b[1] <= 5 && b[2] == 1;
        // An icon directory holds at least one entry; a TGA header can start like an empty one.
        case PictureFormat::kIco:
            return starts("\0\0\1\0", 4) && count >= 6 && (b[4] || b[5]);
        case PictureFormat::kCur:
            return starts("\0\0\2\0", 4) && count >= 6 && (b[4] || b[5]);
        case PictureFormat::kAni:
            return starts("RIFF", 4) && starts("ACON", 4, 8);
        case PictureFormat::kTga:
            return count == 18 && b[1] <= 1 &&
                   (b[2] == 1 || b[2] == 2 || b[2] == 3 || b[2] == 9 || b[2] == 10 || b[2] == 11) &&
                   (b[16] == 8 || b[16] == 15 || b[16] == 16 || b[16] == 24 || b[16] == 32);
    }
    return false;
}
