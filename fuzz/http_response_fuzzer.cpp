// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP response head parser and the address parser over arbitrary bytes. The head parser
// must not read outside its input; an address accepted as a server must give URLs that the
// request parser accepts, with the host and port unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    HttpHead head;
    if (ParseResponseHead(bytes, head) && (head.nStatus < 100 || head.nStatus > 999))
        std::abort();
    std::uint64_t length = 0;
    ParseContentLength(bytes, length);

    const wxString text = wxString::FromUTF8(bytes.data(), bytes.size());
    wxString address;
    HttpUrl server, request;
    if (ParseServerAddress(text, address)) {
        if (!ParseHttpUrl(address, server) || server.strPath != "/" ||
            !ParseHttpUrl(address + "/kerv/kerv_version_lnx.txt", request) ||
            request.strHost != server.strHost || request.nPort != server.nPort)
            std::abort();
    }
    wxString host;
    unsigned short port = 0;
    if (ParseProxy(text, host, port) && (host.empty() || port == 0))
        std::abort();
    return 0;
}
