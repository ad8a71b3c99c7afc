// SPDX-License-Identifier: GPL-3.0-or-later
// A loopback HTTP server for the tests: answers each request with a canned response chosen
// by the request target (a path, or an absolute URL when it is used as a proxy), and records
// the request lines it saw. It can trickle, stall and cut responses short.
#ifndef KERV_TEST_SERVER_H
#define KERV_TEST_SERVER_H

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CannedResponse {
    std::string strBytes;   // everything sent: status line, headers and body
    int nChunkDelayMs = 0;  // pause before each chunk of nChunkSize bytes
    std::size_t nChunkSize = 1 << 20;
    int nStallMs = 0;  // pause before sending anything
};

// "HTTP/1.0 <status> X" with Content-Length (unless announceLength is false) and the body.
// "http://127.0.0.1:<port><path>"
std::string LoopbackUrl(unsigned short port, const std::string& path);

CannedResponse MakeResponse(int status, const std::string& body, bool announceLength = true,
                            const std::string& extraHeaders = std::string());

class TestServer {
public:
    TestServer();   // listens on 127.0.0.1 on a free port
    ~TestServer();  // stops and joins

    unsigned short Port() const { return nPort; }
    std::string Url(const std::string& path) const { return LoopbackUrl(nPort, path); }
    std::string Proxy() const { return "127.0.0.1:" + std::to_string(nPort); }  // as a proxy

    void Route(const std::string& target, const CannedResponse& response);
    // Serves bytes at target and their signature beside them, at target + ".sig".
    void RouteSigned(const std::string& target, const std::string& bytes,
                     const std::string& signature)
    {
        Route(target, MakeResponse(200, bytes));
        Route(target + ".sig", MakeResponse(200, signature));
    }
    std::vector<std::string> Requests() const;  // request lines, in order

private:
    void Serve();
    void Answer(int connection);

    int nListen = -1;
    unsigned short nPort = 0;
    std::atomic<bool> bStop{false};
    mutable std::mutex mutex;
    std::map<std::string, CannedResponse> routes;
    std::vector<std::string> requests;
    std::thread thread;
};

// A port on 127.0.0.1 where nothing listens (bound and closed again), and a URL on it.
unsigned short UnusedPort();
inline std::string DeadUrl(const std::string& path)
{
    return LoopbackUrl(UnusedPort(), path);
}

// A listener on 127.0.0.1 whose backlog is full: it never accepts, and the kernel drops every
// further connection attempt, as a host behind a packet-dropping firewall does.
class DroppingListener {
public:
    DroppingListener();
    ~DroppingListener();
    std::string Url(const std::string& path) const { return LoopbackUrl(nPort, path); }

private:
    int nListen = -1;
    unsigned short nPort = 0;
    std::vector<int> fillers;  // the connections that fill the backlog
};

#endif
