// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of Kerv_upd.
#include "main_app.h"

wxIMPLEMENT_APP(CMainApp);
