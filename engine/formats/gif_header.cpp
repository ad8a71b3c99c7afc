// SPDX-License-Identifier: GPL-3.0-or-later
// GIF: the logical screen, colour tables that fit the file, and every block walked to the
// trailer: extensions and frames with their sub-blocks inside the file, each frame's size
// within the limits and backed by enough LZW data.
#include "header_checks.h"

namespace header {
namespace {

// An LZW code of at most 12 bits stands for at most 4096 pixels, so one byte of data holds at
// most 4096 / 1.5 pixels.
constexpr uint64_t kLzwMostPixelsPerByte = 2731;

// Walks sub-blocks from `at`; returns the offset after the terminator, or 0 when they run past
// the end. `data` receives the bytes they carry.
uint64_t SkipSubBlocks(ByteSource& bytes, uint64_t at, uint64_t& data)
{
    bool ok = true;
    data = 0;
    for (;;) {
        const uint32_t length = bytes.U8(at, ok);
        if (!ok)
            return 0;
        ++at;
        if (length == 0)
            return at;
        if (!bytes.Holds(at, length))
            return 0;
        at += length;
        data += length;
    }
}

uint64_t TableBytes(uint32_t flags)
{
    return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0;
}

HeaderVerdict CheckFrame(ByteSource& bytes, uint64_t& at, bool globalTable)
{
    bool ok = true;
    const uint32_t width = bytes.U16le(at + 5, ok);
    const uint32_t height = bytes.U16le(at + 7, ok);
    const uint32_t flags = bytes.U8(at + 9, ok);
    if (!ok)
        return Fail(HeaderProblem::kTruncated);
    const HeaderVerdict size = SizeVerdict(width, height);
    if (!size.Passed())
        return size;
    at += 10;
    const uint64_t table = TableBytes(flags);
    if (!bytes.Holds(at, table))
        return Fail(HeaderProblem::kBadColourTable, width, height);
    if (table == 0 && !globalTable)
        return Fail(HeaderProblem::kBadColourTable, width, height);
    at += table;
    const uint32_t codeSize = bytes.U8(at, ok);
    if (!ok)
        return Fail(HeaderProblem::kTruncated, width, height);
    if (codeSize < 1 || codeSize > 8)
        return Fail(HeaderProblem::kMalformed, width, height);
    uint64_t data = 0;
    at = SkipSubBlocks(bytes, at + 1, data);
    if (at == 0 || data * kLzwMostPixelsPerByte + 4096 < uint64_t{width} * height)
        return Fail(HeaderProblem::kTruncated, width, height);
    return size;
}

}  // namespace

HeaderVerdict CheckGif(ByteSource& bytes)
{
    unsigned char magic[6];
    if (!bytes.Read(0, magic, 6) || magic[0] != 'G' || magic[1] != 'I' || magic[2] != 'F' ||
        magic[3] != '8' || (magic[4] != '7' && magic[4] != '9') || magic[5] != 'a')
        return Fail(HeaderProblem::kMalformed);
    bool ok = true;
    const uint32_t width = bytes.U16le(6, ok);
    const uint32_t height = bytes.U16le(8, ok);
    const uint32_t flags = bytes.U8(10, ok);
    if (!ok)
        return Fail(HeaderProblem::kTruncated);
    const HeaderVerdict screen = SizeVerdict(width, height);
    if (!screen.Passed())
        return screen;
    uint64_t at = 13;
    if (!bytes.Holds(at, TableBytes(flags)))
        return Fail(HeaderProblem::kBadColourTable, width, height);
    at += TableBytes(flags);

    HeaderVerdict largest = screen;
    bool frames = false;
    for (;;) {
        const uint32_t block = bytes.U8(at, ok);
        if (!ok)
            break;  // a missing trailer is tolerated once a frame was read
        if (block == 0x3B)
            break;
        if (block == 0x21) {
            uint64_t data = 0;
            at = SkipSubBlocks(bytes, at + 2, data);
            if (at == 0)
                return Fail(HeaderProblem::kTruncated, width, height);
        } else if (block == 0x2C) {
            const HeaderVerdict frame = CheckFrame(bytes, at, flags & 0x80);
            if (!frame.Passed())
                return frame;
            largest = Larger(largest, frame);
            frames = true;
        } else {
            return Fail(frames ? HeaderProblem::kBadFrames : HeaderProblem::kMalformed, width,
                        height);
        }
    }
    if (!frames)
        return Fail(HeaderProblem::kBadFrames, width, height);
    return largest;
}

}  // namespace header
