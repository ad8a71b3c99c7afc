// SPDX-License-Identifier: GPL-3.0-or-later
// What the canvas shows, as plain pixel arithmetic: the zoomed picture, the mask laid over it,
// and the brush outline. The window class only moves rectangles between these and the screen.
//
// The canvas draws the mask as if blitted with a bitwise AND, black transparent, and the
// outline as if drawn with XOR in white, but computes both itself: the toolkit's cairo-based
// device contexts offer neither raster operation. Removing the outline therefore means drawing
// its area again without it, which gives the same screen as XOR-ing it a second time.
#ifndef KERV_CANVAS_VIEW_COMPOSE_H
#define KERV_CANVAS_VIEW_COMPOSE_H

#include <utility>
#include <vector>

namespace canvasview {

// The source index shown at view index i when `source` pixels are scaled to `view` pixels by
// the toolkit's nearest-neighbour (normal quality) scaling: i * floor(source * 2^16 / view)
// / 2^16. Always within 0 to source - 1 for i within 0 to view - 1.
int NearestSource(int i, int source, int view);

// ANDs every RGB pixel of `picture` (width x height, tightly packed) with the pixel at the same
// place in `overlay` (same layout), except where the overlay is black: black lets the picture
// show unchanged, red (255, 0, 0) keeps only its red channel, green only its green.
void AndOverlay(unsigned char* picture, const unsigned char* overlay, int width, int height);

// The pixels of the brush outline: a one-pixel circle of radius r around (cx, cy), each point
// once, sorted. Empty for r below 1 (the ellipse's box is then empty).
std::vector<std::pair<int, int>> CircleOutline(int cx, int cy, int r);

// A rectangle of pixels.
struct Box {
    int x, y, width, height;
};

// The window box that holds every point of CircleOutline(cx, cy, r), with a pixel to spare.
Box OutlineBox(int cx, int cy, int r);

// The window box that covers the mask box `mask` at the zoom (percent): every view pixel whose
// NearestSource lies within `mask`, rounded outwards.
Box ZoomedOutwards(const Box& mask, int zoom);

// Inverts (XOR with white) the RGB pixels of an image whose top-left pixel is at (left, top)
// wherever a point of `points` lies inside it.
void InvertPoints(unsigned char* rgb, int left, int top, int width, int height,
                  const std::vector<std::pair<int, int>>& points);

}  // namespace canvasview

#endif
