// SPDX-License-Identifier: GPL-3.0-or-later
// The per-format header checks behind CheckPictureHeader, and what they share.
#ifndef KERV_FORMATS_HEADER_CHECKS_H
#define KERV_FORMATS_HEADER_CHECKS_H

#include "picture_header.h"

namespace header {

HeaderVerdict Fail(HeaderProblem problem, long long width = 0, long long height = 0);
// kNoSize, kOverLimit or a pass for a declared size.
HeaderVerdict SizeVerdict(long long width, long long height);
// The larger of two passing verdicts (by pixel count), or the first failing one.
HeaderVerdict Larger(const HeaderVerdict& a, const HeaderVerdict& b);

HeaderVerdict CheckBmp(ByteSource& bytes);
// A device-independent bitmap of an icon entry, within [offset, offset + length). Its height
// counts the colour picture and its transparency mask.
HeaderVerdict CheckIconDib(ByteSource& bytes, uint64_t offset, uint64_t length);
HeaderVerdict CheckPng(ByteSource& bytes, uint64_t offset = 0, uint64_t length = UINT64_MAX);
HeaderVerdict CheckJpeg(ByteSource& bytes);
HeaderVerdict CheckTiff(ByteSource& bytes);
HeaderVerdict CheckGif(ByteSource& bytes);
HeaderVerdict CheckPnm(ByteSource& bytes);
HeaderVerdict CheckPcx(ByteSource& bytes);
// An icon or cursor directory (type 1 or 2) at offset, every entry checked.
HeaderVerdict CheckIconFile(ByteSource& bytes, int type, uint64_t offset = 0,
                            uint64_t length = UINT64_MAX);
HeaderVerdict CheckAni(ByteSource& bytes);
HeaderVerdict CheckAniFrames(ByteSource& bytes, IconRange& first);
HeaderVerdict CheckTga(ByteSource& bytes);

}  // namespace header

#endif
