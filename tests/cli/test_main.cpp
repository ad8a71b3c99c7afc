// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the kerv-cli tests with the toolkit's picture handlers available for reading results.
#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/init.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 1;
    wxInitAllImageHandlers();
    return RUN_ALL_TESTS();
}
