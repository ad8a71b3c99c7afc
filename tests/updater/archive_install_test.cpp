// SPDX-License-Identifier: GPL-3.0-or-later
// Installing archives: good ones go in whole, hostile ones change nothing.
#include "archive_install.h"
#include "test_archive.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

struct Install : ::testing::Test, InstallFolder {
    std::string archive = root / "0.68_Kerv_lnx.tar.gz";

    InstallResult Run(const TarBuilder& tar, const ArchiveLimits& limits = ArchiveLimits())
    {
        WriteFile(archive, tar.Gzip());
        return InstallArchive(archive, "0.68_Kerv_lnx.tar.gz", work, limits);
    }

    // Nothing was installed and nothing was left behind (beside extra entries of the test's).
    void ExpectUnchanged(std::size_t extra = 0)
    {
        EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
        EXPECT_EQ(ReadFile(root / "canary"), "untouched");
        EXPECT_EQ(FolderEntries(work).size(), 1 + extra)
            << "the working directory holds extra files";
    }
};

}  // namespace

// A long GNU name is read in full, for the entry that follows it.
TEST_F(Install, AGoodArchiveReplacesFilesAndCreatesFolders)
{
    const std::string longName = "help/" + std::string(150, 'n') + ".txt";
    InstallResult result = Run(TarBuilder()
                                   .Folder("./")
                                   .File("./Kerv", "new program", 0755)
                                   .Folder("help/")
                                   .File("help/kerv.htb", "book")
                                   .File("I18N/de/kerv.mo", "catalog")
                                   .Entry("././@LongLink", 'L', 0644, longName + '\0')
                                   .File("short", "long content"));
    ASSERT_TRUE(result.Ok()) << result.Describe();
    EXPECT_EQ(result.nFiles, 4u);
    EXPECT_EQ(ReadFile(work + "/Kerv"), "new program");
    EXPECT_EQ(ReadFile(work + "/help/kerv.htb"), "book");
    EXPECT_EQ(ReadFile(work + "/I18N/de/kerv.mo"), "catalog");
    EXPECT_EQ(ReadFile(work + "/" + longName), "long content");
    EXPECT_EQ(FolderEntries(work).size(), 3u) << "the staging folder was left behind";
    EXPECT_EQ(ReadFile(root / "canary"), "untouched");
}

// A new file takes the owner's execute bit from the archive and the rest from the umask, a
// replaced one keeps who may read and write it; neither is ever setuid, setgid or sticky.
TEST_F(Install, ExecuteFollowsTheArchiveAndTheRestTheUmaskOrTheReplacedFile)
{
    const struct {
        unsigned before, stored, mask, after;  // before 0: no file before
    } cases[] = {{0, 04755, 022, 0755},   {0, 07644, 022, 0644},   {0, 0100, 077, 0700},
                 {0, 06777, 0, 0777},     {0, 0011, 022, 0644},    {0600, 0644, 022, 0600},
                 {0640, 0755, 022, 0750}, {0755, 0644, 022, 0644}, {0700, 04755, 022, 0700}};
    const mode_t umaskBefore = umask(022);
    for (const auto& c : cases) {
        if (c.before)
            chmod((work + "/Kerv").c_str(), c.before);
        else
            std::remove((work + "/Kerv").c_str());
        umask(c.mask);
        ASSERT_TRUE(Run(TarBuilder().File("Kerv", "new", c.stored)).Ok());
        struct stat info;
        ASSERT_EQ(stat((work + "/Kerv").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.after)
            << std::oct << c.before << " " << c.stored << " " << c.mask;
    }
    umask(umaskBefore);
}

// Hostile archives: each is refused as a whole, names the entry concerned where there is one,
// and leaves the folder and the canary beside it as they were.
struct Refusal {
    const char* what;
    std::function<TarBuilder()> build;
    InstallFailure failure;
    const char* entry;           // nullptr: not looked at
    std::uint64_t maxTotal = 0;  // bytes of all files together; 0: the default limits
};

class InstallRefusal : public Install, public ::testing::WithParamInterface<Refusal> {};

TEST_P(InstallRefusal, RefusesTheWholeArchiveAndChangesNothing)
{
    const Refusal& c = GetParam();
    ArchiveLimits limits;
    if (c.maxTotal)
        limits.nMaxTotalSize = c.maxTotal;
    InstallResult result = Run(c.build(), limits);
    EXPECT_EQ(result.failure, c.failure) << c.what;
    if (c.entry) {
        EXPECT_EQ(result.strEntry, c.entry) << c.what;
        if (c.failure != InstallFailure::TotalTooLarge) {
            EXPECT_NE(result.Describe().Find(c.entry), wxNOT_FOUND) << result.Describe();
        }
    }
    ExpectUnchanged();
}

TarBuilder Files(int count, std::size_t size)
{
    TarBuilder tar;
    for (int i = 0; i < count; ++i)
        tar.File("f" + std::to_string(i), std::string(size, 'x'));
    return tar;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, InstallRefusal,
    ::testing::Values(
        Refusal{"a parent step",
                [] { return TarBuilder().File("Kerv", "new").File("../canary", "owned"); },
                InstallFailure::RefusedEntry, "../canary"},
        Refusal{"a pax path with a parent step",
                [] { return TarBuilder().Pax('x', "path", "../canary").File("harmless", "owned"); },
                InstallFailure::RefusedEntry, "../canary"},
        Refusal{"a symbolic link",
                [] {
                    return TarBuilder()
                        .File("Kerv", "new")
                        .Entry("escape", '2', 0777, std::string(), "..")
                        .File("escape/canary", "owned");
                },
                InstallFailure::RefusedEntry, "escape"},
        Refusal{"a hard link",
                [] { return TarBuilder().Entry("link", '1', 0644, std::string(), "Kerv"); },
                InstallFailure::RefusedEntry, "link"},
        Refusal{"a device", [] { return TarBuilder().Entry("dev", '3', 0644, ""); },
                InstallFailure::RefusedEntry, "dev"},
        Refusal{"a name twice", [] { return TarBuilder().File("a", "1").File("a", "2"); },
                InstallFailure::RefusedEntry, "a"},
        Refusal{"a file above a file", [] { return TarBuilder().File("a", "1").File("a/b", "2"); },
                InstallFailure::RefusedEntry, "a/b"},
        Refusal{"an installed file in the way of a folder",
                [] { return TarBuilder().File("Kerv/x", "1"); }, InstallFailure::RefusedEntry,
                "Kerv/x"},
        Refusal{"too many extension headers before one entry",
                [] {
                    TarBuilder tar;
                    for (int i = 0; i < 9; ++i)
                        tar.Pax('x', "comment", "c");
                    return tar.File("Kerv", "new");
                },
                InstallFailure::Damaged, nullptr},
        Refusal{"too many bytes of extension headers in all",
                [] {
                    TarBuilder tar;
                    for (int i = 0; i < 20; ++i)
                        tar.Pax('g', "comment", std::string(60000, 'c'))
                            .File("f" + std::to_string(i), "x");
                    return tar;
                },
                InstallFailure::Damaged, nullptr},
        Refusal{"too many entries", [] { return Files(4097, 0); }, InstallFailure::TooManyEntries,
                nullptr},
        Refusal{"a decompression bomb (200 MiB of zeros, about 200 KiB packed)",
                [] {
                    TarBuilder tar;
                    tar.File("Kerv", "new").ZeroFile("bomb", 200ull << 20);
                    return tar;
                },
                InstallFailure::EntryTooLarge, "bomb"},
        Refusal{"too many bytes in all", [] { return Files(5, 1000); },
                InstallFailure::TotalTooLarge, "f4", 4500}));

TEST_F(Install, ASymbolicLinkAlreadyInTheFolderIsNotFollowed)
{
    ASSERT_EQ(symlink(root.Path().c_str(), (work + "/lib").c_str()), 0);
    InstallResult result = Run(TarBuilder().File("lib/canary", "owned"));
    EXPECT_EQ(result.failure, InstallFailure::RefusedEntry);
    EXPECT_EQ(result.strReason, "a symbolic link in the way would lead outside the folder");
    EXPECT_EQ(ReadFile(root / "canary"), "untouched");
}

// The first header with text written at offset, its checksum then stored as seven digits and a
// NUL (the last byte of the field counts as a blank all the same).
TEST_F(Install, HeaderNumbersAreOctalAndTheWholeChecksumFieldCountsAsBlanks)
{
    struct Case {
        std::size_t offset;
        std::string text;
        bool ok;
    };
    for (const Case& c : {Case{0, "Kerv", true}, Case{124, "00000000008", false},
                          Case{124, "0000000000 3", false}}) {
        SCOPED_TRACE(c.text);
        WriteFile(work + "/Kerv", "old program");
        std::string tar = TarBuilder().File("Kerv", "new").Tar();
        tar.replace(c.offset, c.text.size(), c.text);
        std::memset(&tar[148], ' ', 8);
        unsigned sum = 0;
        for (int i = 0; i < 512; ++i)
            sum += static_cast<unsigned char>(tar[i]);
        std::snprintf(&tar[148], 8, "%07o", sum);
        WriteFile(archive, GzipBytes(tar));
        InstallResult result =
            InstallArchive(archive, "0.68_Kerv_lnx.tar.gz", work, ArchiveLimits());
        EXPECT_EQ(result.Ok(), c.ok) << result.strReason;
        EXPECT_EQ(ReadFile(work + "/Kerv"), c.ok ? "new" : "old program");
    }
}

// Extension headers are not entries, so they have caps of their own (refused above when over):
// eight before one entry are still allowed.
TEST_F(Install, EightExtensionHeadersBeforeAnEntryAreAllowed)
{
    TarBuilder few;
    for (int i = 0; i < 8; ++i)
        few.Pax('x', "comment", "c");
    EXPECT_TRUE(Run(few.File("Kerv", "new")).Ok());
}

TEST_F(Install, WhatAKilledUpdaterLeftIsRemovedAndNothingElse)
{
    mkdir((work + "/.kerv-staging-Ab12Cd").c_str(), 0700);
    mkdir((work + "/.kerv-staging-Ab12Cd/new").c_str(), 0700);
    WriteFile(work + "/.kerv-staging-Ab12Cd/new/Kerv", "half installed");
    WriteFile(work + "/.kerv-download-Xy34Zw", "partial");
    ASSERT_EQ(symlink((root / "canary").c_str(), (work + "/.kerv-download-link").c_str()), 0);
    WriteFile(work + "/0.68_Kerv_lnx.tar.gz", "the user's own");
    RemoveLeftovers(work);
    EXPECT_EQ(FolderEntries(work).size(), 2u);
    EXPECT_EQ(ReadFile(work + "/0.68_Kerv_lnx.tar.gz"), "the user's own");
    ExpectUnchanged(1);
}

// Archives that are not whole gzip'd tar streams: damaged, and nothing changes.
TEST_F(Install, ATruncatedOrGarbledArchiveLeavesTheInstalledFilesAsTheyWere)
{
    const std::string tar =
        TarBuilder().File("Kerv", "new program").File("big", std::string(100000, 'b')).Tar();
    for (const std::string& bytes :
         {GzipBytes(tar.substr(0, 60000)), GzipBytes(std::string(2048, 'g')),
          std::string("not gzip at all, not even close")}) {
        WriteFile(archive, bytes);
        InstallResult result =
            InstallArchive(archive, "0.68_Kerv_lnx.tar.gz", work, ArchiveLimits());
        EXPECT_EQ(result.failure, InstallFailure::Damaged) << bytes.size();
        ExpectUnchanged();
    }
}

TEST_F(Install, AnUnknownFormatIsRefusedByName)
{
    WriteFile(root / "update.zip", "PK");
    InstallResult result = InstallArchive(root / "update.zip", "update.zip", work, ArchiveLimits());
    EXPECT_EQ(result.failure, InstallFailure::UnknownFormat);
    EXPECT_NE(result.Describe().Find("can't handle 'update.zip'"), wxNOT_FOUND);
    EXPECT_TRUE(IsKnownArchiveFormat("0.68_Kerv_lnx.tar.gz"));
    EXPECT_TRUE(IsKnownArchiveFormat("update.tar"));
    EXPECT_FALSE(IsKnownArchiveFormat("update.zip"));
    EXPECT_FALSE(IsKnownArchiveFormat("update.gz"));
}

TEST_F(Install, AFailedMoveIsRolledBack)
{
    // Once the last entry is staged (every check has passed), a file named "sub" appears in the
    // working directory, so the folder "sub" cannot be made when "Kerv" is already in place.
    auto lastEntryStaged = [this] {
        for (const auto& item : std::filesystem::directory_iterator(work))
            if (item.path().filename().string().rfind(".kerv-staging-", 0) == 0 &&
                Exists(item.path().string() + "/new/sub/x"))
                return true;
        return false;
    };
    auto intruder = [&] {
        if (!Exists(work + "/sub") && lastEntryStaged())
            WriteFile(work + "/sub", "in the way");
    };
    WriteFile(archive, TarBuilder().File("Kerv", "new program").File("sub/x", "x").Gzip());
    InstallResult result =
        InstallArchive(archive, "0.68_Kerv_lnx.tar.gz", work, ArchiveLimits(), intruder);
    EXPECT_EQ(result.failure, InstallFailure::Write);
    EXPECT_EQ(result.strEntry, "sub/x");
    EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
    EXPECT_EQ(ReadFile(work + "/sub"), "in the way");
    EXPECT_EQ(FolderEntries(work).size(), 2u) << "the staging folder was left behind";
}

TEST(EntryName, CleaningKeepsRelativeNamesInside)
{
    std::string clean, reason;
    ASSERT_TRUE(CleanEntryName("./a//b/./c", clean, reason));
    EXPECT_EQ(clean, "a/b/c");
    ASSERT_TRUE(CleanEntryName("./", clean, reason));
    EXPECT_EQ(clean, "");
    for (const char* bad :
         {"/etc/passwd", "a/../../b", "..", "a\\..\\b", "a\nb", ".kerv-staging-abc/x"})
        EXPECT_FALSE(CleanEntryName(bad, clean, reason)) << bad;
}
