// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_handlers.h"

#include <wx/image.h>

#include "fast_image.h"

void AddFastImageHandlers()
{
    wxFastImage::AddHandler(new wxBMPHandler);
    wxFastImage::AddHandler(new wxPNGHandler);
    wxFastImage::AddHandler(new wxJPEGHandler);
    wxFastImage::AddHandler(new wxTIFFHandler);
    wxFastImage::AddHandler(new wxGIFHandler);
    wxFastImage::AddHandler(new wxPNMHandler);
    wxFastImage::AddHandler(new wxPCXHandler);
    wxFastImage::AddHandler(new wxICOHandler);
    wxFastImage::AddHandler(new wxCURHandler);
    wxFastImage::AddHandler(new wxANIHandler);
    wxFastImage::AddHandler(new wxTGAHandler);
}

void AddPictureHandlers()
{
    wxInitAllImageHandlers();
    AddFastImageHandlers();
}
