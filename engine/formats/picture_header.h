// SPDX-License-Identifier: GPL-3.0-or-later
// Header checks: what a picture file declares, read and judged before any decoder allocates
// or reads by it. A file passes only when its declared size lies within the carving limits
// and every table, frame and offset it declares lies inside the file.
#ifndef KERV_FORMATS_PICTURE_HEADER_H
#define KERV_FORMATS_PICTURE_HEADER_H

#include "byte_source.h"

// The formats of the reader list, in its order.
enum class PictureFormat { kBmp, kPng, kJpeg, kTiff, kGif, kPnm, kPcx, kIco, kCur, kAni, kTga };
constexpr PictureFormat kAllPictureFormats[] = {
    PictureFormat::kBmp, PictureFormat::kPng, PictureFormat::kJpeg, PictureFormat::kTiff,
    PictureFormat::kGif, PictureFormat::kPnm, PictureFormat::kPcx,  PictureFormat::kIco,
    PictureFormat::kCur, PictureFormat::kAni, PictureFormat::kTga};

enum class HeaderProblem {
    kNone,
    kMalformed,       // not a valid header of the format, or a feature no reader supports
    kNoSize,          // a side of zero or below
    kOverLimit,       // a side over target::kMaxSide or more than target::kMaxPixels in all
    kTruncated,       // the file is shorter than its header says (or too short to hold the
                      // declared pixels at the format's best compression)
    kBadColourTable,  // a palette or colour table that does not fit its picture or the file
    kBadFrames,       // frame counts, frame tables or offsets that point beyond the file
};

struct HeaderVerdict {
    HeaderProblem problem = HeaderProblem::kNone;
    // The declared size when it could be read (also for kNoSize and kOverLimit); for files of
    // several pictures, the largest one.
    long long width = 0;
    long long height = 0;

    bool Passed() const { return problem == HeaderProblem::kNone; }
};

HeaderVerdict CheckPictureHeader(PictureFormat format, ByteSource& bytes);

// Whether the first bytes are those of the format (its signature; for TGA, which has none, a
// known image type and pixel depth), as the reader list asks before it chooses a reader.
bool RecognisePicture(PictureFormat format, ByteSource& bytes);

// Where one icon file lies inside an animated cursor.
struct IconRange {
    uint64_t offset = 0;
    uint64_t length = 0;
};
// The animated cursor's check; on a pass `first` is the icon of the animation's first step
// (the first of its sequence, or else its first frame), which is the picture the file shows.
HeaderVerdict CheckAni(ByteSource& bytes, IconRange& first);

#endif
