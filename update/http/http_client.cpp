// SPDX-License-Identifier: GPL-3.0-or-later
#include "http_client.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool IsHostChar(wxUniChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

bool IsIpv6Char(wxUniChar c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
           c == '.';
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

// A host name or IPv4 address, or an IPv6 address in brackets ("[::1]").
bool IsHost(const wxString& host)
{
    if (host.StartsWith("[")) {
        if (host.length() < 4 || !host.EndsWith("]"))
            return false;
        const wxString inner = host.Mid(1, host.length() - 2);
        return std::all_of(inner.begin(), inner.end(), IsIpv6Char) &&
               inner.Find(':') != wxNOT_FOUND;
    }
    if (host.empty() || host.length() > 253 || host[0] == '-' || host[0] == '.')
        return false;
    return std::all_of(host.begin(), host.end(), IsHostChar);
}

bool ParseHostPort(const wxString& text, wxString& host, unsigned short& port, bool portRequired)
{
    // The port separator is the last ":" outside an IPv6 address's brackets.
    const size_t close = text.StartsWith("[") ? text.find(']') : 0;
    if (close == wxString::npos)
        return false;
    const size_t colon = text.find(':', close);
    wxString hostPart = text;
    if (colon != wxString::npos) {
        hostPart = text.Left(colon);
        if (!ParsePort(text.Mid(colon + 1), port))
            return false;
    } else if (portRequired)
        return false;
    if (!IsHost(hostPart))
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

// The time limits of one request: the deadline of the whole, and the end of the current wait.
struct Limits {
    Clock::time_point deadline;
    int nIdleSeconds;
};

// Waits in slices of 100 ms so that the receiver can pump the window between them, until
// ready() holds; fails on the wait's end (reported as `late`), the deadline or a cancel.
template <typename Ready>
HttpFailure WaitFor(Ready ready, Clock::time_point waitEnd, HttpFailure late,
                    const Clock::time_point& deadline, HttpReceiver& receiver)
{
    for (;;) {
        if (ready())
            return HttpFailure::None;
        if (!receiver.Pump())
            return HttpFailure::Cancelled;
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return HttpFailure::Deadline;
        if (now >= waitEnd)
            return late;
    }
}

bool PollSlice(int fd, short events)
{
    pollfd item{fd, events, 0};
    return poll(&item, 1, 100) > 0;
}

class Socket {
public:
    Socket() = default;
    ~Socket() { Close(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    void Reset(int fd)
    {
        Close();
        nFd = fd;
    }
    int Fd() const { return nFd; }

private:
    void Close()
    {
        if (nFd >= 0)
            close(nFd);
        nFd = -1;
    }
    int nFd = -1;
};

// A name lookup that the caller can wait for in slices (glibc's asynchronous getaddrinfo).
// When it cannot be cancelled at the end of the wait, its few bytes are left to the resolver
// thread instead of being freed under it.
class Lookup {
public:
    Lookup(const std::string& host, unsigned short port)
        : strHost(host), strService(std::to_string(port))
    {
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        request.ar_name = strHost.c_str();
        request.ar_service = strService.c_str();
        request.ar_request = &hints;
        gaicb* list[] = {&request};
        bStarted = getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) == 0;
    }
    bool Started() const { return bStarted; }
    bool Done() const
    {
        const gaicb* list[] = {&request};
        timespec slice{0, 100 * 1000 * 1000};
        gai_suspend(list, 1, &slice);
        return gai_error(const_cast<gaicb*>(&request)) != EAI_INPROGRESS;
    }
    const addrinfo* Result() const
    {
        return gai_error(const_cast<gaicb*>(&request)) == 0 ? request.ar_result : nullptr;
    }
    // Ends the lookup; returns false when the resolver still uses this object.
    bool Finish()
    {
        if (!bStarted)
            return true;
        if (gai_error(&request) == EAI_INPROGRESS && gai_cancel(&request) == EAI_NOTCANCELED)
            return false;
        if (request.ar_result)
            freeaddrinfo(request.ar_result);
        return true;
    }

private:
    std::string strHost;
    std::string strService;
    addrinfo hints{};
    gaicb request{};
    bool bStarted = false;
};

HttpFailure LookUp(const std::string& host, unsigned short port, Clock::time_point connectEnd,
                   const Clock::time_point& deadline, HttpReceiver& receiver,
                   std::unique_ptr<Lookup>& lookup)
{
    lookup.reset(new Lookup(host, port));
    if (!lookup->Started())
        return HttpFailure::Connect;
    HttpFailure waited = WaitFor([&] { return lookup->Done(); }, connectEnd, HttpFailure::Connect,
                                 deadline, receiver);
    if (waited == HttpFailure::None && !lookup->Result())
        waited = HttpFailure::Connect;
    return waited;
}

// Tries each address in turn with a non-blocking connect, until one answers or the connect
// limit has passed.
HttpFailure ConnectTo(const wxString& hostText, unsigned short port, const HttpLimits& limits,
                      const Clock::time_point& deadline, HttpReceiver& receiver, Socket& socket)
{
    std::string host = hostText.ToStdString();
    if (!host.empty() && host.front() == '[')
        host = host.substr(1, host.size() - 2);
    const Clock::time_point connectEnd =
        Clock::now() + std::chrono::seconds(limits.nConnectSeconds);

    std::unique_ptr<Lookup> lookup;
    HttpFailure failure = LookUp(host, port, connectEnd, deadline, receiver, lookup);
    for (const addrinfo* a = lookup->Result(); failure == HttpFailure::None && a; a = a->ai_next) {
        socket.Reset(::socket(a->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (socket.Fd() < 0)
            continue;
        if (connect(socket.Fd(), a->ai_addr, a->ai_addrlen) == 0)
            break;
        if (errno != EINPROGRESS)
            continue;
        failure = WaitFor([&] { return PollSlice(socket.Fd(), POLLOUT); }, connectEnd,
                          HttpFailure::Connect, deadline, receiver);
        int error = 0;
        socklen_t size = sizeof error;
        if (failure == HttpFailure::None &&
            getsockopt(socket.Fd(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
            break;
        socket.Reset(-1);
    }
    if (failure == HttpFailure::None && socket.Fd() < 0)
        failure = HttpFailure::Connect;
    if (!lookup->Finish())
        lookup.release();  // still in the resolver's hands; see Lookup
    return failure;
}

// HTTP/1.0 with "Connection: close": the server can neither chunk the body nor keep the
// connection, so the body ends at Content-Length or at the close.
std::string RequestFor(const HttpUrl& url, bool viaProxy)
{
    wxString hostHeader = url.strHost;
    if (url.nPort != 80)
        hostHeader << ":" << url.nPort;
    const wxString target = viaProxy ? "http://" + hostHeader + url.strPath : url.strPath;
    return ("GET " + target + " HTTP/1.0\r\nHost: " + hostHeader +
            "\r\nUser-Agent: Kerv\r\nAccept: */*\r\nConnection: close\r\n\r\n")
        .ToStdString();
}

HttpFailure SendRequest(int fd, const std::string& request, const Limits& limits,
                        HttpReceiver& receiver)
{
    std::size_t sent = 0;
    while (sent < request.size()) {
        const Clock::time_point waitEnd = Clock::now() + std::chrono::seconds(limits.nIdleSeconds);
        HttpFailure waited = WaitFor([fd] { return PollSlice(fd, POLLOUT); }, waitEnd,
                                     HttpFailure::Timeout, limits.deadline, receiver);
        if (waited != HttpFailure::None)
            return waited;
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return HttpFailure::Connect;
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return HttpFailure::None;
}

// Reads what has arrived into chunk after one bounded wait; got == 0 is the end of the stream.
HttpFailure ReadSome(int fd, std::vector<char>& chunk, std::size_t& got, const Limits& limits,
                     HttpReceiver& receiver)
{
    got = 0;
    for (;;) {
        const Clock::time_point waitEnd = Clock::now() + std::chrono::seconds(limits.nIdleSeconds);
        HttpFailure waited = WaitFor([fd] { return PollSlice(fd, POLLIN); }, waitEnd,
                                     HttpFailure::Timeout, limits.deadline, receiver);
        if (waited != HttpFailure::None)
            return waited;
        const ssize_t n = recv(fd, chunk.data(), chunk.size(), 0);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return HttpFailure::None;
        }
        if (errno != EAGAIN && errno != EINTR)
            return HttpFailure::Truncated;
    }
}

// Reads up to the blank line that ends the head; what came after it is the body's start.
HttpFailure ReadHead(int fd, const HttpLimits& caps, const Limits& limits, HttpReceiver& receiver,
                     std::string& head, std::string& bodyStart)
{
    std::vector<char> chunk(16 * 1024);
    head.clear();
    for (;;) {
        std::size_t got = 0;
        HttpFailure failure = ReadSome(fd, chunk, got, limits, receiver);
        if (failure != HttpFailure::None)
            return failure == HttpFailure::Truncated ? HttpFailure::BadResponse : failure;
        if (got == 0)
            return HttpFailure::BadResponse;
        head.append(chunk.data(), got);
        const std::size_t crlf = head.find("\r\n\r\n");
        const std::size_t lf = head.find("\n\n");
        std::size_t end = std::min(crlf, lf);
        if (end != std::string::npos) {
            if (end > caps.nMaxHead)
                return HttpFailure::BadResponse;
            bodyStart = head.substr(end + (end == crlf ? 4 : 2));
            head.resize(end);
            return HttpFailure::None;
        }
        if (head.size() > caps.nMaxHead)
            return HttpFailure::BadResponse;
    }
}

// Hands the body to the receiver, starting with what came with the head. Bytes past the
// announced length are ignored.
HttpFailure ReadBody(int fd, const std::string& bodyStart, const HttpLimits& caps,
                     const Limits& limits, HttpReceiver& receiver, HttpResult& result)
{
    auto deliver = [&](const char* data, std::size_t size) -> HttpFailure {
        if (result.bLengthKnown)
            size = static_cast<std::size_t>(
                std::min<std::uint64_t>(size, result.nLength - result.nReceived));
        if (result.nReceived + size > caps.nMaxBody)
            return HttpFailure::TooLarge;
        if (size > 0 && !receiver.Write(data, size))
            return HttpFailure::Sink;
        result.nReceived += size;
        return receiver.Pump() ? HttpFailure::None : HttpFailure::Cancelled;
    };
    std::vector<char> chunk(16 * 1024);
    HttpFailure failure = deliver(bodyStart.data(), bodyStart.size());
    while (failure == HttpFailure::None &&
           !(result.bLengthKnown && result.nReceived == result.nLength)) {
        std::size_t got = 0;
        failure = ReadSome(fd, chunk, got, limits, receiver);
        if (failure != HttpFailure::None)
            break;
        if (got == 0)
            return result.bLengthKnown ? HttpFailure::Truncated : HttpFailure::None;
        failure = deliver(chunk.data(), got);
    }
    return failure;
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
    if (authority.Find('@') != wxNOT_FOUND || authority.Find('?') != wxNOT_FOUND ||
        path.Find('#') != wxNOT_FOUND)
        return false;
    HttpUrl parsed;
    if (!ParseHostPort(authority, parsed.strHost, parsed.nPort, false))
        return false;
    parsed.strPath = path;
    url = parsed;
    return true;
}

bool ParseServerAddress(const wxString& text, wxString& address)
{
    HttpUrl url;
    if (!ParseHttpUrl(text, url) || url.strPath != "/")
        return false;
    address = text.EndsWith("/") ? text.Left(text.length() - 1) : text;
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
    if (line[9] == '0')
        return -1;  // status codes run from 100 to 999
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

bool ParseResponseHead(const std::string& head, HttpHead& parsed)
{
    parsed = HttpHead();
    std::size_t start = 0;
    bool first = true;
    while (start <= head.size()) {
        std::size_t end = std::min(head.find('\n', start), head.size());
        std::string line = head.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            parsed.nStatus = std::max(0, ParseStatusLine(line));
            if (parsed.nStatus == 0)
                return false;
            first = false;
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            return false;
        const std::string name = Lower(line.substr(0, colon));
        const std::string value = line.substr(colon + 1);
        if (name == "content-length") {
            std::uint64_t length = 0;
            if (!ParseContentLength(value, length) ||
                (parsed.bLengthKnown && length != parsed.nLength))
                return false;
            parsed.bLengthKnown = true;
            parsed.nLength = length;
        } else if (name == "transfer-encoding" && Lower(Trim(value)) != "identity")
            return false;
    }
    return true;
}

bool IsConnectionFailure(HttpFailure failure)
{
    switch (failure) {
        case HttpFailure::Connect:
        case HttpFailure::Timeout:
        case HttpFailure::Deadline:
        case HttpFailure::BadResponse:
        case HttpFailure::Status:
            return true;
        default:
            return false;
    }
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

HttpResult HttpGet(const wxString& urlText, const wxString& proxy, const HttpLimits& caps,
                   HttpReceiver& receiver)
{
    HttpResult result;
    auto fail = [&result](HttpFailure failure) {
        result.failure = failure;
        return result;
    };
    HttpUrl url;
    wxString host;
    unsigned short port = 0;
    if (!ParseHttpUrl(urlText, url) || (!proxy.empty() && !ParseProxy(proxy, host, port)))
        return fail(HttpFailure::BadUrl);
    if (proxy.empty()) {
        host = url.strHost;
        port = url.nPort;
    }
    const Limits limits{Clock::now() + std::chrono::seconds(caps.nDeadlineSeconds),
                        caps.nIdleSeconds};

    Socket socket;
    HttpFailure failure = ConnectTo(host, port, caps, limits.deadline, receiver, socket);
    if (failure == HttpFailure::None)
        failure = SendRequest(socket.Fd(), RequestFor(url, !proxy.empty()), limits, receiver);
    std::string head, bodyStart;
    if (failure == HttpFailure::None)
        failure = ReadHead(socket.Fd(), caps, limits, receiver, head, bodyStart);
    if (failure != HttpFailure::None)
        return fail(failure);

    HttpHead parsed;
    const bool understood = ParseResponseHead(head, parsed);
    result.nStatus = parsed.nStatus;
    result.bLengthKnown = parsed.bLengthKnown;
    result.nLength = parsed.nLength;
    if (!understood)
        return fail(HttpFailure::BadResponse);
    if (result.nStatus != 200)
        return fail(HttpFailure::Status);
    if (result.bLengthKnown && result.nLength > caps.nMaxBody)
        return fail(HttpFailure::TooLarge);
    if (!receiver.Begin(result.bLengthKnown, result.nLength))
        return fail(HttpFailure::Sink);
    return fail(ReadBody(socket.Fd(), bodyStart, caps, limits, receiver, result));
}
