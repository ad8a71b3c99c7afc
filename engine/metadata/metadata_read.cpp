// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a picture file's metadata: EXIF, XMP and ICC through exiv2; the JPEG quality and
// density and the PNG pHYs chunk through our own parsers.
#include <fstream>

#include "exiv2_session.h"
#include "jpeg_facts.h"
#include "picture_metadata.h"
#include "png_chunks.h"

namespace {

// IFD0 tags that describe a TIFF file's own pixel layout; they belong to the file they were
// read from, never to a picture written elsewhere.
bool IsTiffLayoutTag(uint16_t tag)
{
    switch (tag) {
        case 0x00fe:
        case 0x0100:
        case 0x0101:
        case 0x0102:
        case 0x0103:
        case 0x0106:
        case 0x0111:
        case 0x0115:
        case 0x0116:
        case 0x0117:
        case 0x011c:
        case 0x013d:
        case 0x0140:
        case 0x0142:
        case 0x0143:
        case 0x0144:
        case 0x0145:
        case 0x014a:
        case 0x0152:
        case 0x0153:
        case 0x0201:
        case 0x0202:
        case 0x02bc:
        case 0x8773:
            return true;
        default:
            return false;
    }
}

void DropTiffLayout(Exiv2::ExifData& exif)
{
    for (auto it = exif.begin(); it != exif.end();) {
        if (it->groupName() == "Image" && IsTiffLayoutTag(it->tag()))
            it = exif.erase(it);
        else
            ++it;
    }
}

void ReadBlocks(const std::string& path, PictureMetadata& metadata)
{
    SilenceExiv2();
    try {
        // Only the formats whose blocks are carried over are parsed: exiv2's readers of other
        // containers (its RIFF reader, which takes animated cursors) can loop for ever on a
        // damaged file.
        const int type = Exiv2::ImageFactory::getType(path);
        if (type != Exiv2::ImageType::jpeg && type != Exiv2::ImageType::png &&
            type != Exiv2::ImageType::tiff)
            return;
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        const bool tiff = image->imageType() == Exiv2::ImageType::tiff;
        Exiv2::ExifData exif = image->exifData();
        if (tiff)
            DropTiffLayout(exif);
        if (!exif.empty()) {
            // The pixels of a TIFF come from libtiff already turned, so its tag is not ours to
            // apply; JPEG and PNG readers hand over the stored pixels.
            const auto tag = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
            if (!tiff && tag != exif.end() && tag->count() == 1)
                metadata.orientation = static_cast<int>(tag->toLong());
            Exiv2::Blob blob;
            const Exiv2::ByteOrder order = image->byteOrder() == Exiv2::invalidByteOrder
                                               ? Exiv2::littleEndian
                                               : image->byteOrder();
            Exiv2::ExifParser::encode(blob, order, exif);
            metadata.exif.assign(blob.begin(), blob.end());
        }
        metadata.xmp = image->xmpPacket();
        if (image->iccProfileDefined()) {
            const Exiv2::DataBuf* icc = image->iccProfile();
            metadata.icc.assign(reinterpret_cast<const char*>(icc->pData_),
                                static_cast<size_t>(icc->size_));
        }
    } catch (const Exiv2::AnyError&) {
        // A format exiv2 does not know, or damaged metadata: the picture goes on without it.
    } catch (const std::exception&) {
    }
}

// The JPEG's quality and density, or the PNG's pHYs.
void ReadContainerFacts(const std::string& path, PictureMetadata& metadata)
{
    std::ifstream in(path, std::ios::binary);
    if (const std::optional<JpegFacts> jpeg = ReadJpegFacts(in)) {
        metadata.jpegQuality = EstimateJpegQuality(jpeg->tables);
        metadata.resolution = jpeg->density;
        return;
    }
    in.clear();
    in.seekg(0);
    const auto chunks = ReadPngChunks(in, {"pHYs"});
    if (!chunks || chunks->empty() || chunks->front().data.size() != 9)
        return;
    metadata.pngPhysicalSize = chunks->front().data;
    const auto* b = reinterpret_cast<const unsigned char*>(metadata.pngPhysicalSize.data());
    const auto perMetre = [&](int at) {
        return static_cast<long>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    };
    if (b[8] == 1)  // pixels per metre, given to other formats per centimetre
        metadata.resolution = {PictureResolution::kCentimetres,
                               static_cast<int>((perMetre(0) + 50) / 100),
                               static_cast<int>((perMetre(4) + 50) / 100)};
}

}  // namespace

PictureMetadata ReadPictureMetadata(const std::string& path)
{
    PictureMetadata metadata;
    ReadBlocks(path, metadata);
    ReadContainerFacts(path, metadata);
    if (metadata.orientation < 1 || metadata.orientation > 8)
        metadata.orientation = 1;
    return metadata;
}
