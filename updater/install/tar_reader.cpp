// SPDX-License-Identifier: GPL-3.0-or-later
#include "tar_reader.h"

#include <algorithm>
#include <cstring>

namespace {

const std::size_t BLOCK = 512;

std::string Field(const char* header, std::size_t offset, std::size_t length)
{
    const char* begin = header + offset;
    const char* end = static_cast<const char*>(std::memchr(begin, '\0', length));
    return std::string(begin, end ? end : begin + length);
}

// Octal numbers, NUL or blank terminated; GNU base-256 when the first byte has its top bit.
bool Number(const char* header, std::size_t offset, std::size_t length, std::uint64_t& value)
{
    const unsigned char* field = reinterpret_cast<const unsigned char*>(header + offset);
    value = 0;
    if (field[0] & 0x80) {
        if (field[0] != 0x80)  // negative or too large
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            if (value >> 56)
                return false;
            value = (value << 8) | field[i];
        }
        return true;
    }
    std::size_t i = 0;
    while (i < length && field[i] == ' ')
        ++i;
    bool any = false;
    for (; i < length && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (value >> 60)
            return false;
        value = value * 8 + (field[i] - '0');
        any = true;
    }
    for (; i < length; ++i)
        if (field[i] != ' ' && field[i] != '\0')
            return false;
    return any;
}

bool ChecksumMatches(const char* header)
{
    std::uint64_t stored = 0;
    if (!Number(header, 148, 8, stored))
        return false;
    long long unsignedSum = 0;
    long long signedSum = 0;
    for (std::size_t i = 0; i < BLOCK; ++i) {
        bool inField = i >= 148 && i < 156;
        unsignedSum += inField ? ' ' : static_cast<unsigned char>(header[i]);
        signedSum += inField ? ' ' : static_cast<signed char>(header[i]);
    }
    return static_cast<long long>(stored) == unsignedSum ||
           static_cast<long long>(stored) == signedSum;
}

// pax records: "<length> <key>=<value>\n"; returns false when malformed.
bool PaxValue(const std::string& records, const std::string& key, std::string& value, bool& found)
{
    found = false;
    std::size_t pos = 0;
    while (pos < records.size()) {
        std::size_t space = records.find(' ', pos);
        if (space == std::string::npos || space == pos || space - pos > 19)
            return false;
        std::uint64_t length = 0;
        for (std::size_t i = pos; i < space; ++i) {
            if (records[i] < '0' || records[i] > '9')
                return false;
            length = length * 10 + (records[i] - '0');
        }
        if (length <= space - pos + 1 || pos + length > records.size() ||
            records[pos + length - 1] != '\n')
            return false;
        std::string record = records.substr(space + 1, pos + length - space - 2);
        std::size_t equals = record.find('=');
        if (equals == std::string::npos)
            return false;
        if (record.compare(0, equals, key) == 0 && equals == key.size()) {
            value = record.substr(equals + 1);
            found = true;
        }
        pos += length;
    }
    return true;
}

}  // namespace

bool TarReader::ReadExact(char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        input.Read(buffer + done, size - done);
        std::size_t got = input.LastRead();
        if (got == 0)
            return false;
        done += got;
    }
    return true;
}

bool TarReader::Skip(std::uint64_t size)
{
    char buffer[4096];
    while (size > 0) {
        std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof buffer));
        if (!ReadExact(buffer, step))
            return false;
        size -= step;
    }
    return true;
}

std::size_t TarReader::Read(char* buffer, std::size_t size)
{
    if (Failed() || nLeft == 0)
        return 0;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, nLeft));
    input.Read(buffer, size);
    std::size_t got = input.LastRead();
    if (got == 0) {
        strError = "the archive ends inside an entry";
        return 0;
    }
    nLeft -= got;
    return got;
}

TarReader::Next TarReader::ReadHeader(char* header, std::uint64_t& size, std::uint64_t& mode)
{
    if (!ReadExact(header, BLOCK)) {
        strError = "the archive ends without its end marker";
        return Next::Error;
    }
    if (std::all_of(header, header + BLOCK, [](char c) { return c == '\0'; }))
        return Next::End;  // the end marker; whatever follows is not looked at
    if (!ChecksumMatches(header) || !Number(header, 124, 12, size) ||
        !Number(header, 100, 8, mode)) {
        strError = "an entry header is damaged";
        return Next::Error;
    }
    return Next::Entry;
}

bool TarReader::ReadExtension(char type, std::uint64_t size, std::uint64_t maxExtension,
                              Overrides& overrides)
{
    // Each extension is bounded, and so are their number before one entry and their bytes in
    // the whole archive: neither counts against the entry caps of the install.
    if (size > maxExtension || ++overrides.nCount > kMaxExtensionsPerEntry ||
        nExtensionBytes + size > kMaxExtensionBytes) {
        strError = "the extension headers are too large or too many";
        return false;
    }
    nExtensionBytes += size;
    std::string data(static_cast<std::size_t>(size), '\0');
    if (!ReadExact(&data[0], data.size()) || !Skip((BLOCK - size % BLOCK) % BLOCK)) {
        strError = "the archive ends inside an entry";
        return false;
    }
    if (type == 'L') {
        overrides.strLongName = data.substr(0, data.find('\0'));
        overrides.bLongName = true;
        return true;
    }
    if (type != 'x')
        return true;  // global pax headers are read and ignored
    std::string sizeText;
    bool foundSize = false;
    if (!PaxValue(data, "path", overrides.strPaxPath, overrides.bPaxPath) ||
        !PaxValue(data, "size", sizeText, foundSize) ||
        (foundSize && (sizeText.empty() || sizeText.size() > 19 ||
                       sizeText.find_first_not_of("0123456789") != std::string::npos))) {
        strError = "an extension header is damaged";
        return false;
    }
    if (foundSize) {
        overrides.bPaxSize = true;
        overrides.nPaxSize = 0;
        for (char c : sizeText)
            overrides.nPaxSize = overrides.nPaxSize * 10 + (c - '0');
    }
    return true;
}

TarReader::Next TarReader::NextEntry(TarEntry& entry, std::uint64_t maxExtension)
{
    if (Failed())
        return Next::Error;
    if (!Skip(nLeft + nPadding)) {
        strError = "the archive ends inside an entry";
        return Next::Error;
    }
    nLeft = nPadding = 0;

    Overrides overrides;
    for (;;) {
        char header[BLOCK];
        std::uint64_t size = 0;
        std::uint64_t mode = 0;
        const Next next = ReadHeader(header, size, mode);
        if (next != Next::Entry)
            return next;
        const char type = header[156];
        if (type == 'L' || type == 'x' || type == 'g') {
            if (!ReadExtension(type, size, maxExtension, overrides))
                return Next::Error;
            continue;
        }

        std::string name = Field(header, 0, 100);
        if (std::memcmp(header + 257, "ustar", 5) == 0) {
            std::string prefix = Field(header, 345, 155);
            if (!prefix.empty())
                name = prefix + "/" + name;
        }
        entry.strName = overrides.bPaxPath    ? overrides.strPaxPath
                        : overrides.bLongName ? overrides.strLongName
                                              : name;
        entry.cType = type;
        entry.nMode = static_cast<unsigned>(mode & 07777);
        entry.nSize = overrides.bPaxSize ? overrides.nPaxSize : size;
        // Links, devices and FIFOs carry no data whatever their size field says.
        bool hasData = type == '0' || type == '\0' || type == '7';
        nLeft = hasData ? entry.nSize : 0;
        nPadding = hasData ? (BLOCK - entry.nSize % BLOCK) % BLOCK : 0;
        return Next::Entry;
    }
}
