// SPDX-License-Identifier: GPL-3.0-or-later
#include "process_driver.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

bool WaitUntil(int seconds, const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

void TypeKeys(const std::string& window, const std::string& keys)
{
    RunCommand("xdotool windowfocus --sync " + window);
    RunCommand("xdotool key --clearmodifiers --delay 60 " + keys);
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

void KervProcessTest::SetUp()
{
    fs::create_directories(root / "home");
    fs::create_directories(root / "work");
    ASSERT_NE(getenv("DISPLAY"), nullptr) << "needs a display: run under xvfb-run";
    ASSERT_TRUE(display.IsHeld()) << "the display does not accept connections";
}

void KervProcessTest::TearDown()
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void KervProcessTest::Start(const std::vector<std::string>& args)
{
    if (!fs::exists(root / "home" / ".Kerv"))
        std::ofstream(root / "home" / ".Kerv") << "[Confirmations]\nAutoUpdate=0\n";
    pid = fork();
    if (pid == 0) {
        setenv("HOME", (root / "home").c_str(), 1);
        if (chdir((root / "work").c_str()) != 0)
            _exit(126);
        std::vector<char*> argv{const_cast<char*>(KERV_PROGRAM)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(KERV_PROGRAM, argv.data());
        _exit(127);
    }
    ASSERT_GT(pid, 0);
}

std::string KervProcessTest::FindWindow(const std::string& title) const
{
    const std::string ids = RunCommand("xdotool search --all --onlyvisible --pid " +
                                       std::to_string(pid) + " --name '^" + title + "$'");
    return ids.substr(0, ids.find('\n'));
}

std::string KervProcessTest::WaitForWindow(const std::string& title, int seconds) const
{
    std::string found;
    WaitUntil(seconds, [&] { return !(found = FindWindow(title)).empty(); });
    return found;
}

bool KervProcessTest::WaitUntilGone(const std::string& title, int seconds) const
{
    return WaitUntil(seconds, [&] { return FindWindow(title).empty(); });
}

bool KervProcessTest::WaitForExit(int seconds, int* status)
{
    const bool ended = WaitUntil(seconds, [&] { return waitpid(pid, status, WNOHANG) == pid; });
    if (ended)
        pid = -1;
    return ended;
}

bool KervProcessTest::IsRunning()
{
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid)
        pid = -1;
    return pid > 0;
}
