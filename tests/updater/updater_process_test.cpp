// Kerv_upd as its own process: the command line, and the restart of the main program from the
// updater's own folder when its window is closed.
#include "test_archive.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

// A child process with its own working directory and HOME; killed if still running at the end.
class Child
{
public:
    Child(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
          const std::string& home)
    {
        pid = fork();
        if (pid == 0)
        {
            if (chdir(dir.c_str()) != 0)
                _exit(127);
            setenv("HOME", home.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Child()
    {
        if (pid > 0 && !bEnded)
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // True when the process ended within the time; its exit status in status.
    bool WaitForEnd(std::chrono::milliseconds limit, int& status)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end)
        {
            if (waitpid(pid, &status, WNOHANG) == pid)
            {
                bEnded = true;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
    bool bEnded = false;
};

// Runs a shell command line, for xdotool.
int Shell(const std::string& command)
{
    return std::system(command.c_str());
}

template <typename Predicate>
bool WaitUntil(Predicate predicate, std::chrono::milliseconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!predicate())
    {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

struct UpdaterProcess : ::testing::Test
{
    TempDir root;
    std::string home = root / "home";
    std::string bin = root / "bin";
    std::string work = root / "work";
    std::string updater = bin + "/Kerv_upd_0.67";

    void SetUp() override
    {
        for (const std::string& dir : {home, bin, work})
            fs::create_directory(dir);
        fs::copy_file(KERV_UPDATER_PROGRAM, updater);
        // A stand-in for the main program: it records how it was started.
        WriteFile(bin + "/Kerv", "#!/bin/sh\necho \"$0 $#\" > \"$(dirname \"$0\")/restarted\"\n");
        chmod((bin + "/Kerv").c_str(), 0755);
    }
};

}   // namespace

TEST_F(UpdaterProcess, WithoutArgumentsItEndsAtOnceWithoutAWindowOrRestart)
{
    Child child(updater, {}, work, home);
    int status = 0;
    ASSERT_TRUE(child.WaitForEnd(std::chrono::seconds(10), status));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(Exists(bin + "/restarted"));
}

TEST_F(UpdaterProcess, WithTwoArgumentsItEndsAtOnceWithoutAWindowOrRestart)
{
    Child child(updater, {"http://127.0.0.1:1/a.tar.gz", "second"}, work, home);
    int status = 0;
    ASSERT_TRUE(child.WaitForEnd(std::chrono::seconds(10), status));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(Exists(bin + "/restarted"));
}

TEST_F(UpdaterProcess, WithOneArgumentItInstallsAndRestartsTheMainProgramFromItsOwnFolderOnClose)
{
    TestServer server;
    std::string archive = TarBuilder().File("installed.txt", "from the update").Gzip();
    server.Route("/kerv/0.68_Kerv_lnx.tar.gz", MakeResponse(200, archive));
    server.Route("/kerv/0.68_Kerv_lnx.tar.gz.sig", MakeResponse(200, SignWithTestKey(archive)));

    Child child(updater, {server.Url("/kerv/0.68_Kerv_lnx.tar.gz")}, work, home);
    ASSERT_TRUE(WaitUntil([&] { return Exists(work + "/installed.txt"); }, std::chrono::seconds(30)));
    int status = 0;
    EXPECT_FALSE(child.WaitForEnd(std::chrono::milliseconds(500), status)) << "the window did not stay open";
    EXPECT_FALSE(Exists(bin + "/restarted"));

    // Click "&Close", the button in the window's bottom right corner.
    const std::string pid = std::to_string(child.Pid());
    ASSERT_EQ(Shell("w=$(xdotool search --sync --onlyvisible --pid " + pid + " --name '^Update' | head -n1) && "
                    "eval $(xdotool getwindowgeometry --shell $w) && xdotool windowraise $w && "
                    "xdotool mousemove --window $w $((WIDTH - 55)) $((HEIGHT - 20)) click 1"),
              0);
    ASSERT_TRUE(child.WaitForEnd(std::chrono::seconds(10), status)) << "closing did not end the updater";
    ASSERT_TRUE(WaitUntil([&] { return Exists(bin + "/restarted"); }, std::chrono::seconds(10)));
    EXPECT_EQ(ReadFile(bin + "/restarted"), bin + "/Kerv 0\n");
    EXPECT_EQ(ReadFile(work + "/installed.txt"), "from the update");
    EXPECT_FALSE(Exists(work + "/0.68_Kerv_lnx.tar.gz"));
}
