// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the update tests' entry points: toolkit log messages go to stderr, and a failed
// toolkit assertion fails the test that caused it.
#ifndef KERV_TESTS_UPDATER_TEST_ASSERT_HANDLER_H
#define KERV_TESTS_UPDATER_TEST_ASSERT_HANDLER_H

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include "config_keys.h"
#include "test_wx.h"

inline void InstallTestLogAndAssertHandler()
{
    wxLog::SetActiveTarget(new wxLogStderr);
    InstallFailingAssertHandler();
}

// Runs the window tests on the display of the environment (Xvfb in the test scripts), with the
// application object the caller has set, named as the programs name theirs for the settings;
// with withLoop, an event loop is active all along. Listing the tests needs no display.
inline int RunWindowTests(int argc, char** argv, bool withLoop)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    InstallTestLogAndAssertHandler();
    wxTheApp->SetVendorName(szVendorName);
    wxTheApp->SetAppName(szAppName);
    int result = 0;
    {
        std::unique_ptr<wxEventLoop> loop(withLoop ? new wxEventLoop : nullptr);
        std::unique_ptr<wxEventLoopActivator> active(loop ? new wxEventLoopActivator(loop.get())
                                                          : nullptr);
        result = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return result;
}

#endif
