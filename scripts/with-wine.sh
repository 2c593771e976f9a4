#!/usr/bin/env bash
# Runs a command inside one Wine session of a build tree (its private prefix, one
# wineserver, a virtual display when none is set) and stops the session at the end, e.g.
#
#   scripts/with-wine.sh build/win64 ctest --preset win64
#   scripts/with-wine.sh --win32 build/win32 ctest --preset win32
#
# Programs that the command runs through wine-run.sh (the test emulator) share the session.
# A session started here first removes what an interrupted earlier run of the tests left in
# the prefix's temporary folder, which the tests' leftovers check would otherwise report.
set -euo pipefail
arch=win64
if [ "$1" = --win32 ]; then
  arch=win32
  shift
fi
build=$(cd "$1" && pwd)
shift
# shellcheck source=wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"
wine_session_start "$build" "$arch"
trap 'wine_session_stop "$build"' EXIT
wine_session_remove_earlier_test_folders "$build"
"$@"
