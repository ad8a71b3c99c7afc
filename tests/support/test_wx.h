// SPDX-License-Identifier: GPL-3.0-or-later
// Toolkit helpers for the tests: pictures written and compared pixel by pixel, and toolkit
// assertions that fail the test that caused them.
#ifndef KERV_TESTS_TEST_WX_H
#define KERV_TESTS_TEST_WX_H

#include <gtest/gtest.h>
#include <wx/image.h>

// Whether two pictures have the same size and the same RGB bytes; the failure names the first
// pixel that differs.
::testing::AssertionResult SamePixels(const wxImage& expected, const wxImage& actual);

// Writes a width x height picture with structure for the seams to follow (a few edges over
// noise), by path's extension; with alpha, an alpha channel too. Pictures differ by seed.
void WriteTestPicture(const wxString& path, int width, int height, int seed = 1,
                      bool alpha = false);

void InstallFailingAssertHandler();

#endif
