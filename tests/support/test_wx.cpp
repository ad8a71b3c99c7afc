// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_wx.h"

#include <cstring>

#include <wx/debug.h>

::testing::AssertionResult SamePixels(const wxImage& expected, const wxImage& actual)
{
    if (!expected.IsOk() || !actual.IsOk())
        return ::testing::AssertionFailure() << "a picture is missing";
    if (expected.GetSize() != actual.GetSize())
        return ::testing::AssertionFailure()
               << "size " << actual.GetWidth() << "x" << actual.GetHeight() << ", expected "
               << expected.GetWidth() << "x" << expected.GetHeight();
    const size_t bytes = static_cast<size_t>(expected.GetWidth()) * expected.GetHeight() * 3;
    for (size_t i = 0; i < bytes; ++i)
        if (expected.GetData()[i] != actual.GetData()[i])
            return ::testing::AssertionFailure()
                   << "first difference at pixel " << i / 3 << " (x " << i / 3 % expected.GetWidth()
                   << ", y " << i / 3 / expected.GetWidth() << ")";
    return ::testing::AssertionSuccess();
}

void WriteTestPicture(const wxString& path, int width, int height, int seed, bool alpha)
{
    wxImage picture(width, height);
    unsigned state = 2654435761u * static_cast<unsigned>(seed);
    unsigned char* rgb = picture.GetData();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>(state >> 27);  // 0..31
            // Two bright bars and a dark diagonal: edges the seams must go around.
            int value = 110 + noise;
            if ((x + seed * 7) % 53 < 4 || (y + seed * 5) % 41 < 3)
                value = 230 - noise;
            if (x - y * width / (height + 1) == seed % 17)
                value = 10 + noise;
            unsigned char* pixel = rgb + 3 * (static_cast<size_t>(y) * width + x);
            pixel[0] = static_cast<unsigned char>(value);
            pixel[1] = static_cast<unsigned char>((value * 3 + x) & 255);
            pixel[2] = static_cast<unsigned char>((value + 2 * y) & 255);
        }
    }
    if (alpha) {
        picture.SetAlpha();
        std::memset(picture.GetAlpha(), 128, static_cast<size_t>(width) * height);
    }
    ASSERT_TRUE(picture.SaveFile(path)) << path;
}

void InstallFailingAssertHandler()
{
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func,
                          const wxString& cond, const wxString& msg) {
        ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assertion in " << func.utf8_str() << ": "
                                              << cond.utf8_str() << " " << msg.utf8_str();
    });
}
