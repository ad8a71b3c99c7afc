// Ed25519 signatures of update archives (detached, 64 raw bytes, over the whole file).
#ifndef KERV_SIGNATURE_H
#define KERV_SIGNATURE_H

#include <wx/string.h>

#include <array>
#include <string>

using PublicKey = std::array<unsigned char, 32>;

// Reads 64 hexadecimal digits (either case, nothing else) into a key.
bool ParsePublicKeyHex(const std::string& hex, PublicKey& key);

// The release key compiled into this program; false when the build has none, in which case
// every update is refused.
bool GetBuiltInPublicKey(PublicKey& key);

enum class SignatureCheck {
    Valid,
    Malformed,  // not exactly 64 bytes
    Mismatch,   // does not verify against the key
    Unreadable  // the archive file could not be read completely
};

// Verifies `signature` over the bytes of the file at `path`. maxFileSize bounds what is read.
SignatureCheck VerifyFileSignature(const wxString& path, const std::string& signature,
                                   const PublicKey& key, unsigned long long maxFileSize);

#endif
