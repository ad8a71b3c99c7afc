// SPDX-License-Identifier: GPL-3.0-or-later
// Programs started by the tests and the windows they show: a child started in a folder of its
// own with a private HOME and extra environment, killed if it still runs when the test ends; its
// windows found and driven on the test display like a user would, through xdotool.
#ifndef KERV_TESTS_TEST_PROCESS_H
#define KERV_TESTS_TEST_PROCESS_H

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
    bool IsRunning();
    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
    bool bEnded = false;
    int endStatus = 0;  // the wait status, once ended
};

// Polls done every 100 ms until it is true or the limit has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The X id of a visible window of the process whose title matches the regular expression,
// waiting up to the limit; empty when none appeared.
std::string FindWindow(pid_t pid, const std::string& titleRegex,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(0));

// Focuses the window and types the keys (xdotool names, e.g. "alt+F4 Return"); the status of
// the typing command, 0 when it worked.
int TypeKeys(const std::string& window, const std::string& keys);

// Clicks at (width - fromRight, height - fromBottom) inside that window, after raising it.
int ClickNearBottomRight(pid_t pid, const std::string& titleRegex, int fromRight, int fromBottom);

// Sends the window the WM_DELETE_WINDOW request of its close box; false when it cannot.
bool SendCloseRequest(const std::string& window);

#endif
