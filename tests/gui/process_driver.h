// SPDX-License-Identifier: GPL-3.0-or-later
// Kerv started as a process on the test display, in a folder of its own with a private HOME, and
// driven like a user: real key presses through xdotool, and the close request a window manager
// sends when the close box is clicked.
#ifndef KERV_TESTS_GUI_PROCESS_DRIVER_H
#define KERV_TESTS_GUI_PROCESS_DRIVER_H

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display_hold.h"
#include "test_files.h"
#include "test_process.h"

// The output of a shell command line, its error output dropped.
inline std::string RunCommand(const std::string& command)
{
    return CommandOutput(command + " 2>/dev/null");
}

class KervProcessTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts Kerv with the arguments; the settings say "no" to the update reminder, so no
    // question but the ones a test is about comes up.
    void Start(const std::vector<std::string>& args);

    // The first visible window of the process whose whole title matches the regular
    // expression; empty when none appears in time.
    std::string WaitForWindow(const std::string& title, int seconds = 15) const;

    // True when no visible window of the process has that title any more, within the time.
    bool WaitUntilGone(const std::string& title, int seconds = 5) const;

    // True when Kerv ended within the time; its wait status in status.
    bool WaitForExit(int seconds, int* status)
    {
        return kerv->WaitForEnd(Seconds(seconds), *status);
    }

    bool IsRunning() { return kerv && kerv->IsRunning(); }

    static std::chrono::milliseconds Seconds(int seconds) { return std::chrono::seconds(seconds); }

    TempDir folder;
    std::filesystem::path root = folder.Path();
    std::unique_ptr<Child> kerv;
    DisplayHold display;
};

#endif
