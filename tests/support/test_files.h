// SPDX-License-Identifier: GPL-3.0-or-later
// Files for the tests: a temporary folder of each test's own, whole files written and read,
// and the output of a shell command.
#ifndef KERV_TESTS_TEST_FILES_H
#define KERV_TESTS_TEST_FILES_H

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return strPath; }
    std::string operator/(const std::string& name) const { return strPath + "/" + name; }

private:
    std::string strPath;
};

void WriteFile(const std::string& path, const std::string& data);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);  // also a dangling symbolic link
// The names in a folder, "." and ".." left out, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// What a shell command line writes to its standard output, its last line feed cut.
std::string CommandOutput(const std::string& command);

#endif
