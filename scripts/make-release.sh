#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the release archive of the portable layout, <version>_Kerv_lnx.tar.gz, and signs it:
#
#   make-release.sh <secret-key.pem> [output folder]
#
# Builds in build-release/ (or $KERV_RELEASE_BUILD_DIR) without tests and with the public half
# of the key built into the updater, packs what the portable layout needs into its working
# folder (Kerv, Kerv_upd_<version>, kerv-cli, the help book kerv.htb, the catalogs and the
# translated help books under I18N/, COPYING) and signs it with scripts/sign-release.sh, which
# writes the signature files beside it. The output folder (default: the build folder) then holds
# what goes to <server>/kerv/. Prints the archive's path on the last line.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/version.sh"
[[ $# -ge 1 ]] || { echo "usage: make-release.sh <secret-key.pem> [output folder]" >&2; exit 2; }
key=$1
build=${KERV_RELEASE_BUILD_DIR:-$top/build-release}
out=${2:-$build}
public=$(bash "$top/scripts/sign-release.sh" pubkey "$key")

bash "$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKERV_LAYOUT=portable \
  -DKERV_BUILD_TESTS=OFF -DKERV_UPDATE_PUBLIC_KEY="$public" ${KERV_RELEASE_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=(Kerv "Kerv_upd_$kerv_version" kerv-cli kerv.htb)
for f in "${files[@]}"; do
  cp -p "$build/$f" "$stage/$f"
done
cp -rp "$build/I18N" "$stage/I18N"
cp -p "$top/COPYING" "$stage/COPYING"
strip "$stage/Kerv" "$stage/Kerv_upd_$kerv_version" "$stage/kerv-cli"

mkdir -p "$out"
archive=$out/${kerv_version}_Kerv_lnx.tar.gz
rm -f "$archive" "$archive".*
# Plain relative names, regular files and folders only, as the updater accepts them.
tar --create --gzip --file "$archive" --owner=0 --group=0 --numeric-owner --sort=name \
  -C "$stage" "${files[@]}" I18N COPYING
bash "$top/scripts/sign-release.sh" sign "$key" "$archive" >&2
echo "$archive"
