// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the update check tests: a plain application object on the display of the
// environment (Xvfb in the test scripts), message boxes answered in process.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include <gtest/gtest.h>

#include "config_keys.h"
#include "test_assert_handler.h"

#include <memory>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();  // listing needs no display
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    InstallTestLogAndAssertHandler();
    wxTheApp->SetVendorName(szVendorName);
    wxTheApp->SetAppName(szAppName);
    int result = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return result;
}
