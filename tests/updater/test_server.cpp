// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <stdexcept>

namespace {

int ListenOnLoopback(unsigned short& port, int backlog = 16)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket");
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, backlog) != 0)
        throw std::runtime_error("bind");
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

std::string LoopbackUrl(unsigned short port, const std::string& path)
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

CannedResponse MakeResponse(int status, const std::string& body, bool announceLength,
                            const std::string& extraHeaders)
{
    CannedResponse response;
    response.strBytes = "HTTP/1.0 " + std::to_string(status) + " X\r\n";
    if (announceLength)
        response.strBytes += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    response.strBytes += extraHeaders + "\r\n" + body;
    return response;
}

TestServer::TestServer()
{
    nListen = ListenOnLoopback(nPort);
    thread = std::thread([this] { Serve(); });
}

TestServer::~TestServer()
{
    bStop = true;
    thread.join();
    close(nListen);
}

void TestServer::Route(const std::string& target, const CannedResponse& response)
{
    std::lock_guard<std::mutex> lock(mutex);
    routes[target] = response;
}

std::vector<std::string> TestServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return requests;
}

void TestServer::Serve()
{
    while (!bStop) {
        pollfd waiting{nListen, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        int connection = accept4(nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        Answer(connection);
        close(connection);
    }
}

void TestServer::Answer(int connection)
{
    // Read the request head, for at most five seconds.
    std::string head;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < end &&
           head.size() < 65536 && !bStop) {
        pollfd waiting{connection, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        char buffer[4096];
        ssize_t got = read(connection, buffer, sizeof buffer);
        if (got <= 0)
            return;
        head.append(buffer, static_cast<std::size_t>(got));
    }
    std::string line = head.substr(0, head.find("\r\n"));
    std::string target;
    std::size_t first = line.find(' ');
    std::size_t second = line.find(' ', first + 1);
    if (first != std::string::npos && second != std::string::npos)
        target = line.substr(first + 1, second - first - 1);

    CannedResponse response = MakeResponse(404, "not found");
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(line);
        auto found = routes.find(target);
        if (found != routes.end())
            response = found->second;
    }

    auto sleepFor = [this](int ms) {
        for (int waited = 0; waited < ms && !bStop; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    sleepFor(response.nStallMs);
    std::size_t sent = 0;
    while (sent < response.strBytes.size() && !bStop) {
        if (response.nChunkDelayMs > 0)
            sleepFor(response.nChunkDelayMs);
        std::size_t size = std::min(response.nChunkSize, response.strBytes.size() - sent);
        ssize_t written = send(connection, response.strBytes.data() + sent, size, MSG_NOSIGNAL);
        if (written <= 0)
            return;
        sent += static_cast<std::size_t>(written);
    }
    shutdown(connection, SHUT_WR);
    // Let the client read to the end before the socket is closed.
    pollfd waiting{connection, POLLIN, 0};
    poll(&waiting, 1, 1000);
}

unsigned short UnusedPort()
{
    unsigned short port = 0;
    int fd = ListenOnLoopback(port);
    close(fd);
    return port;
}

DroppingListener::DroppingListener()
{
    nListen = ListenOnLoopback(nPort, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(nPort);
    // A backlog of 0 holds one finished connection; connect until one stays unanswered.
    for (int i = 0; i < 8; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        fillers.push_back(fd);
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        pollfd item{fd, POLLOUT, 0};
        if (poll(&item, 1, 200) == 0)
            break;
    }
}

DroppingListener::~DroppingListener()
{
    for (int fd : fillers)
        close(fd);
    close(nListen);
}
