// SPDX-License-Identifier: GPL-3.0-or-later
// Decoders of our own, for formats whose toolkit readers cannot be trusted with hostile files
// even after their header checks. Each decodes a file whose header has passed its check, reads
// every byte through ByteSource's bounds checks and allocates only what the checked header
// declares. Their results equal the toolkit's readers' on the files those read correctly.
#ifndef KERV_FORMATS_DECODED_PICTURE_H
#define KERV_FORMATS_DECODED_PICTURE_H

#include <cstdlib>
#include <memory>

#include "byte_source.h"

struct FreeDeleter {
    void operator()(unsigned char* bytes) const { std::free(bytes); }
};
// Pixel bytes from the C allocator, as the toolkit's image class takes them over.
using PixelBytes = std::unique_ptr<unsigned char, FreeDeleter>;

struct DecodedPicture {
    int width = 0;
    int height = 0;
    PixelBytes rgb;    // width * height * 3 bytes, rows top to bottom
    PixelBytes alpha;  // width * height bytes, or null
    bool masked = false;              // pixels of colour `mask` are transparent
    unsigned char mask[3] = {0, 0, 0};

    // Allocates the pixels (and alpha when asked); false when memory runs out.
    bool Allocate(int width, int height, bool withAlpha);
};

bool DecodePnm(ByteSource& bytes, DecodedPicture& picture);
bool DecodeTga(ByteSource& bytes, DecodedPicture& picture);
bool DecodeJpeg(ByteSource& bytes, DecodedPicture& picture);
bool DecodeBmp(ByteSource& bytes, DecodedPicture& picture);
bool DecodePcx(ByteSource& bytes, DecodedPicture& picture);
bool DecodeGif(ByteSource& bytes, DecodedPicture& picture);

// One entry of an icon or cursor directory: where its picture starts and how long the
// directory says it is, and whether it is a PNG (read by a PNG reader) or a bitmap.
struct IconEntry {
    uint64_t offset = 0;
    uint64_t length = 0;
    bool png = false;
};
// The entry of the icon file at `offset` that the reader shows: entry `index`, or with -1 the
// one the toolkit's reader chooses; false when there is no such entry.
bool ChooseIconEntry(ByteSource& bytes, uint64_t offset, int index, IconEntry& entry);
// Decodes a bitmap entry with its transparency mask.
bool DecodeIconBitmap(ByteSource& bytes, const IconEntry& entry, DecodedPicture& picture);

#endif
