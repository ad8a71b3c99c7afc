#include "http_client.h"

#include <wx/socket.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>
#include <vector>

namespace {

bool IsHostChar(wxUniChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

bool ParsePort(const wxString& text, unsigned short& port)
{
    if (text.empty() || text.length() > 5)
        return false;
    unsigned long value = 0;
    for (wxUniChar c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    port = static_cast<unsigned short>(value);
    return true;
}

bool ParseHostPort(const wxString& text, wxString& host, unsigned short& port, bool portRequired)
{
    wxString hostPart = text;
    int colon = text.Find(':', true);
    if (colon != wxNOT_FOUND) {
        hostPart = text.Left(colon);
        if (!ParsePort(text.Mid(colon + 1), port))
            return false;
    } else if (portRequired)
        return false;
    if (hostPart.empty() || hostPart.length() > 253 || hostPart[0] == '-' || hostPart[0] == '.')
        return false;
    for (wxUniChar c : hostPart)
        if (!IsHostChar(c))
            return false;
    host = hostPart;
    return true;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text)
{
    std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    std::size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

using Clock = std::chrono::steady_clock;

// Waits in slices of 100 ms so that the receiver can pump the window between them; fails on
// the idle limit, the deadline or a cancel. `ready` tests the socket for one slice.
template <typename Ready>
HttpFailure WaitFor(Ready ready, const Clock::time_point& deadline, int idleSeconds,
                    HttpReceiver& receiver)
{
    const Clock::time_point idleEnd = Clock::now() + std::chrono::seconds(idleSeconds);
    for (;;) {
        if (ready())
            return HttpFailure::None;
        if (!receiver.Pump())
            return HttpFailure::Cancelled;
        Clock::time_point now = Clock::now();
        if (now >= deadline)
            return HttpFailure::Deadline;
        if (now >= idleEnd)
            return HttpFailure::Timeout;
    }
}

}  // namespace

bool ParseHttpUrl(const wxString& text, HttpUrl& url)
{
    const wxString scheme = "http://";
    if (text.length() > 2048 || !text.Lower().StartsWith(scheme))
        return false;
    for (wxUniChar c : text)
        if (c <= ' ' || c == 0x7f || c > 0x7e)
            return false;
    wxString rest = text.Mid(scheme.length());
    int slash = rest.Find('/');
    wxString authority = slash == wxNOT_FOUND ? rest : rest.Left(slash);
    wxString path = slash == wxNOT_FOUND ? wxString("/") : rest.Mid(slash);
    if (authority.Find('@') != wxNOT_FOUND || path.Find('#') != wxNOT_FOUND)
        return false;
    HttpUrl parsed;
    if (!ParseHostPort(authority, parsed.strHost, parsed.nPort, false))
        return false;
    parsed.strPath = path;
    url = parsed;
    return true;
}

bool ParseProxy(const wxString& text, wxString& host, unsigned short& port)
{
    return ParseHostPort(text, host, port, true);
}

int ParseStatusLine(const std::string& line)
{
    // "HTTP/" digit "." digit SP 3DIGIT [SP reason]
    if (line.size() < 12 || line.compare(0, 5, "HTTP/") != 0 ||
        !std::isdigit((unsigned char)line[5]) || line[6] != '.' ||
        !std::isdigit((unsigned char)line[7]) || line[8] != ' ')
        return -1;
    for (int i = 9; i < 12; ++i)
        if (!std::isdigit((unsigned char)line[i]))
            return -1;
    if (line.size() > 12 && line[12] != ' ')
        return -1;
    return (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
}

bool ParseContentLength(const std::string& value, std::uint64_t& length)
{
    std::string digits = Trim(value);
    if (digits.empty() || digits.size() > 19)
        return false;
    std::uint64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    length = n;
    return true;
}

wxString HttpResult::Describe() const
{
    switch (failure) {
        case HttpFailure::None:
            return "The download succeeded.";
        case HttpFailure::BadUrl:
            return "The address or the proxy setting cannot be used.";
        case HttpFailure::Connect:
            return "The server could not be reached.";
        case HttpFailure::Timeout:
            return "The server stopped answering.";
        case HttpFailure::Deadline:
            return "The server took too long.";
        case HttpFailure::BadResponse:
            return "The server's answer was not understood.";
        case HttpFailure::Status:
            return wxString::Format("The server answered with status %d.", nStatus);
        case HttpFailure::TooLarge:
            return "The file on the server is larger than allowed.";
        case HttpFailure::Truncated:
            return wxString::Format("The download stopped after %llu of %llu bytes.",
                                    static_cast<unsigned long long>(nReceived),
                                    static_cast<unsigned long long>(nLength));
        case HttpFailure::Sink:
            return "The downloaded data could not be stored.";
        case HttpFailure::Cancelled:
            return "The download was cancelled.";
    }
    return wxString();
}

HttpResult HttpGet(const wxString& urlText, const wxString& proxy, const HttpLimits& limits,
                   HttpReceiver& receiver)
{
    HttpResult result;
    HttpUrl url;
    wxString connectHost;
    unsigned short connectPort = 0;
    if (!ParseHttpUrl(urlText, url) ||
        (!proxy.empty() && !ParseProxy(proxy, connectHost, connectPort))) {
        result.failure = HttpFailure::BadUrl;
        return result;
    }
    if (proxy.empty()) {
        connectHost = url.strHost;
        connectPort = url.nPort;
    }

    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.nDeadlineSeconds);
    auto fail = [&result](HttpFailure failure) {
        result.failure = failure;
        return result;
    };

    wxIPV4address address;
    if (!address.Hostname(connectHost) || !address.Service(connectPort))
        return fail(HttpFailure::Connect);

    // wxSOCKET_BLOCK: the socket never dispatches window events by itself. Reads and writes
    // follow a successful wait, so they do not block; all waiting happens in WaitFor, in
    // slices of 100 ms, which bounds it and lets the receiver pump the window in between.
    wxSocketClient socket(wxSOCKET_BLOCK);
    socket.SetTimeout(limits.nIdleSeconds);
    if (!socket.Connect(address, false)) {
        if (socket.LastError() != wxSOCKET_WOULDBLOCK)
            return fail(HttpFailure::Connect);
        HttpFailure waited = WaitFor([&socket] { return socket.WaitOnConnect(0, 100); }, deadline,
                                     limits.nIdleSeconds, receiver);
        if (waited != HttpFailure::None)
            return fail(waited == HttpFailure::Timeout ? HttpFailure::Connect : waited);
        if (!socket.IsConnected())
            return fail(HttpFailure::Connect);
    }

    // HTTP/1.0 with "Connection: close": the server can neither chunk the body nor keep the
    // connection, so the body ends at Content-Length or at the close.
    wxString hostHeader = url.strHost;
    if (url.nPort != 80)
        hostHeader << ":" << url.nPort;
    wxString target = url.strPath;
    if (!proxy.empty())
        target = "http://" + hostHeader + url.strPath;
    const std::string request = ("GET " + target + " HTTP/1.0\r\nHost: " + hostHeader +
                                 "\r\nUser-Agent: Kerv\r\nAccept: */*\r\nConnection: close\r\n\r\n")
                                    .ToStdString();
    std::size_t sent = 0;
    while (sent < request.size()) {
        HttpFailure waited = WaitFor([&socket] { return socket.WaitForWrite(0, 100); }, deadline,
                                     limits.nIdleSeconds, receiver);
        if (waited != HttpFailure::None)
            return fail(waited);
        socket.Write(request.data() + sent, static_cast<wxUint32>(request.size() - sent));
        if (socket.LastWriteCount() == 0 && socket.Error() &&
            socket.LastError() != wxSOCKET_WOULDBLOCK)
            return fail(HttpFailure::Connect);
        sent += socket.LastWriteCount();
    }

    // Reads what is available into `chunk`; an empty chunk after a successful wait is the end.
    std::vector<char> chunk(16 * 1024);
    auto readSome = [&](std::size_t& got) -> HttpFailure {
        got = 0;
        HttpFailure waited = WaitFor([&socket] { return socket.WaitForRead(0, 100); }, deadline,
                                     limits.nIdleSeconds, receiver);
        if (waited != HttpFailure::None)
            return waited;
        socket.Read(chunk.data(), static_cast<wxUint32>(chunk.size()));
        got = socket.LastReadCount();
        return HttpFailure::None;
    };

    // The head: status line and headers up to the blank line.
    std::string head;
    std::size_t headEnd = std::string::npos;
    std::size_t separator = 0;
    while (headEnd == std::string::npos) {
        std::size_t got = 0;
        HttpFailure failure = readSome(got);
        if (failure != HttpFailure::None)
            return fail(failure);
        if (got == 0)
            return fail(HttpFailure::BadResponse);
        head.append(chunk.data(), got);
        std::size_t crlf = head.find("\r\n\r\n");
        std::size_t lf = head.find("\n\n");
        if (crlf != std::string::npos && (lf == std::string::npos || crlf < lf)) {
            headEnd = crlf;
            separator = 4;
        } else if (lf != std::string::npos) {
            headEnd = lf;
            separator = 2;
        }
        if (std::min(headEnd, head.size()) > limits.nMaxHead)
            return fail(HttpFailure::BadResponse);
    }
    std::string body = head.substr(headEnd + separator);
    head.resize(headEnd);

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= head.size()) {
        std::size_t end = head.find('\n', start);
        if (end == std::string::npos)
            end = head.size();
        std::string line = head.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    result.nStatus = std::max(0, ParseStatusLine(lines.front()));
    if (result.nStatus == 0)
        return fail(HttpFailure::BadResponse);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::size_t colon = lines[i].find(':');
        if (colon == std::string::npos || colon == 0)
            return fail(HttpFailure::BadResponse);
        std::string name = Lower(lines[i].substr(0, colon));
        std::string value = lines[i].substr(colon + 1);
        if (name == "content-length") {
            std::uint64_t length = 0;
            if (!ParseContentLength(value, length) ||
                (result.bLengthKnown && length != result.nLength))
                return fail(HttpFailure::BadResponse);
            result.bLengthKnown = true;
            result.nLength = length;
        } else if (name == "transfer-encoding" && Lower(Trim(value)) != "identity")
            return fail(HttpFailure::BadResponse);
    }
    if (result.nStatus != 200)
        return fail(HttpFailure::Status);
    if (result.bLengthKnown && result.nLength > limits.nMaxBody)
        return fail(HttpFailure::TooLarge);
    if (!receiver.Begin(result.bLengthKnown, result.nLength))
        return fail(HttpFailure::Sink);

    // The body. Bytes past the announced length are ignored.
    auto deliver = [&](const char* data, std::size_t size) -> HttpFailure {
        if (result.bLengthKnown)
            size = static_cast<std::size_t>(
                std::min<std::uint64_t>(size, result.nLength - result.nReceived));
        if (result.nReceived + size > limits.nMaxBody)
            return HttpFailure::TooLarge;
        if (size > 0 && !receiver.Write(data, size))
            return HttpFailure::Sink;
        result.nReceived += size;
        return receiver.Pump() ? HttpFailure::None : HttpFailure::Cancelled;
    };
    HttpFailure failure = deliver(body.data(), body.size());
    while (failure == HttpFailure::None &&
           !(result.bLengthKnown && result.nReceived == result.nLength)) {
        std::size_t got = 0;
        failure = readSome(got);
        if (failure != HttpFailure::None)
            break;
        if (got == 0) {
            if (result.bLengthKnown)
                failure = HttpFailure::Truncated;
            break;
        }
        failure = deliver(chunk.data(), got);
    }
    return fail(failure);
}
