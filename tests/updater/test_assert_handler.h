// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the update tests' entry points: toolkit log messages go to stderr, and a failed
// toolkit assertion fails the test that caused it.
#ifndef KERV_TESTS_UPDATER_TEST_ASSERT_HANDLER_H
#define KERV_TESTS_UPDATER_TEST_ASSERT_HANDLER_H

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/log.h>

inline void FailTestOnAssert(const wxString& file, int line, const wxString& func,
                             const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "wx assertion in " << func << ": " << cond << " " << msg;
}

inline void InstallTestLogAndAssertHandler()
{
    wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailTestOnAssert);
}

#endif
