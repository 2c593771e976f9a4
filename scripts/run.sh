#!/usr/bin/env bash
# Sets up the machine, builds Corvane and starts it under Wine (the 64-bit build: where the
# kernel cannot run 32-bit programs, the 32-bit one runs only emulated, slowly). Without a
# display, a virtual one is started, a screenshot of the program's window is written, and
# the program is closed again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Corvane kelvore

# shellcheck source=wine-session.sh
source scripts/wine-session.sh
if [ -n "${DISPLAY:-}" ]; then
  wine_session_start "$root/build/win64"
  "$WINELOADER" build/win64/bin/Corvane.exe
  exit 0
fi

# No display: a session of its own on a virtual one.
session=$root/build/win64/run-session
wine_session_start "$session"
trap 'wine_session_stop "$session"' EXIT
wine_session_draw_own_frames
"$WINELOADER" build/win64/bin/Corvane.exe >/dev/null 2>&1 &
title='Corvane - [0.1.0]'
for _ in $(seq 300); do
  xwininfo -name "$title" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
mkdir -p build/screenshots
shot=$root/build/screenshots/corvane.png
# The program's window only, frame included, as in docs/.
geometry=$(xwininfo -name "$title" | awk '/Absolute upper-left X/ {x = $NF}
  /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF}
  END {print w "x" h "+" x "+" y}')
import -window root -crop "$geometry" +repage "$shot"
echo "Corvane ran on the virtual display $DISPLAY; screenshot: $shot"
