// SPDX-License-Identifier: GPL-3.0-or-later
// What a typed size field holds: a whole number, or nothing to carve to.
#include <gtest/gtest.h>

#include "picture_session.h"

TEST(SizeText, OnlyAWholeNumberIsASize)
{
    struct Case {
        const char* text;
        bool isSize;
        int size;
    };
    for (const Case& c : {Case{"140", true, 140}, Case{" 7 ", true, 7}, Case{"-3", true, -3},
                          Case{"+12", true, 12}, Case{"", false, 0}, Case{"   ", false, 0},
                          Case{"abc", false, 0}, Case{"12x", false, 0}, Case{"1.5", false, 0},
                          Case{"99999999999", false, 0}}) {
        SCOPED_TRACE(c.text);
        int size = -99;
        EXPECT_EQ(PictureSession::ReadSizeText(c.text, size), c.isSize);
        EXPECT_EQ(size, c.isSize ? c.size : -99);
    }
}
