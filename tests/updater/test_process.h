// SPDX-License-Identifier: GPL-3.0-or-later
// Child processes for the tests: a program started in a folder of its own with a private HOME
// and extra environment, killed if it is still running when the test ends.
#ifndef KERV_TEST_PROCESS_H
#define KERV_TEST_PROCESS_H

#include <sys/types.h>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class Child {
public:
    Child(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
          const std::string& home,
          const std::vector<std::pair<std::string, std::string>>& env = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // True when the process ended within the limit; its wait status in status.
    bool WaitForEnd(std::chrono::milliseconds limit, int& status);
    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
    bool bEnded = false;
};

// Polls done every 50 ms until it is true or the limit has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The X id of a visible window of the process whose title matches the regular expression,
// waiting up to the limit; empty when none appeared. (xdotool ignores --name when --pid is
// given, so the process is checked window by window.)
std::string FindWindow(pid_t pid, const std::string& titleRegex, std::chrono::milliseconds limit);

// Clicks at (width - fromRight, height - fromBottom) inside that window, after raising it.
int ClickNearBottomRight(pid_t pid, const std::string& titleRegex, int fromRight, int fromBottom);

#endif
