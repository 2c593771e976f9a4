#!/usr/bin/env bash
# Packs the 32-bit shipping build for Windows users: dist/Corvane-0.1.0-win32.zip with
# Corvane.exe, kelvore.exe and a short README.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
version=0.1.0
bin=build/win32/bin
staging=build/package/Corvane-$version-win32
rm -rf build/package && mkdir -p "$staging" dist
cp "$bin/Corvane.exe" "$bin/kelvore.exe" "$staging/"
sed 's/$/\r/' packaging/README.txt >"$staging/README.txt"
archive=$PWD/dist/Corvane-$version-win32.zip
rm -f "$archive"
(cd build/package && zip -qr "$archive" "Corvane-$version-win32")
echo "Packaged $archive"
