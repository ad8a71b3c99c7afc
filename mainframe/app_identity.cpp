#include "app_identity.h"

#include <wx/utils.h>

namespace {

bool IsHostChar(wxUniChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

bool IsPort(const wxString& text)
{
    if (text.empty() || text.length() > 5)
        return false;
    for (wxUniChar c : text)
        if (c < '0' || c > '9')
            return false;
    long port = 0;
    text.ToLong(&port);
    return port >= 1 && port <= 65535;
}

wxString WithoutTrailingSlash(wxString address)
{
    if (address.EndsWith("/"))
        address.RemoveLast();
    return address;
}

}  // namespace

bool IsValidServerAddress(const wxString& address)
{
    wxString rest = WithoutTrailingSlash(address);
    if (!rest.StartsWith("http://", &rest) && !rest.StartsWith("https://", &rest))
        return false;

    wxString host = rest, port;
    if (rest.StartsWith("[")) {
        // Bracketed IPv6 literal, optionally followed by ":port".
        size_t close = rest.find(']');
        if (close == wxString::npos || close < 3)
            return false;
        for (wxUniChar c : rest.Mid(1, close - 1))
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                  c == ':' || c == '.'))
                return false;
        wxString after = rest.Mid(close + 1);
        if (after.empty())
            return true;
        return after.StartsWith(":", &port) && IsPort(port);
    }

    size_t colon = rest.find(':');
    if (colon != wxString::npos) {
        host = rest.Left(colon);
        port = rest.Mid(colon + 1);
        if (!IsPort(port))
            return false;
    }
    if (host.empty() || host.StartsWith(".") || host.StartsWith("-"))
        return false;
    for (wxUniChar c : host)
        if (!IsHostChar(c))
            return false;
    return true;
}

wxString GetServerAddress()
{
    wxString fromEnvironment;
    if (wxGetEnv("KERV_SERVER", &fromEnvironment) && IsValidServerAddress(fromEnvironment))
        return WithoutTrailingSlash(fromEnvironment);
    return WithoutTrailingSlash(szDefaultServer);
}

wxString GetDonationAddress()
{
    return GetServerAddress() + "/kerv/donate";
}
