#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Release signing for the updater: Kerv_upd installs an archive only when the detached Ed25519
# signature published beside it (<archive>.sig, 64 raw bytes) verifies against the public key
# built into it (the CMake cache variable KERV_UPDATE_PUBLIC_KEY). The signature covers the
# release manifest, not the bare archive:
#
#   kerv-update-v1\n<version>\n<archive name>\n<sha256 of the archive, lower-case hex>
#
# (no line feed at the end), with version and name taken from the archive's file name
# <version>_Kerv_lnx.tar.gz (or _Kerv_win.zip). So a signed archive cannot be renamed and
# offered as another version: the updater rebuilds the manifest from the version it was sent
# for and refuses what does not verify.
#
#   sign-release.sh keygen <secret-key.pem>        make a key pair; prints the public key
#   sign-release.sh pubkey <secret-key.pem>        print the public key (64 hex digits)
#   sign-release.sh sign <secret-key.pem> <archive> write <archive>.sig and verify it
#
# The test key pair under tests/updater/keys is public; archives signed with it are refused.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
test_key=$(tr -d ' \n' < "$top/tests/updater/keys/test_public_key.hex")

die() { echo "sign-release.sh: $*" >&2; exit 1; }

public_hex() {
  openssl pkey -in "$1" -pubout -outform DER 2>/dev/null | tail -c 32 | od -An -v -tx1 | tr -d ' \n'
}

[[ $# -ge 2 ]] || die "usage: sign-release.sh keygen|pubkey <secret-key.pem> | sign <secret-key.pem> <archive>"
command=$1
key=$2
case "$command" in
  keygen)
    [[ -e "$key" ]] && die "$key exists; not overwritten"
    (umask 077 && openssl genpkey -algorithm ed25519 -out "$key")
    echo "Secret key written to $key (keep it off the build machines)."
    echo "Configure release builds with: -DKERV_UPDATE_PUBLIC_KEY=$(public_hex "$key")"
    ;;
  pubkey)
    [[ -r "$key" ]] || die "cannot read $key"
    hex=$(public_hex "$key")
    [[ ${#hex} -eq 64 ]] || die "$key is not an Ed25519 secret key"
    echo "$hex"
    ;;
  sign)
    [[ $# -eq 3 ]] || die "usage: sign-release.sh sign <secret-key.pem> <archive>"
    archive=$3
    [[ -r "$key" ]] || die "cannot read $key"
    [[ -r "$archive" ]] || die "cannot read $archive"
    hex=$(public_hex "$key")
    [[ ${#hex} -eq 64 ]] || die "$key is not an Ed25519 secret key"
    [[ "$hex" != "$test_key" ]] || die "refusing to sign a release with the public test key"
    name=$(basename "$archive")
    [[ "$name" =~ ^([A-Za-z0-9._-]{1,32})_Kerv_(lnx\.tar\.gz|win\.zip)$ ]] ||
      die "$name is not named <version>_Kerv_lnx.tar.gz or <version>_Kerv_win.zip"
    version=${BASH_REMATCH[1]}
    digest=$(sha256sum "$archive" | cut -d' ' -f1)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    printf 'kerv-update-v1\n%s\n%s\n%s' "$version" "$name" "$digest" > "$work/manifest"
    openssl pkeyutl -sign -rawin -inkey "$key" -in "$work/manifest" -out "$archive.sig"
    [[ $(stat -c %s "$archive.sig") -eq 64 ]] || die "unexpected signature size"
    openssl pkey -in "$key" -pubout -out "$work/public.pem"
    if ! openssl pkeyutl -verify -rawin -pubin -inkey "$work/public.pem" -in "$work/manifest" \
         -sigfile "$archive.sig" >/dev/null; then
      rm -f "$archive.sig"
      die "the new signature does not verify"
    fi
    echo "Wrote $archive.sig for version $version; publish it beside $name (public key $hex)."
    ;;
  *)
    die "unknown command $command"
    ;;
esac
