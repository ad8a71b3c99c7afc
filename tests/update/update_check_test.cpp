// SPDX-License-Identifier: GPL-3.0-or-later
// The main program's update check against a loopback server, its messages answered in process,
// and the hand-over to a real Kerv_upd that installs an update and restarts a stand-in program.
#include "update_check.h"
#include "test_archive.h"
#include "test_home.h"
#include "test_process.h"
#include "test_server.h"

#include <wx/config.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

const char VERSION_PATH[] = "/kerv/kerv_version_lnx.txt";

struct UpdateCheck : HomeTest {
    TestServer server;
    wxString message;
    wxString caption;
    wxString message2;
    wxString caption2;

    wxString Server() const { return server.Url(""); }
    wxString LastCheck() const
    {
        return wxConfigBase::Get()->Read("/Operation/LastCheckUpdate", wxEmptyString);
    }

    // Runs the check, answering up to two message boxes with answer; the outcome of the last
    // attempt.
    CheckOutcome Check(int answer, wxString& version, const wxString& serverAddress,
                       UpdateLayout layout = UpdateLayout::Portable)
    {
        CheckOutcome outcome = CheckOutcome::Failed;
        auto attempt = [&](const wxString& proxy) {
            outcome = CheckServerVersion(nullptr, serverAddress, proxy, "0.67", version, layout);
            return outcome != CheckOutcome::Failed;
        };
        wxTEST_DIALOG(RunUpdateCheck(nullptr, attempt), MessageBox(answer, message, caption),
                      MessageBox(answer, message2, caption2));
        return outcome;
    }
};

}  // namespace

TEST(ServerVersion, TrailingWhiteSpaceIsCutOddTextRefusedAndVersionsComparedByCharacters)
{
    EXPECT_EQ(ParseServerVersion("0.68\r\n"), "0.68");
    EXPECT_EQ(ParseServerVersion("0.68 \t\n\n"), "0.68");
    EXPECT_EQ(ParseServerVersion(""), "");
    EXPECT_EQ(ParseServerVersion("\n"), "");
    EXPECT_EQ(ParseServerVersion(" 0.68"), "");  // a blank would end up in the URL
    EXPECT_EQ(ParseServerVersion("0.68/../../x"), "");
    EXPECT_EQ(ParseServerVersion("<html>"), "");
    EXPECT_EQ(ParseServerVersion(std::string(40, '9')), "");

    EXPECT_TRUE(IsNewerVersion("0.68", "0.67"));
    EXPECT_TRUE(IsNewerVersion("0.7", "0.67"));
    for (const char* notNewer : {"0.100", "0.67", "0.66"})
        EXPECT_FALSE(IsNewerVersion(notNewer, "0.67")) << notNewer;
}

TEST(CheckDate, IsDueAfterFiveDaysFromTheStoredMidnight)
{
    const wxDateTime now(15, wxDateTime::Jun, 2026, 12, 0, 0);
    EXPECT_TRUE(IsCheckDue(wxString(), now));
    EXPECT_TRUE(IsCheckDue("not a date", now));
    EXPECT_FALSE(IsCheckDue(FormatCheckDate(now), now));
    EXPECT_FALSE(IsCheckDue(FormatCheckDate(now - wxDateSpan::Days(4)), now));
    EXPECT_TRUE(IsCheckDue(FormatCheckDate(now - wxDateSpan::Days(6)), now));
    // Five calendar days back at noon: counted from that day's midnight, 5.5 days have passed.
    EXPECT_TRUE(IsCheckDue(FormatCheckDate(now - wxDateSpan::Days(5)), now));
    EXPECT_EQ(FormatCheckDate(now), "2026-06-15");
    // Dates in the locale's notation, with a two-digit year, as older versions stored them.
    EXPECT_FALSE(IsCheckDue("06/12/26", now));
    EXPECT_TRUE(IsCheckDue("06/01/26", now));
}

TEST(Proxy, AStoredHostWithoutPortGetsPortZero)
{
    EXPECT_EQ(ProxyFromSettings("proxy.local", 3128), "proxy.local:3128");
    EXPECT_EQ(ProxyFromSettings("proxy.local", 0), "proxy.local:0");
    EXPECT_EQ(ProxyFromSettings(wxString(), 3128), "");
}

TEST(HandOver, TheUpdaterIsStartedWithExactlyOneArgumentEvenFromAFolderWithBlanks)
{
    TempDir root;
    std::string bin = root / "my programs";
    fs::create_directory(bin);
    WriteFile(bin + "/Kerv_upd_0.67",
              "#!/bin/sh\necho \"$# $1\" > \"$(dirname \"$0\")/started\"\n");
    chmod((bin + "/Kerv_upd_0.67").c_str(), 0755);
    ASSERT_GT(StartUpdater(UpdaterCommand(wxString::FromUTF8(bin), "http://kerv.example.org",
                                          "0.67", "0.68")),
              0);
    WaitUntil([&] { return Exists(bin + "/started"); }, std::chrono::seconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ReadFile(bin + "/started"), "1 http://kerv.example.org/kerv/0.68_Kerv_lnx.tar.gz\n");
    EXPECT_EQ(StartUpdater({}), 0) << "no updater, yet started";
    EXPECT_TRUE(IsRunnableFile(wxString::FromUTF8(bin + "/Kerv_upd_0.67")));
    EXPECT_FALSE(IsRunnableFile(wxString::FromUTF8(bin + "/Kerv_upd_0.66")));
}

TEST_F(UpdateCheck, TheReminderAsksOnlyWhenACheckIsDueAndChecksOnYes)
{
    const wxDateTime now = wxDateTime::Now();
    int asked = 0;
    int checked = 0;
    auto ask = [&](long answer) {
        return [&asked, answer] {
            ++asked;
            return answer;
        };
    };
    auto check = [&] { ++checked; };

    EXPECT_TRUE(RemindOfUpdateCheck(now, ask(1), check));  // never checked
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(checked, 1);

    wxConfigBase::Get()->Write("/Operation/LastCheckUpdate",
                               FormatCheckDate(now - wxDateSpan::Days(4)));
    EXPECT_FALSE(RemindOfUpdateCheck(now, ask(1), check));
    EXPECT_EQ(asked, 1);

    wxConfigBase::Get()->Write("/Operation/LastCheckUpdate",
                               FormatCheckDate(now - wxDateSpan::Days(6)));
    EXPECT_TRUE(RemindOfUpdateCheck(now, ask(0), check));  // asked, answered no
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(RemindOfUpdateCheck(now, ask(1), check));  // a stored yes is non-zero too
    EXPECT_EQ(checked, 2);
}

// The archive an update left is deleted at the next start when it is the updater's own download
// or an archive name older updaters recorded, never anything else; the entry goes either way,
// without a message when the file is missing.
TEST_F(UpdateCheck, TheLeftArchiveIsDeletedAtStartAndTheEntryRemoved)
{
    TempDir work;
    char buffer[4096];
    std::string old = getcwd(buffer, sizeof buffer) ? buffer : "";
    ASSERT_EQ(chdir(work.Path().c_str()), 0);
    fs::create_directory(work / "sub");
    const struct {
        const char* entry;
        bool present, deleted;
    } cases[] = {{".kerv-download-Ab12Cd", true, true},
                 {"0.68_Kerv_lnx.tar.gz", true, true},
                 {"0.69_Kerv_lnx.tar.gz", false, false},
                 {"sub/keep.tar.gz", true, false},
                 {"notes.txt", true, false},
                 {"../keep.tar.gz", false, false},
                 {".kerv-downloaded", true, false}};
    for (const auto& c : cases) {
        if (c.present)
            WriteFile(work / c.entry, "left over");
        wxConfigBase::Get()->Write("/ToDelete", c.entry);
        CleanUpLeftArchive(wxConfigBase::Get());
        EXPECT_FALSE(wxConfigBase::Get()->Exists("/ToDelete")) << c.entry;
        EXPECT_EQ(Exists(work / c.entry), c.present && !c.deleted) << c.entry;
    }
    ASSERT_EQ(chdir(old.c_str()), 0);
}

// Checks that reach the version file, and checks that find no version (each of those ends in the
// one error message): what the user is told, the answer taken, and whether the date is stored
// (only when the version file itself was reached).
struct CheckCase {
    CannedResponse response;
    int answer;
    CheckOutcome outcome;
    const char* caption;
    const char* message;  // nullptr: not looked at
    UpdateLayout layout = UpdateLayout::Portable;
    bool dateStored = true;
};

class UpdateCheckAnswer : public UpdateCheck, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(UpdateCheckAnswer, IsToldOnceAndStoresTheDateWhenTheFileWasReached)
{
    const CheckCase& c = GetParam();
    server.Route(VERSION_PATH, c.response);
    wxString version;
    EXPECT_EQ(Check(c.answer, version, Server(), c.layout), c.outcome);
    EXPECT_EQ(version, c.outcome == CheckOutcome::Accepted ? "0.7" : "") << message;
    EXPECT_EQ(caption, c.caption);
    if (c.message) {
        EXPECT_EQ(message, c.message);
    }
    EXPECT_TRUE(message2.empty()) << message2;
    EXPECT_EQ(LastCheck(), c.dateStored ? FormatCheckDate(wxDateTime::Now()) : wxString());
}

const char kNoNew[] = "No new version available";
const char kNewer[] = "New version available";
const char kFailed[] = "Error connecting to the Internet, or version file not available";

INSTANTIATE_TEST_SUITE_P(
    Checks, UpdateCheckAnswer,
    ::testing::Values(
        CheckCase{MakeResponse(200, "0.67\n"), wxID_OK, CheckOutcome::Current, kNoNew,
                  "Current Version: 0.67, Server Version: 0.67"},
        CheckCase{MakeResponse(200, "0.7\n"), wxID_YES, CheckOutcome::Accepted, kNewer,
                  "Do you want to update now ?\nCurrent Version: 0.67, Server Version: "
                  "0.7\nProgram will Close !"},
        CheckCase{MakeResponse(200, "0.68"), wxID_NO, CheckOutcome::Declined, kNewer, nullptr},
        // In the system layout a newer version is only reported.
        CheckCase{MakeResponse(200, "0.7\n"), wxID_OK, CheckOutcome::Declined, kNewer,
                  "A newer version is available.\nCurrent Version: 0.67, Server Version: "
                  "0.7\nYour package manager provides it.",
                  UpdateLayout::System},
        CheckCase{MakeResponse(200, ""), wxID_YES, CheckOutcome::Failed, "Error", kFailed},
        CheckCase{MakeResponse(404, "0.99"), wxID_YES, CheckOutcome::Failed, "Error", kFailed,
                  UpdateLayout::Portable, false},
        CheckCase{MakeResponse(200, "0.68" + std::string(70000, ' ')), wxID_YES,
                  CheckOutcome::Failed, "Error", kFailed, UpdateLayout::Portable, false}));

TEST_F(UpdateCheck, TheStoredProxyIsTriedOnlyAfterTheDirectAttemptFailed)
{
    TestServer proxy;
    wxConfigBase::Get()->SetPath("/Proxy");
    wxConfigBase::Get()->Write("Url", "127.0.0.1");
    wxConfigBase::Get()->Write("Port", static_cast<long>(proxy.Port()));

    // The server answers directly: the proxy is not asked.
    server.Route(VERSION_PATH, MakeResponse(200, "0.67"));
    proxy.Route(server.Url(VERSION_PATH), MakeResponse(200, "0.67"));
    wxString version;
    Check(wxID_OK, version, Server());
    EXPECT_EQ(caption, "No new version available");
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(proxy.Requests().empty());

    // The server is unreachable directly: the proxy is asked.
    const std::string hidden = DeadUrl("");
    proxy.Route(hidden + VERSION_PATH, MakeResponse(200, "0.67"));
    caption.clear();
    Check(wxID_OK, version, wxString::FromUTF8(hidden));
    EXPECT_EQ(caption, "No new version available");
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST_F(UpdateCheck, ACheckStartedWhileOneRunsDoesNothing)
{
    int attempts = 0;
    bool inner = true;
    auto attempt = [&](const wxString&) {
        ++attempts;
        inner = RunUpdateCheck(nullptr, [&](const wxString&) {
            ++attempts;
            return true;
        });
        return true;
    };
    wxTEST_DIALOG(EXPECT_TRUE(RunUpdateCheck(nullptr, attempt)),
                  MessageBox(wxID_OK, message, caption));
    EXPECT_FALSE(inner);
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(message.empty()) << message;
}
