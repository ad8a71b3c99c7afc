// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_identity.h"

#include "http_client.h"

#include <wx/utils.h>

bool IsValidServerAddress(const wxString& address)
{
    wxString normalized;
    return ParseServerAddress(address, normalized);
}

wxString GetServerAddress()
{
    wxString fromEnvironment, address;
    if (wxGetEnv("KERV_SERVER", &fromEnvironment) && ParseServerAddress(fromEnvironment, address))
        return address;
    ParseServerAddress(szDefaultServer, address);
    return address;
}

wxString GetDonationAddress()
{
    return GetServerAddress() + "/kerv/donate";
}
