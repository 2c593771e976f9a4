#!/usr/bin/env bash
# Takes the screenshots of Corvane's main window (after the typical run: a wiped image
# opened) and of its About window, on a virtual X display of their own.
#
# Usage: scripts/screenshots.sh BUILD_DIR [OUTPUT_DIR]
#   BUILD_DIR   a win64 build tree with window_poser built (cmake --build B --target window_poser)
#   OUTPUT_DIR  where main-window.png and about-window.png go (default: docs/)
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$1" && pwd)
output=${2:-$scripts/../docs}
mkdir -p "$output"
output=$(cd "$output" && pwd)

# A Wine session of its own: a prefix whose windows draw their own frames (there is no
# window manager on the virtual display), and a display whose only windows are ours.
session="$build/screenshot-session"
mkdir -p "$session/wineprefix"
unset DISPLAY
# shellcheck source=wine-session.sh
source "$scripts/wine-session.sh"
wine_session_start "$session"
trap 'wine_session_stop "$session"' EXIT
wine_session_draw_own_frames

shoot() {
  local window=$1 release="$session/release-$1" pose="$session/pose-$1.txt" poser tries
  rm -f "$release" "$pose"
  "$WINELOADER" "$build/test-bin/window_poser.exe" "$window" "Z:$release" >"$pose" 2>"$session/pose-$window.log" &
  poser=$!
  for tries in $(seq 600); do
    [ -s "$pose" ] && break
    kill -0 "$poser" 2>/dev/null || break
    sleep 0.2
  done
  if [ ! -s "$pose" ]; then
    echo "screenshots: the $window window was not posed" >&2
    touch "$release"
    wait "$poser" || true
    return 1
  fi
  local x y width height
  read -r x y width height <"$pose"
  import -display "$DISPLAY" -window root -crop "${width}x${height}+${x}+${y}" +repage \
    "$output/$window-window.png"
  touch "$release"
  wait "$poser"
  echo "screenshots: $output/$window-window.png (${width}x${height})"
}

shoot main
shoot about
