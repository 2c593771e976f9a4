#!/usr/bin/env bash
# Installs what building, testing and running Corvane need on Debian 12: compilers for
# Linux and for 32- and 64-bit Windows, GoogleTest, clang for fuzzing, 64-bit Wine, a
# virtual X display and ImageMagick; then the 32-bit Wine for the shipping build's tests
# (setup-wine32.sh). Packages already present are not fetched again.
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth imagemagick x11-utils zip
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    -o DPkg::Lock::Timeout=600 "${missing[@]}" </dev/null
fi

bash "$scripts/setup-wine32.sh"
