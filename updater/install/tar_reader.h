// SPDX-License-Identifier: GPL-3.0-or-later
// A reader of tar archives (POSIX ustar, with the GNU long-name and pax path extensions) that
// hands out each entry's name exactly as stored, so that absolute names, ".." steps and links
// can be refused rather than silently rewritten.
#ifndef KERV_TAR_READER_H
#define KERV_TAR_READER_H

#include <wx/stream.h>

#include <cstdint>
#include <string>

struct TarEntry {
    std::string strName;      // as stored (after the long-name or pax path override)
    char cType = '0';         // the type flag: '0' or '\0' file, '5' directory, others refused
    unsigned nMode = 0;       // the permission bits stored in the header
    std::uint64_t nSize = 0;  // bytes of data announced by the header
};

class TarReader {
public:
    explicit TarReader(wxInputStream& stream) : input(stream) {}

    enum class Next { Entry, End, Error };

    // Advances to the next entry, skipping whatever of the current entry's data was not read.
    // On Error, GetError() says why. Refused: an extension header larger than maxExtension,
    // more than kMaxExtensionsPerEntry of them before one entry, and more than
    // kMaxExtensionBytes of them in the whole archive.
    Next NextEntry(TarEntry& entry, std::uint64_t maxExtension = 64 * 1024);

    // Reads up to size bytes of the current entry's data; returns the count, 0 at its end.
    // A short archive sets the error (see Failed()).
    std::size_t Read(char* buffer, std::size_t size);

    bool Failed() const { return !strError.empty(); }
    const std::string& GetError() const { return strError; }

    static constexpr int kMaxExtensionsPerEntry = 8;
    static constexpr std::uint64_t kMaxExtensionBytes = 1024 * 1024;

private:
    // The long name, pax path and pax size that extension headers set for the next entry.
    struct Overrides {
        int nCount = 0;
        bool bLongName = false;
        std::string strLongName;
        bool bPaxPath = false;
        std::string strPaxPath;
        bool bPaxSize = false;
        std::uint64_t nPaxSize = 0;
    };

    // Reads one 512-byte header: End for the end marker, Error when it is damaged.
    Next ReadHeader(char* header, std::uint64_t& size, std::uint64_t& mode);
    bool ReadExtension(char type, std::uint64_t size, std::uint64_t maxExtension,
                       Overrides& overrides);
    bool ReadExact(char* buffer, std::size_t size);
    bool Skip(std::uint64_t size);

    wxInputStream& input;
    std::uint64_t nLeft = 0;            // data bytes of the current entry not read yet
    std::uint64_t nPadding = 0;         // padding after the current entry's data
    std::uint64_t nExtensionBytes = 0;  // data of all extension headers read so far
    std::string strError;
};

#endif
