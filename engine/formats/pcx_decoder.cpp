// SPDX-License-Identifier: GPL-3.0-or-later
// PCX pixels of the two kinds the header check passes: 8-bit indices into the 256-colour table
// at the end of the file, and 8-bit planes of red, green and blue. Each scan line holds
// `lineBytes` bytes per plane, run-length encoded (a byte with its top two bits set repeats the
// next byte by its low six bits); a run longer than what is left of its scan line is cut there.
// Bytes past the window's width are padding.
#include <algorithm>
#include <vector>

#include "decoded_picture.h"

namespace {

constexpr uint64_t kHeaderBytes = 128;
constexpr uint64_t kTableBytes = 768;

// Reads the run-length stream in blocks, so that a large picture costs one virtual call a block
// rather than one a byte.
class Stream {
public:
    Stream(ByteSource& bytes, uint64_t at, uint64_t end) : bytes_(bytes), at_(at), end_(end) {}
    bool Next(unsigned char& value)
    {
        if (next_ == block_.size() && !Refill())
            return false;
        value = block_[next_++];
        return true;
    }

private:
    bool Refill()
    {
        if (at_ >= end_)
            return false;
        const uint64_t count = std::min<uint64_t>(end_ - at_, 1 << 16);
        block_.resize(count);
        if (!bytes_.Read(at_, block_.data(), count))
            return false;
        at_ += count;
        next_ = 0;
        return true;
    }

    ByteSource& bytes_;
    uint64_t at_;
    uint64_t end_;
    std::vector<unsigned char> block_;
    size_t next_ = 0;
};

// Decodes one scan line (all its planes) into `line`; false when the stream ends first.
bool DecodeLine(Stream& stream, std::vector<unsigned char>& line)
{
    size_t filled = 0;
    while (filled < line.size()) {
        unsigned char value;
        if (!stream.Next(value))
            return false;
        size_t count = 1;
        if ((value & 0xC0) == 0xC0) {
            count = value & 0x3F;
            if (!stream.Next(value))
                return false;
        }
        count = std::min(count, line.size() - filled);
        std::fill_n(line.begin() + filled, count, value);
        filled += count;
    }
    return true;
}

}  // namespace

bool DecodePcx(ByteSource& bytes, DecodedPicture& picture)
{
    bool ok = true;
    const long long width = 1LL + bytes.U16le(8, ok) - bytes.U16le(4, ok);
    const long long height = 1LL + bytes.U16le(10, ok) - bytes.U16le(6, ok);
    const uint32_t bits = bytes.U8(3, ok);
    const uint32_t planes = bytes.U8(65, ok);
    const size_t lineBytes = bytes.U16le(66, ok);
    const bool paletted = bits == 8 && planes == 1;
    if (!ok || bits != 8 || (planes != 1 && planes != 3) ||
        static_cast<long long>(lineBytes) < width)
        return false;
    uint64_t end = bytes.Size();
    unsigned char table[kTableBytes] = {};
    if (paletted) {
        if (end < kHeaderBytes + kTableBytes + 1 ||
            !bytes.Read(end - kTableBytes, table, kTableBytes))
            return false;
        end -= kTableBytes + 1;
    }
    // Allocate refuses sizes outside the carving limits, negative windows included.
    if (!picture.Allocate(static_cast<int>(width), static_cast<int>(height), false))
        return false;
    Stream stream(bytes, kHeaderBytes, end);
    std::vector<unsigned char> line(lineBytes * planes);
    unsigned char* out = picture.rgb.get();
    for (long long y = 0; y < height; ++y) {
        if (!DecodeLine(stream, line))
            return false;
        for (long long x = 0; x < width; ++x, out += 3) {
            if (paletted) {
                const unsigned char* entry = table + 3 * line[x];
                out[0] = entry[0];
                out[1] = entry[1];
                out[2] = entry[2];
            } else {
                out[0] = line[x];
                out[1] = line[lineBytes + x];
                out[2] = line[2 * lineBytes + x];
            }
        }
    }
    return true;
}
