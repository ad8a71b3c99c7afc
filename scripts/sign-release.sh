#!/usr/bin/env bash
# Release signing for the updater: Kerv_upd installs an archive only when the detached Ed25519
# signature published beside it (<archive>.sig, 64 raw bytes) verifies against the public key
# built into it (the CMake cache variable KERV_UPDATE_PUBLIC_KEY).
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
    openssl pkeyutl -sign -rawin -inkey "$key" -in "$archive" -out "$archive.sig"
    [[ $(stat -c %s "$archive.sig") -eq 64 ]] || die "unexpected signature size"
    openssl pkey -in "$key" -pubout -out "$archive.pub.tmp"
    if ! openssl pkeyutl -verify -rawin -pubin -inkey "$archive.pub.tmp" -in "$archive" \
         -sigfile "$archive.sig" >/dev/null; then
      rm -f "$archive.pub.tmp" "$archive.sig"
      die "the new signature does not verify"
    fi
    rm -f "$archive.pub.tmp"
    echo "Wrote $archive.sig; publish it beside $(basename "$archive") (public key $hex)."
    ;;
  *)
    die "unknown command $command"
    ;;
esac
