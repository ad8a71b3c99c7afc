// SPDX-License-Identifier: GPL-3.0-or-later
// Writing metadata into an encoded picture: the EXIF and XMP blocks corrected for the upright,
// resized pixels; JPEG and TIFF through exiv2, PNG through our own chunk writer (exiv2 would
// store PNG EXIF as an ImageMagick text profile and the ICC profile under an empty name).
#include <algorithm>
#include <cctype>

#include <zlib.h>

#include "exiv2_session.h"
#include "picture_metadata.h"
#include "png_chunks.h"

namespace {

template <typename Data, typename Key>
void SetIfPresent(Data& data, const char* name, long value)
{
    const auto it = data.findKey(Key(name));
    if (it != data.end())
        it->setValue(std::to_string(value));
}

// The EXIF block for upright pixels of width x height: orientation 1, the pixel dimensions
// where the block gives them, and no thumbnail (it shows the picture before it was carved).
std::string CorrectedExif(const std::string& block, int width, int height)
{
    Exiv2::ExifData exif;
    const Exiv2::ByteOrder order =
        Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(block.data()),
                                  static_cast<uint32_t>(block.size()));
    Exiv2::ExifThumb(exif).erase();
    using Key = Exiv2::ExifKey;
    SetIfPresent<Exiv2::ExifData, Key>(exif, "Exif.Image.Orientation", 1);
    SetIfPresent<Exiv2::ExifData, Key>(exif, "Exif.Photo.PixelXDimension", width);
    SetIfPresent<Exiv2::ExifData, Key>(exif, "Exif.Photo.PixelYDimension", height);
    SetIfPresent<Exiv2::ExifData, Key>(exif, "Exif.Image.ImageWidth", width);
    SetIfPresent<Exiv2::ExifData, Key>(exif, "Exif.Image.ImageLength", height);
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order == Exiv2::invalidByteOrder ? Exiv2::littleEndian : order,
                              exif);
    return std::string(blob.begin(), blob.end());
}

// The XMP packet with the same corrections.
std::string CorrectedXmp(const std::string& packet, int width, int height)
{
    Exiv2::XmpData xmp;
    if (Exiv2::XmpParser::decode(xmp, packet) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "the XMP packet cannot be parsed");
    using Key = Exiv2::XmpKey;
    SetIfPresent<Exiv2::XmpData, Key>(xmp, "Xmp.tiff.Orientation", 1);
    SetIfPresent<Exiv2::XmpData, Key>(xmp, "Xmp.exif.PixelXDimension", width);
    SetIfPresent<Exiv2::XmpData, Key>(xmp, "Xmp.exif.PixelYDimension", height);
    SetIfPresent<Exiv2::XmpData, Key>(xmp, "Xmp.tiff.ImageWidth", width);
    SetIfPresent<Exiv2::XmpData, Key>(xmp, "Xmp.tiff.ImageLength", height);
    std::string corrected;
    if (Exiv2::XmpParser::encode(corrected, xmp) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "the XMP packet cannot be written");
    return corrected;
}

void EmbedWithExiv2(std::string& file, const PictureMetadata& metadata, const std::string& exif,
                    const std::string& xmp)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
        reinterpret_cast<const Exiv2::byte*>(file.data()), static_cast<long>(file.size()));
    image->readMetadata();
    if (!exif.empty()) {
        Exiv2::ExifData data;
        Exiv2::ExifParser::decode(data, reinterpret_cast<const Exiv2::byte*>(exif.data()),
                                  static_cast<uint32_t>(exif.size()));
        image->setExifData(data);
    }
    if (!xmp.empty()) {
        image->setXmpPacket(xmp);
        image->writeXmpFromPacket(true);
    }
    if (!metadata.icc.empty()) {
        Exiv2::DataBuf icc(reinterpret_cast<const Exiv2::byte*>(metadata.icc.data()),
                           static_cast<long>(metadata.icc.size()));
        image->setIccProfile(icc, true);
    }
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.open();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf written = io.read(static_cast<long>(io.size()));
    io.close();
    file.assign(reinterpret_cast<const char*>(written.pData_), static_cast<size_t>(written.size_));
}

std::string Compressed(const std::string& data)
{
    uLongf size = ::compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (::compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                    reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                    Z_BEST_COMPRESSION) != Z_OK)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "the colour profile cannot be compressed");
    out.resize(size);
    return out;
}

// The metadata chunks go right after IHDR, before PLTE and IDAT as iCCP and eXIf must; the
// encoder's own chunks of the same kinds (and sRGB, which contradicts an iCCP) give way.
void EmbedInPng(std::string& file, const PictureMetadata& metadata, const std::string& exif,
                const std::string& xmp)
{
    std::optional<std::vector<PngChunk>> chunks = SplitPng(file);
    if (!chunks || chunks->front().type != "IHDR")
        throw Exiv2::Error(Exiv2::kerErrorMessage, "the encoded PNG cannot be read back");
    std::vector<PngChunk> added;
    if (!metadata.icc.empty())
        added.push_back({"iCCP", std::string("ICC profile\0\0", 13) + Compressed(metadata.icc)});
    if (!exif.empty())
        added.push_back({"eXIf", exif});
    if (!xmp.empty())
        added.push_back({"iTXt", std::string("XML:com.adobe.xmp\0\0\0\0\0", 22) + xmp});
    if (!metadata.pngPhysicalSize.empty())
        added.push_back({"pHYs", metadata.pngPhysicalSize});
    const auto replaced = [&](const PngChunk& chunk) {
        if (chunk.type == "sRGB")
            return !metadata.icc.empty();
        return std::any_of(added.begin(), added.end(), [&](const PngChunk& mine) {
            return mine.type == chunk.type &&
                   (chunk.type != "iTXt" || chunk.data.rfind("XML:com.adobe.xmp", 0) == 0);
        });
    };
    chunks->erase(std::remove_if(chunks->begin() + 1, chunks->end(), replaced), chunks->end());
    chunks->insert(chunks->begin() + 1, added.begin(), added.end());
    file = JoinPng(*chunks);
}

std::string BlockNames(const PictureMetadata& metadata)
{
    std::string names;
    const auto add = [&](bool present, const char* name) {
        if (present)
            names += (names.empty() ? "" : ", ") + std::string(name);
    };
    add(!metadata.exif.empty(), "EXIF");
    add(!metadata.xmp.empty(), "XMP");
    add(!metadata.icc.empty(), "colour profile");
    return names;
}

}  // namespace

MetadataContainer ContainerForExtension(std::string extension)
{
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "jpg" || extension == "jpeg" || extension == "jpe")
        return MetadataContainer::kJpeg;
    if (extension == "png")
        return MetadataContainer::kPng;
    if (extension == "tif" || extension == "tiff")
        return MetadataContainer::kTiff;
    return MetadataContainer::kNone;
}

std::string EmbedMetadata(std::string& file, MetadataContainer container,
                          const PictureMetadata& metadata, int width, int height)
{
    const bool phys = container == MetadataContainer::kPng && !metadata.pngPhysicalSize.empty();
    if (!metadata.HasBlocks() && !phys)
        return {};
    if (container == MetadataContainer::kNone)
        return BlockNames(metadata) + " not kept: the output format cannot hold them";
    SilenceExiv2();
    try {
        const std::string exif =
            metadata.exif.empty() ? std::string() : CorrectedExif(metadata.exif, width, height);
        const std::string xmp =
            metadata.xmp.empty() ? std::string() : CorrectedXmp(metadata.xmp, width, height);
        std::string updated = file;
        if (container == MetadataContainer::kPng)
            EmbedInPng(updated, metadata, exif, xmp);
        else
            EmbedWithExiv2(updated, metadata, exif, xmp);
        file.swap(updated);
        return {};
    } catch (const std::exception& error) {
        return BlockNames(metadata) + " not kept: " + error.what();
    }
}
