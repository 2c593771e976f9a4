# Shared by the scripts that run Windows programs under Wine: a private Wine prefix inside
# a build tree, one wineserver kept alive for it, and a virtual X display when none is set.
# Source it, then call wine_session_start BUILD_DIR [win64|win32] (and wine_session_stop
# BUILD_DIR at the end, which stops only what wine_session_start started). Programs then run
# with "$WINELOADER" PROGRAM.

# Loaders are called by path: where a 32-bit Wine is installed, the plain `wine` command
# picks the 32-bit loader for everything, 64-bit programs included. The 64-bit server
# serves 32-bit prefixes as well.
WINE64_LOADER=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64

wine64_version() { dpkg-query -W -f='${Version}' libwine:amd64; }

# Where setup-wine32.sh unpacks the 32-bit Wine of the installed 64-bit Wine's version.
wine32_private_root() {
  echo "${XDG_CACHE_HOME:-$HOME/.cache}/corvane/wine32-$(wine64_version)"
}

# The 32-bit loader: the system's own where a 32-bit Wine is installed, else the private one.
wine32_loader() {
  if [ -x /usr/lib/wine/wine ]; then
    echo /usr/lib/wine/wine
  else
    echo "$(wine32_private_root)/usr/lib/wine/wine"
  fi
}

wine_session_env() {
  local build=$1 arch=${2:-win64}
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  export WINEARCH=$arch
  # Wine starts new processes and its server with these.
  export WINESERVER=$WINESERVER64 WINELOADER=$WINE64_LOADER
  [ "$arch" = win32 ] && WINELOADER=$(wine32_loader)
  if [ -z "${DISPLAY:-}" ] && [ -f "$build/xvfb.display" ]; then
    export DISPLAY
    DISPLAY=$(cat "$build/xvfb.display")
  fi
}

# Starts Xvfb on a free display number; writes the display and the pid beside the prefix.
wine_session_start_xvfb() {
  local build=$1 number
  for number in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    # fd 9 is the session lock: the server must not keep holding it.
    setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -dpi 96 \
      >"$build/xvfb.log" 2>&1 </dev/null 9>&- &
    echo $! >"$build/xvfb.pid"
    local tries
    for tries in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      sleep 0.1
    done
    echo ":$number" >"$build/xvfb.display"
    export DISPLAY=":$number"
    return 0
  done
  echo "wine-session: no free X display number" >&2
  return 1
}

# The folders of the prefix's wineserver: named after the prefix's device and inode, under
# /tmp/.wine-UID or (Debian's build) /tmp/wine-XXXXXX. They hold its socket while it runs.
wine_server_folders() {
  [ -d "$WINEPREFIX" ] || return 0
  local server
  server=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  ls -d /tmp/.wine-"$(id -u)"/"$server" /tmp/wine-*/"$server" 2>/dev/null || true
}

wine_server_running() {
  local folder
  for folder in $(wine_server_folders); do
    [ -S "$folder/socket" ] && return 0
  done
  return 1
}

wine_session_running() {
  [ -f "$WINEPREFIX/.corvane-ready" ] && wine_server_running && [ -n "${DISPLAY:-}" ] &&
    { [ ! -f "$1/xvfb.pid" ] || kill -0 "$(cat "$1/xvfb.pid")" 2>/dev/null; }
}

wine_session_start() {
  local build=$1 arch=${2:-win64}
  mkdir -p "$build"
  (
    flock 9
    wine_session_env "$build" "$arch"
    wine_session_running "$build" && exit 0
    if [ -z "${DISPLAY:-}" ] || { [ -f "$build/xvfb.pid" ] && ! kill -0 "$(cat "$build/xvfb.pid")" 2>/dev/null; }; then
      unset DISPLAY
      wine_session_start_xvfb "$build"
    fi
    # The server and the services that wineboot starts keep running in the background;
    # their output goes to a file so that they hold no pipe of whoever called us.
    mkdir -p "$WINEPREFIX"
    # A second server for the same prefix would wait for the first one to end.
    wine_server_running || setsid "$WINESERVER" -p >>"$build/wine.log" 2>&1 </dev/null 9>&-
    if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
      "$WINELOADER" wineboot -i >>"$build/wine.log" 2>&1 </dev/null 9>&-
      touch "$WINEPREFIX/.corvane-ready"
    else
      "$WINELOADER" wineboot >>"$build/wine.log" 2>&1 </dev/null 9>&-
    fi
  ) 9>"$build/wine-session.lock"
  wine_session_env "$build" "$arch"
}

wine_session_stop() {
  local build=$1 folder
  wine_session_env "$build"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  # The server leaves its folder behind; once it has gone, nothing needs it.
  for folder in $(wine_server_folders); do
    [ -S "$folder/socket" ] && continue
    rm -rf "$folder"
    rmdir "$(dirname "$folder")" 2>/dev/null || true
  done
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid" "$build/xvfb.display"
    unset DISPLAY
  fi
}

# For a virtual display, which has no window manager: windows draw their own frames, with
# the caption buttons' glyphs from Wine's Marlett font. Call after wine_session_start.
wine_session_draw_own_frames() {
  "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  local marlett
  for marlett in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
    if [ -f "$marlett" ]; then
      cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
      break
    fi
  done
}
