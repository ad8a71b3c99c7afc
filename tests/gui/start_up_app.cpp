// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up tests run under the program's own application object.
#include "main_app.h"

wxIMPLEMENT_APP_NO_MAIN(MainApp);

wxApp* CreateTestApplication()
{
    return new MainApp;
}
