// SPDX-License-Identifier: GPL-3.0-or-later
// PCX: the 128-byte header, its window giving the size, planes and bits that make a known
// picture kind, scan lines long enough for the width, and the trailing 256-colour table of
// 8-bit pictures.
#include "header_checks.h"

namespace header {
namespace {

constexpr uint64_t kHeaderBytes = 128;
constexpr uint64_t kTrailingTableBytes = 769;  // 0x0C then 256 RGB entries
// A run-length pair (count byte up to 63, value) stands for at most 63 bytes of scan lines.
constexpr uint64_t kRunMostBytes = 63;

}  // namespace

HeaderVerdict CheckPcx(ByteSource& bytes)
{
    bool ok = true;
    const uint32_t version = bytes.U8(1, ok);
    const uint32_t encoding = bytes.U8(2, ok);
    const uint32_t bits = bytes.U8(3, ok);
    const long long xMin = bytes.U16le(4, ok), yMin = bytes.U16le(6, ok);
    const long long xMax = bytes.U16le(8, ok), yMax = bytes.U16le(10, ok);
    const uint32_t planes = bytes.U8(65, ok);
    const uint64_t lineBytes = bytes.U16le(66, ok);
    if (!ok || bytes.U8(0, ok) != 0x0A || !ok)
        return Fail(ok ? HeaderProblem::kMalformed : HeaderProblem::kTruncated);
    const long long width = xMax - xMin + 1, height = yMax - yMin + 1;
    if (version > 5 || encoding != 1)
        return Fail(HeaderProblem::kMalformed, width, height);
    const HeaderVerdict size = SizeVerdict(width, height);
    if (!size.Passed())
        return size;
    const bool paletted = bits == 8 && planes == 1;
    const bool rgb = bits == 8 && planes == 3;
    if (!paletted && !rgb)
        return Fail(HeaderProblem::kMalformed, width, height);
    if (lineBytes < static_cast<uint64_t>(width))
        return Fail(HeaderProblem::kMalformed, width, height);
    const uint64_t table = paletted ? kTrailingTableBytes : 0;
    if (bytes.Size() < kHeaderBytes + table)
        return Fail(paletted ? HeaderProblem::kBadColourTable : HeaderProblem::kTruncated, width,
                    height);
    if (paletted && bytes.U8(bytes.Size() - kTrailingTableBytes, ok) != 0x0C)
        return Fail(HeaderProblem::kBadColourTable, width, height);
    const uint64_t encoded = bytes.Size() - kHeaderBytes - table;
    if (encoded * kRunMostBytes < lineBytes * planes * height)
        return Fail(HeaderProblem::kTruncated, width, height);
    return size;
}

}  // namespace header
