// SPDX-License-Identifier: GPL-3.0-or-later
// The tar reader over arbitrary bytes: it must end (every call consumes input or fails), never
// hand out more data than an entry announced, and read nothing outside its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <wx/mstream.h>

#include "tar_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wxMemoryInputStream input(data, size);
    TarReader reader(input);
    std::vector<char> buffer(4096);
    for (int entries = 0;; ++entries) {
        TarEntry entry;
        const TarReader::Next next = reader.NextEntry(entry);
        if (next != TarReader::Next::Entry)
            break;
        if (entries > static_cast<int>(size / 512))
            std::abort();  // more entries than headers could fit in the input
        std::uint64_t got = 0;
        while (std::size_t n = reader.Read(buffer.data(), buffer.size()))
            got += n;
        if (got > entry.nSize)
            std::abort();
    }
    return 0;
}
