// SPDX-License-Identifier: GPL-3.0-or-later
#include "byte_source.h"

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kWindowBytes = 64 * 1024;

}  // namespace

bool ByteSource::Holds(uint64_t offset, uint64_t count) const
{
    const uint64_t size = Size();
    return offset <= size && count <= size - offset;
}

uint32_t ByteSource::U8(uint64_t offset, bool& ok)
{
    unsigned char b[1];
    if (!ok || !Read(offset, b, 1))
        return ok = false, 0;
    return b[0];
}

uint32_t ByteSource::U16le(uint64_t offset, bool& ok)
{
    unsigned char b[2];
    if (!ok || !Read(offset, b, 2))
        return ok = false, 0;
    return b[0] | (uint32_t{b[1]} << 8);
}

uint32_t ByteSource::U32le(uint64_t offset, bool& ok)
{
    unsigned char b[4];
    if (!ok || !Read(offset, b, 4))
        return ok = false, 0;
    return b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

uint32_t ByteSource::U16be(uint64_t offset, bool& ok)
{
    unsigned char b[2];
    if (!ok || !Read(offset, b, 2))
        return ok = false, 0;
    return (uint32_t{b[0]} << 8) | b[1];
}

uint32_t ByteSource::U32be(uint64_t offset, bool& ok)
{
    unsigned char b[4];
    if (!ok || !Read(offset, b, 4))
        return ok = false, 0;
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

bool MemoryBytes::Read(uint64_t offset, void* out, size_t count)
{
    if (!Holds(offset, count))
        return false;
    if (count)
        std::memcpy(out, data_ + offset, count);
    return true;
}

FileBytes::FileBytes(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return;
    }
    size_ = static_cast<uint64_t>(info.st_size);
}

FileBytes::~FileBytes()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileBytes::Fill(uint64_t offset)
{
    window_.resize(kWindowBytes);
    size_t got = 0;
    while (got < kWindowBytes && offset + got < size_) {
        const ssize_t n = ::pread(fd_, window_.data() + got, kWindowBytes - got,
                                  static_cast<off_t>(offset + got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    windowStart_ = offset;
    windowLength_ = got;
    return got > 0;
}

bool FileBytes::Read(uint64_t offset, void* out, size_t count)
{
    if (fd_ < 0 || !Holds(offset, count))
        return false;
    auto* to = static_cast<unsigned char*>(out);
    while (count > 0) {
        if (offset < windowStart_ || offset >= windowStart_ + windowLength_) {
            if (!Fill(offset))
                return false;
        }
        const size_t at = static_cast<size_t>(offset - windowStart_);
        const size_t n = std::min(count, windowLength_ - at);
        std::memcpy(to, window_.data() + at, n);
        to += n;
        offset += n;
        count -= n;
    }
    return true;
}
