// SPDX-License-Identifier: GPL-3.0-or-later
// Kerv_upd as its own process: the command line, and the restart of the main program from the
// updater's own folder when its window is closed.
#include "test_archive.h"
#include "test_process.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

struct UpdaterProcess : ::testing::Test {
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
        // A stand-in for the main program: it records each start and how it was started.
        WriteFile(bin + "/Kerv", "#!/bin/sh\necho \"$0 $#\" >> \"$(dirname \"$0\")/restarted\"\n");
        chmod((bin + "/Kerv").c_str(), 0755);
    }
};

}  // namespace

TEST_F(UpdaterProcess, WithoutOneArgumentItEndsAtOnceWithoutAWindowOrRestart)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"http://127.0.0.1:1/a.tar.gz", "second"}}) {
        Child child(updater, args, work, home);
        int status = 0;
        ASSERT_TRUE(child.WaitForEnd(std::chrono::seconds(10), status)) << args.size();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(Exists(bin + "/restarted"));
    }
}

TEST_F(UpdaterProcess, ASettingsFileItCannotReadIsSetAsideAndTheWindowOpens)
{
    ASSERT_EQ(mkfifo((home + "/.Kerv").c_str(), 0600), 0);  // reading it would block for ever
    Child child(updater, {"http://127.0.0.1:1/kerv/0.68_Kerv_lnx.tar.gz"}, work, home);
    EXPECT_FALSE(FindWindow(child.Pid(), "^Update", std::chrono::seconds(20)).empty());
    EXPECT_TRUE(Exists(home + "/.Kerv.broken"));
}

TEST_F(UpdaterProcess, WithOneArgumentItInstallsAndRestartsTheMainProgramFromItsOwnFolderOnClose)
{
    TestServer server;
    std::string archive = TarBuilder().File("installed.txt", "from the update").Gzip();
    server.RouteSigned("/kerv/0.68_Kerv_lnx.tar.gz", archive, SignRelease(archive));

    Child child(updater, {server.Url("/kerv/0.68_Kerv_lnx.tar.gz")}, work, home);
    ASSERT_TRUE(
        WaitUntil([&] { return Exists(work + "/installed.txt"); }, std::chrono::seconds(30)));
    int status = 0;
    EXPECT_FALSE(child.WaitForEnd(std::chrono::milliseconds(500), status))
        << "the window did not stay open";
    EXPECT_FALSE(Exists(bin + "/restarted"));

    // Click "&Close", the button in the window's bottom right corner.
    ASSERT_EQ(ClickNearBottomRight(child.Pid(), "^Update", 55, 20), 0);
    ASSERT_TRUE(child.WaitForEnd(std::chrono::seconds(10), status))
        << "closing did not end the updater";
    ASSERT_TRUE(WaitUntil([&] { return Exists(bin + "/restarted"); }, std::chrono::seconds(10)));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // time for a second start
    EXPECT_EQ(ReadFile(bin + "/restarted"), bin + "/Kerv 0\n") << "not started exactly once";
    EXPECT_EQ(ReadFile(work + "/installed.txt"), "from the update");
    EXPECT_FALSE(Exists(work + "/0.68_Kerv_lnx.tar.gz"));
}
