#!/usr/bin/env bash
# Installs what building, testing and running Corvane need on Debian 12: compilers for
# Linux and for 32- and 64-bit Windows, GoogleTest, clang for fuzzing, 64-bit Wine, a
# virtual X display, ImageMagick, Python (it draws the program's icon) and the locales the
# code-page tests run under. Packages and locales already present are not made again.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth imagemagick x11-utils zip
  python3 locales
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done

# Wine takes a program's ANSI code page from its Unix locale, which must exist: Japanese
# gives a double-byte code page (932), Hindi the UTF-8 one (65001).
missing_locales=()
for locale in ja_JP hi_IN; do
  locale -a 2>/dev/null | grep -x "$locale.utf8" >/dev/null || missing_locales+=("$locale")
done

sudo=()
if [ "$(id -u)" -ne 0 ] && [ $((${#missing[@]} + ${#missing_locales[@]})) -gt 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup: missing packages: ${missing[*]:-none}; missing locales: ${missing_locales[*]:-none}" >&2
    echo "setup: adding them needs root, and sudo is not here. Run this script once as root" >&2
    echo "setup: (su -c 'bash scripts/setup.sh'), then again as yourself." >&2
    exit 1
  fi
  sudo=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "${missing[@]}" </dev/null
fi

for locale in "${missing_locales[@]}"; do
  echo "Generating the locale $locale.UTF-8"
  "${sudo[@]}" localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done
