// SPDX-License-Identifier: GPL-3.0-or-later
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
    wxSetEnv("KERV_SERVER", "http://[::1]:8000/");
    EXPECT_EQ(GetServerAddress(), "http://[::1]:8000");
}

TEST_F(ServerAddressTest, WhatTheUpdateClientCannotFetchIsIgnored)
{
    // The parser itself is tested with the HTTP client; here only that it decides.
    for (const char* value : {"https://mirror.example.com", "http://host/path", "ftp://host"}) {
        wxSetEnv("KERV_SERVER", value);
        EXPECT_EQ(GetServerAddress(), "http://kerv.example.org") << value;
        EXPECT_FALSE(IsValidServerAddress(value)) << value;
    }
}
