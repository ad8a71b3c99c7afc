// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_archive.h"

#include <sodium.h>

#include <random>

#include <wx/mstream.h>
#include <wx/zstream.h>

#include <sys/stat.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

void Octal(char* field, std::size_t length, std::uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(length - 1),
                  static_cast<unsigned long long>(value));
    std::memcpy(field, text, length - 1);  // the last byte stays NUL
}

std::string Header(const std::string& name, char type, unsigned mode, std::uint64_t size,
                   const std::string& linkTarget)
{
    char header[512];
    std::memset(header, 0, sizeof header);
    std::memcpy(header, name.data(), std::min<std::size_t>(name.size(), 100));
    Octal(header + 100, 8, mode);
    Octal(header + 108, 8, 0);
    Octal(header + 116, 8, 0);
    Octal(header + 124, 12, size);
    Octal(header + 136, 12, 0);
    header[156] = type;
    std::memcpy(header + 157, linkTarget.data(), std::min<std::size_t>(linkTarget.size(), 100));
    std::memcpy(header + 257, "ustar", 6);
    std::memcpy(header + 263, "00", 2);
    std::memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : header)
        sum += c;
    std::snprintf(header + 148, 8, "%06o", sum);
    return std::string(header, sizeof header);
}

std::string Padding(std::uint64_t size)
{
    return std::string(static_cast<std::size_t>((512 - size % 512) % 512), '\0');
}

}  // namespace

std::string TestSeed()
{
    std::ifstream in(KERV_TEST_KEY_DIR "/test_seed.hex");
    std::string hex;
    in >> hex;
    return hex;
}

TarBuilder& TarBuilder::Entry(const std::string& name, char type, unsigned mode,
                              const std::string& data, const std::string& linkTarget)
{
    strData += Header(name, type, mode, data.size(), linkTarget) + data + Padding(data.size());
    return *this;
}

TarBuilder& TarBuilder::ZeroFile(const std::string& name, std::uint64_t size)
{
    strData += Header(name, '0', 0644, size, std::string());
    nZeroTail = size;
    return *this;
}

TarBuilder& TarBuilder::Pax(char type, const std::string& key, const std::string& value)
{
    // One record "<length> <key>=<value>\n", the length counting itself.
    const std::string body = " " + key + "=" + value + "\n";
    std::size_t length = body.size() + 1;
    while (std::to_string(length).size() + body.size() != length)
        ++length;
    return Entry("PaxHeader", type, 0644, std::to_string(length) + body);
}

std::string TarBuilder::Tar() const
{
    return strData + std::string(static_cast<std::size_t>(nZeroTail), '\0') + Padding(nZeroTail) +
           std::string(1024, '\0');
}

std::string GzipBytes(const std::string& data, std::uint64_t zeros)
{
    wxMemoryOutputStream memory;
    {
        wxZlibOutputStream zip(memory, 9, wxZLIB_GZIP);
        zip.Write(data.data(), data.size());
        const std::vector<char> block(1 << 20, '\0');
        for (std::uint64_t left = zeros; left > 0;) {
            const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
            zip.Write(block.data(), step);
            left -= step;
        }
        zip.Close();
    }
    std::string out(memory.GetSize(), '\0');
    memory.CopyTo(&out[0], out.size());
    return out;
}

std::string TarBuilder::Gzip() const
{
    return GzipBytes(strData, nZeroTail + Padding(nZeroTail).size() + 1024);
}

std::string Noise(std::size_t size)
{
    std::mt19937 generator(12345);
    std::string data(size, '\0');
    for (char& c : data)
        c = static_cast<char>(generator());
    return data;
}

std::string SignRelease(const std::string& archive, const std::string& version,
                        const std::string& name)
{
    if (sodium_init() < 0)
        throw std::runtime_error("sodium");
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(archive.data()),
                       archive.size());
    char hex[2 * sizeof digest + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    const std::string file = name.empty() ? version + "_Kerv_lnx.tar.gz" : name;
    const std::string manifest = "kerv-update-v1\n" + version + "\n" + file + "\n" + hex;

    const std::string seedHex = TestSeed();
    unsigned char seed[crypto_sign_SEEDBYTES];
    if (seedHex.size() != 2 * sizeof seed)
        throw std::runtime_error("test seed");
    for (std::size_t i = 0; i < sizeof seed; ++i)
        seed[i] = static_cast<unsigned char>(std::stoi(seedHex.substr(2 * i, 2), nullptr, 16));
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_seed_keypair(publicKey, secretKey, seed);
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr,
                         reinterpret_cast<const unsigned char*>(manifest.data()), manifest.size(),
                         secretKey);
    return std::string(reinterpret_cast<char*>(signature), sizeof signature);
}

InstallFolder::InstallFolder()
{
    mkdir(work.c_str(), 0755);
    WriteFile(root / "canary", "untouched");
    WriteFile(work + "/Kerv", "old program");
}

int InstallFolder::UpdaterFiles() const
{
    int count = 0;
    for (const std::string& name : FolderEntries(work))
        count += name.rfind(".kerv-", 0) == 0 ? 1 : 0;
    return count;
}
