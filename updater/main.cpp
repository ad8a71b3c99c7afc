// The entry of Kerv_upd.
#include "main_app.h"

wxIMPLEMENT_APP(CMainApp);
