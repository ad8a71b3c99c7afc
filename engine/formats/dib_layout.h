// SPDX-License-Identifier: GPL-3.0-or-later
// The device-independent bitmap shared by BMP files and the bitmaps inside icons: its header,
// colour masks and colour table as read from the file, and the decoding of its pixel rows.
#ifndef KERV_FORMATS_DIB_LAYOUT_H
#define KERV_FORMATS_DIB_LAYOUT_H

#include <cstdint>
#include <vector>

#include "decoded_picture.h"

struct DibColour {
    unsigned char r = 0, g = 0, b = 0;
};

struct DibLayout {
    uint64_t pixelsAt = 0;  // set by the caller: the file says where the pixels are
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0;  // rows, always positive
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    std::vector<DibColour> palette;
    uint64_t tableEnd = 0;  // the first byte after the colour table (as long as it declares)
};

// Reads the header at `headerAt` (BITMAPCOREHEADER or BITMAPINFOHEADER and its extensions),
// the colour masks and the colour table that follows it; false when bytes are missing or the
// size is not positive.
bool ReadDibLayout(ByteSource& bytes, uint64_t headerAt, DibLayout& layout);

// Allocates `picture` at the layout's size and decodes the pixels from layout.pixelsAt on.
bool DecodeDibPixels(ByteSource& bytes, const DibLayout& layout, DecodedPicture& picture);

#endif
