// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the update check tests: a plain application object with an event loop, message boxes
// answered in process.
#include <wx/app.h>

#include "test_assert_handler.h"

int main(int argc, char** argv)
{
    wxApp::SetInstance(new wxApp);
    return RunWindowTests(argc, argv, true);
}
