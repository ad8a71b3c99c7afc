// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture fuzz targets share: the toolkit and the reader list, set up once.
#ifndef KERV_FUZZ_PICTURE_READING_H
#define KERV_FUZZ_PICTURE_READING_H

#include <cstddef>
#include <cstdlib>

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "fast_image.h"
#include "picture_handlers.h"
#include "picture_header.h"

// Sets up the toolkit and the reader list for the life of the process and silences the log.
// The handlers are deleted at exit, as the programs delete them, so that the leak check at the
// end of a run finds nothing of ours.
inline void SetUpPictureReading()
{
    static wxInitializer toolkit;
    static wxLogNull quiet;
    AddPictureHandlers();
    std::atexit([] {
        wxFastImage::CleanUpHandlers();
        wxImage::CleanUpHandlers();
    });
}

// Pictures larger than this are judged by their header check alone. A few hundred bytes of
// progressive JPEG or deflate can declare and fill a picture at the carving limits, and decoding
// 100 million pixels under the sanitizers takes longer than the run's per-input time limit; such
// a decode is slow, not faulty, and its memory is bounded by the header check's limits.
constexpr long long kFuzzMaxDecodedPixels = 1LL << 22;

// Whether any format that recognises the bytes declares more than kFuzzMaxDecodedPixels.
inline bool DeclaresLargePicture(const void* data, size_t size)
{
    MemoryBytes bytes(data, size);
    for (PictureFormat format : kAllPictureFormats) {
        if (!RecognisePicture(format, bytes))
            continue;
        const HeaderVerdict verdict = CheckPictureHeader(format, bytes);
        if (verdict.Passed() && verdict.width > kFuzzMaxDecodedPixels / verdict.height)
            return true;
    }
    return false;
}

#endif
