// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road with the real programs: Kerv asks a loopback server through "Check for
// &Update", the user answers Yes, Kerv starts Kerv_upd_0.67 and closes; the updater verifies and
// installs the signed archive, and closing it starts the new main program, a stand-in shipped
// in the archive that leaves a marker.
#include "test_archive.h"
#include "test_process.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// Kerv started from a program folder of its own against a loopback server, with a given store.
struct KervProcess : ::testing::Test {
    TempDir root;
    std::string home = root / "home";
    std::string bin = root / "bin";  // the program folder, also the working folder
    TestServer server;
    std::unique_ptr<Child> kerv;
    std::string main;  // its main window

    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs a display: run under xvfb-run";
        fs::create_directory(home);
        fs::create_directory(bin);
        fs::copy_file(KERV_PROGRAM, bin + "/Kerv");
    }

    void Start(const std::string& store)
    {
        WriteFile(home + "/.Kerv", store);
        kerv.reset(new Child(bin + "/Kerv", {}, bin, home, {{"KERV_SERVER", server.Url("")}}));
        main = FindWindow(kerv->Pid(), "^Vandrel", seconds(20));
        ASSERT_FALSE(main.empty()) << "no main window";
    }

    bool WindowAppears(const std::string& title, int limit)
    {
        return !FindWindow(kerv->Pid(), title, seconds(limit)).empty();
    }

    // Checked today, so the check comes from the menu: "Check for &Update", answered Yes (the
    // question's default button).
    void AcceptUpdateFromTheMenu()
    {
        server.Route("/kerv/kerv_version_lnx.txt", MakeResponse(200, "0.68\n"));
        char today[16];
        const std::time_t now = std::time(nullptr);
        std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
        ASSERT_NO_FATAL_FAILURE(Start("[Operation]\nLastCheckUpdate=" + std::string(today) + "\n"));
        ASSERT_EQ(TypeKeys(main, "alt+h && sleep 0.5 && xdotool key u"), 0);
        const std::string question =
            FindWindow(kerv->Pid(), "^New version available$", seconds(20));
        ASSERT_FALSE(question.empty()) << "no update question";
        ASSERT_EQ(TypeKeys(question, "Return"), 0);
    }
};

}  // namespace

TEST_F(KervProcess, CheckForUpdateAnsweredYesInstallsTheUpdateAndRestartsTheNewProgram)
{
    fs::copy_file(KERV_UPDATER_PROGRAM, bin + "/Kerv_upd_0.67");
    const std::string archive =
        TarBuilder()
            .File("Kerv", "#!/bin/sh\necho \"new $#\" > \"$(dirname \"$0\")/restarted\"\n", 0755)
            .Gzip();
    server.RouteSigned("/kerv/0.68_Kerv_lnx.tar.gz", archive, SignRelease(archive));
    ASSERT_NO_FATAL_FAILURE(AcceptUpdateFromTheMenu());
    int status = 0;
    ASSERT_TRUE(kerv->WaitForEnd(seconds(15), status)) << "Kerv did not close for the update";

    // The updater installs the new program into the working folder and removes the archive.
    ASSERT_TRUE(
        WaitUntil([&] { return ReadFile(bin + "/Kerv").find("restarted") != std::string::npos; },
                  seconds(30)));
    EXPECT_TRUE(WaitUntil([&] { return !Exists(bin + "/0.68_Kerv_lnx.tar.gz"); }, seconds(5)));
    EXPECT_FALSE(Exists(bin + "/restarted"));

    // Its window stays until closed; "&Close" starts the new Kerv from the updater's folder. The
    // updater that Kerv started is the newest process named Kerv_upd_0.67.
    const auto updater =
        static_cast<pid_t>(std::atol(CommandOutput("pgrep -n -x Kerv_upd_0.67").c_str()));
    ASSERT_EQ(ClickNearBottomRight(updater, "^Update \\.\\.\\.$", 55, 20), 0);
    ASSERT_TRUE(WaitUntil([&] { return Exists(bin + "/restarted"); }, seconds(15)));
    WaitUntil([&] { return ReadFile(bin + "/restarted").find('\n') != std::string::npos; },
              seconds(2));
    EXPECT_EQ(ReadFile(bin + "/restarted"), "new 0\n");
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"GET /kerv/kerv_version_lnx.txt HTTP/1.0",
                                        "GET /kerv/0.68_Kerv_lnx.tar.gz HTTP/1.0",
                                        "GET /kerv/0.68_Kerv_lnx.tar.gz.sig HTTP/1.0"}));
}

// Without a runnable updater beside it (here one there but not executable; a missing one is
// tested headless), Kerv refuses to close for the update: it says so and stays, and its next
// close asks the exit question as usual (bCloseForUpdate was not left set).
TEST_F(KervProcess, AcceptingAnUpdateWithoutARunnableUpdaterShowsAnErrorAndKervStays)
{
    WriteFile(bin + "/Kerv_upd_0.67", "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    chmod((bin + "/Kerv_upd_0.67").c_str(), 0644);
    ASSERT_NO_FATAL_FAILURE(AcceptUpdateFromTheMenu());
    const std::string error = FindWindow(kerv->Pid(), "^Error$", seconds(10));
    ASSERT_FALSE(error.empty()) << "no error about the updater";
    ASSERT_EQ(TypeKeys(error, "Return"), 0);
    int status = 0;
    EXPECT_FALSE(kerv->WaitForEnd(std::chrono::milliseconds(1500), status)) << "Kerv closed";
    EXPECT_FALSE(Exists(bin + "/ran"));

    ASSERT_EQ(TypeKeys(main, "alt+F4"), 0);
    EXPECT_TRUE(WindowAppears("^Question$", 10))
        << "closing no longer asks: the update's close flag was left set";
}

TEST_F(KervProcess, AStoredYesChecksWithoutAskingAndTheLeftArchiveIsRemoved)
{
    server.Route("/kerv/kerv_version_lnx.txt", MakeResponse(200, "0.67\n"));
    WriteFile(bin + "/0.68_Kerv_lnx.tar.gz", "left behind by the updater");
    Start("ToDelete=0.68_Kerv_lnx.tar.gz\n[Confirmations]\nAutoUpdate=1\n");
    const std::string told = FindWindow(kerv->Pid(), "^No new version available$", seconds(15));
    ASSERT_FALSE(told.empty());
    EXPECT_FALSE(WindowAppears("^Check for Updates", 1));
    EXPECT_EQ(server.Requests().size(), 1u);
    // The clean-up follows the check, once its message is answered.
    EXPECT_TRUE(Exists(bin + "/0.68_Kerv_lnx.tar.gz"));
    ASSERT_EQ(TypeKeys(told, "Return"), 0);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(bin + "/0.68_Kerv_lnx.tar.gz"); }, seconds(5)));
    EXPECT_TRUE(
        WaitUntil([&] { return ReadFile(home + "/.Kerv").find("ToDelete") == std::string::npos; },
                  seconds(5)));
}

// The start-up reminder: a stored no never asks, and a damaged store is set aside and its defaults
// (never checked) ask; it never checks before the answer. (When a check is due is tested
// headless.)
struct Reminder {
    std::string store;
    bool asks;
    bool damaged = false;
};

class KervReminder : public KervProcess, public ::testing::WithParamInterface<Reminder> {};

TEST_P(KervReminder, AsksOnlyWhenACheckIsDue)
{
    Start(GetParam().store);
    EXPECT_EQ(WindowAppears("^Check for Updates \\?$", GetParam().asks ? 10 : 3), GetParam().asks);
    EXPECT_TRUE(server.Requests().empty()) << "checked before the answer";
    EXPECT_EQ(Exists(home + "/.Kerv.broken"), GetParam().damaged);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, KervReminder,
    ::testing::Values(Reminder{"[Confirmations]\nAutoUpdate=0\n", false},
                      Reminder{"[Confirmations]\nAutoUpdate=0\n[Operation]\nLastCheck", true,
                               true}));
