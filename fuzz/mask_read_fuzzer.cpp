// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a mask file: written to a file and read back the way both programs read
// masks, then each pixel's red minus green summed as the engine adds it to the energy.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "picture_reader.h"
#include "picture_reading.h"

namespace {

std::string g_maskPath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetUpPictureReading();
    const char* folder = std::getenv("TMPDIR");
    g_maskPath = std::string(folder && *folder ? folder : "/tmp") + "/kerv-fuzz-mask-" +
                 std::to_string(::getpid()) + ".bmp";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (DeclaresLargePicture(data, size))
        return 0;
    FILE* file = std::fopen(g_maskPath.c_str(), "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    wxImage mask;
    const bool read = ReadPictureFile(wxString::FromUTF8(g_maskPath), mask);
    std::remove(g_maskPath.c_str());
    if (!read)
        return 0;
    const size_t pixels = static_cast<size_t>(mask.GetWidth()) * mask.GetHeight();
    const unsigned char* rgb = mask.GetData();
    long long sum = 0;
    for (size_t i = 0; i < pixels; ++i)
        sum += rgb[i * 3] - rgb[i * 3 + 1];
    return sum == LLONG_MIN;  // keeps the sum alive; never true
}
