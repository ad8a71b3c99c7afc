// SPDX-License-Identifier: GPL-3.0-or-later
#include "png_chunks.h"

#include <cstdint>

#include <zlib.h>

namespace {

const std::string kSignature = "\x89PNG\r\n\x1a\n";

uint32_t BigEndian(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

void AppendBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(value >> shift & 0xff));
}

// PNG caps a chunk's length at 2^31 - 1.
constexpr uint32_t kMaxChunkLength = 0x7fffffff;

}  // namespace

std::optional<std::vector<PngChunk>> ReadPngChunks(std::istream& in,
                                                   const std::vector<std::string>& wanted)
{
    std::string signature(8, '\0');
    if (!in.read(signature.data(), 8) || signature != kSignature)
        return std::nullopt;
    std::vector<PngChunk> chunks;
    char head[8];
    while (in.read(head, 8)) {
        const uint32_t length = BigEndian(head);
        if (length > kMaxChunkLength)
            break;
        PngChunk chunk{std::string(head + 4, 4), {}};
        bool keep = false;
        for (const std::string& type : wanted)
            keep = keep || type == chunk.type;
        if (keep) {
            chunk.data.resize(length);
            if (!in.read(chunk.data.data(), length))
                break;
            chunks.push_back(std::move(chunk));
        } else if (!in.seekg(length, std::ios::cur)) {
            break;
        }
        in.seekg(4, std::ios::cur);  // CRC
        if (std::string(head + 4, 4) == "IEND")
            break;
    }
    return chunks;
}

std::optional<std::vector<PngChunk>> SplitPng(const std::string& file)
{
    if (file.compare(0, kSignature.size(), kSignature) != 0)
        return std::nullopt;
    std::vector<PngChunk> chunks;
    size_t at = kSignature.size();
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian(file.data() + at);
        if (length > file.size() - at - 12)
            return std::nullopt;
        chunks.push_back({file.substr(at + 4, 4), file.substr(at + 8, length)});
        at += 12 + length;
    }
    if (at != file.size() || chunks.empty() || chunks.back().type != "IEND")
        return std::nullopt;
    return chunks;
}

std::string JoinPng(const std::vector<PngChunk>& chunks)
{
    std::string file = kSignature;
    for (const PngChunk& chunk : chunks) {
        AppendBigEndian(file, static_cast<uint32_t>(chunk.data.size()));
        const std::string typed = chunk.type + chunk.data;
        file += typed;
        AppendBigEndian(
            file, static_cast<uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                                static_cast<uInt>(typed.size()))));
    }
    return file;
}
