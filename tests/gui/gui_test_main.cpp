// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the window test programs: GoogleTest first (listing the tests needs no display),
// then the toolkit with the application object that the program supplies, named as the main
// program names itself so that the settings file is the program's own (under the test's home).
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <wx/init.h>

#include "app_identity.h"
#include "display_hold.h"
#include "gui_test_support.h"

// Each test program says which application object it runs under.
wxApp* CreateTestApplication();

namespace {

// The toolkit cannot be started a second time in one process once it has failed, and under
// load a display that answered a moment ago can refuse the toolkit's own connection; the
// program then starts again as it was started, a few times, before it gives up.
constexpr int kStartAttempts = 5;
const char* const kAttemptVariable = "KERV_TEST_START_ATTEMPT";

[[noreturn]] void StartAgainOrGiveUp(const std::vector<std::string>& arguments)
{
    const char* attemptText = std::getenv(kAttemptVariable);
    const int attempt = attemptText ? std::atoi(attemptText) : 1;
    if (attempt >= kStartAttempts) {
        fprintf(stderr,
                "cannot start the toolkit after %d attempts: is there a display (DISPLAY)?\n",
                attempt);
        std::exit(1);
    }
    setenv(kAttemptVariable, std::to_string(attempt + 1).c_str(), 1);
    usleep(500 * 1000);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    perror("cannot start the test program again");
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    DisplayHold display;

    wxApp::SetInstance(CreateTestApplication());
    if (!display.IsHeld() || !wxEntryStart(argc, argv))
        StartAgainOrGiveUp(arguments);
    InstallFailingAssertHandler();
    wxTheApp->SetVendorName(szVendorName);
    wxTheApp->SetAppName(szAppName);
    wxInitAllImageHandlers();

    const int result = RUN_ALL_TESTS();

    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
