// SPDX-License-Identifier: GPL-3.0-or-later
// What the canvas shows, as plain pixel arithmetic: the zoomed picture, the mask laid over it,
// the brush outline, and the brush strokes painted on the mask. The window class only moves
// rectangles between these and the screen. Only the part of the zoomed picture that is visible
// is ever computed, so the zoom costs no memory of its own.
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

// Whether the toolkit's normal-quality scaling of cols x rows to viewWidth x viewHeight averages
// blocks: the sizes differ and both sides shrink by a whole factor (1 included).
bool AveragesBlocks(int cols, int rows, int viewWidth, int viewHeight);

// The pixels of the zoomed picture (view) in the rectangle at (left, top), width x height,
// written to out (tightly packed RGB), exactly as the toolkit's normal-quality scaling of the
// whole picture (cols x rows, tightly packed RGB) to viewWidth x viewHeight would show them: the
// picture itself when the sizes are equal; the average of each block (truncated) when
// AveragesBlocks; otherwise the nearest source pixel (NearestSource). The rectangle lies
// within the view.
void ZoomedPart(const unsigned char* picture, int cols, int rows, int viewWidth, int viewHeight,
                int left, int top, int width, int height, unsigned char* out);

// Paints, on an RGB image of width x height, every pixel whose centre lies within radius of the
// segment from (x0, y0) to (x1, y1): the union of the discs of that radius centred anywhere on
// it (one disc when both ends are the same point). Returns the box of the pixels it may have
// changed, cut to the image, as {left, top, width, height} (width 0 when none).
struct PaintBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
PaintBox PaintSegment(unsigned char* rgb, int width, int height, int x0, int y0, int x1, int y1,
                      int radius, unsigned char red, unsigned char green, unsigned char blue);

// ANDs every RGB pixel of `picture` (width x height, tightly packed) with the pixel at the same
// place in `overlay` (same layout), except where the overlay is black: black lets the picture
// show unchanged, red (255, 0, 0) keeps only its red channel, green only its green.
void AndOverlay(unsigned char* picture, const unsigned char* overlay, int width, int height);

// One flag per row of an RGB image (width x height, tightly packed): 1 where the row holds a
// pixel that is not black, else 0.
std::vector<unsigned char> PaintedRows(const unsigned char* rgb, int width, int height);

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
