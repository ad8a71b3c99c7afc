// SPDX-License-Identifier: GPL-3.0-or-later
// BMP pixels as the toolkit's reader gives them: indices through the colour table (indices past
// its end are black), 16-bit pixels as 5-5-5 (or by their bit masks), channels narrower than 8
// bits shifted up (v << (8 - bits)); 32-bit pixels without masks bring an alpha channel when
// any of their fourth bytes is not 0. Run-length data (RLE8, RLE4) may skip pixels with its
// end-of-line, delta and end-of-bitmap codes: those keep colour 0 of the table; runs past the
// right edge are cut there.
#include <vector>

#include "decoded_picture.h"
#include "dib_layout.h"

namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

using Rgb = DibColour;
using Layout = DibLayout;

}  // namespace

bool ReadDibLayout(ByteSource& bytes, uint64_t headerAt, DibLayout& layout)
{
    bool ok = true;
    layout.headerSize = bytes.U32le(headerAt, ok);
    long long height;
    uint32_t used = 0;
    if (layout.headerSize == 12) {
        layout.width = static_cast<int>(bytes.U16le(headerAt + 4, ok));
        height = bytes.U16le(headerAt + 6, ok);
        layout.bitCount = bytes.U16le(headerAt + 10, ok);
    } else {
        layout.width = static_cast<int32_t>(bytes.U32le(headerAt + 4, ok));
        height = static_cast<int32_t>(bytes.U32le(headerAt + 8, ok));
        layout.bitCount = bytes.U16le(headerAt + 14, ok);
        layout.compression = bytes.U32le(headerAt + 16, ok);
        used = bytes.U32le(headerAt + 32, ok);
    }
    layout.topDown = height < 0;
    layout.height = static_cast<int>(height < 0 ? -height : height);
    uint64_t tableAt = headerAt + uint64_t{layout.headerSize};
    if (layout.compression == kBitfields) {
        // The masks follow a 40-byte header and are part of the longer ones.
        const uint64_t masksAt = layout.headerSize == 40 ? tableAt : headerAt + 40;
        for (int i = 0; i < 3; ++i)
            layout.masks[i] = bytes.U32le(masksAt + 4 * i, ok);
        if (layout.headerSize == 40)
            tableAt += 12;
    } else if (layout.bitCount == 32) {
        layout.masks[0] = 0xFF0000;
        layout.masks[1] = 0xFF00;
        layout.masks[2] = 0xFF;
    }
    const unsigned entryBytes = layout.headerSize == 12 ? 3 : 4;
    layout.tableEnd = tableAt + uint64_t{used} * entryBytes;
    if (layout.bitCount <= 8) {
        const uint32_t entries = used ? used : 1u << layout.bitCount;
        // The header checks bound the table; a table beyond them is no picture's.
        if (entries > 65536)
            return false;
        std::vector<unsigned char> table(size_t{entries} * entryBytes);
        ok = ok && bytes.Read(tableAt, table.data(), table.size());
        for (uint32_t i = 0; ok && i < entries; ++i) {
            const unsigned char* e = &table[i * entryBytes];
            layout.palette.push_back({e[2], e[1], e[0]});
        }
        layout.tableEnd = tableAt + uint64_t{entries} * entryBytes;
    }
    return ok && layout.width > 0 && layout.height > 0;
}

namespace {

// A channel by its mask, widened to 8 bits as the toolkit does.
unsigned char Channel(uint32_t value, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0, bits = 0;
    while (!(mask >> shift & 1))
        ++shift;
    while (shift + bits < 32 && (mask >> (shift + bits) & 1))
        ++bits;
    const uint32_t v = (value & mask) >> shift;
    return static_cast<unsigned char>(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
}

class Canvas {
public:
    Canvas(DecodedPicture& picture, const Layout& layout) : picture_(picture), layout_(layout) {}
    void Put(int x, int fileRow, const Rgb& colour)
    {
        if (x < 0 || x >= picture_.width || fileRow < 0 || fileRow >= picture_.height)
            return;
        const int row = layout_.topDown ? fileRow : picture_.height - 1 - fileRow;
        unsigned char* p = picture_.rgb.get() + (size_t(row) * picture_.width + x) * 3;
        p[0] = colour.r;
        p[1] = colour.g;
        p[2] = colour.b;
    }
    Rgb Index(unsigned index) const
    {
        return index < layout_.palette.size() ? layout_.palette[index] : Rgb{};
    }

private:
    DecodedPicture& picture_;
    const Layout& layout_;
};

bool DecodeRows(ByteSource& bytes, const Layout& layout, DecodedPicture& picture)
{
    Canvas canvas(picture, layout);
    const size_t rowBytes = (size_t(layout.width) * layout.bitCount + 31) / 32 * 4;
    std::vector<unsigned char> row(rowBytes);
    std::vector<unsigned char> alpha;
    bool anyAlpha = false;
    const bool alphaBytes = layout.bitCount == 32 && layout.compression == kRgb;
    if (alphaBytes)
        alpha.resize(size_t(layout.width) * layout.height);
    for (int y = 0; y < layout.height; ++y) {
        if (!bytes.Read(layout.pixelsAt + uint64_t(y) * rowBytes, row.data(), rowBytes))
            return false;
        for (int x = 0; x < layout.width; ++x) {
            const unsigned char* p = &row[size_t(x) * layout.bitCount / 8];
            switch (layout.bitCount) {
                case 1:
                    canvas.Put(x, y, canvas.Index(p[0] >> (7 - x % 8) & 1));
                    break;
                case 4:
                    canvas.Put(x, y, canvas.Index(x % 2 ? p[0] & 15 : p[0] >> 4));
                    break;
                case 8:
                    canvas.Put(x, y, canvas.Index(p[0]));
                    break;
                case 24:
                    canvas.Put(x, y, {p[2], p[1], p[0]});
                    break;
                default: {
                    const uint32_t v =
                        layout.bitCount == 16
                            ? uint32_t(p[0] | p[1] << 8)
                            : uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
                    canvas.Put(x, y,
                               {Channel(v, layout.masks[0]), Channel(v, layout.masks[1]),
                                Channel(v, layout.masks[2])});
                    if (alphaBytes) {
                        const int outRow = layout.topDown ? y : layout.height - 1 - y;
                        alpha[size_t(outRow) * layout.width + x] = p[3];
                        anyAlpha = anyAlpha || p[3] != 0;
                    }
                }
            }
        }
    }
    if (anyAlpha) {
        picture.alpha.reset(static_cast<unsigned char*>(std::malloc(alpha.size())));
        if (!picture.alpha)
            return false;
        std::copy(alpha.begin(), alpha.end(), picture.alpha.get());
    }
    return true;
}

bool DecodeRuns(ByteSource& bytes, const Layout& layout, DecodedPicture& picture)
{
    Canvas canvas(picture, layout);
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x)
            canvas.Put(x, y, canvas.Index(0));
    }
    const bool nibbles = layout.compression == kRle4;
    uint64_t at = layout.pixelsAt;
    bool ok = true;
    int x = 0, y = 0;
    while (y < layout.height) {
        const uint32_t count = bytes.U8(at, ok), value = bytes.U8(at + 1, ok);
        if (!ok)
            return true;  // data ending early leaves the rest as it is
        at += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count; ++i)
                canvas.Put(x++, y,
                           canvas.Index(nibbles ? (i % 2 ? value & 15 : value >> 4) : value));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            x += bytes.U8(at, ok);
            y += bytes.U8(at + 1, ok);
            at += 2;
        } else {
            const uint32_t dataBytes = nibbles ? (value + 1) / 2 : value;
            for (uint32_t i = 0; i < value && ok; ++i) {
                const uint32_t b = bytes.U8(at + (nibbles ? i / 2 : i), ok);
                canvas.Put(x++, y, canvas.Index(nibbles ? (i % 2 ? b & 15 : b >> 4) : b));
            }
            at += (dataBytes + 1) / 2 * 2;  // absolute runs are padded to 16 bits
        }
        if (!ok)
            return true;
    }
    return true;
}

}  // namespace

bool DecodeDibPixels(ByteSource& bytes, const DibLayout& layout, DecodedPicture& picture)
{
    if (!picture.Allocate(layout.width, layout.height, false))
        return false;
    if (layout.compression == kRle8 || layout.compression == kRle4)
        return DecodeRuns(bytes, layout, picture);
    return DecodeRows(bytes, layout, picture);
}

bool DecodeBmp(ByteSource& bytes, DecodedPicture& picture)
{
    DibLayout layout;
    bool ok = true;
    layout.pixelsAt = bytes.U32le(10, ok);
    return ok && ReadDibLayout(bytes, 14, layout) && DecodeDibPixels(bytes, layout, picture);
}
