// SPDX-License-Identifier: GPL-3.0-or-later
// Picture files apart from the window: the name a resized picture is saved under by default,
// and writing a picture so that a failure never damages an existing file.
#ifndef KERV_MAINFRAME_PICTURE_FILES_H
#define KERV_MAINFRAME_PICTURE_FILES_H

#include <wx/string.h>

class wxImage;
struct PictureMetadata;

// The opened picture's path with "_kerv" after its name: /home/u/beach.jpg gives
// /home/u/beach_kerv.jpg. Only the file name's last extension counts (a dot in a folder name
// is not an extension); a name without extension gets "_kerv" at its end.
wxString DefaultSaveName(const wxString& path);

// Encodes picture in the format named by path's extension (the toolkit's registered image
// handlers) with the metadata of the file it came from (null for none), writes it to a
// temporary file in path's folder, flushes it to disk and renames it over path. An existing
// file at path keeps its permissions when replaced. On failure nothing at path has changed,
// the temporary file is gone, and error says why (translated). A saved picture that lost some
// of the metadata sets warning.
bool SavePictureSafely(const wxImage& picture, const PictureMetadata* metadata,
                       const wxString& path, wxString& error, wxString& warning);

#endif
