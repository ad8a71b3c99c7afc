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
#include <chrono>

namespace {

const std::string kArchive = "/kerv/0.68_Kerv_lnx.tar.gz";

// Counts progress reports and cancels after a number of them (never when negative).
struct CountingObserver : UpdateObserver {
    int nCancelAfter = -1;
    int nProgress = 0;
    bool OnProgress(std::uint64_t, bool, std::uint64_t) override
    {
        return nCancelAfter < 0 || ++nProgress <= nCancelAfter;
    }
};

struct Pipeline : ::testing::Test, InstallFolder {
    TestServer server;
    CountingObserver observer;

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

TEST_F(Pipeline, AnOldSignedReleaseCannotBeReplayedAsANewerOne)
{
    const std::string old = TarBuilder().File("Kerv", "old release").Gzip();
    server.RouteSigned(kArchive, old, SignRelease(old, "0.66"));
    UpdateResult result = Run(server.Url(kArchive));
    EXPECT_EQ(result.failure, UpdateFailure::BadSignature);
    EXPECT_EQ(result.strVersion, "0.68");
    EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
    EXPECT_EQ(UpdaterFiles(), 0);
}

TEST_F(Pipeline, AVersionThatIsNotNewerIsRefusedBeforeAnythingIsFetched)
{
    for (const std::string version : {"0.66", "0.67", "0.100"}) {
        const std::string path = "/kerv/" + version + "_Kerv_lnx.tar.gz";
        const std::string archive = TarBuilder().File("Kerv", "not newer").Gzip();
        server.RouteSigned(path, archive, SignRelease(archive, version));
        EXPECT_EQ(Run(server.Url(path)).failure, UpdateFailure::NotNewer) << version;
    }
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
}

// The proxy is a second way: a dead one does not stop the direct download, and it is asked when
// the direct attempt fails.
TEST_F(Pipeline, TheProxyIsTriedOnlyWhenTheDirectAttemptFails)
{
    const std::string archive = TarBuilder().File("Kerv", "direct").Gzip();
    server.RouteSigned(kArchive, archive, SignRelease(archive));
    UpdateResult result = Run(server.Url(kArchive), "127.0.0.1:" + std::to_string(UnusedPort()));
    ASSERT_TRUE(result.Ok()) << static_cast<int>(result.failure);
    EXPECT_EQ(ReadFile(work + "/Kerv"), "direct");

    const std::string url = DeadUrl(kArchive);
    const std::string proxied = TarBuilder().File("Kerv", "via proxy").Gzip();
    server.RouteSigned(url, proxied, SignRelease(proxied));
    result = Run(url, server.Proxy());
    ASSERT_TRUE(result.Ok()) << static_cast<int>(result.failure);
    EXPECT_EQ(ReadFile(work + "/Kerv"), "via proxy");
    EXPECT_EQ(server.Requests().size(), 4u);
}

TEST_F(Pipeline, ACancelStopsASlowDownloadAtOnceAndLeavesNothing)
{
    const std::string archive = TarBuilder().File("Kerv", Noise(20000)).Gzip();
    CannedResponse slow = MakeResponse(200, archive);
    slow.nChunkSize = 100;
    slow.nChunkDelayMs = 200;  // forty seconds in all
    server.Route(kArchive, slow);
    server.Route(kArchive + ".sig", MakeResponse(200, SignRelease(archive)));
    observer.nCancelAfter = 3;
    const auto start = std::chrono::steady_clock::now();
    UpdateResult result = Run(server.Url(kArchive));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(result.failure, UpdateFailure::Cancelled);
    EXPECT_LT(seconds, 3.0);
    EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
    EXPECT_EQ(UpdaterFiles(), 0);
}
