// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the headless tests: the toolkit's base library initialised, no display needed.
#include <wx/init.h>

#include <gtest/gtest.h>

#include "test_assert_handler.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxInitializer initializer;
    if (!initializer.IsOk())
        return 1;
    InstallTestLogAndAssertHandler();
    return RUN_ALL_TESTS();
}
