// SPDX-License-Identifier: GPL-3.0-or-later
// Ed25519 release signatures (detached, 64 raw bytes). A signature covers the release manifest
// (see ReleaseManifest): the version, the archive's name and the SHA-256 of its bytes.
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

// The SHA-256 of the file at path in lower-case hexadecimal; false when it cannot be read
// completely or is longer than maxFileSize.
bool FileSha256(const wxString& path, unsigned long long maxFileSize, std::string& hex);

// Verifies that `signature` signs the manifest of version, archiveName and the bytes of the
// file at path. maxFileSize bounds what is read.
SignatureCheck VerifyRelease(const wxString& path, const wxString& version,
                             const wxString& archiveName, const std::string& signature,
                             const PublicKey& key, unsigned long long maxFileSize);

#endif
