// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture fuzz targets share: the toolkit and the reader list, set up once.
#ifndef KERV_FUZZ_PICTURE_READING_H
#define KERV_FUZZ_PICTURE_READING_H

#include <cstdlib>

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "fast_image.h"
#include "picture_handlers.h"

// Sets up the toolkit and the reader list for the life of the process and silences the log.
// The handlers are deleted at exit, as the programs delete them, so that the leak check at the
// end of a run finds nothing of ours.
inline void SetUpPictureReading()
{
    static wxInitializer toolkit;
    static wxLogNull quiet;
    AddPictureHandlers();
    std::atexit([] {
        wxFastImage::CleanUpHandlers();
        wxImage::CleanUpHandlers();
    });
}

#endif
