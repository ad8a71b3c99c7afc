// SPDX-License-Identifier: GPL-3.0-or-later
// Who the main program is: the names the configuration store is opened under, the title and
// version shown to the user, and the address of the project's web server.
#ifndef KERV_MAINFRAME_APP_IDENTITY_H
#define KERV_MAINFRAME_APP_IDENTITY_H

#include "config_keys.h"

#include <wx/string.h>

#include "kerv_version.h"

// Neither is translated: they appear as they stand in the window title and the about box.
inline constexpr const char* szProductTitle = "Vandrel";
inline constexpr const char* szVersion = kKervVersion;

// The web server as "http://", host and optional port, without a trailing slash, e.g.
// "http://kerv.example.org" or "http://127.0.0.1:8080". The environment variable KERV_SERVER
// overrides the address chosen at build time; a value that the update client could not fetch
// from (another scheme, a path, a query, stray characters) is ignored, so a mistyped variable
// can never send the browser or a download somewhere unexpected.
wxString GetServerAddress();

// True for what ParseServerAddress accepts: "http://", a host name, an IPv4 address or a
// bracketed IPv6 address, optionally ":" and a port from 1 to 65535, and at most one "/".
bool IsValidServerAddress(const wxString& address);

// The page that the Donate commands open.
wxString GetDonationAddress();

#endif
