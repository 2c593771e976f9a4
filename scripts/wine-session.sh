# Shared by the scripts that run Windows programs under Wine: a private Wine prefix inside
# a build tree, one wineserver kept alive for it, and a virtual X display when none is set.
# Source it, then call wine_session_start BUILD_DIR (and wine_session_stop BUILD_DIR at the
# end, which stops only what wine_session_start started).

wine_session_env() {
  local build=$1
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  export WINEARCH=win64
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
    setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -dpi 96 \
      >"$build/xvfb.log" 2>&1 </dev/null &
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

# The socket of the wineserver that serves this prefix, present while it runs.
wine_server_socket() {
  printf '/tmp/.wine-%d/server-%x-%x/socket' "$(id -u)" \
    "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")"
}

wine_session_running() {
  [ -f "$WINEPREFIX/.corvane-ready" ] && [ -S "$(wine_server_socket)" ] && [ -n "${DISPLAY:-}" ] &&
    { [ ! -f "$1/xvfb.pid" ] || kill -0 "$(cat "$1/xvfb.pid")" 2>/dev/null; }
}

wine_session_start() {
  local build=$1
  mkdir -p "$build"
  (
    flock 9
    wine_session_env "$build"
    wine_session_running "$build" && exit 0
    if [ -z "${DISPLAY:-}" ] || { [ -f "$build/xvfb.pid" ] && ! kill -0 "$(cat "$build/xvfb.pid")" 2>/dev/null; }; then
      unset DISPLAY
      wine_session_start_xvfb "$build"
    fi
    # The server and the services that wineboot starts keep running in the background;
    # their output goes to a file so that they hold no pipe of whoever called us.
    setsid wineserver -p >>"$build/wine.log" 2>&1 </dev/null
    if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
      wine wineboot -i >>"$build/wine.log" 2>&1 </dev/null
      touch "$WINEPREFIX/.corvane-ready"
    else
      wine wineboot >>"$build/wine.log" 2>&1 </dev/null
    fi
  ) 9>"$build/wine-session.lock"
  wine_session_env "$build"
}

wine_session_stop() {
  local build=$1
  wine_session_env "$build"
  wineserver -k >/dev/null 2>&1 || true
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid" "$build/xvfb.display"
  fi
}
