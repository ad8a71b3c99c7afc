// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_install.h"

#include "release.h"
#include "tar_reader.h"
#include "write_all.h"

#include <wx/log.h>
#include <wx/stream.h>
#include <wx/wfstream.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

struct PlannedEntry {
    std::string strName;  // clean relative path
    bool bDir = false;
    unsigned nMode = 0;  // stored mode bits
};

std::vector<std::string> Steps(const std::string& path)
{
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        steps.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return steps;
}

std::string Join(const std::string& folder, const std::string& relative)
{
    return folder.empty() ? relative : folder + "/" + relative;
}

InstallResult Fail(InstallFailure failure, const std::string& entry, const std::string& reason)
{
    InstallResult result;
    result.failure = failure;
    result.strEntry = entry;
    result.strReason = reason;
    return result;
}

// The stream that decompresses and reads the archive, owning the whole chain.
struct ArchiveStream {
    std::unique_ptr<wxFFileInputStream> file;
    std::unique_ptr<wxInputStream> filter;
    wxInputStream* pStream = nullptr;
};

InstallResult OpenArchive(const wxString& path, const wxString& archiveName, ArchiveStream& stream)
{
    wxString name = archiveName;
    const wxFilterClassFactory* filter = wxFilterClassFactory::Find(name, wxSTREAM_FILEEXT);
    if (filter)
        name = filter->PopExtension(name);
    if (!name.Lower().EndsWith(".tar"))
        return Fail(InstallFailure::UnknownFormat, std::string(),
                    wxString::Format("can't handle '%s'", archiveName).ToStdString(wxConvUTF8));

    stream.file.reset(new wxFFileInputStream(path, "rb"));
    if (!stream.file->IsOk())
        return Fail(InstallFailure::Unreadable, std::string(), "the archive file cannot be read");
    stream.pStream = stream.file.get();
    if (filter) {
        stream.filter.reset(filter->NewStream(*stream.file));
        if (!stream.filter || !stream.filter->IsOk())
            return Fail(InstallFailure::Damaged, std::string(),
                        "the archive cannot be decompressed");
        stream.pStream = stream.filter.get();
    }
    return InstallResult();
}

// Where the entry would land in the target folder must not pass through a symbolic link and
// must not collide with something of the other kind.
bool CheckDestination(const std::string& target, const PlannedEntry& entry, std::string& reason)
{
    std::vector<std::string> steps = Steps(entry.strName);
    std::string path = target;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        path += "/" + steps[i];
        struct stat info;
        if (lstat(path.c_str(), &info) != 0)
            return true;  // nothing there yet, so nothing below it either
        bool last = i + 1 == steps.size();
        if (S_ISLNK(info.st_mode) && (!last || entry.bDir)) {
            reason = "a symbolic link in the way would lead outside the folder";
            return false;
        }
        if (!last && !S_ISDIR(info.st_mode)) {
            reason = "a file is in the way of its folder";
            return false;
        }
        if (last && entry.bDir && !S_ISDIR(info.st_mode)) {
            reason = "a file of that name is in the way";
            return false;
        }
        if (last && !entry.bDir && S_ISDIR(info.st_mode)) {
            reason = "a folder of that name is in the way";
            return false;
        }
    }
    return true;
}

bool MakeFolders(const std::string& root, const std::string& relative, mode_t mode,
                 std::vector<std::string>* created)
{
    if (relative.empty())
        return true;
    std::string path = root;
    for (const std::string& step : Steps(relative)) {
        path += "/" + step;
        if (mkdir(path.c_str(), mode) == 0) {
            if (created)
                created->push_back(path);
            continue;
        }
        struct stat info;
        if (errno != EEXIST || lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return false;
    }
    return true;
}

// What Scan knows about the archive so far.
struct ScanState {
    std::map<std::string, bool> seen;  // clean name -> is a directory
    std::size_t nCount = 0;
    std::uint64_t nTotal = 0;
};

std::string Bytes(const char* text, std::uint64_t value)
{
    return wxString::Format(text, static_cast<unsigned long long>(value)).ToStdString();
}

// The entry's type, name and place: only files and folders, a clean name, no name twice, no
// file of the archive above it, nothing in the way in the target folder. planned.strName is
// empty for the target folder itself ("./"), which is skipped.
InstallResult CheckEntry(const TarEntry& entry, const std::string& target, ScanState& state,
                         PlannedEntry& planned)
{
    switch (entry.cType) {
        case '0':
        case '\0':
            break;
        case '5':
            planned.bDir = true;
            break;
        case '1':
            return Fail(InstallFailure::RefusedEntry, entry.strName, "hard links are not allowed");
        case '2':
            return Fail(InstallFailure::RefusedEntry, entry.strName,
                        "symbolic links are not allowed");
        default:
            return Fail(InstallFailure::RefusedEntry, entry.strName,
                        "only regular files and folders are allowed");
    }
    std::string reason;
    if (!CleanEntryName(entry.strName, planned.strName, reason))
        return Fail(InstallFailure::RefusedEntry, entry.strName, reason);
    if (planned.strName.empty())
        return planned.bDir
                   ? InstallResult()
                   : Fail(InstallFailure::RefusedEntry, entry.strName, "the name is empty");
    planned.nMode = entry.nMode;

    // A folder may be listed twice; a file, or a file and a folder of one name, may not.
    std::vector<std::string> steps = Steps(planned.strName);
    std::string prefix;
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
        prefix = Join(prefix, steps[i]);
        auto known = state.seen.find(prefix);
        if (known != state.seen.end() && !known->second)
            return Fail(InstallFailure::RefusedEntry, entry.strName,
                        "a file of the archive is in the way");
        state.seen[prefix] = true;
    }
    auto known = state.seen.find(planned.strName);
    if (known != state.seen.end() && (!known->second || !planned.bDir))
        return Fail(InstallFailure::RefusedEntry, entry.strName, "the name appears twice");
    state.seen[planned.strName] = planned.bDir;

    if (!CheckDestination(target, planned, reason))
        return Fail(InstallFailure::RefusedEntry, entry.strName, reason);
    return InstallResult();
}

InstallResult CheckSize(const TarEntry& entry, const ArchiveLimits& limits, ScanState& state)
{
    if (entry.nSize > limits.nMaxEntrySize)
        return Fail(InstallFailure::EntryTooLarge, entry.strName,
                    Bytes("larger than %llu bytes", limits.nMaxEntrySize));
    if (state.nTotal + entry.nSize > limits.nMaxTotalSize)
        return Fail(InstallFailure::TotalTooLarge, entry.strName,
                    Bytes("more than %llu bytes in all", limits.nMaxTotalSize));
    state.nTotal += entry.nSize;
    return InstallResult();
}

// Reads the current entry's data, writing it below staging when that is not empty.
InstallResult CopyData(TarReader& reader, const TarEntry& entry, const PlannedEntry& planned,
                       const std::string& staging, unsigned umaskBits,
                       const std::function<void()>& pump)
{
    int fd = -1;
    if (!staging.empty()) {
        std::size_t slash = planned.strName.rfind('/');
        if (slash != std::string::npos &&
            !MakeFolders(staging, planned.strName.substr(0, slash), 0700, nullptr))
            return Fail(InstallFailure::Write, entry.strName, std::strerror(errno));
        fd = open(Join(staging, planned.strName).c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return Fail(InstallFailure::Write, entry.strName, std::strerror(errno));
    }
    std::vector<char> buffer(64 * 1024);
    std::uint64_t got = 0;
    bool written = true;
    for (;;) {
        std::size_t n = reader.Read(buffer.data(), buffer.size());
        if (n == 0)
            break;
        got += n;
        if (fd >= 0 && written)
            written = WriteAll(fd, buffer.data(), n);
        if (pump)
            pump();
    }
    if (fd >= 0) {
        written = written && fchmod(fd, FileModeFor(entry.nMode, umaskBits)) == 0;
        written = close(fd) == 0 && written;
    }
    if (reader.Failed() || got != entry.nSize)
        return Fail(InstallFailure::Damaged, entry.strName, "the archive ends inside this entry");
    if (!written)
        return Fail(InstallFailure::Write, entry.strName, "the file could not be written");
    return InstallResult();
}

// One pass over the archive. Without a staging folder it only checks (and fills plan); with
// one it also writes every file below it.
InstallResult Scan(const wxString& archivePath, const wxString& archiveName,
                   const std::string& target, const ArchiveLimits& limits,
                   const std::string& staging, unsigned umaskBits, std::vector<PlannedEntry>& plan,
                   const std::function<void()>& pump)
{
    ArchiveStream stream;
    InstallResult opened = OpenArchive(archivePath, archiveName, stream);
    if (!opened.Ok())
        return opened;

    TarReader reader(*stream.pStream);
    ScanState state;
    plan.clear();
    for (;;) {
        TarEntry entry;
        TarReader::Next next = reader.NextEntry(entry);
        if (next == TarReader::Next::End)
            break;
        if (next == TarReader::Next::Error)
            return Fail(InstallFailure::Damaged, std::string(), reader.GetError());
        if (++state.nCount > limits.nMaxEntries)
            return Fail(InstallFailure::TooManyEntries, entry.strName,
                        Bytes("more than %llu entries", limits.nMaxEntries));

        PlannedEntry planned;
        InstallResult step = CheckEntry(entry, target, state, planned);
        if (step.Ok() && planned.strName.empty())
            continue;
        if (step.Ok() && !planned.bDir) {
            step = CheckSize(entry, limits, state);
            if (step.Ok())
                step = CopyData(reader, entry, planned, staging, umaskBits, pump);
        } else if (step.Ok() && !staging.empty() &&
                   !MakeFolders(staging, planned.strName, 0700, nullptr))
            step = Fail(InstallFailure::Write, entry.strName, std::strerror(errno));
        if (!step.Ok())
            return step;
        plan.push_back(planned);
        if (pump)
            pump();
    }
    InstallResult result;
    for (const PlannedEntry& planned : plan)
        result.nFiles += planned.bDir ? 0 : 1;
    return result;
}

// A record of one change made to the target folder, so that it can be undone.
struct Change {
    enum Kind { CreatedFolder, MovedAside, Placed } kind;
    std::string strPath;
    std::string strAside;
};

void Undo(const std::vector<Change>& changes)
{
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        switch (it->kind) {
            case Change::Placed:
                unlink(it->strPath.c_str());
                break;
            case Change::MovedAside:
                rename(it->strAside.c_str(), it->strPath.c_str());
                break;
            case Change::CreatedFolder:
                rmdir(it->strPath.c_str());
                break;
        }
    }
}

bool MoveIntoPlace(const std::string& staged, const std::string& aside, const std::string& target,
                   const std::vector<PlannedEntry>& plan, unsigned umaskBits,
                   std::string& failedEntry)
{
    std::vector<Change> changes;
    const mode_t folderMode = 0777 & ~umaskBits;
    std::size_t n = 0;
    for (const PlannedEntry& entry : plan) {
        failedEntry = entry.strName;
        std::vector<std::string> created;
        std::size_t slash = entry.strName.rfind('/');
        std::string folder =
            entry.bDir
                ? entry.strName
                : (slash == std::string::npos ? std::string() : entry.strName.substr(0, slash));
        bool ok = MakeFolders(target, folder, folderMode, &created);
        for (const std::string& path : created)
            changes.push_back({Change::CreatedFolder, path, std::string()});
        if (ok && !entry.bDir) {
            std::string destination = Join(target, entry.strName);
            struct stat info;
            if (lstat(destination.c_str(), &info) == 0) {
                // A replaced file keeps who may read and write it.
                if (S_ISREG(info.st_mode))
                    ok = chmod(Join(staged, entry.strName).c_str(),
                               ReplacedFileMode(info.st_mode, entry.nMode)) == 0;
                std::string moved = aside + "/" + std::to_string(n++);
                ok = ok && rename(destination.c_str(), moved.c_str()) == 0;
                if (ok)
                    changes.push_back({Change::MovedAside, destination, moved});
            }
            if (ok) {
                ok = rename(Join(staged, entry.strName).c_str(), destination.c_str()) == 0;
                if (ok)
                    changes.push_back({Change::Placed, destination, std::string()});
            }
        }
        if (!ok) {
            int error = errno;
            Undo(changes);
            errno = error;
            return false;
        }
    }
    failedEntry.clear();
    return true;
}

// Removes a tree without following symbolic links (a link moved aside is removed as a link).
void RemoveTree(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return;
    if (S_ISDIR(info.st_mode)) {
        if (DIR* dir = opendir(path.c_str())) {
            std::vector<std::string> names;
            while (struct dirent* item = readdir(dir)) {
                std::string name = item->d_name;
                if (name != "." && name != "..")
                    names.push_back(name);
            }
            closedir(dir);
            for (const std::string& name : names)
                RemoveTree(path + "/" + name);
        }
        rmdir(path.c_str());
    } else
        unlink(path.c_str());
}

unsigned CurrentUmask()
{
    mode_t bits = umask(022);
    umask(bits);
    return bits;
}

}  // namespace

wxString InstallResult::Describe() const
{
    wxString entry = wxString::FromUTF8(strEntry);
    wxString reason = wxString::FromUTF8(strReason);
    switch (failure) {
        case InstallFailure::None:
            return wxString::Format("%zu files were installed.", nFiles);
        case InstallFailure::UnknownFormat:
            return "The update archive is in an unknown format (" + reason + ").";
        case InstallFailure::Unreadable:
            return "The update archive could not be read.";
        case InstallFailure::Damaged:
            return "The update archive is damaged: " + reason + ".";
        case InstallFailure::RefusedEntry:
            return "The update archive was refused: its entry '" + entry + "' is not allowed (" +
                   reason + ").";
        case InstallFailure::TooManyEntries:
            return "The update archive was refused: it has " + reason + ".";
        case InstallFailure::EntryTooLarge:
            return "The update archive was refused: its entry '" + entry + "' is " + reason + ".";
        case InstallFailure::TotalTooLarge:
            return "The update archive was refused: it would unpack to " + reason + ".";
        case InstallFailure::Write:
            return "The update could not be written (" +
                   (entry.empty() ? reason : entry + ": " + reason) + ").";
    }
    return wxString();
}

bool IsKnownArchiveFormat(const wxString& archiveName)
{
    wxString name = archiveName;
    if (const wxFilterClassFactory* filter = wxFilterClassFactory::Find(name, wxSTREAM_FILEEXT))
        name = filter->PopExtension(name);
    return name.Lower().EndsWith(".tar");
}

bool CleanEntryName(const std::string& stored, std::string& clean, std::string& reason)
{
    clean.clear();
    if (stored.size() > 4096) {
        reason = "the name is too long";
        return false;
    }
    if (!stored.empty() && stored[0] == '/') {
        reason = "absolute names are not allowed";
        return false;
    }
    for (unsigned char c : stored) {
        if (c < 0x20 || c == 0x7f || c == '\\') {
            reason = "the name holds a character that is not allowed";
            return false;
        }
    }
    for (const std::string& step : Steps(stored)) {
        if (step.empty() || step == ".")
            continue;
        if (step == "..") {
            reason = "names with \"..\" are not allowed";
            return false;
        }
        if (step.size() > 255) {
            reason = "the name is too long";
            return false;
        }
        clean = Join(clean, step);
    }
    const std::string first = clean.substr(0, clean.find('/'));
    if (first.rfind(kStagingPrefix, 0) == 0 || first.rfind(kDownloadPrefix, 0) == 0) {
        reason = "the name is reserved for the updater";
        clean.clear();
        return false;
    }
    return true;
}

unsigned FileModeFor(unsigned storedMode, unsigned umaskBits)
{
    unsigned mode = (storedMode & 0100) ? 0777 : 0666;
    return mode & ~umaskBits & 0777;
}

unsigned ReplacedFileMode(unsigned existingMode, unsigned storedMode)
{
    unsigned mode = existingMode & 0777;
    if (storedMode & 0100)
        mode |= (mode & 0444) >> 2;  // execute for whoever may read
    else
        mode &= ~0111u;
    return mode;
}

void RemoveLeftovers(const wxString& folder)
{
    const std::string path = folder.ToStdString(*wxConvFileName);
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (struct dirent* item = readdir(dir)) {
            const std::string name = item->d_name;
            if (name.rfind(kStagingPrefix, 0) == 0 || name.rfind(kDownloadPrefix, 0) == 0)
                names.push_back(name);
        }
        closedir(dir);
    }
    for (const std::string& name : names)
        RemoveTree(path + "/" + name);
}

InstallResult InstallArchive(const wxString& archivePath, const wxString& archiveName,
                             const wxString& targetDir, const ArchiveLimits& limits,
                             const std::function<void()>& pump)
{
    // Failures come back in the result; the streams' own log messages would only repeat them.
    wxLogNull quiet;
    const std::string target = targetDir.ToStdString(*wxConvFileName);
    const unsigned umaskBits = CurrentUmask();

    // Check everything before writing anything.
    std::vector<PlannedEntry> plan;
    InstallResult checked =
        Scan(archivePath, archiveName, target, limits, std::string(), umaskBits, plan, pump);
    if (!checked.Ok())
        return checked;

    std::string pattern = target + "/" + kStagingPrefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        return Fail(InstallFailure::Write, std::string(),
                    "no staging folder: " + std::string(std::strerror(errno)));
    const std::string staging = name.data();
    const std::string staged = staging + "/new";
    const std::string aside = staging + "/old";
    InstallResult result;
    if (mkdir(staged.c_str(), 0700) != 0 || mkdir(aside.c_str(), 0700) != 0)
        result = Fail(InstallFailure::Write, std::string(), std::strerror(errno));
    else
        result = Scan(archivePath, archiveName, target, limits, staged, umaskBits, plan, pump);

    if (result.Ok()) {
        std::string failedEntry;
        if (!MoveIntoPlace(staged, aside, target, plan, umaskBits, failedEntry))
            result = Fail(InstallFailure::Write, failedEntry, std::strerror(errno));
    }
    RemoveTree(staging);
    return result;
}
