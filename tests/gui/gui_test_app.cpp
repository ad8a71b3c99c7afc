// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests run under a plain application object: each test builds the windows it needs.
// The archive file system is installed as the program installs it, for the packed help book.
#include <wx/app.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>

wxApp* CreateTestApplication()
{
    wxFileSystem::AddHandler(new wxArchiveFSHandler);
    return new wxApp;
}
