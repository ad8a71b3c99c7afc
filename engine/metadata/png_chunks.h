// SPDX-License-Identifier: GPL-3.0-or-later
// A PNG file as its list of chunks (signature, then length, type, data, CRC each).
#ifndef KERV_METADATA_PNG_CHUNKS_H
#define KERV_METADATA_PNG_CHUNKS_H

#include <istream>
#include <optional>
#include <string>
#include <vector>

struct PngChunk {
    std::string type;  // four letters
    std::string data;
};

// Reads the chunks of the PNG file in `in` whose types are listed in `wanted`, skipping the
// data of all others (IDAT included). Nothing when the stream is no PNG.
std::optional<std::vector<PngChunk>> ReadPngChunks(std::istream& in,
                                                   const std::vector<std::string>& wanted);

// Splits a whole PNG file held in memory; nothing when it is no well-formed PNG.
std::optional<std::vector<PngChunk>> SplitPng(const std::string& file);
// Joins chunks into a PNG file, computing each CRC.
std::string JoinPng(const std::vector<PngChunk>& chunks);

#endif
