// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom percentages the canvas accepts, the reading of a typed zoom, the steps of zooming in
// and out, and the zoom that fits a picture into a pane.
#ifndef KERV_CANVAS_ZOOM_VALUE_H
#define KERV_CANVAS_ZOOM_VALUE_H

#include <wx/string.h>

// The canvas computes only the visible part of the zoomed picture, so the zoom costs no memory;
// beyond 800 % a pixel of the picture is larger than the brush outline's finest steps are useful.
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 800;

// "135", "135%", "135 %" and blanks around them: the percentage. -1 for anything else: no
// number, more than one "%", a fraction, other characters, and values outside kMinZoom to
// kMaxZoom (0 and negative values included).
int ParseZoom(wxString text);

// The next zoom of the ladder 5, 10, 15, 25, 50, 75, 100, 150, 200, 300, 400, 600, 800 above
// (steps > 0) or below (steps < 0) zoom, repeated |steps| times; zooms off the ladder go to the
// nearest step in that direction. Stays within kMinZoom to kMaxZoom.
int StepZoom(int zoom, int steps);

// The largest zoom within kMinZoom to kMaxZoom at which a cols x rows picture, scaled as the
// canvas scales it (size * zoom / 100, integer division), fits into a pane of paneWidth x
// paneHeight; kMinZoom when even that does not fit or there is no picture.
int FitZoom(int cols, int rows, int paneWidth, int paneHeight);

#endif
