// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG: markers from SOI to the first scan, each segment inside the file, one frame header
// with its size and components, and entropy-coded data for at least one bit per 8x8 block.
#include "header_checks.h"

#include <algorithm>

namespace header {
namespace {

bool IsFrameMarker(uint32_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length.
bool IsStandalone(uint32_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

struct Frame {
    bool seen = false;
    uint32_t width = 0, height = 0;
    uint64_t blocks = 0;  // 8x8 blocks of the least-sampled component
};

HeaderVerdict ReadFrame(ByteSource& bytes, uint64_t at, uint64_t length, Frame& frame)
{
    bool ok = true;
    frame.height = bytes.U16be(at + 1, ok);
    frame.width = bytes.U16be(at + 3, ok);
    const uint32_t components = bytes.U8(at + 5, ok);
    if (!ok || components == 0 || components > 4 || length != 8 + 3 * components)
        return Fail(HeaderProblem::kMalformed, frame.width, frame.height);
    uint32_t mostH = 1, mostV = 1;
    for (uint32_t i = 0; i < components; ++i) {
        const uint32_t sampling = bytes.U8(at + 7 + 3 * i, ok);
        const uint32_t h = sampling >> 4, v = sampling & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4)
            return Fail(HeaderProblem::kMalformed, frame.width, frame.height);
        mostH = std::max(mostH, h);
        mostV = std::max(mostV, v);
    }
    frame.seen = true;
    frame.blocks = (uint64_t{frame.width} + 8 * mostH - 1) / (8 * mostH) *
                   ((uint64_t{frame.height} + 8 * mostV - 1) / (8 * mostV));
    return SizeVerdict(frame.width, frame.height);
}

}  // namespace

HeaderVerdict CheckJpeg(ByteSource& bytes)
{
    bool ok = true;
    if (bytes.U16be(0, ok) != 0xFFD8 || !ok)
        return Fail(HeaderProblem::kMalformed);
    Frame frame;
    HeaderVerdict verdict;
    uint64_t at = 2;
    for (;;) {
        if (bytes.U8(at, ok) != 0xFF || !ok)
            return Fail(ok ? HeaderProblem::kMalformed : HeaderProblem::kTruncated, frame.width,
                        frame.height);
        uint32_t marker = bytes.U8(at + 1, ok);
        while (ok && marker == 0xFF)  // fill bytes
            marker = bytes.U8(++at + 1, ok);
        if (!ok)
            return Fail(HeaderProblem::kTruncated, frame.width, frame.height);
        at += 2;
        if (IsStandalone(marker))
            continue;
        if (marker == 0xD8 || marker == 0xD9)
            return Fail(HeaderProblem::kMalformed, frame.width, frame.height);
        const uint64_t length = bytes.U16be(at, ok);
        if (!ok || length < 2 || !bytes.Holds(at, length))
            return Fail(HeaderProblem::kTruncated, frame.width, frame.height);
        if (IsFrameMarker(marker)) {
            if (frame.seen)
                return Fail(HeaderProblem::kMalformed, frame.width, frame.height);
            verdict = ReadFrame(bytes, at + 2, length, frame);
            if (!verdict.Passed())
                return verdict;
        }
        if (marker == 0xDA)
            break;
        at += length;
    }
    if (!frame.seen)
        return Fail(HeaderProblem::kMalformed);
    // Every scan codes each of its blocks with at least one bit.
    if ((bytes.Size() - at) * 8 < frame.blocks)
        return Fail(HeaderProblem::kTruncated, frame.width, frame.height);
    return verdict;
}

}  // namespace header
