// SPDX-License-Identifier: GPL-3.0-or-later
// The whole install over arbitrary tar bytes, into a scratch folder with a canary beside it:
// whatever the archive holds, nothing outside the folder changes, an accepted name is clean,
// and a refused archive leaves the folder as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include <wx/init.h>

#include "archive_install.h"

namespace {

namespace fs = std::filesystem;

struct Scratch {
    fs::path root;
    fs::path target;
    fs::path archive;
    fs::path canary;
    Scratch()
    {
        root = fs::temp_directory_path() / ("kerv-fuzz-archive-" + std::to_string(getpid()));
        target = root / "work";
        archive = root / "0.68_Kerv_lnx.tar";
        canary = root / "canary";
        fs::create_directories(target);
        std::ofstream(canary) << "untouched";
    }
    ~Scratch() { fs::remove_all(root); }
};

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An accepted clean name has no empty, "." or ".." step and does not start with "/".
bool IsClean(const std::string& name)
{
    if (name.empty() || name.front() == '/' || name.back() == '/')
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = name.find('/', start);
        const std::string step = name.substr(start, slash - start);
        if (step.empty() || step == "." || step == "..")
            return false;
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static wxInitializer initializer;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Scratch scratch;
    const std::string stored(reinterpret_cast<const char*>(data), std::min<size_t>(size, 600));
    std::string clean, reason;
    if (CleanEntryName(stored, clean, reason) && !clean.empty() && !IsClean(clean))
        std::abort();

    {
        std::ofstream out(scratch.archive, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ArchiveLimits limits;
    limits.nMaxEntries = 64;
    limits.nMaxEntrySize = 1 << 20;
    limits.nMaxTotalSize = 4 << 20;
    const InstallResult result = InstallArchive(scratch.archive.string(), "0.68_Kerv_lnx.tar",
                                                scratch.target.string(), limits);
    if (Read(scratch.canary) != "untouched")
        std::abort();
    std::size_t entries = 0;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(scratch.root)) {
        const fs::path relative = fs::relative(item.path(), scratch.root);
        const bool known = item.path() == scratch.archive || item.path() == scratch.canary ||
                           *relative.begin() == "work";
        if (!known)
            std::abort();  // something landed beside the folder
        entries += *relative.begin() == "work" && item.path() != scratch.target ? 1 : 0;
    }
    if (!result.Ok() && entries != 0)
        std::abort();  // a refused archive left something behind
    fs::remove_all(scratch.target);
    fs::create_directories(scratch.target);
    return 0;
}
