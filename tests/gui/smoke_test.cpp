// SPDX-License-Identifier: GPL-3.0-or-later
// Black-box: the program itself, started as a process on the test display with a picture on
// its command line (as a file manager's "Open with" starts it), shows its main window with that
// picture open and ends cleanly after Alt+F4 with the exit question answered.
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>

#include "process_driver.h"

using SmokeTest = KervProcessTest;

TEST_F(SmokeTest, KervShowsItsMainWindowAndEndsCleanlyAfterAltF4)
{
    // An unknown option is passed over; the picture is opened.
    Start({"--no-such-option", KERV_SAMPLES_DIR "/coffee.png"});
    const std::string main = WaitForWindow("Vandrel 0.67 - coffee.png", 30);
    ASSERT_FALSE(main.empty()) << "no window titled \"Vandrel 0.67 - coffee.png\" appeared";

    TypeKeys(main, "alt+F4");
    const std::string question = WaitForWindow("Question");
    ASSERT_FALSE(question.empty()) << "Alt+F4 did not ask \"Really quit?\"";

    // "Yes" is the question's default button.
    TypeKeys(question, "Return");

    int status = 0;
    ASSERT_TRUE(WaitForExit(15, &status)) << "Kerv did not end after the question";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    std::ifstream settings(root / "home" / ".Kerv");
    std::stringstream text;
    text << settings.rdbuf();
    EXPECT_NE(text.str().find("[Look]"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("[Operation]"), std::string::npos) << text.str();
}
