// Ed25519 verification of downloaded archives, and the fetch of archive and signature.
#include "signature.h"
#include "download.h"
#include "test_archive.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

PublicKey TestKey()
{
    std::ifstream in(KERV_TEST_KEY_DIR "/test_public_key.hex");
    std::string hex;
    in >> hex;
    PublicKey key{};
    EXPECT_TRUE(ParsePublicKeyHex(hex, key));
    return key;
}

}  // namespace

TEST(Signature, PublicKeyHexMustBe64HexDigits)
{
    PublicKey key{};
    EXPECT_TRUE(ParsePublicKeyHex(std::string(64, 'a'), key));
    EXPECT_FALSE(ParsePublicKeyHex(std::string(63, 'a'), key));
    EXPECT_FALSE(ParsePublicKeyHex(std::string(62, 'a') + "zz", key));
}

TEST(Signature, TheTestBuildCarriesTheTestKey)
{
    PublicKey key{};
    ASSERT_TRUE(GetBuiltInPublicKey(key));
    EXPECT_EQ(key, TestKey());
}

TEST(Signature, AGoodSignatureVerifies)
{
    TempDir dir;
    WriteFile(dir / "a.tar.gz", "archive bytes");
    EXPECT_EQ(
        VerifyFileSignature(dir / "a.tar.gz", SignWithTestKey("archive bytes"), TestKey(), 1000),
        SignatureCheck::Valid);
}

TEST(Signature, OneChangedByteFailsVerification)
{
    TempDir dir;
    WriteFile(dir / "a.tar.gz", "archive bytez");
    EXPECT_EQ(
        VerifyFileSignature(dir / "a.tar.gz", SignWithTestKey("archive bytes"), TestKey(), 1000),
        SignatureCheck::Mismatch);
    std::string signature = SignWithTestKey("archive bytez");
    signature[10] ^= 1;
    EXPECT_EQ(VerifyFileSignature(dir / "a.tar.gz", signature, TestKey(), 1000),
              SignatureCheck::Mismatch);
}

TEST(Signature, AnotherKeysSignatureFails)
{
    TempDir dir;
    WriteFile(dir / "a.tar.gz", "archive bytes");
    PublicKey other = TestKey();
    other[0] ^= 0x40;
    EXPECT_NE(VerifyFileSignature(dir / "a.tar.gz", SignWithTestKey("archive bytes"), other, 1000),
              SignatureCheck::Valid);
}

TEST(Signature, WrongLengthsAreMalformed)
{
    TempDir dir;
    WriteFile(dir / "a.tar.gz", "archive bytes");
    std::string signature = SignWithTestKey("archive bytes");
    EXPECT_EQ(VerifyFileSignature(dir / "a.tar.gz", signature + "\n", TestKey(), 1000),
              SignatureCheck::Malformed);
    EXPECT_EQ(VerifyFileSignature(dir / "a.tar.gz", std::string(), TestKey(), 1000),
              SignatureCheck::Malformed);
}

TEST(Signature, AFileOverTheCapIsNotRead)
{
    TempDir dir;
    WriteFile(dir / "a.tar.gz", std::string(2000, 'x'));
    EXPECT_EQ(VerifyFileSignature(dir / "a.tar.gz", SignWithTestKey(std::string(2000, 'x')),
                                  TestKey(), 1000),
              SignatureCheck::Unreadable);
}

TEST(ArchiveName, IsThePlainLastSegment)
{
    wxString name;
    ASSERT_TRUE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/0.68_Kerv_lnx.tar.gz", name));
    EXPECT_EQ(name, "0.68_Kerv_lnx.tar.gz");
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/..", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/.bashrc", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("http://kerv.example.org/kerv/%2e%2e", name));
    EXPECT_FALSE(ArchiveFileNameFromUrl("ftp://kerv.example.org/a.tar.gz", name));
}

TEST(Download, WritesTheWholeFileAndReportsProgressUpToItsLength)
{
    TempDir dir;
    TestServer server;
    std::string data(300000, 'd');
    server.Route("/a.tar.gz", MakeResponse(200, data));
    std::uint64_t last = 0;
    bool monotonic = true;
    HttpResult result = DownloadToFile(
        server.Url("/a.tar.gz"), wxString(), dir / "a.tar.gz", ArchiveDownloadLimits(),
        [&](std::uint64_t received, bool known, std::uint64_t length) {
            monotonic = monotonic && received >= last && known && length == data.size();
            last = received;
            return true;
        });
    ASSERT_TRUE(result.Ok()) << result.Describe();
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(last, data.size());
    EXPECT_EQ(ReadFile(dir / "a.tar.gz"), data);
}

TEST(Download, AShortArchiveWithoutLengthArrivesWhole)
{
    TempDir dir;
    TestServer server;
    server.Route("/a.tar.gz", MakeResponse(200, std::string(5000, 's'), false));
    ASSERT_TRUE(DownloadToFile(server.Url("/a.tar.gz"), wxString(), dir / "a.tar.gz",
                               ArchiveDownloadLimits(), {})
                    .Ok());
    EXPECT_EQ(ReadFile(dir / "a.tar.gz").size(), 5000u);
}

TEST(Download, ATruncatedDownloadIsRemoved)
{
    TempDir dir;
    TestServer server;
    CannedResponse response;
    response.strBytes = "HTTP/1.0 200 X\r\nContent-Length: 10000\r\n\r\n" + std::string(4000, 't');
    server.Route("/a.tar.gz", response);
    HttpResult result = DownloadToFile(server.Url("/a.tar.gz"), wxString(), dir / "a.tar.gz",
                                       ArchiveDownloadLimits(), {});
    EXPECT_EQ(result.failure, HttpFailure::Truncated);
    EXPECT_FALSE(Exists(dir / "a.tar.gz"));
}

TEST(Download, AnUnwritableFileFails)
{
    TempDir dir;
    TestServer server;
    server.Route("/a.tar.gz", MakeResponse(200, "data"));
    HttpResult result = DownloadToFile(server.Url("/a.tar.gz"), wxString(),
                                       dir / "missing/a.tar.gz", ArchiveDownloadLimits(), {});
    EXPECT_EQ(result.failure, HttpFailure::Sink);
}

TEST(Download, TheSignatureIsFetchedBesideTheArchive)
{
    TestServer server;
    server.Route("/a.tar.gz.sig", MakeResponse(200, std::string(64, 's')));
    std::string signature;
    ASSERT_TRUE(DownloadSignature(server.Url("/a.tar.gz"), wxString(), signature, {}).Ok());
    EXPECT_EQ(signature, std::string(64, 's'));
    server.Route("/b.tar.gz.sig", MakeResponse(200, std::string(5000, 's')));
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
    EXPECT_EQ(VerifyFileSignature(archive, ReadFile(archive + ".sig"), key, 1 << 20),
              SignatureCheck::Valid);
    EXPECT_NE(VerifyFileSignature(archive, ReadFile(archive + ".sig"), TestKey(), 1 << 20),
              SignatureCheck::Valid);
}

TEST(ReleaseScript, RefusesTheTestKey)
{
    TempDir dir;
    const std::string archive = dir / "0.68_Kerv_lnx.tar.gz";
    WriteFile(archive, "release");
    // The test seed as a PEM key: the fixed PKCS#8 prefix of an Ed25519 key, then the seed.
    std::ifstream in(KERV_TEST_KEY_DIR "/test_seed.hex");
    std::string seed;
    in >> seed;
    ASSERT_EQ(
        std::system(("echo 302e020100300506032b657004220420" + seed +
                     " | xxd -r -p | openssl pkey -inform DER -out '" + (dir / "test.pem") + "'")
                        .c_str()),
        0);
    EXPECT_NE(RunScript("sign '" + (dir / "test.pem") + "' '" + archive + "'", dir / "out"), 0);
    EXPECT_NE(ReadFile(dir / "out").find("test key"), std::string::npos) << ReadFile(dir / "out");
    EXPECT_FALSE(Exists(archive + ".sig"));
}
