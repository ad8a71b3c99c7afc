// SPDX-License-Identifier: GPL-3.0-or-later
// Icons and cursors as the toolkit's reader gives them. Without an index the entry shown is
// the last one at least as wide (by its directory byte) as the one chosen before it and with at
// least as many colours (0 colours counting as 255). A bitmap entry is a device-independent
// bitmap whose header counts twice its rows: the colour rows, read as a BMP's, then as many
// rows of a 1-bit transparency mask. The colour picture's first unused colour, counted from
// (1, 0, 0) up through red, then green, then blue (each below 255), becomes the mask colour,
// and every pixel the mask marks is painted with it.
#include <algorithm>
#include <vector>

#include "decoded_picture.h"
#include "dib_layout.h"

namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint64_t RowBytes(int width, uint32_t bitCount)
{
    return (uint64_t(width) * bitCount + 31) / 32 * 4;
}

// The first colour, in the toolkit's order, that no pixel of the picture has; false when every
// candidate is taken.
bool FirstUnusedColour(const DecodedPicture& picture, unsigned char colour[3])
{
    std::vector<bool> taken(size_t{1} << 24);
    const size_t pixels = size_t(picture.width) * picture.height;
    const unsigned char* p = picture.rgb.get();
    for (size_t i = 0; i < pixels; ++i, p += 3)
        taken[size_t{p[0]} << 16 | size_t{p[1]} << 8 | p[2]] = true;
    unsigned r = 1, g = 0, b = 0;
    while (taken[r << 16 | g << 8 | b]) {
        if (++r >= 255) {
            r = 0;
            if (++g >= 255) {
                g = 0;
                if (++b >= 255)
                    return false;
            }
        }
    }
    colour[0] = static_cast<unsigned char>(r);
    colour[1] = static_cast<unsigned char>(g);
    colour[2] = static_cast<unsigned char>(b);
    return true;
}

}  // namespace

bool ChooseIconEntry(ByteSource& bytes, uint64_t offset, int index, IconEntry& entry)
{
    bool ok = true;
    const uint32_t count = bytes.U16le(offset + 4, ok);
    if (!ok)
        return false;
    long chosen = -1;
    uint32_t widest = 0, colours = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = offset + 6 + uint64_t{i} * 16;
        const uint32_t width = bytes.U8(at, ok);
        uint32_t entryColours = bytes.U8(at + 2, ok);
        if (entryColours == 0)
            entryColours = 255;
        if (width >= widest && entryColours >= colours) {
            chosen = i;
            widest = width;
            colours = entryColours;
        }
    }
    if (index != -1)
        chosen = index;
    if (!ok || chosen < 0 || chosen >= long{count})
        return false;
    const uint64_t at = offset + 6 + uint64_t(chosen) * 16;
    entry.offset = offset + bytes.U32le(at + 12, ok);
    entry.length = bytes.U32le(at + 8, ok);
    unsigned char head[8];
    entry.png = bytes.Read(entry.offset, head, 8) && std::equal(head, head + 8, kPngSignature);
    return ok;
}

bool DecodeIconBitmap(ByteSource& bytes, const IconEntry& entry, DecodedPicture& picture)
{
    DibLayout layout;
    if (!ReadDibLayout(bytes, entry.offset, layout) || layout.topDown || layout.height % 2 != 0 ||
        layout.compression != 0)
        return false;
    layout.height /= 2;
    // The colour table declared, however deep the pixels, lies before them.
    layout.pixelsAt = layout.tableEnd;
    if (!DecodeDibPixels(bytes, layout, picture))
        return false;

    unsigned char colour[3];
    if (!FirstUnusedColour(picture, colour))
        return false;
    const uint64_t maskAt = layout.pixelsAt + RowBytes(layout.width, layout.bitCount) * layout.height;
    const uint64_t maskRowBytes = RowBytes(layout.width, 1);
    std::vector<unsigned char> row(maskRowBytes);
    for (int y = 0; y < layout.height; ++y) {
        if (!bytes.Read(maskAt + uint64_t(y) * maskRowBytes, row.data(), row.size()))
            return false;
        unsigned char* out = picture.rgb.get() + size_t(layout.height - 1 - y) * picture.width * 3;
        for (int x = 0; x < layout.width; ++x) {
            if (row[size_t(x) / 8] >> (7 - x % 8) & 1)
                std::copy(colour, colour + 3, out + size_t(x) * 3);
        }
    }
    picture.masked = true;
    std::copy(colour, colour + 3, picture.mask);
    return true;
}
