// SPDX-License-Identifier: GPL-3.0-or-later
// GIF: the first frame alone, in its own size, as the toolkit's reader gives it: indices through
// the frame's local colour table or else the global one (indices past its end are black),
// interlaced rows put in place. A transparent index of the graphic control extension before the
// frame makes that entry the mask colour magenta (255, 0, 255); other entries of that colour
// become (255, 0, 254) so that they stay visible. LZW data that ends early, or holds a code not
// yet defined, leaves the remaining pixels at index 0. Only one frame's indices are held, however
// many frames the file has.
#include <algorithm>
#include <vector>

#include "decoded_picture.h"

namespace {

constexpr int kMaxCodes = 4096;

uint64_t TableBytes(uint32_t flags)
{
    return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0;
}

// The bytes of a run of sub-blocks, read one block at a time.
class SubBlocks {
public:
    SubBlocks(ByteSource& bytes, uint64_t at) : bytes_(bytes), at_(at) {}
    bool Next(unsigned& value)
    {
        if (next_ == length_) {
            bool ok = true;
            length_ = bytes_.U8(at_, ok);
            if (!ok || length_ == 0 || !bytes_.Read(at_ + 1, block_, length_))
                return false;
            at_ += 1 + length_;
            next_ = 0;
        }
        value = block_[next_++];
        return true;
    }

private:
    ByteSource& bytes_;
    uint64_t at_;
    unsigned char block_[255];
    unsigned length_ = 0, next_ = 0;
};

// Variable-width LZW codes, least significant bit first.
class CodeReader {
public:
    explicit CodeReader(SubBlocks& blocks) : blocks_(blocks) {}
    bool Next(int width, int& code)
    {
        while (bitCount_ < width) {
            unsigned byte;
            if (!blocks_.Next(byte))
                return false;
            bits_ |= static_cast<uint32_t>(byte) << bitCount_;
            bitCount_ += 8;
        }
        code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return true;
    }

private:
    SubBlocks& blocks_;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
};

// Decodes up to indices.size() pixels of LZW data into `indices`.
void DecodeLzw(SubBlocks& blocks, int minimumSize, std::vector<unsigned char>& indices)
{
    const int clear = 1 << minimumSize, end = clear + 1;
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<unsigned char> suffix(kMaxCodes), first(kMaxCodes), stack(kMaxCodes + 1);
    for (int i = 0; i < clear; ++i)
        suffix[i] = first[i] = static_cast<unsigned char>(i);
    CodeReader reader(blocks);
    int width = minimumSize + 1, next = clear + 2, previous = -1, code;
    size_t out = 0;
    while (out < indices.size() && reader.Next(width, code)) {
        if (code == clear) {
            width = minimumSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return;
        if (previous < 0) {
            if (code >= clear)
                return;
            indices[out++] = static_cast<unsigned char>(code);
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes))
            return;
        int length = 0;
        int walk = code;
        if (code == next) {
            stack[length++] = first[previous];
            walk = previous;
        }
        while (walk >= clear) {
            stack[length++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[length++] = static_cast<unsigned char>(walk);
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = stack[length - 1];
            first[next] = first[previous];
            ++next;
            if (next == 1 << width && width < 12)
                ++width;
        }
        while (length > 0 && out < indices.size())
            indices[out++] = stack[--length];
        previous = code;
    }
}

// The row of the picture that the n-th stored row of an interlaced frame holds.
size_t InterlacedRow(size_t n, size_t height)
{
    const size_t passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& pass : passes) {
        const size_t rows = height > pass[0] ? (height - pass[0] + pass[1] - 1) / pass[1] : 0;
        if (n < rows)
            return pass[0] + n * pass[1];
        n -= rows;
    }
    return n;
}

}  // namespace

bool DecodeGif(ByteSource& bytes, DecodedPicture& picture)
{
    bool ok = true;
    const uint32_t screenFlags = bytes.U8(10, ok);
    if (!ok)
        return false;
    unsigned char palette[768] = {};
    uint64_t paletteBytes = TableBytes(screenFlags);
    if (!bytes.Read(13, palette, paletteBytes))
        return false;
    uint64_t at = 13 + paletteBytes;
    int transparent = -1;
    for (;;) {
        const uint32_t block = bytes.U8(at, ok);
        if (!ok || block == 0x3B)
            return false;
        if (block == 0x2C)
            break;
        if (block != 0x21)
            return false;
        const uint32_t label = bytes.U8(at + 1, ok);
        if (label == 0xF9 && bytes.U8(at + 2, ok) >= 4 && ok)
            transparent = bytes.U8(at + 3, ok) & 1 ? static_cast<int>(bytes.U8(at + 6, ok)) : -1;
        at += 2;
        for (uint32_t length; (length = bytes.U8(at, ok)) != 0 && ok;)
            at += 1 + length;
        if (!ok)
            return false;
        ++at;
    }
    const uint32_t width = bytes.U16le(at + 5, ok), height = bytes.U16le(at + 7, ok);
    const uint32_t flags = bytes.U8(at + 9, ok);
    at += 10;
    if (flags & 0x80) {
        std::fill_n(palette, sizeof palette, 0);
        paletteBytes = TableBytes(flags);
        if (!bytes.Read(at, palette, paletteBytes))
            return false;
        at += paletteBytes;
    }
    const uint32_t minimumSize = bytes.U8(at, ok);
    if (!ok || minimumSize < 1 || minimumSize > 8 ||
        !picture.Allocate(static_cast<int>(width), static_cast<int>(height), false))
        return false;
    std::vector<unsigned char> indices(size_t{width} * height);
    SubBlocks blocks(bytes, at + 1);
    DecodeLzw(blocks, static_cast<int>(minimumSize), indices);

    if (transparent >= 0) {
        for (uint64_t i = 0; i + 2 < paletteBytes; i += 3) {
            if (palette[i] == 255 && palette[i + 1] == 0 && palette[i + 2] == 255)
                palette[i + 2] = 254;
        }
        palette[3 * transparent] = 255;
        palette[3 * transparent + 1] = 0;
        palette[3 * transparent + 2] = 255;
        picture.masked = true;
        picture.mask[0] = 255;
        picture.mask[1] = 0;
        picture.mask[2] = 255;
    }
    const bool interlaced = flags & 0x40;
    for (size_t n = 0; n < height; ++n) {
        const size_t row = interlaced ? InterlacedRow(n, height) : n;
        unsigned char* out = picture.rgb.get() + row * width * 3;
        const unsigned char* in = indices.data() + n * width;
        for (size_t x = 0; x < width; ++x, out += 3) {
            const unsigned char* entry = palette + 3 * in[x];
            std::copy(entry, entry + 3, out);
        }
    }
    return true;
}
