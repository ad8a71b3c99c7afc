// SPDX-License-Identifier: GPL-3.0-or-later
// TGA pixels, raw or run-length encoded, as the toolkit's reader gives them: rows bottom to top
// unless bit 5 of the descriptor is set (bit 4, right to left, is ignored as the toolkit does);
// 32-bit pixels, 16-bit grey (grey, alpha) and 16-bit colour (alpha 0 where the top bit is
// set) bring an alpha channel; 5-bit channels widen as (v << 3) | (v >> 2). Colour-mapped
// indices address entries first .. first + length - 1; others, and pixels a run-length stream
// does not reach, are black.
#include <vector>

#include "decoded_picture.h"

namespace {

enum ImageType { kMapped = 1, kTrue = 2, kGrey = 3 };

struct Colour {
    unsigned char r = 0, g = 0, b = 0, a = 255;
};

unsigned char Widen5(unsigned value)
{
    value &= 31;
    return static_cast<unsigned char>(value << 3 | value >> 2);
}

// One stored pixel or colour-map entry of `depth` bits.
Colour ReadColour(const unsigned char* p, unsigned depth, bool grey)
{
    Colour colour;
    if (grey) {
        colour.r = colour.g = colour.b = p[0];
        if (depth == 16)
            colour.a = p[1];
        return colour;
    }
    if (depth == 15 || depth == 16) {
        const unsigned value = p[0] | p[1] << 8;
        colour.r = Widen5(value >> 10);
        colour.g = Widen5(value >> 5);
        colour.b = Widen5(value);
        if (depth == 16)
            colour.a = value & 0x8000 ? 0 : 255;
        return colour;
    }
    colour.b = p[0];
    colour.g = p[1];
    colour.r = p[2];
    if (depth == 32)
        colour.a = p[3];
    return colour;
}

struct Header {
    unsigned idBytes, mapType, type, mapFirst, mapLength, mapDepth, width, height, depth, flags;
};

bool ReadHeader(ByteSource& bytes, Header& h)
{
    bool ok = true;
    h = {bytes.U8(0, ok),    bytes.U8(1, ok), bytes.U8(2, ok),     bytes.U16le(3, ok),
         bytes.U16le(5, ok), bytes.U8(7, ok), bytes.U16le(12, ok), bytes.U16le(14, ok),
         bytes.U8(16, ok),   bytes.U8(17, ok)};
    return ok;
}

// Every stored pixel value's colour: the map for mapped pictures, else the value itself.
class Palette {
public:
    bool Read(ByteSource& bytes, const Header& h, uint64_t at)
    {
        if (h.mapType != 1)
            return true;
        const unsigned entryBytes = (h.mapDepth + 7) / 8;
        std::vector<unsigned char> table(size_t{h.mapLength} * entryBytes);
        if (!bytes.Read(at, table.data(), table.size()))
            return false;
        first_ = h.mapFirst;
        for (unsigned i = 0; i < h.mapLength; ++i)
            entries_.push_back(ReadColour(&table[i * entryBytes], h.mapDepth, false));
        alpha_ = h.mapDepth == 16 || h.mapDepth == 32;
        return true;
    }
    Colour Lookup(unsigned index) const
    {
        if (index < first_ || index - first_ >= entries_.size())
            return Colour{0, 0, 0, 255};
        return entries_[index - first_];
    }
    bool HasAlpha() const { return alpha_; }

private:
    unsigned first_ = 0;
    std::vector<Colour> entries_;
    bool alpha_ = false;
};

// Writes pixels in file order into the picture's rows.
class PixelSink {
public:
    PixelSink(DecodedPicture& picture, bool topDown) : picture_(picture), topDown_(topDown) {}
    bool Full() const { return written_ == Total(); }
    void Put(const Colour& colour)
    {
        const size_t w = picture_.width;
        const size_t fileRow = written_ / w, x = written_ % w;
        const size_t row = topDown_ ? fileRow : picture_.height - 1 - fileRow;
        const size_t at = row * w + x;
        unsigned char* rgb = picture_.rgb.get() + at * 3;
        rgb[0] = colour.r;
        rgb[1] = colour.g;
        rgb[2] = colour.b;
        if (picture_.alpha)
            picture_.alpha.get()[at] = colour.a;
        ++written_;
    }

private:
    size_t Total() const { return static_cast<size_t>(picture_.width) * picture_.height; }
    DecodedPicture& picture_;
    bool topDown_;
    size_t written_ = 0;
};

class PixelReader {
public:
    PixelReader(ByteSource& bytes, uint64_t at, const Header& h, const Palette& palette)
        : bytes_(bytes), at_(at), h_(h), palette_(palette), size_((h.depth + 7) / 8)
    {
    }
    bool Next(Colour& colour)
    {
        unsigned char p[4];
        if (!bytes_.Read(at_, p, size_))
            return false;
        at_ += size_;
        colour = h_.type % 8 == kMapped ? palette_.Lookup(p[0])
                                        : ReadColour(p, h_.depth, h_.type % 8 == kGrey);
        return true;
    }
    bool Byte(unsigned& value)
    {
        bool ok = true;
        value = bytes_.U8(at_++, ok);
        return ok;
    }

private:
    ByteSource& bytes_;
    uint64_t at_;
    const Header& h_;
    const Palette& palette_;
    unsigned size_;
};

bool DecodeRuns(PixelReader& reader, PixelSink& sink)
{
    unsigned packet;
    while (!sink.Full() && reader.Byte(packet)) {
        const unsigned count = (packet & 0x7F) + 1;
        Colour colour;
        if (packet & 0x80) {
            if (!reader.Next(colour))
                return false;
            for (unsigned i = 0; i < count && !sink.Full(); ++i)
                sink.Put(colour);
        } else {
            for (unsigned i = 0; i < count && !sink.Full(); ++i) {
                if (!reader.Next(colour))
                    return false;
                sink.Put(colour);
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeTga(ByteSource& bytes, DecodedPicture& picture)
{
    Header h;
    Palette palette;
    if (!ReadHeader(bytes, h) || !palette.Read(bytes, h, 18 + uint64_t{h.idBytes}))
        return false;
    const unsigned kind = h.type % 8;
    const bool alpha = kind == kMapped ? palette.HasAlpha() : h.depth == 32 || h.depth == 16;
    if (h.width == 0 || h.height == 0 || !picture.Allocate(h.width, h.height, alpha))
        return false;
    const uint64_t pixelsAt = 18 + uint64_t{h.idBytes} +
                              (h.mapType == 1 ? uint64_t{h.mapLength} * ((h.mapDepth + 7) / 8) : 0);
    PixelReader reader(bytes, pixelsAt, h, palette);
    PixelSink sink(picture, h.flags & 0x20);
    if (h.type >= 9)
        return DecodeRuns(reader, sink);
    Colour colour;
    while (!sink.Full()) {
        if (!reader.Next(colour))
            return false;
        sink.Put(colour);
    }
    return true;
}
