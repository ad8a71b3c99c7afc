// SPDX-License-Identifier: GPL-3.0-or-later
// The energy of a picture: Sobel gradient magnitude of its grey plane.
#ifndef KERV_SEAM_SOBEL_H
#define KERV_SEAM_SOBEL_H

// Gradient magnitude of every interior pixel of a grey plane (one byte per pixel, row-major,
// `height` rows of `width`), scaled so that the largest magnitude M becomes 255:
//   v <- v * 255 / M (integer, truncating), and a scaled value of 4 or less becomes 0.
// The one-pixel frame is 0. When M is 0 (a flat plane, or one under 3 pixels wide or high) every
// element is 0. Returns a malloc'd array of height*width ints that the caller frees.
int* Sobel(const unsigned char* grey, int height, int width);

// Sets the one-pixel frame of a width x height energy array to 255.
void RaiseEnergyFrame(int* energy, int width, int height);

#endif
