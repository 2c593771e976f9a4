#!/usr/bin/env bash
# Sets up the machine and runs every test: the portable code natively (AddressSanitizer and
# UBSan), the rebuild tool's tests that use threads under ThreadSanitizer, the 32-bit
# shipping build, the 64-bit Windows build under Wine (which also reads the shipping build's
# files), the shipping build's own tests under a 32-bit Wine, the rebuild tool's fuzzer, then
# packages the shipping build. Prints the time of each stage.
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

# What a run killed before its end leaves in a Windows test prefix's temporary folder: one
# folder of each name that the tests make and the leftovers check looks for, with a file and
# a read-only one in it. Each suite first removes them (wine-session.sh), and its last test
# then finds none: the check judges only the run it belongs to.
plant_earlier_run_folders() {
  local temps=("$1"/wineprefix/drive_c/users/*/Temp) temp folder
  if [ ! -d "${temps[0]}" ]; then
    echo "test: the prefix in $1 has no Temp folder to plant in" >&2
    return 1
  fi
  for temp in "${temps[@]}"; do
    echo "test: planting in $temp what an interrupted run leaves, for the suite to remove"
    for folder in "corvane-e2e-0-0" "corvane 0" "corvane-dialogs-0" "kelvore-test-0-0"; do
      mkdir -p "$temp/$folder/sub"
      echo "left by an interrupted run" >"$temp/$folder/sub/image.gcm"
      touch "$temp/$folder/read-only.gcm"
      chmod a-w "$temp/$folder/read-only.gcm"
    done
  done
}

# What an earlier run killed outright (SIGKILL: its trap did not run) left running: its Wine
# sessions and their virtual displays.
wine_sessions_stop_orphaned "$root/build"

step "Setup"
bash scripts/setup.sh

step "Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "Threaded tests with ThreadSanitizer"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan
ctest --preset native-tsan

step "32-bit Windows build (shipping programs and their tests)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

step "64-bit Windows build and tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
wine_session_start "$root/build/win64" win64
plant_earlier_run_folders "$root/build/win64"
wine_session_remove_earlier_test_folders "$root/build/win64"
ctest --preset win64
wine_session_stop "$root/build/win64"

step "32-bit Windows tests (the shipped programs) under 32-bit Wine"
wine_session_start "$root/build/win32" win32
plant_earlier_run_folders "$root/build/win32"
wine_session_remove_earlier_test_folders "$root/build/win32"
ctest --preset win32
wine_session_stop "$root/build/win32"

step "Fuzzing the rebuild tool's image checks"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "Package"
bash scripts/package.sh
