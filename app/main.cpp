// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point: --help and --version answer on the terminal without starting the toolkit;
// everything else goes to the application object MainApp.
#include <cstdio>
#include <cstring>

#include <wx/init.h>

#include "kerv_version.h"
#include "main_app.h"

wxIMPLEMENT_APP_NO_MAIN(MainApp);

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::puts(
            "Usage: Kerv [FILE...]\n"
            "Resizes pictures by seam carving. Opens FILE at start; of several files only "
            "the first.\nSee the help book (F1) or man Kerv.");
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Kerv %s\n", kKervVersion);
        return 0;
    }
    return wxEntry(argc, argv);
}
