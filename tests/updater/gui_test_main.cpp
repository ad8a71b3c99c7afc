// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the window tests: the updater's application object without its window, on the
// display given by the environment (Xvfb in the test scripts).
#include "config_keys.h"
#include "main_app.h"

#include <wx/log.h>

#include <gtest/gtest.h>

#include "test_assert_handler.h"

wxIMPLEMENT_APP_NO_MAIN(CMainApp);

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();  // listing needs no display
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    InstallTestLogAndAssertHandler();
    wxTheApp->SetVendorName(szVendorName);
    wxTheApp->SetAppName(szAppName);
    int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
