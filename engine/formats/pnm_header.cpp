// SPDX-License-Identifier: GPL-3.0-or-later
// PNM (PBM, PGM, PPM, plain and raw): "P1" to "P6", blank- and comment-separated decimal
// width, height and (but for bitmaps) maximum value, then the samples, which must all fit.
#include "header_checks.h"

namespace header {
namespace {

bool IsBlank(uint32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the next decimal number after blanks and comments; false when there is none or it
// exceeds `most`.
bool ReadNumber(ByteSource& bytes, uint64_t& at, uint64_t most, uint64_t& value)
{
    bool ok = true;
    uint32_t c = bytes.U8(at, ok);
    while (ok && (IsBlank(c) || c == '#')) {
        if (c == '#') {
            while (ok && c != '\n' && c != '\r')
                c = bytes.U8(++at, ok);
        }
        c = bytes.U8(++at, ok);
    }
    if (!ok || c < '0' || c > '9')
        return false;
    value = 0;
    while (ok && c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        if (value > most)
            return false;
        c = bytes.U8(++at, ok);
    }
    return true;
}

}  // namespace

HeaderVerdict CheckPnm(ByteSource& bytes)
{
    bool ok = true;
    const uint32_t kind = bytes.U8(1, ok);
    if (bytes.U8(0, ok) != 'P' || !ok || kind < '1' || kind > '6')
        return Fail(HeaderProblem::kMalformed);
    uint64_t at = 2, width = 0, height = 0, maximum = 1;
    const bool bitmap = kind == '1' || kind == '4';
    // Sizes beyond the limits need not be read to the last digit.
    constexpr uint64_t kBeyond = uint64_t{1} << 40;
    if (!ReadNumber(bytes, at, kBeyond, width) || !ReadNumber(bytes, at, kBeyond, height))
        return Fail(at >= bytes.Size() ? HeaderProblem::kTruncated : HeaderProblem::kOverLimit,
                    width, height);
    const HeaderVerdict size = SizeVerdict(width, height);
    if (!size.Passed())
        return size;
    if (!bitmap && (!ReadNumber(bytes, at, 65535, maximum) || maximum == 0))
        return Fail(HeaderProblem::kMalformed, width, height);
    // One character (a blank) separates the header from raw samples.
    ++at;
    const uint64_t channels = kind == '3' || kind == '6' ? 3 : 1;
    const uint64_t sampleBytes = maximum > 255 ? 2 : 1;
    uint64_t needed;
    switch (kind) {
        case '4':
            needed = (width + 7) / 8 * height;
            break;
        case '5':
        case '6':
            needed = width * height * channels * sampleBytes;
            break;
        case '1':
            needed = width * height;
            break;  // plain bits need no blanks between them
        default:
            needed = width * height * channels * 2 - 1;
            break;
    }
    if (at > bytes.Size() || needed > bytes.Size() - at)
        return Fail(HeaderProblem::kTruncated, width, height);
    return size;
}

}  // namespace header
