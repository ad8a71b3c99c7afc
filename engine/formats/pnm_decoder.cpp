// SPDX-License-Identifier: GPL-3.0-or-later
// PNM samples: plain (decimal text) or raw (bytes; two big-endian bytes each when the maximum
// exceeds 255), each scaled to 0..255 as sample * 255 / maximum (truncated); values above the
// maximum count as the maximum. Bitmaps (P1, P4) have 1 for black.
#include <algorithm>
#include <vector>

#include "decoded_picture.h"

namespace {

bool IsBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the file front to back with the header checker's rules for blanks and comments.
class PnmReader {
public:
    explicit PnmReader(ByteSource& bytes) : bytes_(bytes) {}

    int Next()
    {
        if (at_ >= bytes_.Size())
            return -1;
        if (at_ < start_ || at_ >= start_ + buffer_.size()) {
            start_ = at_;
            buffer_.resize(std::min<uint64_t>(kChunk, bytes_.Size() - at_));
            if (!bytes_.Read(start_, buffer_.data(), buffer_.size()))
                return -1;
        }
        return buffer_[at_++ - start_];
    }
    // The next decimal number after blanks and comments (up to `most`, larger ones saturate);
    // `plainBit` reads a single digit, as plain bitmaps need no blanks between samples.
    bool Number(uint64_t most, uint64_t& value, bool plainBit = false)
    {
        int c = Next();
        while (c != -1 && (IsBlank(c) || c == '#')) {
            if (c == '#') {
                while (c != -1 && c != '\n' && c != '\r')
                    c = Next();
            }
            c = Next();
        }
        if (c < '0' || c > '9')
            return false;
        value = 0;
        while (c >= '0' && c <= '9') {
            value = std::min(most, value * 10 + (c - '0'));
            if (plainBit)
                return true;
            c = Next();
        }
        // The blank after a number is consumed; a comment right after it is read as one.
        if (c == '#')
            --at_;
        return true;
    }

    // The next `count` bytes as they stand (raw samples); false when the file ends before them.
    bool Bytes(unsigned char* out, size_t count)
    {
        if (!bytes_.Holds(at_, count) || !bytes_.Read(at_, out, count))
            return false;
        at_ += count;
        return true;
    }

private:
    static constexpr size_t kChunk = 64 * 1024;
    ByteSource& bytes_;
    uint64_t at_ = 0;
    uint64_t start_ = 0;
    std::vector<unsigned char> buffer_;
};

}  // namespace

bool DecodePnm(ByteSource& bytes, DecodedPicture& picture)
{
    PnmReader reader(bytes);
    reader.Next();
    const int kind = reader.Next();
    uint64_t width = 0, height = 0, maximum = 1;
    const bool bitmap = kind == '1' || kind == '4';
    if (!reader.Number(1u << 30, width) || !reader.Number(1u << 30, height))
        return false;
    if (!bitmap && !reader.Number(65535, maximum))
        return false;
    if (width == 0 || height == 0 || maximum == 0 ||
        !picture.Allocate(static_cast<int>(width), static_cast<int>(height), false))
        return false;
    const bool plain = kind <= '3';
    const uint64_t channels = kind == '3' || kind == '6' ? 3 : 1;
    const bool wide = maximum > 255;
    unsigned char* out = picture.rgb.get();
    if (!plain && !bitmap && !wide) {
        // Raw one-byte samples: whole rows at a time, scaled through a table.
        unsigned char scaled[256];
        for (uint64_t value = 0; value < 256; ++value)
            scaled[value] = static_cast<unsigned char>(std::min(maximum, value) * 255 / maximum);
        std::vector<unsigned char> row(width * channels);
        for (uint64_t y = 0; y < height; ++y) {
            if (!reader.Bytes(row.data(), row.size()))
                return false;
            for (uint64_t x = 0; x < width; ++x, out += 3) {
                const unsigned char* sample = &row[x * channels];
                for (int c = 0; c < 3; ++c)
                    out[c] = scaled[sample[channels == 3 ? c : 0]];
            }
        }
        return true;
    }
    for (uint64_t y = 0; y < height; ++y) {
        int bits = 0, pending = 0;  // P4 packs each row into bytes, most significant bit first
        for (uint64_t x = 0; x < width; ++x) {
            unsigned char sample[3];
            for (uint64_t c = 0; c < channels; ++c) {
                uint64_t value = 0;
                if (plain) {
                    if (!reader.Number(bitmap ? 1 : maximum, value, bitmap))
                        return false;
                } else if (bitmap) {
                    if (bits == 0) {
                        if ((pending = reader.Next()) < 0)
                            return false;
                        bits = 8;
                    }
                    value = (pending >> --bits) & 1;
                } else {
                    const int high = reader.Next();
                    const int low = wide ? reader.Next() : 0;
                    if (high < 0 || low < 0)
                        return false;
                    value = std::min<uint64_t>(maximum, wide ? (high << 8 | low) : high);
                }
                sample[c] =
                    bitmap ? (value ? 0 : 255) : static_cast<unsigned char>(value * 255 / maximum);
            }
            for (int c = 0; c < 3; ++c)
                *out++ = sample[channels == 3 ? c : 0];
        }
    }
    return true;
}
