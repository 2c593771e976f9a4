#!/usr/bin/env bash
# Sets up the machine and runs every test: the portable code natively (AddressSanitizer and
# UBSan), the 32-bit shipping build and its inspection, the 64-bit Windows build under Wine,
# the rebuild tool's fuzzer, then packages the shipping build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

step() { printf '\n== %s\n' "$*"; }

step "Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "32-bit Windows build (shipping)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

step "64-bit Windows build and tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
# shellcheck source=wine-session.sh
source scripts/wine-session.sh
trap 'wine_session_stop "$root/build/win64"' EXIT
wine_session_start "$root/build/win64"
ctest --preset win64

step "Fuzzing the rebuild tool's image checks"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "Package"
bash scripts/package.sh
