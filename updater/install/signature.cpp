// SPDX-License-Identifier: GPL-3.0-or-later
#include "signature.h"

#include "release.h"

#include <sodium.h>

#include <wx/ffile.h>

#include <vector>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ParsePublicKeyHex(const std::string& hex, PublicKey& key)
{
    if (hex.size() != key.size() * 2)
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        int high = HexValue(hex[2 * i]);
        int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        key[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return true;
}

bool GetBuiltInPublicKey(PublicKey& key)
{
    return ParsePublicKeyHex(KERV_UPDATE_PUBLIC_KEY, key);
}

bool FileSha256(const wxString& path, unsigned long long maxFileSize, std::string& hex)
{
    if (sodium_init() < 0)
        return false;
    wxFFile file(path, "rb");
    if (!file.IsOpened())
        return false;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::vector<unsigned char> buffer(64 * 1024);
    unsigned long long total = 0;
    for (;;) {
        const size_t got = file.Read(buffer.data(), buffer.size());
        if (got == 0)
            break;
        total += got;
        if (total > maxFileSize)
            return false;
        crypto_hash_sha256_update(&state, buffer.data(), got);
    }
    if (file.Error())
        return false;
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    char text[2 * sizeof digest + 1];
    sodium_bin2hex(text, sizeof text, digest, sizeof digest);
    hex = text;
    return true;
}

SignatureCheck VerifyRelease(const wxString& path, const wxString& version,
                             const wxString& archiveName, const std::string& signature,
                             const PublicKey& key, unsigned long long maxFileSize)
{
    if (signature.size() != crypto_sign_BYTES)
        return SignatureCheck::Malformed;
    std::string digest;
    if (!FileSha256(path, maxFileSize, digest))
        return SignatureCheck::Unreadable;
    const std::string manifest = ReleaseManifest(version, archiveName, digest);
    int verified = crypto_sign_verify_detached(
        reinterpret_cast<const unsigned char*>(signature.data()),
        reinterpret_cast<const unsigned char*>(manifest.data()), manifest.size(), key.data());
    return verified == 0 ? SignatureCheck::Valid : SignatureCheck::Mismatch;
}
