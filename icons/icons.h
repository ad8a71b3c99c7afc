// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures compiled into the main program: three tool bar icons as XPM and the window
// icon as a 32x32 RGBA PNG. scripts/draw-icons.py draws them.
#ifndef KERV_ICONS_ICONS_H
#define KERV_ICONS_ICONS_H

#include <cstddef>

#include <wx/bitmap.h>

extern const char* const open_xpm[];      // 16x15
extern const char* const save_xpm[];      // 16x15
extern const char* const editcopy_xpm[];  // 16x16

extern const unsigned char icon_png[];  // the PNG file's bytes
extern const std::size_t icon_png_size;

// The window icon as a bitmap; needs the toolkit's PNG handler to be registered.
wxBitmap LoadIconPng();

#endif
