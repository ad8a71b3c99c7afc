// SPDX-License-Identifier: GPL-3.0-or-later
// Kerv started as a process on the test display, in a folder of its own with a private HOME, and
// driven like a user: real key presses through xdotool, and the close request a window manager
// sends when the close box is clicked.
#ifndef KERV_TESTS_GUI_PROCESS_DRIVER_H
#define KERV_TESTS_GUI_PROCESS_DRIVER_H

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display_hold.h"
#include "test_files.h"

// Polls done until it is true or the seconds have passed; returns its last value.
bool WaitUntil(int seconds, const std::function<bool()>& done);

// The output of a shell command line, its error output dropped.
inline std::string RunCommand(const std::string& command)
{
    return CommandOutput(command + " 2>/dev/null");
}

// Focuses the window and types the keys (xdotool names, e.g. "alt+F4 Return").
void TypeKeys(const std::string& window, const std::string& keys);

// Sends the window the WM_DELETE_WINDOW request of its close box; false when it cannot.
bool SendCloseRequest(const std::string& window);

class KervProcessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Kerv with the arguments; the settings say "no" to the update reminder, so no
    // question but the ones a test is about comes up.
    void Start(const std::vector<std::string>& args);

    // The first visible window of the process whose whole title matches the regular
    // expression; empty when none appears in time.
    std::string WaitForWindow(const std::string& title, int seconds = 15) const;

    // True when no visible window of the process has that title any more, within the time.
    bool WaitUntilGone(const std::string& title, int seconds = 5) const;

    // True when Kerv ended within the time; its wait status in status.
    bool WaitForExit(int seconds, int* status);

    bool IsRunning();

    std::string FindWindow(const std::string& title) const;

    TempDir folder;
    std::filesystem::path root = folder.Path();
    pid_t pid = -1;
    DisplayHold display;
};

#endif
