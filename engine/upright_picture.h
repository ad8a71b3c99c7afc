// SPDX-License-Identifier: GPL-3.0-or-later
// The step right after a picture file is decoded: its metadata is read, and its pixels are
// turned upright by its EXIF orientation, so that every user carves what a viewer shows.
#ifndef KERV_ENGINE_UPRIGHT_PICTURE_H
#define KERV_ENGINE_UPRIGHT_PICTURE_H

#include <memory>

#include <wx/string.h>

#include "picture_metadata.h"

class wxFastImage;

// Reads the metadata of the file at path, from which `picture` was just decoded, and turns
// `picture` upright. Null when there is no memory to turn it (the picture is then unusable: its
// stored pixels would be written out as upright).
std::shared_ptr<const PictureMetadata> TakeUpright(const wxString& path, wxFastImage& picture);

#endif
