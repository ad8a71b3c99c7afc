// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the engine, session, format and kerv-cli tests with the toolkit initialised (no display
// needed) and the picture handlers registered, the toolkit's own among them.
#include <gtest/gtest.h>

#include <wx/init.h>

#include "fast_image.h"
#include "picture_handlers.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 1;
    AddPictureHandlers();
    const int result = RUN_ALL_TESTS();
    wxFastImage::CleanUpHandlers();
    return result;
}
