// SPDX-License-Identifier: GPL-3.0-or-later
// The whole update without a window, against loopback servers, with a canary outside the
// working folder and the user's own things under the archive's name inside it.
#include "update_pipeline.h"
#include "release.h"
#include "test_archive.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kArchive = "/kerv/0.68_Kerv_lnx.tar.gz";

struct Pipeline : ::testing::Test, InstallFolder {
    TestServer server;
    UpdateObserver observer;

    UpdateResult Run(const std::string& url, const std::string& proxy = std::string())
    {
        UpdateRequest request;
        request.strUrl = url;
        request.strProxy = proxy;
        request.strFolder = work;
        request.strRunningVersion = "0.67";
        request.nPort = wxPORT_GTK;
        request.bHaveKey = GetBuiltInPublicKey(request.key);
        return RunUpdate(request, observer);
    }
};

// What the user may keep under the archive's name; none of it is opened or changed, while what
// a killed updater left beside it is removed.
enum class UserThing { File, HardLinkToCanary, SymlinkToCanary, Fifo };

struct NameCase {
    UserThing thing;
    bool serverUp;
};

class ArchiveName : public Pipeline, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ArchiveName, AUsersThingOfTheArchivesNameIsNeverOpenedChangedOrDeleted)
{
    const std::string mine = work + "/0.68_Kerv_lnx.tar.gz";
    switch (GetParam().thing) {
        case UserThing::File:
            WriteFile(mine, "the user's own");
            chmod(mine.c_str(), 0640);
            break;
        case UserThing::HardLinkToCanary:
            ASSERT_EQ(link((root / "canary").c_str(), mine.c_str()), 0);
            break;
        case UserThing::SymlinkToCanary:
            ASSERT_EQ(symlink((root / "canary").c_str(), mine.c_str()), 0);
            break;
        case UserThing::Fifo:
            ASSERT_EQ(mkfifo(mine.c_str(), 0600), 0);
            break;
    }
    struct stat before;
    ASSERT_EQ(lstat(mine.c_str(), &before), 0);
    // What a killed updater left goes all the same, whether the update then succeeds or not.
    mkdir((work + "/.kerv-staging-Ab12Cd").c_str(), 0700);
    WriteFile(work + "/.kerv-staging-Ab12Cd/Kerv", "half");
    WriteFile(work + "/.kerv-download-Xy34Zw", "partial");
    const std::string archive = TarBuilder().File("Kerv", "new program").Gzip();
    if (GetParam().serverUp)
        server.RouteSigned(kArchive, archive, SignRelease(archive));

    const std::string url = GetParam().serverUp ? server.Url(kArchive) : DeadUrl(kArchive);
    UpdateResult result = Run(url);
    EXPECT_EQ(result.Ok(), GetParam().serverUp) << static_cast<int>(result.failure);
    EXPECT_EQ(ReadFile(work + "/Kerv"), GetParam().serverUp ? "new program" : "old program");

    struct stat after;
    ASSERT_EQ(lstat(mine.c_str(), &after), 0) << "the user's thing was deleted";
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_mtime, before.st_mtime);
    EXPECT_EQ(ReadFile(root / "canary"), "untouched");
    if (GetParam().thing == UserThing::File) {
        EXPECT_EQ(ReadFile(mine), "the user's own");
    }
    EXPECT_EQ(UpdaterFiles(), 0) << "a download or a staging folder was left behind";
}

INSTANTIATE_TEST_SUITE_P(Things, ArchiveName,
                         ::testing::Values(NameCase{UserThing::File, true},
                                           NameCase{UserThing::File, false},
                                           NameCase{UserThing::HardLinkToCanary, true},
                                           NameCase{UserThing::HardLinkToCanary, false},
                                           NameCase{UserThing::SymlinkToCanary, true},
                                           NameCase{UserThing::Fifo, true},
                                           NameCase{UserThing::Fifo, false}));

}  // namespace

// The proxy is a second way: a dead one does not stop the direct download. (That it is asked when
// the direct attempt fails, the window's stored proxy shows.)
TEST_F(Pipeline, ADeadProxyDoesNotStopTheDirectDownload)
{
    const std::string archive = TarBuilder().File("Kerv", "direct").Gzip();
    server.RouteSigned(kArchive, archive, SignRelease(archive));
    UpdateResult result = Run(server.Url(kArchive), "127.0.0.1:" + std::to_string(UnusedPort()));
    ASSERT_TRUE(result.Ok()) << static_cast<int>(result.failure);
    EXPECT_EQ(ReadFile(work + "/Kerv"), "direct");
}
