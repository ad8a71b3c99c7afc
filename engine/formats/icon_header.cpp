// SPDX-License-Identifier: GPL-3.0-or-later
// Icons and cursors (an ICONDIR of 16-byte entries, each a bitmap or a PNG inside the file)
// and animated cursors (a RIFF "ACON" form whose "fram" list holds one icon file per frame).
#include "header_checks.h"

#include <algorithm>
#include <vector>

namespace header {
namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool StartsWithPng(ByteSource& bytes, uint64_t offset)
{
    unsigned char head[8];
    if (!bytes.Read(offset, head, 8))
        return false;
    for (int i = 0; i < 8; ++i) {
        if (head[i] != kPngSignature[i])
            return false;
    }
    return true;
}

uint32_t FourCc(const char* text)
{
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
           uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}

// An animated cursor's parts as found while walking its chunks.
struct AniParts {
    bool header = false;
    uint64_t frames = 0;  // declared in "anih"
    uint64_t steps = 0;
    uint64_t icons = 0;  // found in the "fram" list
    bool sequence = false;
    uint64_t firstStep = 0;  // the frame the animation starts with
    std::vector<IconRange> frames_;
    HeaderVerdict largest;
};

HeaderVerdict CheckSequence(ByteSource& bytes, uint64_t at, uint64_t size, AniParts& parts)
{
    if (!parts.header || size != parts.steps * 4)
        return Fail(HeaderProblem::kBadFrames);
    bool ok = true;
    for (uint64_t i = 0; i < parts.steps; ++i) {
        if (bytes.U32le(at + i * 4, ok) >= parts.frames || !ok)
            return Fail(HeaderProblem::kBadFrames);
    }
    parts.firstStep = parts.steps ? bytes.U32le(at, ok) : 0;
    return {};
}

HeaderVerdict CheckFrameList(ByteSource& bytes, uint64_t at, uint64_t end, AniParts& parts)
{
    bool ok = true;
    while (at < end) {
        const uint32_t id = bytes.U32le(at, ok);
        const uint64_t size = bytes.U32le(at + 4, ok);
        if (!ok || size > end - at - 8)
            return Fail(HeaderProblem::kBadFrames);
        if (id == FourCc("icon")) {
            const HeaderVerdict icon = CheckIconFile(bytes, 1, at + 8, size);
            if (!icon.Passed())
                return icon;
            parts.largest = Larger(parts.largest, icon);
            ++parts.icons;
            parts.frames_.push_back({at + 8, size});
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

}  // namespace

HeaderVerdict CheckIconFile(ByteSource& bytes, int type, uint64_t offset, uint64_t length)
{
    if (length == UINT64_MAX)
        length = bytes.Size() - std::min(offset, bytes.Size());
    bool ok = true;
    if (bytes.U16le(offset, ok) != 0 || bytes.U16le(offset + 2, ok) != uint32_t(type) || !ok)
        return Fail(ok ? HeaderProblem::kMalformed : HeaderProblem::kTruncated);
    const uint64_t count = bytes.U16le(offset + 4, ok);
    if (!ok || count == 0 || 6 + count * 16 > length)
        return Fail(HeaderProblem::kBadFrames);
    HeaderVerdict largest;
    bool any = false;
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t entry = offset + 6 + i * 16;
        const uint64_t size = bytes.U32le(entry + 8, ok);
        const uint64_t at = bytes.U32le(entry + 12, ok);
        if (!ok || at > length || size > length - at || size == 0)
            return Fail(HeaderProblem::kBadFrames);
        const HeaderVerdict picture = StartsWithPng(bytes, offset + at)
                                          ? CheckPng(bytes, offset + at, size)
                                          : CheckIconDib(bytes, offset + at, size);
        if (!picture.Passed())
            return picture;
        largest = any ? Larger(largest, picture) : picture;
        any = true;
    }
    return largest;
}

HeaderVerdict CheckAni(ByteSource& bytes)
{
    IconRange first;
    return CheckAniFrames(bytes, first);
}

HeaderVerdict CheckAniFrames(ByteSource& bytes, IconRange& first)
{
    bool ok = true;
    if (bytes.U32le(0, ok) != FourCc("RIFF") || bytes.U32le(8, ok) != FourCc("ACON") || !ok)
        return Fail(ok ? HeaderProblem::kMalformed : HeaderProblem::kTruncated);
    const uint64_t end = std::min<uint64_t>(bytes.Size(), 8 + uint64_t{bytes.U32le(4, ok)});
    AniParts parts;
    uint64_t at = 12;
    while (at + 8 <= end) {
        const uint32_t id = bytes.U32le(at, ok);
        const uint64_t size = bytes.U32le(at + 4, ok);
        if (!ok || size > end - at - 8)
            return Fail(HeaderProblem::kBadFrames);
        const uint64_t body = at + 8;
        if (id == FourCc("anih")) {
            if (size < 36 || parts.header)
                return Fail(HeaderProblem::kMalformed);
            parts.header = true;
            parts.frames = bytes.U32le(body + 4, ok);
            parts.steps = bytes.U32le(body + 8, ok);
        } else if (id == FourCc("LIST") && size >= 4 && bytes.U32le(body, ok) == FourCc("fram")) {
            const HeaderVerdict list = CheckFrameList(bytes, body + 4, body + size, parts);
            if (!list.Passed())
                return list;
        } else if (id == FourCc("seq ")) {
            const HeaderVerdict sequence = CheckSequence(bytes, body, size, parts);
            if (!sequence.Passed())
                return sequence;
            parts.sequence = true;
        } else if (id == FourCc("rate") && (!parts.header || size != parts.steps * 4)) {
            return Fail(HeaderProblem::kBadFrames);
        }
        at = body + size + (size & 1);
    }
    // Without a sequence the steps play the frames in order, so there must be as many.
    if (!parts.header || parts.frames == 0 || parts.icons != parts.frames ||
        (!parts.sequence && parts.steps > parts.frames))
        return Fail(HeaderProblem::kBadFrames, parts.largest.width, parts.largest.height);
    first = parts.frames_[parts.firstStep];
    return parts.largest;
}

}  // namespace header

HeaderVerdict CheckAni(ByteSource& bytes, IconRange& first)
{
    return header::CheckAniFrames(bytes, first);
}
