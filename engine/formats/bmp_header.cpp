// SPDX-License-Identifier: GPL-3.0-or-later
// BMP files and the bitmaps inside icons: BITMAPFILEHEADER, then a BITMAPCOREHEADER (12 bytes)
// or a BITMAPINFOHEADER of 40 bytes or one of its extensions, a colour table, the pixels.
#include "header_checks.h"

#include <cstdlib>

namespace header {
namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

struct Dib {
    uint32_t headerSize = 0;
    long long width = 0;
    long long height = 0;  // negative: rows top to bottom
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t coloursUsed = 0;
};

bool ReadDib(ByteSource& bytes, uint64_t at, Dib& dib)
{
    bool ok = true;
    dib.headerSize = bytes.U32le(at, ok);
    if (!ok)
        return false;
    if (dib.headerSize == 12) {
        dib.width = bytes.U16le(at + 4, ok);
        dib.height = bytes.U16le(at + 6, ok);
        dib.planes = bytes.U16le(at + 8, ok);
        dib.bitCount = bytes.U16le(at + 10, ok);
        return ok;
    }
    dib.width = static_cast<int32_t>(bytes.U32le(at + 4, ok));
    dib.height = static_cast<int32_t>(bytes.U32le(at + 8, ok));
    dib.planes = bytes.U16le(at + 12, ok);
    dib.bitCount = bytes.U16le(at + 14, ok);
    dib.compression = bytes.U32le(at + 16, ok);
    dib.coloursUsed = bytes.U32le(at + 32, ok);
    return ok;
}

bool KnownHeaderSize(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 ||
           size == 124;
}

bool KnownEncoding(const Dib& dib)
{
    switch (dib.compression) {
        case kRgb:
            return dib.bitCount == 1 || dib.bitCount == 4 || dib.bitCount == 8 ||
                   dib.bitCount == 16 || dib.bitCount == 24 || dib.bitCount == 32;
        case kRle8:
            return dib.bitCount == 8;
        case kRle4:
            return dib.bitCount == 4;
        case kBitfields:
            return dib.bitCount == 16 || dib.bitCount == 32;
        default:
            return false;
    }
}

uint64_t RowBytes(long long width, uint32_t bitCount)
{
    return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

// The checks common to both kinds: header, encoding, colour table inside [tableStart,
// tableLimit), pixels from pixelStart on inside the end. `rows` is the colour picture's height.
HeaderVerdict CheckDib(ByteSource& bytes, const Dib& dib, long long rows, uint64_t tableStart,
                       uint64_t tableLimit, uint64_t pixelStart, uint64_t end)
{
    if (!KnownHeaderSize(dib.headerSize) || dib.planes != 1 || !KnownEncoding(dib))
        return Fail(HeaderProblem::kMalformed, dib.width, rows);
    if (dib.height < 0 && dib.compression != kRgb && dib.compression != kBitfields)
        return Fail(HeaderProblem::kMalformed, dib.width, rows);
    const HeaderVerdict size = SizeVerdict(dib.width, std::llabs(rows));
    if (!size.Passed())
        return size;

    const uint64_t entryBytes = dib.headerSize == 12 ? 3 : 4;
    uint64_t entries = dib.coloursUsed;
    if (dib.bitCount <= 8) {
        const uint64_t most = uint64_t{1} << dib.bitCount;
        if (entries == 0)
            entries = most;
        if (entries > most)
            return Fail(HeaderProblem::kBadColourTable, dib.width, rows);
    }
    if (entries > 65536 || tableStart > tableLimit ||
        entries * entryBytes > tableLimit - tableStart ||
        !bytes.Holds(tableStart, entries * entryBytes))
        return Fail(HeaderProblem::kBadColourTable, dib.width, rows);

    if (pixelStart > end || end > bytes.Size())
        return Fail(HeaderProblem::kTruncated, dib.width, rows);
    if (dib.compression == kRle8 || dib.compression == kRle4) {
        // Run-length data holds at least its end-of-bitmap code.
        if (end - pixelStart < 2)
            return Fail(HeaderProblem::kTruncated, dib.width, rows);
        return size;
    }
    const uint64_t pixelBytes = RowBytes(dib.width, dib.bitCount) * std::llabs(rows);
    if (pixelBytes > end - pixelStart)
        return Fail(HeaderProblem::kTruncated, dib.width, rows);
    return size;
}

uint64_t MasksBytes(const Dib& dib)
{
    return dib.compression == kBitfields && dib.headerSize == 40 ? 12 : 0;
}

}  // namespace

HeaderVerdict CheckBmp(ByteSource& bytes)
{
    bool ok = true;
    if (bytes.U16le(0, ok) != 0x4D42 || !ok)
        return Fail(HeaderProblem::kMalformed);
    const uint64_t pixelStart = bytes.U32le(10, ok);
    Dib dib;
    if (!ok || !ReadDib(bytes, 14, dib))
        return Fail(HeaderProblem::kTruncated);
    const uint64_t tableStart = 14 + uint64_t{dib.headerSize} + MasksBytes(dib);
    // The colour table sits between the header and the pixels.
    return CheckDib(bytes, dib, dib.height, tableStart, pixelStart, pixelStart, bytes.Size());
}

HeaderVerdict CheckIconDib(ByteSource& bytes, uint64_t offset, uint64_t length)
{
    Dib dib;
    if (!bytes.Holds(offset, length) || !ReadDib(bytes, offset, dib) || dib.headerSize > length)
        return Fail(HeaderProblem::kTruncated);
    // The height covers the colour rows and as many rows of the 1-bit transparency mask.
    if (dib.height <= 0 || dib.height % 2 != 0 || dib.compression != kRgb)
        return Fail(HeaderProblem::kMalformed, dib.width, dib.height);
    const long long rows = dib.height / 2;
    const uint64_t end = offset + length;
    const uint64_t tableStart = offset + dib.headerSize;
    uint64_t entries = dib.bitCount <= 8 ? (dib.coloursUsed ? dib.coloursUsed : 1u << dib.bitCount)
                                         : dib.coloursUsed;
    if (entries > 65536)
        return Fail(HeaderProblem::kBadColourTable, dib.width, rows);
    const uint64_t pixelStart = tableStart + entries * 4;
    HeaderVerdict verdict = CheckDib(bytes, dib, rows, tableStart, end, pixelStart, end);
    if (!verdict.Passed())
        return verdict;
    const uint64_t colourBytes = RowBytes(dib.width, dib.bitCount) * rows;
    if (RowBytes(dib.width, 1) * rows > end - pixelStart - colourBytes)
        return Fail(HeaderProblem::kTruncated, dib.width, rows);
    return verdict;
}

}  // namespace header
