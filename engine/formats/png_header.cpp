// SPDX-License-Identifier: GPL-3.0-or-later
// PNG: the signature, IHDR first, then chunks each inside the file, a colour table that fits
// the colour type and bit depth, and enough IDAT data for the declared pixels.
#include "header_checks.h"

#include <algorithm>

namespace header {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Deflate produces at most 258 bytes from two bits of a stored length-distance pair, about
// 1032 bytes from one byte of input; no valid stream decompresses further.
constexpr uint64_t kDeflateMostRatio = 1032;

uint32_t Tag(const char* text)
{
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

int Channels(uint32_t colourType)
{
    switch (colourType) {
        case 0:
            return 1;
        case 2:
            return 3;
        case 3:
            return 1;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 0;
    }
}

bool ValidDepth(uint32_t colourType, uint32_t depth)
{
    switch (colourType) {
        case 0:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

}  // namespace

HeaderVerdict CheckPng(ByteSource& bytes, uint64_t offset, uint64_t length)
{
    length = std::min(length, bytes.Size() - std::min(offset, bytes.Size()));
    const uint64_t end = offset + length;
    unsigned char signature[8];
    if (!bytes.Read(offset, signature, 8) || !std::equal(signature, signature + 8, kSignature))
        return Fail(HeaderProblem::kMalformed);
    bool ok = true;
    if (bytes.U32be(offset + 8, ok) != 13 || bytes.U32be(offset + 12, ok) != Tag("IHDR") || !ok)
        return Fail(ok ? HeaderProblem::kMalformed : HeaderProblem::kTruncated);
    const uint32_t width = bytes.U32be(offset + 16, ok);
    const uint32_t height = bytes.U32be(offset + 20, ok);
    const uint32_t depth = bytes.U8(offset + 24, ok);
    const uint32_t colourType = bytes.U8(offset + 25, ok);
    const uint32_t interlace = bytes.U8(offset + 28, ok);
    if (!ok || offset + 33 > end)
        return Fail(HeaderProblem::kTruncated);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return Fail(HeaderProblem::kOverLimit, width, height);
    const HeaderVerdict size = SizeVerdict(width, height);
    if (!size.Passed())
        return size;
    if (!ValidDepth(colourType, depth) || interlace > 1 || bytes.U8(offset + 26, ok) != 0 ||
        bytes.U8(offset + 27, ok) != 0)
        return Fail(HeaderProblem::kMalformed, width, height);

    uint64_t at = offset + 33, compressed = 0, paletteEntries = 0;
    bool palette = false, image = false;
    while (at < end) {
        const uint64_t chunk = bytes.U32be(at, ok);
        const uint32_t tag = bytes.U32be(at + 4, ok);
        if (!ok || chunk > 0x7FFFFFFF || chunk + 12 > end - at)
            return Fail(HeaderProblem::kTruncated, width, height);
        if (tag == Tag("IEND"))
            break;
        if (tag == Tag("IHDR"))
            return Fail(HeaderProblem::kMalformed, width, height);
        if (tag == Tag("PLTE")) {
            paletteEntries = chunk / 3;
            if (palette || image || chunk % 3 != 0 || paletteEntries == 0 || paletteEntries > 256 ||
                (colourType == 3 && paletteEntries > (uint64_t{1} << depth)))
                return Fail(HeaderProblem::kBadColourTable, width, height);
            palette = true;
        }
        if (tag == Tag("IDAT")) {
            image = true;
            compressed += chunk;
        }
        at += chunk + 12;
    }
    if (colourType == 3 && !palette)
        return Fail(HeaderProblem::kBadColourTable, width, height);
    // Interlacing adds at most one filter byte per row of each of its seven passes.
    const uint64_t rowBytes = (uint64_t{width} * Channels(colourType) * depth + 7) / 8;
    const uint64_t raw = uint64_t{height} * (rowBytes + (interlace ? 7 : 1));
    if (!image || compressed * kDeflateMostRatio < raw)
        return Fail(HeaderProblem::kTruncated, width, height);
    return size;
}

}  // namespace header
