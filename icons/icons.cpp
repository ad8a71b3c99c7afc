// SPDX-License-Identifier: GPL-3.0-or-later
#include "icons.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "editcopy.xpm"
#include "open.xpm"
#include "save.xpm"

wxBitmap LoadIconPng()
{
    wxMemoryInputStream stream(icon_png, icon_png_size);
    wxImage image(stream, wxBITMAP_TYPE_PNG);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}
