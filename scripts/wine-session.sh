# Shared by the scripts that run Windows programs under Wine: a private Wine prefix inside
# a build tree, one wineserver kept alive for it, and a virtual X display when none is set.
# Source it, then call wine_session_start BUILD_DIR [win64|win32] (and wine_session_stop
# BUILD_DIR at the end, which stops only what wine_session_start started). Programs then run
# with "$WINELOADER" PROGRAM.
#
# A session records beside the prefix who started it (wine-session.owner) and the ids of
# what it runs in the background (wineserver.pid, xvfb.pid): a run killed outright (SIGKILL,
# no trap runs) leaves them running, and the next start stops them by those ids, once they
# are checked to be still this session's. Sessions of other build folders are never touched.

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

# The id of the prefix's running wineserver, if any: the process that holds the lock on its
# folder's lock file (/proc/locks names the file by device and inode). The socket file, left
# behind by a server that was killed, does not tell.
wine_server_pid() {
  local folder device inode file
  for folder in $(wine_server_folders); do
    read -r device inode < <(stat -c '%d %i' "$folder/lock" 2>/dev/null) || continue
    file=$(printf '%02x:%02x:%s' $(((device >> 8) & 0xfff)) \
      $(((device & 0xff) | ((device >> 12) & 0xfff00))) "$inode")
    awk -v file="$file" '$2 != "->" && $6 == file { print $5 }' /proc/locks
  done
}

wine_server_running() { [ -n "$(wine_server_pid)" ]; }

# "PID START": a process's id and the time it started after boot, which together name it
# even once the id has been given to another process.
process_identity() {
  local stat fields
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  # The start time is field 22, counted after the name in parentheses, which may hold blanks.
  read -ra fields <<<"${stat##*) }"
  echo "$1 ${fields[19]}"
}

# The recorded Xvfb's id, if that process is still the Xvfb of the recorded display: after a
# reboot the id may belong to anyone.
wine_session_xvfb_pid() {
  local build=$1 pid arguments=()
  pid=$(cat "$build/xvfb.pid" 2>/dev/null) || return 0
  mapfile -d '' -t arguments 2>/dev/null <"/proc/$pid/cmdline" || return 0
  if [ "${arguments[0]:-}" = Xvfb ] && [ "${arguments[1]:-}" = "$(cat "$build/xvfb.display" 2>/dev/null)" ]; then
    echo "$pid"
  fi
}

wine_session_running() {
  [ -f "$WINEPREFIX/.corvane-ready" ] && wine_server_running && [ -n "${DISPLAY:-}" ] &&
    { [ ! -f "$1/xvfb.pid" ] || [ -n "$(wine_session_xvfb_pid "$1")" ]; }
}

# A session whose starter has ended without stopping it: it was killed, or it leaves its
# session running on purpose (scripts/run.sh on a real display).
wine_session_orphaned() {
  local owner
  owner=$(cat "$1/wine-session.owner" 2>/dev/null) || return 1
  [ "$(process_identity "${owner%% *}" || true)" != "$owner" ]
}

# Stops what an orphaned session of BUILD left running, and says so.
wine_session_stop_orphaned() {
  local build=$1 left=() pid
  wine_session_orphaned "$build" || return 0
  (
    wine_session_env "$build"
    pid=$(wine_server_pid)
    [ -n "$pid" ] && left+=("wineserver (process $pid)")
    pid=$(wine_session_xvfb_pid "$build")
    [ -n "$pid" ] && left+=("Xvfb (process $pid, display $(cat "$build/xvfb.display"))")
    if [ ${#left[@]} -gt 0 ]; then
      echo "wine-session: the Wine session in $build was started by process" \
        "$(cut -d' ' -f1 "$build/wine-session.owner"), which has ended without stopping it;" \
        "stopping what it left: ${left[0]}${left[1]:+ and ${left[1]}}"
    fi
    wine_session_stop "$build"
  )
}

# Stops the orphaned sessions in the build folders under ROOT (build trees and the sessions
# that scripts keep inside them).
wine_sessions_stop_orphaned() {
  local owner
  for owner in "$1"/*/wine-session.owner "$1"/*/*/wine-session.owner; do
    [ -f "$owner" ] && wine_session_stop_orphaned "$(dirname "$owner")"
  done
  return 0
}

wine_session_start() {
  local build=$1 arch=${2:-win64}
  mkdir -p "$build"
  (
    flock 9
    wine_session_stop_orphaned "$build"
    wine_session_env "$build" "$arch"
    wine_session_running "$build" && exit 0
    # The script that sourced this file owns the session from here on.
    process_identity $$ >"$build/wine-session.owner"
    if [ -z "${DISPLAY:-}" ] || { [ -f "$build/xvfb.pid" ] && [ -z "$(wine_session_xvfb_pid "$build")" ]; }; then
      unset DISPLAY
      wine_session_start_xvfb "$build"
    fi
    # The server and the services that wineboot starts keep running in the background;
    # their output goes to a file so that they hold no pipe of whoever called us.
    mkdir -p "$WINEPREFIX"
    # A second server for the same prefix would wait for the first one to end.
    wine_server_running || setsid "$WINESERVER" -p >>"$build/wine.log" 2>&1 </dev/null 9>&-
    wine_server_pid >"$build/wineserver.pid"
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
  local build=$1 folder pid
  wine_session_env "$build"
  # The server ends the prefix's Windows processes with itself.
  timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
  timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
  # One that does not answer (stopped, or its machine slept) is ended by its recorded id,
  # once that is still the id of the prefix's server.
  pid=$(cat "$build/wineserver.pid" 2>/dev/null || true)
  if [ -n "$pid" ] && [ "$(wine_server_pid)" = "$pid" ]; then
    kill -KILL "$pid" 2>/dev/null || true
  fi
  # The server leaves its folder behind; once it has gone, nothing needs it.
  if ! wine_server_running; then
    for folder in $(wine_server_folders); do
      rm -rf "$folder"
      rmdir "$(dirname "$folder")" 2>/dev/null || true
    done
  fi
  if [ -f "$build/xvfb.pid" ]; then
    pid=$(wine_session_xvfb_pid "$build")
    [ -n "$pid" ] && { kill "$pid" 2>/dev/null || true; }
    rm -f "$build/xvfb.pid" "$build/xvfb.display"
    unset DISPLAY
  fi
  rm -f "$build/wineserver.pid" "$build/wine-session.owner"
}

# At the start of a test suite: what the prefix's Windows tests made in its temporary folder
# in an earlier run that was stopped before removing it. The suite's last test fails on any
# of them that is left and must judge this run alone. Only a session this script started
# may remove them: a session that someone else runs may still be using its folders.
wine_session_remove_earlier_test_folders() {
  local build=$1 folder
  [ "$(cat "$build/wine-session.owner" 2>/dev/null)" = "$(process_identity $$)" ] || return 0
  # The names that tests/wine/CMakeLists.txt's check looks for.
  for folder in "$build"/wineprefix/drive_c/users/*/Temp/corvane* \
    "$build"/wineprefix/drive_c/users/*/Temp/kelvore*; do
    [ -e "$folder" ] || continue
    echo "wine-session: removing what an earlier run left: $folder"
    # Wine keeps a Windows read-only folder without write permission, which stops rm.
    chmod -R u+w "$folder"
    rm -rf "$folder"
  done
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
