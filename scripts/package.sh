#!/usr/bin/env bash
# Packs the 32-bit shipping build for Windows users: dist/Corvane-0.1.0-win32.zip with
# Corvane.exe, kelvore.exe and a short README.txt, then prints the programs' sizes and the
# zip's SHA-256. The same commit gives the same zip wherever it is built: the entries come
# in a fixed order, carry the commit's time and fixed permissions, and have no extra fields.
set -euo pipefail
cd "$(dirname "$0")/.."
version=0.1.0
folder=Corvane-$version-win32
bin=build/win32/bin
staging=build/package/$folder
rm -rf build/package && mkdir -p "$staging" dist
cp "$bin/Corvane.exe" "$bin/kelvore.exe" "$staging/"
sed 's/$/\r/' packaging/README.txt >"$staging/README.txt"

# SOURCE_DATE_EPOCH when the caller sets it, else the commit's time (1980-01-01, the
# earliest time a zip can hold, outside a git checkout).
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
chmod 755 "$staging" "$staging/Corvane.exe" "$staging/kelvore.exe"
chmod 644 "$staging/README.txt"
touch -d "@$epoch" "$staging" "$staging"/*

archive=$PWD/dist/$folder.zip
rm -f "$archive"
# Zip stores local times: UTC makes them the same everywhere.
(cd build/package && TZ=UTC zip -q -X "$archive" "$folder/" "$folder/Corvane.exe" \
  "$folder/kelvore.exe" "$folder/README.txt")

echo "Packaged $archive"
for program in Corvane.exe kelvore.exe; do
  bytes=$(stat -c %s "$staging/$program")
  printf '  %-12s %7d bytes (%d KB)\n' "$program" "$bytes" $(((bytes + 1023) / 1024))
done
echo "  SHA-256      $(sha256sum "$archive" | cut -d' ' -f1)"
