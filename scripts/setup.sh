#!/usr/bin/env bash
# Installs what building, testing and running Corvane need on Debian 12: compilers for
# Linux and for 32- and 64-bit Windows, GoogleTest, OpenSSL and zlib (the rebuild tool's
# checksums; zlib for Windows too, linked into the programs), libxml2 (its dump-list reader;
# Windows has XmlLite), clang for fuzzing, 64-bit Wine, a virtual X display, ImageMagick,
# Python (it draws the program's icon), time(1) (a test measures the rebuild tool's memory
# with it) and the locales the code-page tests run under; then the 32-bit Wine for the
# shipping build's tests (setup-wine32.sh). What is already present is not made again.
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=as-root.sh
source "$scripts/as-root.sh"

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  libssl-dev zlib1g-dev libz-mingw-w64-dev libxml2-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth imagemagick x11-utils zip
  python3 locales time
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    -o DPkg::Lock::Timeout=600 "${missing[@]}" </dev/null
fi

# Wine takes a program's ANSI code page from its Unix locale, which must exist: Japanese
# gives a double-byte code page (932), Hindi the UTF-8 one (65001).
for locale in ja_JP hi_IN; do
  locale -a 2>/dev/null | grep -x "$locale.utf8" >/dev/null && continue
  echo "Generating the locale $locale.UTF-8"
  as_root localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done

bash "$scripts/setup-wine32.sh"
