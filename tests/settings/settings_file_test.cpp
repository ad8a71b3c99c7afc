// SPDX-License-Identifier: GPL-3.0-or-later
// A damaged settings file is set aside before the store reads it; a sound one is left alone.
#include "settings_file.h"
#include "config_keys.h"
#include "test_archive.h"

#include <wx/app.h>
#include <wx/config.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <functional>

namespace {

struct StoreFile {
    const char* what;
    std::function<void(const std::string& path)> make;  // creates ~/.Kerv (or not)
    bool setAside;
};

class SettingsFile : public ::testing::TestWithParam<StoreFile> {
protected:
    TempDir home;
    void SetUp() override { setenv("HOME", home.Path().c_str(), 1); }
};

TEST_P(SettingsFile, IsSetAsideOnlyWhenTheStoreCouldNotReadItCleanly)
{
    const std::string path = home / ".Kerv";
    ASSERT_EQ(SettingsFilePath().ToStdString(), path);
    WriteFile(home / ".Kerv.broken", "an older damaged file");
    GetParam().make(path);
    struct stat before {};
    const bool existed = lstat(path.c_str(), &before) == 0;

    wxString broken;
    ASSERT_EQ(SetAsideBrokenSettings(broken), GetParam().setAside) << GetParam().what;
    struct stat after {};
    if (GetParam().setAside) {
        EXPECT_EQ(broken.ToStdString(), path + ".broken");
        EXPECT_NE(lstat(path.c_str(), &after), 0) << "the damaged file is still in the way";
        ASSERT_EQ(lstat((path + ".broken").c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "the damaged file itself is kept";
    } else {
        EXPECT_EQ(lstat(path.c_str(), &after) == 0, existed);
        EXPECT_EQ(ReadFile(home / ".Kerv.broken"), "an older damaged file");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsFile,
    ::testing::Values(
        StoreFile{"missing", [](const std::string&) {}, false},
        StoreFile{"sound",
                  [](const std::string& p) {
                      WriteFile(p, "ToDelete=a\n[Look]\nx=1\n[Confirmations]\nOnExit=1\n");
                  },
                  false},
        StoreFile{"empty", [](const std::string& p) { WriteFile(p, ""); }, false},
        StoreFile{"cut inside a group header",
                  [](const std::string& p) { WriteFile(p, "[Look]\nx=1\n[Confirmat"); }, true},
        StoreFile{"binary",
                  [](const std::string& p) { WriteFile(p, std::string("x=1\n\0\1\2", 7)); }, true},
        StoreFile{
            "huge",
            [](const std::string& p) { WriteFile(p, std::string(kMaxSettingsBytes + 1, 'a')); },
            true},
        StoreFile{"a folder", [](const std::string& p) { mkdir(p.c_str(), 0700); }, true},
        StoreFile{"a FIFO", [](const std::string& p) { mkfifo(p.c_str(), 0600); }, true},
        StoreFile{"a dangling link",
                  [](const std::string& p) { symlink("/nonexistent/kerv", p.c_str()); }, true}));

}  // namespace
