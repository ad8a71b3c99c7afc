// SPDX-License-Identifier: GPL-3.0-or-later
// Arithmetic of target sizes, shared by the main window's target fields and kerv-cli.
#ifndef KERV_SEAM_TARGET_SIZE_H
#define KERV_SEAM_TARGET_SIZE_H

#include <string>

namespace target {

// The largest result either program carves to: each side at most kMaxSide pixels and at most
// kMaxPixels pixels in all (the engine holds about 12 bytes per pixel, so about 1.2 GB at the
// limit).
constexpr int kMaxSide = 32000;
constexpr long long kMaxPixels = 100'000'000;

// A target field's text read the way strtol reads a decimal number: leading blanks and a sign
// accepted, reading stops at the first non-digit, no leading digits read as 0. Values beyond
// the int range saturate.
int ReadLeadingInteger(const std::string& text);

// original * percent / 100, computed in extended precision and truncated toward zero. Here and
// below, results beyond the int range saturate.
int PercentOf(int original, int percent);

// The other side for the aspect ratio of the picture as opened (original width x height),
// each computed in extended precision and truncated toward zero:
//   height = width / (originalWidth / originalHeight)
//   width = height / (originalHeight / originalWidth)
int HeightForWidth(int width, int originalWidth, int originalHeight);
int WidthForHeight(int height, int originalWidth, int originalHeight);

// Whether a result of width x height lies within 1..kMaxSide on each side and kMaxPixels in all.
bool IsCarvableSize(long long width, long long height);

}  // namespace target

#endif
