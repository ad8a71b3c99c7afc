// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a whole buffer to a file descriptor.
#ifndef KERV_UPDATER_INSTALL_WRITE_ALL_H
#define KERV_UPDATER_INSTALL_WRITE_ALL_H

#include <cerrno>
#include <cstddef>

#include <unistd.h>

// Writes all of data, going on after short writes and interruptions; false on any error.
inline bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

#endif
