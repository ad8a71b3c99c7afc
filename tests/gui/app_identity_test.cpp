// The program's identity and the web server address, with its run-time override.
#include <gtest/gtest.h>
#include <wx/utils.h>

#include "app_identity.h"

namespace {

class ServerAddressTest : public ::testing::Test {
protected:
    void TearDown() override { wxUnsetEnv("KERV_SERVER"); }
};

}  // namespace

TEST(AppIdentity, TitleVersionAndStoreNames)
{
    EXPECT_STREQ(szProductTitle, "Vandrel");
    EXPECT_STREQ(szVersion, "0.67");
    EXPECT_STREQ(szAppName, "Kerv");
    EXPECT_STREQ(szVendorName, "kerv.example.org");
}

TEST_F(ServerAddressTest, WithoutTheVariableTheBuiltInServerIsUsed)
{
    wxUnsetEnv("KERV_SERVER");
    EXPECT_EQ(GetServerAddress(), "http://kerv.example.org");
    EXPECT_EQ(GetDonationAddress(), "http://kerv.example.org/kerv/donate");
}

TEST_F(ServerAddressTest, TheVariableOverridesTheServer)
{
    wxSetEnv("KERV_SERVER", "http://127.0.0.1:8080");
    EXPECT_EQ(GetServerAddress(), "http://127.0.0.1:8080");
    EXPECT_EQ(GetDonationAddress(), "http://127.0.0.1:8080/kerv/donate");
    wxSetEnv("KERV_SERVER", "https://mirror.example.com");
    EXPECT_EQ(GetServerAddress(), "https://mirror.example.com");
}

TEST_F(ServerAddressTest, OneTrailingSlashIsDropped)
{
    wxSetEnv("KERV_SERVER", "http://localhost:9000/");
    EXPECT_EQ(GetServerAddress(), "http://localhost:9000");
}

TEST_F(ServerAddressTest, AnythingButSchemeHostAndPortIsIgnored)
{
    const char* bad[] = {
        "",
        "kerv.example.org",
        "ftp://kerv.example.org",
        "file:///etc/passwd",
        "javascript:alert(1)",
        "http://",
        "http://host/path",
        "http://host?x=1",
        "http://a b",
        "http://host:0",
        "http://host:65536",
        "http://host:80x",
        "http://user@host",
        "http://-host",
        "http://[::1",
        "http://host//",
    };
    for (const char* value : bad) {
        wxSetEnv("KERV_SERVER", value);
        EXPECT_EQ(GetServerAddress(), "http://kerv.example.org") << value;
        EXPECT_FALSE(IsValidServerAddress(value)) << value;
    }
}

TEST_F(ServerAddressTest, BracketedIpv6AddressesAreAccepted)
{
    EXPECT_TRUE(IsValidServerAddress("http://[::1]"));
    EXPECT_TRUE(IsValidServerAddress("http://[::1]:8080"));
    EXPECT_FALSE(IsValidServerAddress("http://[::1]x"));
    EXPECT_FALSE(IsValidServerAddress("http://[zz::1]"));
}
