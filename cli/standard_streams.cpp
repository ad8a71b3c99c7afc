// SPDX-License-Identifier: GPL-3.0-or-later
#include "standard_streams.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

// The most standard input may hold: the largest picture of the size limits as uncompressed
// 8-bit RGB, with room for headers.
constexpr long long kMaxInputBytes = 300LL * 1024 * 1024 + 1024 * 1024;

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

StandardInputCopy::StandardInputCopy()
{
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/kerv-stdin-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = std::string("no temporary file: ") + std::strerror(errno);
        return;
    }
    path = name;
    char buffer[65536];
    long long total = 0;
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = std::strerror(errno);
            break;
        }
        if (got == 0)
            break;
        total += got;
        if (total > kMaxInputBytes) {
            error = "more than " + std::to_string(kMaxInputBytes >> 20) + " MiB";
            break;
        }
        if (!WriteAll(fd, buffer, static_cast<size_t>(got))) {
            error = std::string("temporary file: ") + std::strerror(errno);
            break;
        }
    }
    if (::close(fd) != 0 && error.empty())
        error = std::string("temporary file: ") + std::strerror(errno);
}

StandardInputCopy::~StandardInputCopy()
{
    if (!path.empty())
        ::unlink(path.c_str());
}

bool WriteStandardOutput(const std::string& bytes)
{
    return WriteAll(STDOUT_FILENO, bytes.data(), bytes.size());
}
