// SPDX-License-Identifier: GPL-3.0-or-later
// Builds tar archives for the tests, hostile ones included, and signs them with the test key.
#ifndef KERV_TEST_ARCHIVE_H
#define KERV_TEST_ARCHIVE_H

#include <cstdint>
#include <string>

#include "test_files.h"

class TarBuilder {
public:
    // One entry with a raw header: any name, type and mode; data follows when given.
    TarBuilder& Entry(const std::string& name, char type, unsigned mode, const std::string& data,
                      const std::string& linkTarget = std::string());
    TarBuilder& File(const std::string& name, const std::string& data, unsigned mode = 0644)
    {
        return Entry(name, '0', mode, data);
    }
    TarBuilder& Folder(const std::string& name) { return Entry(name, '5', 0755, std::string()); }
    // A header announcing size bytes, followed by that many zero bytes (written lazily by Gzip).
    TarBuilder& ZeroFile(const std::string& name, std::uint64_t size);
    // A pax extension header of one record (type 'x': for the next entry, 'g': global); a
    // "path" overrides the next entry's name.
    TarBuilder& Pax(char type, const std::string& key, const std::string& value);

    std::string Tar() const;   // with the end marker
    std::string Gzip() const;  // Tar() compressed with gzip

private:
    std::string strData;
    std::uint64_t nZeroTail = 0;  // zero bytes that end the last entry, streamed by Gzip
    std::string strZeroHeaderTail;
};

// data and then zeros zero bytes, compressed with gzip; the zeros are streamed, never held.
std::string GzipBytes(const std::string& data, std::uint64_t zeros = 0);

// size bytes that gzip cannot shrink (a fixed pseudo-random sequence).
std::string Noise(std::size_t size);

// The seed of the test key under tests/updater/keys, in hex.
std::string TestSeed();

// The release signature of archive bytes published as <version>_Kerv_lnx.tar.gz (or under
// name): the test key's signature of the release manifest.
std::string SignRelease(const std::string& archive, const std::string& version = "0.68",
                        const std::string& name = std::string());

// A working folder holding an installed program ("old program" in Kerv) and a canary file
// ("untouched") beside it, outside the folder.
struct InstallFolder {
    InstallFolder();

    // The names in the working folder that belong to the updater (downloads, staging).
    int UpdaterFiles() const;

    TempDir root;
    std::string work = root / "work";
};

#endif
