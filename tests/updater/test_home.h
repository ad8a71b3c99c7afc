// SPDX-License-Identifier: GPL-3.0-or-later
// For the update tests that run a window in this process: a home folder of the test's own, so
// that the settings are a file of its own, and message boxes answered with their texts kept.
#ifndef KERV_TEST_HOME_H
#define KERV_TEST_HOME_H

#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include "test_archive.h"

// Answers one message box with answer, keeping its text and caption. Optional: when no box
// appears the texts stay empty and the test checks that.
class MessageBox : public wxExpectModal<wxMessageDialog> {
public:
    MessageBox(int answer, wxString& message, wxString& caption)
        : wxExpectModal<wxMessageDialog>(answer), nAnswer(answer), pMessage(&message),
          pCaption(&caption)
    {
        m_isOptional = true;  // set here: Optional() would copy only the base class
    }

protected:
    int OnInvoked(wxMessageDialog* dialog) const override
    {
        *pMessage = dialog->GetMessage();
        *pCaption = dialog->GetCaption();
        return nAnswer;
    }

private:
    int nAnswer;
    wxString* pMessage;
    wxString* pCaption;
};

struct HomeTest : ::testing::Test {
    TempDir home;

    void SetUp() override
    {
        setenv("HOME", home.Path().c_str(), 1);
        delete wxConfigBase::Set(nullptr);
    }
    void TearDown() override { delete wxConfigBase::Set(nullptr); }
};

#endif
