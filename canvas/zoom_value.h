// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom percentages the canvas accepts, and the reading of a typed zoom.
#ifndef KERV_CANVAS_ZOOM_VALUE_H
#define KERV_CANVAS_ZOOM_VALUE_H

#include <wx/string.h>

// The canvas keeps the whole picture as a bitmap at the zoom, and the mask overlay of the same
// size. At 200 % the largest picture the program accepts (32000 pixels a side, 100 million
// pixels) becomes 400 million view pixels, 1.6 GB as a 32-bit bitmap: the same order as the
// engine's own tables for that picture. Beyond that the view alone would outgrow them.
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 200;

// "135", "135%", "135 %" and blanks around them: the percentage. -1 for anything else: no
// number, more than one "%", a fraction, other characters, and values outside kMinZoom to
// kMaxZoom (0 and negative values included).
int ParseZoom(wxString text);

#endif
