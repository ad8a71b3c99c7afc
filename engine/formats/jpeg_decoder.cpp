// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG through libjpeg (the library the toolkit's reader uses, with the same settings, so the
// pixels agree), but with an error manager of our own: a damaged file ends the decode with a
// failure instead of libjpeg printing to standard error, and its data is read through
// ByteSource in chunks. CMYK and YCCK files (stored inverted, as Adobe writes them) become RGB
// as C * K / 255 rounded up and so on, as the toolkit's reader makes them.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "decoded_picture.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

void Escape(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

void Silence(j_common_ptr) {}

struct Source {
    jpeg_source_mgr base;
    ByteSource* bytes;
    uint64_t at;
    std::vector<JOCTET> chunk;
};

constexpr JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<Source*>(info->src);
    const uint64_t left = source->bytes->Size() - source->at;
    const size_t count = static_cast<size_t>(std::min<uint64_t>(source->chunk.size(), left));
    if (count == 0 || !source->bytes->Read(source->at, source->chunk.data(), count)) {
        // A truncated file reads as ending there, as libjpeg's own sources do.
        source->base.next_input_byte = kEndOfImage;
        source->base.bytes_in_buffer = 2;
        return TRUE;
    }
    source->at += count;
    source->base.next_input_byte = source->chunk.data();
    source->base.bytes_in_buffer = count;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count)
{
    auto* source = reinterpret_cast<Source*>(info->src);
    while (count > 0) {
        if (static_cast<size_t>(count) <= source->base.bytes_in_buffer) {
            source->base.next_input_byte += count;
            source->base.bytes_in_buffer -= count;
            return;
        }
        count -= static_cast<long>(source->base.bytes_in_buffer);
        source->base.bytes_in_buffer = 0;
        FillBuffer(info);
        if (source->base.next_input_byte == kEndOfImage)
            return;
    }
}

// Decodes with `info` set up; false when memory runs out. Errors jump back to DecodeJpeg, so
// nothing here may own memory of its own.
bool Decode(jpeg_decompress_struct& info, DecodedPicture& picture)
{
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    if (!picture.Allocate(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                          false))
        return false;
    const size_t width = info.output_width;
    // From libjpeg's pool, freed with the decompressor: an error jumps past this frame.
    JSAMPARRAY rows = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                width * info.output_components, 1);
    const JSAMPLE* row = rows[0];
    unsigned char* out = picture.rgb.get();
    while (info.output_scanline < info.output_height) {
        jpeg_read_scanlines(&info, rows, 1);
        if (!cmyk) {
            std::copy(row, row + width * 3, out);
        } else {
            for (size_t x = 0; x < width; ++x) {
                const unsigned k = row[x * 4 + 3];
                for (int c = 0; c < 3; ++c)
                    out[x * 3 + c] = static_cast<unsigned char>((row[x * 4 + c] * k + 254) / 255);
            }
        }
        out += width * 3;
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

bool DecodeJpeg(ByteSource& bytes, DecodedPicture& picture)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = Escape;
    errors.base.output_message = Silence;
    Source source{};
    source.bytes = &bytes;
    source.chunk.resize(64 * 1024);
    source.base.init_source = InitSource;
    source.base.fill_input_buffer = FillBuffer;
    source.base.skip_input_data = SkipInput;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = TermSource;
    // Everything the decode allocates outside libjpeg lives in `picture` and `source`, whose
    // destructors run normally after the jump back here.
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.src = &source.base;
    const bool decoded = Decode(info, picture);
    jpeg_destroy_decompress(&info);
    return decoded;
}
