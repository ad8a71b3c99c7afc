// SPDX-License-Identifier: GPL-3.0-or-later
// Black-box: the program itself, started as a process on the test display with a picture on
// its command line (as a file manager's "Open with" starts it), shows its main window with that
// picture open and ends cleanly after Alt+F4 with the exit question answered.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "display_hold.h"

namespace fs = std::filesystem;

namespace {

std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
        output.pop_back();
    return output;
}

// The first window of process pid whose name matches; empty when none appears in time.
std::string WaitForWindow(pid_t pid, const std::string& name, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::string ids = RunCommand("xdotool search --all --onlyvisible --pid " +
                                     std::to_string(pid) + " --name '^" + name + "$'");
        if (!ids.empty())
            return ids.substr(0, ids.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return std::string();
}

bool WaitForExit(pid_t pid, int seconds, int* status)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

class SmokeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kerv-smoke-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "home");
        fs::create_directories(root / "work");
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "needs a display: run under xvfb-run";
        ASSERT_TRUE(display.IsHeld()) << "the display does not accept connections";
    }
    void TearDown() override
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        fs::remove_all(root);
    }

    pid_t Start()
    {
        pid_t child = fork();
        if (child == 0) {
            setenv("HOME", (root / "home").c_str(), 1);
            if (chdir((root / "work").c_str()) != 0)
                _exit(126);
            // An unknown option is passed over; the picture is opened.
            execl(KERV_PROGRAM, KERV_PROGRAM, "--no-such-option", KERV_SAMPLES_DIR "/coffee.png",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    }

    fs::path root;
    pid_t pid = -1;
    DisplayHold display;
};

}  // namespace

TEST_F(SmokeTest, KervShowsItsMainWindowAndEndsCleanlyAfterAltF4)
{
    // A first start would soon ask whether to check for updates; a standing "no" keeps this
    // test off the network and its questions to the one it is about.
    std::ofstream(root / "home" / ".Kerv") << "[Confirmations]\nAutoUpdate=0\n";
    pid = Start();
    ASSERT_GT(pid, 0);
    const std::string main = WaitForWindow(pid, "Vandrel 0.67 - coffee.png", 30);
    ASSERT_FALSE(main.empty()) << "no window titled \"Vandrel 0.67 - coffee.png\" appeared";

    RunCommand("xdotool windowfocus --sync " + main);
    RunCommand("xdotool key --clearmodifiers alt+F4");
    const std::string question = WaitForWindow(pid, "Question", 15);
    ASSERT_FALSE(question.empty()) << "Alt+F4 did not ask \"Really quit?\"";

    // "Yes" is the question's default button.
    RunCommand("xdotool windowfocus --sync " + question);
    RunCommand("xdotool key --clearmodifiers Return");

    int status = 0;
    ASSERT_TRUE(WaitForExit(pid, 15, &status)) << "Kerv did not end after the question";
    pid = -1;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    std::ifstream settings(root / "home" / ".Kerv");
    std::stringstream text;
    text << settings.rdbuf();
    EXPECT_NE(text.str().find("[Look]"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("[Operation]"), std::string::npos) << text.str();
}
