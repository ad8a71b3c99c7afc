// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_process.h"
#include "test_files.h"

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <thread>

Child::Child(const std::string& program, const std::vector<std::string>& args,
             const std::string& dir, const std::string& home,
             const std::vector<std::pair<std::string, std::string>>& env)
{
    pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        setenv("HOME", home.c_str(), 1);
        for (const auto& variable : env)
            setenv(variable.first.c_str(), variable.second.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

Child::~Child()
{
    if (pid > 0 && !bEnded) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool Child::WaitForEnd(std::chrono::milliseconds limit, int& status)
{
    if (bEnded)
        return true;
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            bEnded = true;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string FindWindow(pid_t pid, const std::string& titleRegex, std::chrono::milliseconds limit)
{
    std::string found;
    WaitUntil(
        [&] {
            std::istringstream ids(CommandOutput("xdotool search --onlyvisible --name '" +
                                                 titleRegex + "' 2>/dev/null"));
            std::string id;
            while (ids >> id) {
                if (std::atol(
                        CommandOutput("xdotool getwindowpid " + id + " 2>/dev/null").c_str()) ==
                    pid) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        limit);
    return found;
}

int ClickNearBottomRight(pid_t pid, const std::string& titleRegex, int fromRight, int fromBottom)
{
    const std::string w = FindWindow(pid, titleRegex, std::chrono::seconds(20));
    if (w.empty())
        return -1;
    return std::system(("eval $(xdotool getwindowgeometry --shell " + w +
                        ") && xdotool windowraise " + w + " && xdotool mousemove --window " + w +
                        " $((WIDTH - " + std::to_string(fromRight) + ")) $((HEIGHT - " +
                        std::to_string(fromBottom) + ")) click 1")
                           .c_str());
}
