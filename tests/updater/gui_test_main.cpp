// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the window tests: the updater's application object without its window.
#include "main_app.h"

#include "test_assert_handler.h"

wxIMPLEMENT_APP_NO_MAIN(CMainApp);

int main(int argc, char** argv)
{
    return RunWindowTests(argc, argv, false);
}
