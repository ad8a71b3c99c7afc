// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_process.h"
#include "test_files.h"

#include <X11/Xlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
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

bool Child::IsRunning()
{
    if (pid > 0 && !bEnded && waitpid(pid, &endStatus, WNOHANG) == pid)
        bEnded = true;
    return pid > 0 && !bEnded;
}

bool Child::WaitForEnd(std::chrono::milliseconds limit, int& status)
{
    const bool ended = WaitUntil([this] { return !IsRunning(); }, limit);
    status = endStatus;
    return ended;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::string FindWindow(pid_t pid, const std::string& titleRegex, std::chrono::milliseconds limit)
{
    // --all: the window must match both the process and the title.
    const std::string search = "xdotool search --all --onlyvisible --pid " + std::to_string(pid) +
                               " --name '" + titleRegex + "' 2>/dev/null";
    std::string found;
    WaitUntil(
        [&] {
            found = CommandOutput(search);
            found = found.substr(0, found.find('\n'));
            return !found.empty();
        },
        limit);
    return found;
}

int TypeKeys(const std::string& window, const std::string& keys)
{
    return std::system(("xdotool windowfocus --sync " + window +
                        " 2>/dev/null; xdotool key --clearmodifiers --delay 60 " + keys)
                           .c_str());
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

bool SendCloseRequest(const std::string& window)
{
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(window.c_str(), nullptr, 10);
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = XInternAtom(x, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(x, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(x);
    return sent;
}
