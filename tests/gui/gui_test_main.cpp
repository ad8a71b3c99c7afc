// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the window test programs: GoogleTest first (listing the tests needs no display),
// then the toolkit with the application object that the program supplies, named as the main
// program names itself so that the settings file is the program's own (under the test's home).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "app_identity.h"
#include "display_hold.h"
#include "gui_test_support.h"

// Each test program says which application object it runs under.
wxApp* CreateTestApplication();

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    DisplayHold display;

    wxApp::SetInstance(CreateTestApplication());
    if (!display.IsHeld() || !wxEntryStart(argc, argv)) {
        fprintf(stderr, "cannot start the toolkit: is there a display (DISPLAY)?\n");
        return 1;
    }
    InstallFailingAssertHandler();
    wxTheApp->SetVendorName(szVendorName);
    wxTheApp->SetAppName(szAppName);
    wxInitAllImageHandlers();

    const int result = RUN_ALL_TESTS();

    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
