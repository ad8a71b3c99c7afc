#include "signature.h"

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

SignatureCheck VerifyFileSignature(const wxString& path, const std::string& signature,
                                   const PublicKey& key, unsigned long long maxFileSize)
{
    if (signature.size() != crypto_sign_BYTES)
        return SignatureCheck::Malformed;
    if (sodium_init() < 0)
        return SignatureCheck::Mismatch;

    wxFFile file(path, "rb");
    if (!file.IsOpened())
        return SignatureCheck::Unreadable;
    wxFileOffset length = file.Length();
    if (length < 0 || static_cast<unsigned long long>(length) > maxFileSize)
        return SignatureCheck::Unreadable;
    std::vector<unsigned char> data(static_cast<std::size_t>(length));
    if (length > 0 && file.Read(data.data(), data.size()) != data.size())
        return SignatureCheck::Unreadable;

    int verified =
        crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                    data.data(), data.size(), key.data());
    return verified == 0 ? SignatureCheck::Valid : SignatureCheck::Mismatch;
}
