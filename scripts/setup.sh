#!/usr/bin/env bash
# Installs what building, testing and running Corvane need on Debian 12: compilers for
# Linux and for 32- and 64-bit Windows, GoogleTest, clang for fuzzing, 64-bit Wine, a
# virtual X display and ImageMagick, and Python (it draws the program's icon). Packages
# already present are not fetched again.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth imagemagick x11-utils zip
  python3
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup: these packages are missing: ${missing[*]}" >&2
    echo "setup: installing them needs root, and sudo is not here. As root, run:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    echo "or run this script as root once." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
  "${missing[@]}" </dev/null
