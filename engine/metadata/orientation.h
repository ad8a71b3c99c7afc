// SPDX-License-Identifier: GPL-3.0-or-later
// Turning stored pixels upright by their EXIF orientation (TIFF 6.0 tag 274).
#ifndef KERV_METADATA_ORIENTATION_H
#define KERV_METADATA_ORIENTATION_H

// Whether orientation 5..8 exchanges width and height.
inline bool SwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// Writes the upright picture of `stored` (width x height RGB, 3 bytes a pixel, no padding) to
// `upright`, which holds as many bytes and is width x height, or height x width when
// SwapsSides(orientation). Orientations outside 1..8 count as 1.
void TurnUpright(const unsigned char* stored, int width, int height, int orientation,
                 unsigned char* upright);

#endif
