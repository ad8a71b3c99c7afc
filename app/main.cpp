// The toolkit's entry point creates the application object MainApp.
#include "main_app.h"

wxIMPLEMENT_APP(MainApp);
