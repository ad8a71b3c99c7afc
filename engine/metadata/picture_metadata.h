// SPDX-License-Identifier: GPL-3.0-or-later
// What a picture file carries besides its pixels, kept so that a resized picture can be saved
// as faithfully as the output format allows. Toolkit-free; reading and writing use exiv2 for
// the EXIF, XMP and ICC blocks and small parsers of our own for the rest.
#ifndef KERV_METADATA_PICTURE_METADATA_H
#define KERV_METADATA_PICTURE_METADATA_H

#include <string>

// Pixels per inch or per centimetre, as the toolkit's image options express them.
struct PictureResolution {
    enum Unit { kNone = 0, kInches = 1, kCentimetres = 2 };
    Unit unit = kNone;
    int x = 0;
    int y = 0;
};

struct PictureMetadata {
    std::string exif;  // a TIFF-structured EXIF block (no "Exif\0\0" prefix), or empty
    std::string xmp;   // an XMP packet, or empty
    std::string icc;   // an ICC colour profile, or empty
    // The EXIF orientation of the stored pixels (1 upright ... 8); readers of this struct see
    // it as it was in the file, even after the pixels have been turned upright.
    int orientation = 1;
    // The quality a JPEG was written with, estimated from its quantisation tables; 0 when the
    // file was no JPEG or the tables fit no quality.
    int jpegQuality = 0;
    PictureResolution resolution;
    // A PNG's pHYs chunk payload (9 bytes) exactly as read, so a PNG written from it keeps the
    // resolution to the pixel per metre; empty otherwise.
    std::string pngPhysicalSize;

    bool HasBlocks() const { return !exif.empty() || !xmp.empty() || !icc.empty(); }
};

// Reads the metadata of the picture file at path (native encoding). Whatever cannot be read is
// left at its default; reading never fails as a whole.
PictureMetadata ReadPictureMetadata(const std::string& path);

// The output formats metadata can be written into, by the output file's extension.
enum class MetadataContainer { kNone, kJpeg, kPng, kTiff };
MetadataContainer ContainerForExtension(std::string extension);

// Writes metadata into an encoded picture file held in `file` (the encoder's output, a picture
// of width x height upright pixels): EXIF with orientation 1 and these dimensions, XMP likewise,
// the ICC profile, and for PNG the exact pHYs of a PNG source. Returns an empty text when
// everything the source carried was kept, else one line saying what was lost and why; `file`
// is then left as the encoder wrote it or with what could be kept.
std::string EmbedMetadata(std::string& file, MetadataContainer container,
                          const PictureMetadata& metadata, int width, int height);

#endif
