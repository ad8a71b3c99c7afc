// SPDX-License-Identifier: GPL-3.0-or-later
// Installing an update archive into a folder, all or nothing.
//
// The archive is read three times in effect: a check of every entry without writing anything,
// an extraction into a private staging folder inside the target folder, and a move of the
// staged files into place that is rolled back if any move fails. One refused entry refuses the
// whole archive. Accepted: regular files and directories with relative names that stay inside
// the target folder. Refused: absolute names, ".." steps, links of either kind, devices,
// FIFOs, any other type, duplicate or conflicting names, and paths that would pass through a
// symbolic link already present in the target folder.
#ifndef KERV_ARCHIVE_INSTALL_H
#define KERV_ARCHIVE_INSTALL_H

#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <string>

struct ArchiveLimits {
    std::size_t nMaxEntries = 4096;                      // entries of any kind
    std::uint64_t nMaxEntrySize = 128ull * 1024 * 1024;  // bytes of one file
    std::uint64_t nMaxTotalSize = 256ull * 1024 * 1024;  // bytes of all files together
};

enum class InstallFailure {
    None,
    UnknownFormat,  // no decompression and archive format for the file's name
    Unreadable,     // the archive file cannot be opened
    Damaged,        // the archive's structure is broken or it ends early
    RefusedEntry,   // an entry's type or name is not allowed
    TooManyEntries,
    EntryTooLarge,
    TotalTooLarge,
    Write,  // staging or moving into place failed; the target folder is unchanged
};

struct InstallResult {
    InstallFailure failure = InstallFailure::None;
    std::string strEntry;    // the entry concerned, as stored in the archive
    std::string strReason;   // what was wrong with it, or with the archive
    std::size_t nFiles = 0;  // files installed

    bool Ok() const { return failure == InstallFailure::None; }
    // One English sentence for the user.
    wxString Describe() const;
};

// Turns a stored entry name into a clean relative path ("a/b/c": no "." or empty steps). Fails
// with a reason for absolute names, ".." steps, control characters and backslashes, over-long
// names, and names in the updater's own namespace (its download and staging prefixes). A
// directory name that cleans to nothing (such as "./") yields an empty path and succeeds.
bool CleanEntryName(const std::string& stored, std::string& clean, std::string& reason);

// The permission bits a file gets: read and write as the process's umask allows, execute as
// well when the archive grants the owner execute; never set-user-ID, set-group-ID or sticky.
unsigned FileModeFor(unsigned storedMode, unsigned umaskBits);

// The permission bits of a file that replaces an existing one: the existing file's read and
// write bits, with execute wherever it may be read when the archive grants the owner execute,
// and no execute otherwise; never set-user-ID, set-group-ID or sticky.
unsigned ReplacedFileMode(unsigned existingMode, unsigned storedMode);

// Removes what an updater that was killed may have left in folder: its staging folders and
// its partial downloads (names of the updater's prefixes only, links removed as links).
void RemoveLeftovers(const wxString& folder);

// Whether the name's extension is one InstallArchive reads (".tar.gz" or ".tar").
bool IsKnownArchiveFormat(const wxString& archiveName);

// Installs the archive at archivePath into targetDir. The format follows archiveName's
// extension (".tar.gz" or ".tar"). pump, when set, is called often so a window can repaint.
InstallResult InstallArchive(const wxString& archivePath, const wxString& archiveName,
                             const wxString& targetDir, const ArchiveLimits& limits,
                             const std::function<void()>& pump = {});

#endif
