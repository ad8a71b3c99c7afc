// SPDX-License-Identifier: GPL-3.0-or-later
// A bounded HTTP/1.0 GET client for the update check and the updater.
//
// The server (and anything between it and us) is untrusted: only an answer with status 200
// counts as content, the response head and the body have hard size caps, the name lookup and
// the connection have a limit of their own, every other wait on the socket is limited, and the
// whole request has a deadline. Redirects are not followed, and a reply without an HTTP status
// line is refused. Failures come back as values, never thrown.
#ifndef KERV_HTTP_CLIENT_H
#define KERV_HTTP_CLIENT_H

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <string>

// "http://host[:port]/path": the only form the update server uses. Plain HTTP only (the
// signature of the update, not the transport, protects it); the host is a name, an IPv4
// address or a bracketed IPv6 address. The path keeps its query.
struct HttpUrl {
    wxString strHost;  // as written, an IPv6 address with its brackets
    unsigned short nPort = 80;
    wxString strPath;  // starts with "/"
};

// Parses an "http://" URL. Refuses other schemes, user information, fragments, empty or odd
// host names, ports outside 1..65535, and any blank, control or non-ASCII character.
bool ParseHttpUrl(const wxString& text, HttpUrl& url);

// A server address: an "http://" URL without path, query or fragment (one trailing "/" is
// allowed). On success address is the URL without the trailing slash, ready for paths to be
// appended. The same parser as for every request, so an address accepted here can be fetched.
bool ParseServerAddress(const wxString& text, wxString& address);

// Parses a proxy given as "host:port" (port 1..65535). An empty text is no proxy.
bool ParseProxy(const wxString& text, wxString& host, unsigned short& port);

// The status code (100 to 999) of a status line "HTTP/1.x NNN reason", or -1 when the line is
// no such line.
int ParseStatusLine(const std::string& line);

// A Content-Length value: decimal digits only (surrounding blanks allowed), no sign, no overflow.
bool ParseContentLength(const std::string& value, std::uint64_t& length);

enum class HttpFailure {
    None,
    BadUrl,       // the URL or the proxy text cannot be used
    Connect,      // name lookup or connection failed, or took longer than the connect limit
    Timeout,      // one wait on the socket took longer than the idle limit
    Deadline,     // the whole request took longer than its deadline
    BadResponse,  // no HTTP status line, a malformed or oversized head, or chunked coding
    Status,       // a status other than 200 (redirects included)
    TooLarge,     // announced or received body over the cap
    Truncated,    // the connection closed before the announced length arrived
    Sink,         // the receiver refused the data (for example, a disk write failed)
    Cancelled     // the receiver asked to stop
};

// True for the failures that mean the server was not reached or gave no usable answer (no
// connection, silence, a foreign or error answer): the ones another route may cure.
bool IsConnectionFailure(HttpFailure failure);

struct HttpLimits {
    std::uint64_t nMaxBody = 64 * 1024;  // bytes of body accepted
    int nConnectSeconds = 10;            // name lookup and connection together
    int nIdleSeconds = 10;               // longest single wait for the socket after that
    int nDeadlineSeconds = 30;           // the whole request, connection to last byte
    std::size_t nMaxHead = 16 * 1024;    // bytes of status line and headers
};

// What the head of a response says about its body.
struct HttpHead {
    int nStatus = 0;
    bool bLengthKnown = false;
    std::uint64_t nLength = 0;
};

// Parses the status line and headers (without the blank line that ends them). Fails on a
// missing status line, a header line without a name, a malformed or repeated conflicting
// Content-Length, and any transfer coding but "identity".
bool ParseResponseHead(const std::string& head, HttpHead& parsed);

struct HttpResult {
    HttpFailure failure = HttpFailure::None;
    int nStatus = 0;              // the status code received, 0 when none was
    bool bLengthKnown = false;    // the server announced a Content-Length
    std::uint64_t nLength = 0;    // the announced length, when known
    std::uint64_t nReceived = 0;  // body bytes handed to the receiver

    bool Ok() const { return failure == HttpFailure::None; }
    // One English sentence naming what went wrong, for logs and messages.
    wxString Describe() const;
};

// Receives the body as it arrives.
class HttpReceiver {
public:
    virtual ~HttpReceiver() = default;
    // Called once before the body, after the head was accepted.
    virtual bool Begin(bool /*lengthKnown*/, std::uint64_t /*length*/) { return true; }
    // Returns false to fail the request with HttpFailure::Sink.
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Called between socket waits (about ten times a second, from the name lookup on) and
    // after each piece of data, so a window can repaint; returns false to cancel.
    virtual bool Pump() { return true; }
};

// Collects the body in memory (the body cap of the limits bounds it).
class HttpMemoryReceiver : public HttpReceiver {
public:
    bool Write(const char* data, std::size_t size) override
    {
        strBody.append(data, size);
        return true;
    }
    std::string strBody;
};

// One GET of url, directly when proxy is empty, else through the proxy "host:port".
HttpResult HttpGet(const wxString& url, const wxString& proxy, const HttpLimits& limits,
                   HttpReceiver& receiver);

#endif
