// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP client against a loopback server that misbehaves in the ways a hostile network can.
#include "http_client.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

HttpResult Get(const std::string& url, std::string& body, HttpLimits limits = HttpLimits(),
               const std::string& proxy = std::string())
{
    HttpMemoryReceiver receiver;
    HttpResult result =
        HttpGet(wxString::FromUTF8(url), wxString::FromUTF8(proxy), limits, receiver);
    body = receiver.strBody;
    return result;
}

CannedResponse Raw(const std::string& bytes)
{
    CannedResponse response;
    response.strBytes = bytes;
    return response;
}

}  // namespace

// One parser serves the server address (KERV_SERVER, the build's default) and every request:
// each text is tried as both, and an accepted address must give fetchable URLs.
struct AddressCase {
    const char* text;
    bool url;          // ParseHttpUrl accepts it
    bool server;       // ParseServerAddress accepts it
    const char* host;  // when accepted as a URL
    unsigned short port;
    const char* path;
};

AddressCase Refused(const char* text)
{
    return AddressCase{text, false, false, "", 0, ""};
}

class HttpAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(HttpAddress, OneParserForServerAddressesAndRequests)
{
    const AddressCase& c = GetParam();
    HttpUrl url;
    ASSERT_EQ(ParseHttpUrl(c.text, url), c.url);
    if (c.url) {
        EXPECT_EQ(url.strHost, c.host);
        EXPECT_EQ(url.nPort, c.port);
        EXPECT_EQ(url.strPath, c.path);
    }
    wxString address;
    ASSERT_EQ(ParseServerAddress(c.text, address), c.server);
    if (c.server) {
        EXPECT_FALSE(address.EndsWith("/"));
        EXPECT_TRUE(ParseHttpUrl(address + "/kerv/kerv_version_lnx.txt", url)) << address;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HttpAddress,
    ::testing::Values(
        AddressCase{"http://kerv.example.org/kerv/kerv_version_lnx.txt", true, false,
                    "kerv.example.org", 80, "/kerv/kerv_version_lnx.txt"},
        AddressCase{"http://kerv.example.org", true, true, "kerv.example.org", 80, "/"},
        AddressCase{"HTTP://127.0.0.1:8080/", true, true, "127.0.0.1", 8080, "/"},
        AddressCase{"http://[::1]:8080", true, true, "[::1]", 8080, "/"},
        AddressCase{"http://[::1]/kerv/a.tar.gz", true, false, "[::1]", 80, "/kerv/a.tar.gz"},
        AddressCase{"http://host/?x=1", true, false, "host", 80, "/?x=1"},
        Refused("https://kerv.example.org"),  // no TLS in this client
        Refused("ftp://kerv.example.org"), Refused("file:///etc/passwd"),
        Refused("kerv.example.org"), Refused("javascript:alert(1)"), Refused("http://"),
        Refused("http:///x"), Refused("http://host?x=1"),
        AddressCase{"http://host//", true, false, "host", 80, "//"}, Refused("http://a b"),
        Refused("http://host/a\r\nX: y"), Refused("http://host:0"), Refused("http://host:65536"),
        Refused("http://host:80x"), Refused("http://user:pw@host"), Refused("http://host/#top"),
        Refused("http://-host"), Refused("http://[::1"), Refused("http://[::1]x"),
        Refused("http://[zz::1]"), Refused("http://[]")));

TEST(HttpProxy, NeedsHostAndPort)
{
    wxString host;
    unsigned short port = 0;
    ASSERT_TRUE(ParseProxy("proxy.local:3128", host, port));
    EXPECT_EQ(host, "proxy.local");
    EXPECT_EQ(port, 3128);
    for (const char* bad : {"proxy.local", "proxy.local:", ":3128", "proxy.local:abc"})
        EXPECT_FALSE(ParseProxy(bad, host, port)) << bad;
    ASSERT_TRUE(ParseProxy("[::1]:3128", host, port));
    EXPECT_EQ(host, "[::1]");
}

TEST(HttpHead, StatusLineMustBeHttpAndContentLengthPlainDecimal)
{
    EXPECT_EQ(ParseStatusLine("HTTP/1.1 200 OK"), 200);
    EXPECT_EQ(ParseStatusLine("HTTP/1.0 404"), 404);
    for (const char* bad : {"HTTP/1.0 2000 OK", "HTTP/1.0 020 OK", "0.68", "ICY 200 OK"})
        EXPECT_EQ(ParseStatusLine(bad), -1) << bad;

    std::uint64_t length = 0;
    ASSERT_TRUE(ParseContentLength(" 1234 ", length));
    EXPECT_EQ(length, 1234u);
    for (const char* bad : {"-1", "+5", "12a", "", "99999999999999999999"})
        EXPECT_FALSE(ParseContentLength(bad, length)) << bad;
}

// Answers that are content: the body is what the length announces, or everything up to the end
// of the connection when no length is announced.
TEST(HttpGet, ReadsTheBodyOfA200Answer)
{
    const std::string big(200000, 'x');
    const struct {
        std::string bytes, body;
        bool lengthKnown;
    } cases[] = {{MakeResponse(200, "0.68\n").strBytes, "0.68\n", true},
                 {MakeResponse(200, big, false).strBytes, big, false},
                 {"HTTP/1.0 200 X\r\nContent-Length: 4\r\n\r\n0.68 and more", "0.68", true}};
    for (const auto& c : cases) {
        TestServer server;
        server.Route("/v.txt", Raw(c.bytes));
        std::string body;
        HttpLimits limits;
        limits.nMaxBody = 1 << 20;
        HttpResult result = Get(server.Url("/v.txt"), body, limits);
        ASSERT_TRUE(result.Ok()) << result.Describe();
        EXPECT_EQ(result.bLengthKnown, c.lengthKnown);
        EXPECT_EQ(body, c.body);
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0], "GET /v.txt HTTP/1.0");
    }
}

// A byte at a time after a first pause.
CannedResponse Trickled(CannedResponse response, int stallMs, int delayMs)
{
    response.nStallMs = stallMs;
    response.nChunkSize = 1;
    response.nChunkDelayMs = delayMs;
    return response;
}

// Answers that are not content, or stop short of it: each ends in its failure in good time, with
// no more than the cap (64 KiB by default) kept and nothing followed; those refused at the head
// reach the receiver with no byte at all.
struct FailedGet {
    const char* what;
    CannedResponse response;
    HttpFailure failure;
    int status;
    long long received;  // bytes of body that arrived; -1: not looked at
    int idleSeconds = 10, deadlineSeconds = 10;
};

class HttpFailed : public ::testing::TestWithParam<FailedGet> {};

TEST_P(HttpFailed, EndsInItsFailureInGoodTime)
{
    const FailedGet& c = GetParam();
    TestServer server;
    server.Route("/v", c.response);
    HttpLimits limits;
    limits.nIdleSeconds = c.idleSeconds;
    limits.nDeadlineSeconds = c.deadlineSeconds;
    std::string body;
    const auto start = std::chrono::steady_clock::now();
    HttpResult result = Get(server.Url("/v"), body, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::seconds(c.deadlineSeconds + 2));
    EXPECT_EQ(result.failure, c.failure) << c.what;
    EXPECT_EQ(result.nStatus, c.status) << c.what;
    EXPECT_LE(body.size(), 64u * 1024) << c.what;
    if (c.received >= 0) {
        EXPECT_EQ(result.nReceived, static_cast<std::uint64_t>(c.received)) << c.what;
        EXPECT_LE(body.size(), result.nReceived) << c.what;
    }
    EXPECT_EQ(server.Requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HttpFailed,
    ::testing::Values(
        FailedGet{"not found", MakeResponse(404, "<html>0.99</html>"), HttpFailure::Status, 404, 0},
        FailedGet{"a redirect",
                  MakeResponse(302, "0.99", true, "Location: http://127.0.0.1:1/evil\r\n"),
                  HttpFailure::Status, 302, 0},
        FailedGet{"partial content", MakeResponse(206, "0.99"), HttpFailure::Status, 206, 0},
        FailedGet{"no status line", Raw("0.99\n\nmore"), HttpFailure::BadResponse, 0, 0},
        FailedGet{
            "chunked coding",
            MakeResponse(200, "4\r\n0.99\r\n0\r\n\r\n", false, "Transfer-Encoding: chunked\r\n"),
            HttpFailure::BadResponse, 200, 0},
        FailedGet{"conflicting lengths", MakeResponse(200, "0.99", true, "Content-Length: 2\r\n"),
                  HttpFailure::BadResponse, 200, 0},
        FailedGet{"an oversized head",
                  MakeResponse(200, "0.99", true, "X-Junk: " + std::string(40000, 'j') + "\r\n"),
                  HttpFailure::BadResponse, 0, 0},
        FailedGet{"an announced length over the cap",
                  Raw("HTTP/1.0 200 X\r\nContent-Length: 99999999999\r\n\r\nabc"),
                  HttpFailure::TooLarge, 200, 0},
        FailedGet{"an unannounced body over the cap",
                  MakeResponse(200, std::string(70000, 'x'), false), HttpFailure::TooLarge, 200,
                  -1},
        FailedGet{"a short body",
                  Raw("HTTP/1.0 200 X\r\nContent-Length: 1000\r\n\r\n" + std::string(500, 'x')),
                  HttpFailure::Truncated, 200, 500},
        FailedGet{"a silent server", Trickled(MakeResponse(200, "0.68"), 4000, 0),
                  HttpFailure::Timeout, 0, -1, 1, 2},
        // Every wait is short, the whole would take about 14 s.
        FailedGet{"a trickling server", Trickled(MakeResponse(200, std::string(100, 'x')), 0, 100),
                  HttpFailure::Deadline, 0, -1, 1, 2}));

TEST(HttpGet, NoServerOrAHostThatDropsConnectionsIsAConnectFailureAtTheLimitOrACancel)
{
    std::string body;
    EXPECT_EQ(Get(DeadUrl("/v.txt"), body).failure, HttpFailure::Connect);
    DroppingListener host;
    HttpLimits limits;
    limits.nConnectSeconds = 1;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Get(host.Url("/v"), body, limits).failure, HttpFailure::Connect);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 3.0);

    struct Cancelling : HttpMemoryReceiver {
        bool Pump() override { return false; }
    } cancelling;
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGet(host.Url("/v"), wxString(), HttpLimits(), cancelling).failure,
              HttpFailure::Cancelled);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
}

TEST(HttpGet, AProxyGetsTheAbsoluteAddress)
{
    TestServer proxy;
    const std::string target = DeadUrl("/kerv/v.txt");
    proxy.Route(target, MakeResponse(200, "0.68"));
    std::string body;
    HttpResult result = Get(target, body, HttpLimits(), proxy.Proxy());
    ASSERT_TRUE(result.Ok()) << result.Describe();
    EXPECT_EQ(body, "0.68");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0], "GET " + target + " HTTP/1.0");
}

TEST(HttpGet, AReceiverThatCannotStoreFailsTheRequest)
{
    struct Refusing : HttpReceiver {
        bool Write(const char*, std::size_t) override { return false; }
    } receiver;
    TestServer server;
    server.Route("/a", MakeResponse(200, "data"));
    EXPECT_EQ(HttpGet(wxString(server.Url("/a")), wxString(), HttpLimits(), receiver).failure,
              HttpFailure::Sink);
}
