// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_wx.h"

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

void InstallFailingAssertHandler()
{
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func,
                          const wxString& cond, const wxString& msg) {
        ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assertion in " << func.utf8_str()
                                              << ": " << cond.utf8_str() << " " << msg.utf8_str();
    });
}
