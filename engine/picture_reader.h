// SPDX-License-Identifier: GPL-3.0-or-later
// The one road from a picture's bytes to its pixels, for pictures and masks alike: the reader
// for the format (named by type, or the first of wxFastImage's reader list that recognises the
// bytes), that format's header check, then the decode. Nothing reaches a decoder before its
// header has passed.
#ifndef KERV_ENGINE_PICTURE_READER_H
#define KERV_ENGINE_PICTURE_READER_H

#include <wx/image.h>
#include <wx/string.h>

class ByteSource;
class wxInputStream;

// Decodes `stream`, whose bytes `bytes` also gives by offset, into `image`. On failure logs the
// reason (a refused header at error level) and returns false; `image` is then not OK.
bool ReadPicture(wxInputStream& stream, ByteSource& bytes, long type, int index, wxImage& image);

// Why the picture file `name` is refused from its header alone, in words (for the open
// command's message and kerv-cli's error line); empty when it passes or no reader knows it.
wxString PictureHeaderRefusal(const wxString& name);

// Reads a picture file through the same road into a toolkit image, as masks are read.
bool ReadPictureFile(const wxString& name, wxImage& image);

#endif
