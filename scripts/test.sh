#!/usr/bin/env bash
# Sets up the machine and runs every test: the portable code natively (AddressSanitizer and
# UBSan), the 32-bit shipping build, the 64-bit Windows build under Wine (which also reads
# the shipping build's files), the shipping build's own tests under a 32-bit Wine, the
# rebuild tool's fuzzer, then packages the shipping build. Prints the time of each stage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# shellcheck source=wine-session.sh
source scripts/wine-session.sh

stages=()
stage=""
stage_start=$SECONDS
# One line of the closing table: what ran and its minutes:seconds.
time_line() { printf '%-64s %3d:%02d\n' "$1" $(($2 / 60)) $(($2 % 60)); }
end_stage() {
  [ -n "$stage" ] && stages+=("$(time_line "$stage" $((SECONDS - stage_start)))")
  stage=""
}
step() {
  end_stage
  stage=$*
  stage_start=$SECONDS
  printf '\n== %s\n' "$stage"
}
finish() {
  local status=$? line
  end_stage
  wine_session_stop "$root/build/win64"
  wine_session_stop "$root/build/win32"
  printf '\n== Stage times (minutes:seconds)\n'
  for line in "${stages[@]}"; do printf '%s\n' "$line"; done
  time_line "all" "$SECONDS"
  exit "$status"
}
trap finish EXIT

step "Setup"
bash scripts/setup.sh

step "Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "32-bit Windows build (shipping programs and their tests)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

step "64-bit Windows build and tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
wine_session_start "$root/build/win64" win64
ctest --preset win64
wine_session_stop "$root/build/win64"

step "32-bit Windows tests (the shipped programs) under 32-bit Wine"
wine_session_start "$root/build/win32" win32
ctest --preset win32
wine_session_stop "$root/build/win32"

step "Fuzzing the rebuild tool's image checks"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "Package"
bash scripts/package.sh
