// SPDX-License-Identifier: GPL-3.0-or-later
#include "jpeg_facts.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// ITU-T T.81 Annex K, tables K.1 and K.2, natural order.
constexpr QuantTable kLuminance = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                   58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                   22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                   77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                   103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr QuantTable kChrominance = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// The zigzag order in which DQT segments store a table: kZigzag[k] is the natural index of the
// k-th stored entry.
constexpr std::array<int, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// libjpeg's jpeg_quality_scaling and jpeg_add_quant_table with baseline forced.
int ScaledEntry(int base, int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return std::clamp((base * scale + 50) / 100, 1, 255);
}

int Sum(const QuantTable& table)
{
    int sum = 0;
    for (int value : table)
        sum += value;
    return sum;
}

// The sum and the four sample entries of quality q's standard tables (luminance alone when the
// file has no chrominance table).
struct Signature {
    int sum = 0;
    int sample = 0;
};

Signature StandardSignature(int quality, bool withChrominance)
{
    Signature signature;
    for (int i = 0; i < 64; ++i) {
        signature.sum += ScaledEntry(kLuminance[i], quality);
        if (withChrominance)
            signature.sum += ScaledEntry(kChrominance[i], quality);
    }
    signature.sample = ScaledEntry(kLuminance[2], quality) + ScaledEntry(kLuminance[53], quality);
    if (withChrominance)
        signature.sample +=
            ScaledEntry(kChrominance[0], quality) + ScaledEntry(kChrominance[63], quality);
    return signature;
}

int ReadByte(std::istream& in)
{
    const int c = in.get();
    return in ? c : -1;
}

int ReadWord(std::istream& in)
{
    const int high = ReadByte(in);
    const int low = ReadByte(in);
    return high < 0 || low < 0 ? -1 : high << 8 | low;
}

// One DQT segment's payload: one or more tables, each a precision/slot byte and 64 entries.
void ReadQuantTables(const std::string& payload, JpegFacts& facts)
{
    size_t at = 0;
    while (at < payload.size()) {
        const int precision = static_cast<unsigned char>(payload[at]) >> 4;
        const int slot = payload[at] & 0x0f;
        const size_t width = precision ? 2 : 1;
        ++at;
        if (slot > 3 || at + 64 * width > payload.size())
            return;
        QuantTable table{};
        for (int k = 0; k < 64; ++k, at += width) {
            int value = static_cast<unsigned char>(payload[at]);
            if (width == 2)
                value = value << 8 | static_cast<unsigned char>(payload[at + 1]);
            table[kZigzag[k]] = value;
        }
        facts.tables[slot] = table;
    }
}

void ReadJfifDensity(const std::string& payload, JpegFacts& facts)
{
    if (payload.size() < 12 || payload.compare(0, 5, std::string("JFIF\0", 5)) != 0)
        return;
    const int unit = static_cast<unsigned char>(payload[7]);
    auto word = [&](size_t at) {
        return static_cast<unsigned char>(payload[at]) << 8 |
               static_cast<unsigned char>(payload[at + 1]);
    };
    if (unit == PictureResolution::kInches || unit == PictureResolution::kCentimetres)
        facts.density = {static_cast<PictureResolution::Unit>(unit), word(8), word(10)};
}

}  // namespace

std::optional<JpegFacts> ReadJpegFacts(std::istream& in)
{
    if (ReadByte(in) != 0xff || ReadByte(in) != 0xd8)
        return std::nullopt;
    JpegFacts facts;
    for (;;) {
        int marker = ReadByte(in);
        if (marker != 0xff)
            return facts;
        while (marker == 0xff)
            marker = ReadByte(in);  // fill bytes
        if (marker < 0 || marker == 0xda || marker == 0xd9)
            return facts;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue;  // no length
        const int length = ReadWord(in);
        if (length < 2)
            return facts;
        std::string payload(static_cast<size_t>(length - 2), '\0');
        if (!in.read(payload.data(), static_cast<std::streamsize>(payload.size())))
            return facts;
        if (marker == 0xdb)
            ReadQuantTables(payload, facts);
        else if (marker == 0xe0)
            ReadJfifDensity(payload, facts);
    }
}

int EstimateJpegQuality(const std::array<std::optional<QuantTable>, 4>& tables)
{
    if (!tables[0])
        return 0;
    const bool twoTables = tables[1].has_value();
    int sum = 0;
    for (const auto& table : tables) {
        if (table)
            sum += Sum(*table);
    }
    const QuantTable& luminance = *tables[0];
    int sample = luminance[2] + luminance[53];
    if (twoTables)
        sample += (*tables[1])[0] + (*tables[1])[63];
    for (int quality = 1; quality <= 100; ++quality) {
        const Signature standard = StandardSignature(quality, twoTables);
        if (sample < standard.sample && sum < standard.sum)
            continue;  // finer than this quality: try the next
        if ((sample <= standard.sample && sum <= standard.sum) || quality > 50)
            return quality;
        return 0;
    }
    return 0;
}
