#!/usr/bin/env bash
# Runs a Windows program of a build tree under Wine, with that tree's private prefix:
# the test emulator of the win64 build. Starts the Wine session if it is not running.
set -euo pipefail
program=$1
build=$(cd "$(dirname "$program")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
# shellcheck source=wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"
wine_session_start "$build"
exec wine "$@"
