// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF: the byte order, the first image file directory inside the file with entries whose
// values lie inside it, a size within the limits, and strips or tiles inside the file that can
// hold the declared pixels.
#include "header_checks.h"

#include <algorithm>

namespace header {
namespace {

// No TIFF codec the reader knows (LZW, deflate, PackBits, JPEG) turns one byte into more than
// this many bytes of samples; uncompressed data must cover the samples in full.
constexpr uint64_t kMostExpansion = 4096;
constexpr uint64_t kMostEntries = 4096;

enum Tag : uint32_t {
    kWidth = 256,
    kLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kStripOffsets = 273,
    kSamplesPerPixel = 277,
    kStripByteCounts = 279,
    kColourMap = 320,
    kTileWidth = 322,
    kTileLength = 323,
    kTileOffsets = 324,
    kTileByteCounts = 325,
};

uint64_t TypeBytes(uint32_t type)
{
    switch (type) {
        case 1:
        case 2:
        case 6:
        case 7:
            return 1;
        case 3:
        case 8:
            return 2;
        case 4:
        case 9:
        case 11:
        case 13:
            return 4;
        case 5:
        case 10:
        case 12:
            return 8;
        default:
            return 0;
    }
}

class Directory {
public:
    Directory(ByteSource& bytes, bool big) : bytes_(bytes), big_(big) {}

    uint32_t U16(uint64_t at, bool& ok)
    {
        return big_ ? bytes_.U16be(at, ok) : bytes_.U16le(at, ok);
    }
    uint32_t U32(uint64_t at, bool& ok)
    {
        return big_ ? bytes_.U32be(at, ok) : bytes_.U32le(at, ok);
    }

    // An entry's i-th value as an integer (BYTE, SHORT or LONG).
    uint64_t Value(uint64_t entry, uint64_t i, bool& ok)
    {
        const uint32_t type = U16(entry + 2, ok);
        const uint64_t at = Where(entry, ok) + i * TypeBytes(type);
        switch (type) {
            case 1:
                return bytes_.U8(at, ok);
            case 3:
                return U16(at, ok);
            case 4:
                return U32(at, ok);
            default:
                ok = false;
                return 0;
        }
    }
    // Where an entry's values are: in the entry itself when they fit 4 bytes.
    uint64_t Where(uint64_t entry, bool& ok)
    {
        const uint64_t bytes = TypeBytes(U16(entry + 2, ok)) * U32(entry + 4, ok);
        return bytes <= 4 ? entry + 8 : U32(entry + 8, ok);
    }
    bool ValuesInside(uint64_t entry, bool& ok)
    {
        const uint32_t type = U16(entry + 2, ok);
        const uint64_t count = U32(entry + 4, ok);
        if (!ok)
            return false;
        if (TypeBytes(type) == 0)
            return true;  // unknown types are skipped by readers
        return bytes_.Holds(Where(entry, ok), count * TypeBytes(type)) && ok;
    }

private:
    ByteSource& bytes_;
    bool big_;
};

struct Layout {
    uint64_t width = 0, height = 0, bits = 1, samples = 1, compression = 1;
    uint64_t tileWidth = 0, tileLength = 0;
    uint64_t offsets = 0, counts = 0;  // entries of the strip or tile tables
    uint64_t colourMap = 0;
};

HeaderVerdict CheckPieces(ByteSource& bytes, Directory& dir, const Layout& layout)
{
    bool ok = true;
    if (layout.offsets == 0 || layout.counts == 0)
        return Fail(HeaderProblem::kBadFrames, layout.width, layout.height);
    const uint64_t pieces = dir.U32(layout.offsets + 4, ok);
    if (!ok || pieces == 0 || dir.U32(layout.counts + 4, ok) != pieces)
        return Fail(HeaderProblem::kBadFrames, layout.width, layout.height);
    uint64_t stored = 0;
    for (uint64_t i = 0; i < pieces; ++i) {
        const uint64_t at = dir.Value(layout.offsets, i, ok);
        const uint64_t count = dir.Value(layout.counts, i, ok);
        if (!ok || !bytes.Holds(at, count))
            return Fail(HeaderProblem::kBadFrames, layout.width, layout.height);
        stored += count;
    }
    const uint64_t samples = (layout.width * layout.samples * layout.bits + 7) / 8 * layout.height;
    const uint64_t ratio = layout.compression == 1 ? 1 : kMostExpansion;
    if (stored * ratio < samples)
        return Fail(HeaderProblem::kTruncated, layout.width, layout.height);
    return SizeVerdict(layout.width, layout.height);
}

}  // namespace

HeaderVerdict CheckTiff(ByteSource& bytes)
{
    bool ok = true;
    const uint32_t order = bytes.U16le(0, ok);
    if (!ok || (order != 0x4949 && order != 0x4D4D))
        return Fail(HeaderProblem::kMalformed);
    Directory dir(bytes, order == 0x4D4D);
    if (dir.U16(2, ok) != 42 || !ok)
        return Fail(ok ? HeaderProblem::kMalformed : HeaderProblem::kTruncated);
    const uint64_t first = dir.U32(4, ok);
    const uint64_t entries = dir.U16(first, ok);
    if (!ok || entries == 0 || entries > kMostEntries || !bytes.Holds(first + 2, entries * 12))
        return Fail(HeaderProblem::kBadFrames);

    Layout layout;
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t entry = first + 2 + i * 12;
        const uint32_t tag = dir.U16(entry, ok);
        if (!dir.ValuesInside(entry, ok))
            return Fail(HeaderProblem::kBadFrames, layout.width, layout.height);
        switch (tag) {
            case kWidth:
                layout.width = dir.Value(entry, 0, ok);
                break;
            case kLength:
                layout.height = dir.Value(entry, 0, ok);
                break;
            case kBitsPerSample:
                layout.bits = dir.Value(entry, 0, ok);
                break;
            case kCompression:
                layout.compression = dir.Value(entry, 0, ok);
                break;
            case kSamplesPerPixel:
                layout.samples = dir.Value(entry, 0, ok);
                break;
            case kTileWidth:
                layout.tileWidth = dir.Value(entry, 0, ok);
                break;
            case kTileLength:
                layout.tileLength = dir.Value(entry, 0, ok);
                break;
            case kStripOffsets:
            case kTileOffsets:
                layout.offsets = entry;
                break;
            case kStripByteCounts:
            case kTileByteCounts:
                layout.counts = entry;
                break;
            case kColourMap:
                layout.colourMap = entry;
                break;
            default:
                break;
        }
        if (!ok)
            return Fail(HeaderProblem::kMalformed, layout.width, layout.height);
    }
    const HeaderVerdict size = SizeVerdict(layout.width, layout.height);
    if (!size.Passed())
        return size;
    if (layout.bits == 0 || layout.bits > 64 || layout.samples == 0 || layout.samples > 16)
        return Fail(HeaderProblem::kMalformed, layout.width, layout.height);
    if (layout.colourMap && dir.U32(layout.colourMap + 4, ok) !=
                                3 * (uint64_t{1} << std::min<uint64_t>(layout.bits, 16)))
        return Fail(HeaderProblem::kBadColourTable, layout.width, layout.height);
    return CheckPieces(bytes, dir, layout);
}

}  // namespace header
