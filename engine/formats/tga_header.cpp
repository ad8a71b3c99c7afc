// SPDX-License-Identifier: GPL-3.0-or-later
// TGA: the 18-byte header, a known image type with a fitting pixel depth, a colour map inside
// the file where the type needs one, and pixel data that can cover the declared size.
#include "header_checks.h"

namespace header {
namespace {

constexpr uint64_t kHeaderBytes = 18;
constexpr uint64_t kMostPacketPixels = 128;  // a run-length packet repeats at most 128 pixels

enum ImageType : uint32_t {
    kMapped = 1,
    kTrue = 2,
    kGrey = 3,
    kMappedRle = 9,
    kTrueRle = 10,
    kGreyRle = 11
};

bool DepthFits(uint32_t type, uint32_t depth)
{
    switch (type) {
        case kMapped:
        case kMappedRle:
            return depth == 8;
        case kTrue:
        case kTrueRle:
            return depth == 15 || depth == 16 || depth == 24 || depth == 32;
        case kGrey:
        case kGreyRle:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

}  // namespace

HeaderVerdict CheckTga(ByteSource& bytes)
{
    bool ok = true;
    const uint64_t idBytes = bytes.U8(0, ok);
    const uint32_t mapType = bytes.U8(1, ok);
    const uint32_t type = bytes.U8(2, ok);
    const uint64_t mapFirst = bytes.U16le(3, ok);
    const uint64_t mapLength = bytes.U16le(5, ok);
    const uint32_t mapDepth = bytes.U8(7, ok);
    const long long width = bytes.U16le(12, ok), height = bytes.U16le(14, ok);
    const uint32_t depth = bytes.U8(16, ok);
    if (!ok)
        return Fail(HeaderProblem::kTruncated);
    if (mapType > 1 || !DepthFits(type, depth))
        return Fail(HeaderProblem::kMalformed, width, height);
    const HeaderVerdict size = SizeVerdict(width, height);
    if (!size.Passed())
        return size;

    const bool mapped = type == kMapped || type == kMappedRle;
    uint64_t mapBytes = 0;
    if (mapType == 1) {
        if (mapDepth != 15 && mapDepth != 16 && mapDepth != 24 && mapDepth != 32)
            return Fail(HeaderProblem::kBadColourTable, width, height);
        mapBytes = mapLength * ((mapDepth + 7) / 8);
    }
    // 8-bit indices address entries mapFirst .. mapFirst + mapLength - 1 of at most 256.
    if (mapped && (mapType != 1 || mapLength == 0 || mapFirst + mapLength > 256))
        return Fail(HeaderProblem::kBadColourTable, width, height);
    const uint64_t pixelStart = kHeaderBytes + idBytes + mapBytes;
    if (pixelStart > bytes.Size())
        return Fail(mapped ? HeaderProblem::kBadColourTable : HeaderProblem::kTruncated, width,
                    height);

    const uint64_t pixels = static_cast<uint64_t>(width) * height;
    const uint64_t pixelBytes = (depth + 7) / 8;
    const bool runLength = type >= kMappedRle;
    const uint64_t needed =
        runLength ? (pixels + kMostPacketPixels - 1) / kMostPacketPixels * (1 + pixelBytes)
                  : pixels * pixelBytes;
    if (needed > bytes.Size() - pixelStart)
        return Fail(HeaderProblem::kTruncated, width, height);
    return size;
}

}  // namespace header
