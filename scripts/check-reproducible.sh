#!/usr/bin/env bash
# Checks that the shipping zip is reproducible: builds it from two fresh clones of the
# current commit, in folders of different names and depths, and compares the two zips byte
# for byte. Uncommitted changes are not part of the check. Takes a few minutes; the test
# run does not include it. Removes its temporary folders when it ends, however it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
repository=$PWD
commit=$(git rev-parse HEAD)
zip_name=Corvane-0.1.0-win32.zip

bash scripts/setup.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Clones the commit into FOLDER, builds the two programs and packs the zip there.
build_zip() {
  local folder=$1
  echo "== Building $commit in $folder"
  git clone -q --no-checkout "$repository" "$folder"
  git -C "$folder" checkout -q --detach "$commit"
  if ! (cd "$folder" && cmake --preset win32 && cmake --build --preset win32 --target Corvane kelvore &&
    bash scripts/package.sh) >"$folder.log" 2>&1; then
    tail -n 30 "$folder.log"
    echo "Build in $folder failed" >&2
    return 1
  fi
  sed -n '/^Packaged/,$p' "$folder.log"
}

if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "Note: the working tree has uncommitted changes; the check builds the commit only."
fi
first=$work/a
second=$work/second-clone/in/a/deeper/folder
mkdir -p "$(dirname "$second")"
build_zip "$first"
build_zip "$second"

first_sum=$(sha256sum "$first/dist/$zip_name" | cut -d' ' -f1)
second_sum=$(sha256sum "$second/dist/$zip_name" | cut -d' ' -f1)
echo "== Result"
echo "  first clone   $first_sum"
echo "  second clone  $second_sum"
if [ "$first_sum" = "$second_sum" ]; then
  echo "Reproducible: both zips are byte-identical."
  exit 0
fi
for file in Corvane.exe kelvore.exe; do
  cmp -s "$first/build/win32/bin/$file" "$second/build/win32/bin/$file" ||
    echo "  $file differs: $(cmp "$first/build/win32/bin/$file" "$second/build/win32/bin/$file" | head -1)"
done
echo "Not reproducible: the zips differ." >&2
exit 1
