#!/usr/bin/env bash
# Runs a Windows program of a build tree under Wine, with that tree's private prefix: the
# test emulator of the Windows builds. Where no Wine session is running for the tree (run
# by hand), it starts one and stops it again at the end, so that nothing is left running;
# a session that test.sh or with-wine.sh started stays for the next program.
#
# Usage: wine-run.sh [--win32] PROGRAM [ARGUMENTS...]
#   --win32  a 32-bit build: a 32-bit prefix and the 32-bit loader
set -euo pipefail
arch=win64
if [ "$1" = --win32 ]; then
  arch=win32
  shift
fi
program=$1
build=$(cd "$(dirname "$program")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
# shellcheck source=wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"
wine_session_env "$build" "$arch"
wine_session_running "$build" && exec "$WINELOADER" "$@"

wine_session_start "$build" "$arch"
status=0
"$WINELOADER" "$@" || status=$?
wine_session_stop "$build"
exit "$status"
