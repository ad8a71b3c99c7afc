// SPDX-License-Identifier: GPL-3.0-or-later
// Random access to the bytes of a picture, from a file or from memory, for readers that must
// not trust any offset or length they find inside it.
#ifndef KERV_FORMATS_BYTE_SOURCE_H
#define KERV_FORMATS_BYTE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies `count` bytes starting at `offset` into `out`; false (and `out` undefined) when
    // any of them lies beyond the end.
    virtual bool Read(uint64_t offset, void* out, size_t count) = 0;

    // Little- and big-endian integers at an offset; `ok` turns false (and stays so) when the
    // bytes are missing, and the value is then 0.
    uint32_t U8(uint64_t offset, bool& ok);
    uint32_t U16le(uint64_t offset, bool& ok);
    uint32_t U32le(uint64_t offset, bool& ok);
    uint32_t U16be(uint64_t offset, bool& ok);
    uint32_t U32be(uint64_t offset, bool& ok);
    // Whether the range [offset, offset + count) lies inside the source (no overflow).
    bool Holds(uint64_t offset, uint64_t count) const;
};

// Bytes held by somebody else; they must outlive the source.
class MemoryBytes : public ByteSource {
public:
    MemoryBytes(const void* data, size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size)
    {
    }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* out, size_t count) override;

private:
    const unsigned char* data_;
    size_t size_;
};

// A regular file read through a small window buffer, so that scanning a file's structure costs
// no more memory than the window, however large the file.
class FileBytes : public ByteSource {
public:
    explicit FileBytes(const std::string& path);
    ~FileBytes() override;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* out, size_t count) override;

private:
    bool Fill(uint64_t offset);

    int fd_ = -1;
    uint64_t size_ = 0;
    std::vector<unsigned char> window_;
    uint64_t windowStart_ = 0;
    size_t windowLength_ = 0;
};

#endif
