// SPDX-License-Identifier: GPL-3.0-or-later
// Ed25519 verification of releases, the release names, and the fetch of archive and signature.
#include "signature.h"
#include "download.h"
#include "release.h"
#include "test_archive.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

namespace {

// The key the test build verifies with: the public half of the key SignRelease signs with (the
// updates that the other tests install prove that they match).
PublicKey TestKey()
{
    PublicKey key{};
    EXPECT_TRUE(GetBuiltInPublicKey(key));
    return key;
}

}  // namespace

TEST(Signature, PublicKeyHexMustBe64HexDigits)
{
    PublicKey key{};
    EXPECT_TRUE(ParsePublicKeyHex(std::string(64, 'a'), key));
    EXPECT_FALSE(ParsePublicKeyHex(std::string(63, 'a'), key));
    EXPECT_FALSE(ParsePublicKeyHex(std::string(65, 'a'), key));
    EXPECT_FALSE(ParsePublicKeyHex(std::string(62, 'a') + "zz", key));
}

// The signature covers version, archive name and bytes: each case signs one manifest and
// checks a file against another, so a replayed or renamed archive fails like a damaged one.
struct ReleaseCase {
    const char* what;
    std::string signedVersion, signedName, signedBytes;  // what the test key signed
    std::string version, name, bytes;                    // what the updater checks
    SignatureCheck expected;
};

class ReleaseSignature : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseSignature, CoversVersionNameAndBytes)
{
    const ReleaseCase& c = GetParam();
    TempDir dir;
    WriteFile(dir / "download", c.bytes);
    const std::string signature = SignRelease(c.signedBytes, c.signedVersion, c.signedName);
    EXPECT_EQ(VerifyRelease(dir / "download", c.version, c.name, signature, TestKey(), 1000),
              c.expected)
        << c.what;
}

const std::string kName = "0.68_Kerv_lnx.tar.gz";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReleaseSignature,
    ::testing::Values(
        ReleaseCase{"good", "0.68", kName, "bytes", "0.68", kName, "bytes", SignatureCheck::Valid},
        ReleaseCase{"one byte changed", "0.68", kName, "bytes", "0.68", kName, "bytez",
                    SignatureCheck::Mismatch},
        ReleaseCase{"an old release replayed as newer", "0.66", "0.66_Kerv_lnx.tar.gz", "old",
                    "0.68", kName, "old", SignatureCheck::Mismatch},
        ReleaseCase{"renamed", "0.68", kName, "bytes", "0.68", "0.68_Kerv_win.zip", "bytes",
                    SignatureCheck::Mismatch},
        ReleaseCase{"over the size cap", "0.68", kName, std::string(2000, 'x'), "0.68", kName,
                    std::string(2000, 'x'), SignatureCheck::Unreadable}));

// (Another key's signature fails: the release script's test shows it.)
TEST(Signature, AWrongLengthIsMalformed)
{
    TempDir dir;
    WriteFile(dir / "a", "bytes");
    const std::string signature = SignRelease("bytes");
    EXPECT_EQ(VerifyRelease(dir / "a", "0.68", kName, signature + "\n", TestKey(), 1000),
              SignatureCheck::Malformed);
    EXPECT_EQ(VerifyRelease(dir / "a", "0.68", kName, std::string(), TestKey(), 1000),
              SignatureCheck::Malformed);
}

TEST(Release, TheArchiveNameAnnouncesItsVersionAndIsThePlainLastSegmentOfItsAddress)
{
    wxString version;
    ASSERT_TRUE(VersionOfArchive(wxPORT_GTK, "0.68_Kerv_lnx.tar.gz", version));
    EXPECT_EQ(version, "0.68");
    ASSERT_TRUE(VersionOfArchive(wxPORT_MSW, "1.0-rc1_Kerv_win.zip", version));
    EXPECT_EQ(version, "1.0-rc1");
    EXPECT_FALSE(VersionOfArchive(wxPORT_GTK, "_Kerv_lnx.tar.gz", version));
    EXPECT_FALSE(VersionOfArchive(wxPORT_GTK, "0.68_Kerv_win.zip", version));
    EXPECT_FALSE(VersionOfArchive(wxPORT_GTK, "0.68.tar.gz", version));
    EXPECT_FALSE(VersionOfArchive(wxPORT_GTK, std::string(33, '9') + "_Kerv_lnx.tar.gz", version));

    wxString name;
    ASSERT_TRUE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/0.68_Kerv_lnx.tar.gz", name));
    EXPECT_EQ(name, "0.68_Kerv_lnx.tar.gz");
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/..", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/.bashrc", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/%2e%2e", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("ftp://kerv.example.org/a.tar.gz", name));
}

TEST(Download, WritesTheWholeBodyToAFileOfItsOwnAndReportsProgressUpToItsLength)
{
    TempDir dir;
    TestServer server;
    std::string data(300000, 'd');
    server.Route("/a.tar.gz", MakeResponse(200, data));
    wxString path;
    const int fd = CreateDownloadFile(dir.Path(), path);
    ASSERT_GE(fd, 0);
    struct stat info;
    ASSERT_EQ(stat(path.ToStdString().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(path.AfterLast('/').StartsWith(kDownloadPrefix)) << path;
    WriteFile(path.ToStdString(), "an earlier attempt's bytes, longer than none");

    std::uint64_t last = 0;
    bool monotonic = true;
    HttpResult result = DownloadToFile(
        server.Url("/a.tar.gz"), wxString(), fd, ArchiveDownloadLimits(),
        [&](std::uint64_t received, bool known, std::uint64_t length) {
            monotonic = monotonic && received >= last && known && length == data.size();
            last = received;
            return true;
        });
    close(fd);
    ASSERT_TRUE(result.Ok()) << result.Describe();
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(last, data.size());
    EXPECT_EQ(ReadFile(path.ToStdString()), data);
    wxString second;
    const int other = CreateDownloadFile(dir.Path(), second);
    EXPECT_NE(second, path);
    close(other);
    EXPECT_LT(CreateDownloadFile(dir / "missing", second), 0);
}

// Fetched beside the archive, as every signed update the other tests install shows.
TEST(Download, ASignatureOverItsCapIsTooLarge)
{
    TestServer server;
    server.Route("/b.tar.gz.sig", MakeResponse(200, std::string(5000, 's')));
    std::string signature;
    EXPECT_EQ(DownloadSignature(server.Url("/b.tar.gz"), wxString(), signature, {}).failure,
              HttpFailure::TooLarge);
}

namespace {

int RunScript(const std::string& arguments, const std::string& output)
{
    return std::system(
        (std::string("bash '") + KERV_SIGN_SCRIPT + "' " + arguments + " > '" + output + "' 2>&1")
            .c_str());
}

}  // namespace

TEST(ReleaseScript, SignsWithAFreshKeyThatTheUpdaterVerifies)
{
    TempDir dir;
    const std::string archive = dir / "0.68_Kerv_lnx.tar.gz";
    WriteFile(archive, TarBuilder().File("Kerv", "release").Gzip());
    ASSERT_EQ(RunScript("keygen '" + (dir / "release.pem") + "'", dir / "out"), 0)
        << ReadFile(dir / "out");
    ASSERT_EQ(RunScript("pubkey '" + (dir / "release.pem") + "'", dir / "hex"), 0)
        << ReadFile(dir / "hex");
    ASSERT_EQ(RunScript("sign '" + (dir / "release.pem") + "' '" + archive + "'", dir / "out"), 0)
        << ReadFile(dir / "out");
    std::string hex = ReadFile(dir / "hex");
    hex.erase(hex.find_last_not_of("\n") + 1);
    PublicKey key{};
    ASSERT_TRUE(ParsePublicKeyHex(hex, key)) << hex;
    const std::string signature = ReadFile(archive + ".sig");
    EXPECT_EQ(VerifyRelease(archive, "0.68", kName, signature, key, 1 << 20),
              SignatureCheck::Valid);
    EXPECT_NE(VerifyRelease(archive, "0.69", "0.69_Kerv_lnx.tar.gz", signature, key, 1 << 20),
              SignatureCheck::Valid);
    EXPECT_NE(VerifyRelease(archive, "0.68", kName, signature, TestKey(), 1 << 20),
              SignatureCheck::Valid);
}

TEST(ReleaseScript, RefusesTheTestKey)
{
    TempDir dir;
    const std::string archive = dir / "0.68_Kerv_lnx.tar.gz";
    WriteFile(archive, "release");
    // The test seed as a PEM key: the fixed PKCS#8 prefix of an Ed25519 key, then the seed.
    ASSERT_EQ(
        std::system(("echo 302e020100300506032b657004220420" + TestSeed() +
                     " | xxd -r -p | openssl pkey -inform DER -out '" + (dir / "test.pem") + "'")
                        .c_str()),
        0);
    EXPECT_NE(RunScript("sign '" + (dir / "test.pem") + "' '" + archive + "'", dir / "out"), 0);
    EXPECT_NE(ReadFile(dir / "out").find("test key"), std::string::npos) << ReadFile(dir / "out");
    EXPECT_FALSE(Exists(archive + ".sig"));
}
