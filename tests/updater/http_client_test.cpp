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
    EXPECT_FALSE(ParseProxy("proxy.local", host, port));
    EXPECT_FALSE(ParseProxy("proxy.local:", host, port));
    EXPECT_FALSE(ParseProxy(":3128", host, port));
    EXPECT_FALSE(ParseProxy("proxy.local:abc", host, port));
    ASSERT_TRUE(ParseProxy("[::1]:3128", host, port));
    EXPECT_EQ(host, "[::1]");
}

TEST(HttpHead, StatusLineMustBeHttp)
{
    EXPECT_EQ(ParseStatusLine("HTTP/1.1 200 OK"), 200);
    EXPECT_EQ(ParseStatusLine("HTTP/1.0 404"), 404);
    EXPECT_EQ(ParseStatusLine("HTTP/1.0 2000 OK"), -1);
    EXPECT_EQ(ParseStatusLine("HTTP/1.0 020 OK"), -1);
    EXPECT_EQ(ParseStatusLine("0.68"), -1);
    EXPECT_EQ(ParseStatusLine("ICY 200 OK"), -1);
}

TEST(HttpHead, ContentLengthIsPlainDecimal)
{
    std::uint64_t length = 0;
    ASSERT_TRUE(ParseContentLength(" 1234 ", length));
    EXPECT_EQ(length, 1234u);
    EXPECT_FALSE(ParseContentLength("-1", length));
    EXPECT_FALSE(ParseContentLength("+5", length));
    EXPECT_FALSE(ParseContentLength("12a", length));
    EXPECT_FALSE(ParseContentLength("", length));
    EXPECT_FALSE(ParseContentLength("99999999999999999999", length));
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

// Answers that are not content: each is refused without a byte reaching the receiver, and
// nothing is followed.
struct RefusedAnswer {
    const char* what;
    std::string bytes;
    HttpFailure failure;
    int status;
};

class HttpRefused : public ::testing::TestWithParam<RefusedAnswer> {};

TEST_P(HttpRefused, IsAFailureWithoutContent)
{
    TestServer server;
    CannedResponse raw;
    raw.strBytes = GetParam().bytes;
    server.Route("/v.txt", raw);
    std::string body;
    HttpResult result = Get(server.Url("/v.txt"), body);
    EXPECT_EQ(result.failure, GetParam().failure) << GetParam().what;
    EXPECT_EQ(result.nStatus, GetParam().status) << GetParam().what;
    EXPECT_TRUE(body.empty()) << GetParam().what;
    EXPECT_EQ(result.nReceived, 0u);
    EXPECT_EQ(server.Requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HttpRefused,
    ::testing::Values(
        RefusedAnswer{"not found", MakeResponse(404, "<html>0.99</html>").strBytes,
                      HttpFailure::Status, 404},
        RefusedAnswer{
            "a redirect",
            MakeResponse(302, "0.99", true, "Location: http://127.0.0.1:1/evil\r\n").strBytes,
            HttpFailure::Status, 302},
        RefusedAnswer{"partial content", MakeResponse(206, "0.99").strBytes, HttpFailure::Status,
                      206},
        RefusedAnswer{"no status line", "0.99\n\nmore", HttpFailure::BadResponse, 0},
        RefusedAnswer{
            "chunked coding",
            MakeResponse(200, "4\r\n0.99\r\n0\r\n\r\n", false, "Transfer-Encoding: chunked\r\n")
                .strBytes,
            HttpFailure::BadResponse, 200},
        RefusedAnswer{"conflicting lengths",
                      MakeResponse(200, "0.99", true, "Content-Length: 2\r\n").strBytes,
                      HttpFailure::BadResponse, 200},
        RefusedAnswer{
            "an oversized head",
            MakeResponse(200, "0.99", true, "X-Junk: " + std::string(40000, 'j') + "\r\n").strBytes,
            HttpFailure::BadResponse, 0},
        RefusedAnswer{"an announced length over the cap",
                      "HTTP/1.0 200 X\r\nContent-Length: 99999999999\r\n\r\nabc",
                      HttpFailure::TooLarge, 200}));

TEST(HttpGet, NoServerIsAConnectFailure)
{
    std::string body;
    HttpResult result = Get(DeadUrl("/v.txt"), body);
    EXPECT_EQ(result.failure, HttpFailure::Connect);
}

TEST(HttpGet, AHostThatDropsConnectionsIsGivenUpAtTheConnectLimitOrACancel)
{
    DroppingListener host;
    HttpLimits limits;
    limits.nConnectSeconds = 1;
    std::string body;
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

// A byte at a time after a first pause.
CannedResponse Trickled(CannedResponse response, int stallMs, int delayMs)
{
    response.nStallMs = stallMs;
    response.nChunkSize = 1;
    response.nChunkDelayMs = delayMs;
    return response;
}

// Answers that stop short of their content: each ends in its failure in good time, with no more
// than the cap (64 KiB by default) kept.
struct CutAnswer {
    const char* what;
    CannedResponse response;
    int idleSeconds, deadlineSeconds;
    HttpFailure failure;
    std::uint64_t received;  // bytes of body that arrived (checked when not 0)
};

class HttpCut : public ::testing::TestWithParam<CutAnswer> {};

TEST_P(HttpCut, EndsInItsFailureInGoodTime)
{
    const CutAnswer& c = GetParam();
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
    EXPECT_LE(body.size(), 64u * 1024) << c.what;
    if (c.received) {
        EXPECT_EQ(result.nReceived, c.received) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HttpCut,
    ::testing::Values(
        CutAnswer{"an unannounced body over the cap",
                  MakeResponse(200, std::string(70000, 'x'), false), 10, 10, HttpFailure::TooLarge,
                  0},
        CutAnswer{"a short body",
                  Raw("HTTP/1.0 200 X\r\nContent-Length: 1000\r\n\r\n" + std::string(500, 'x')), 10,
                  10, HttpFailure::Truncated, 500},
        CutAnswer{"a silent server", Trickled(MakeResponse(200, "0.68"), 4000, 0), 1, 2,
                  HttpFailure::Timeout, 0},
        // Every wait is short, the whole would take about 14 s.
        CutAnswer{"a trickling server", Trickled(MakeResponse(200, std::string(100, 'x')), 0, 100),
                  1, 2, HttpFailure::Deadline, 0}));

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
