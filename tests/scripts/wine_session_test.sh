#!/usr/bin/env bash
# What scripts/wine-session.sh stops and removes after an earlier run was killed, over build
# folders made up here: an orphaned session is told by its starter's recorded identity, and
# only processes that are still the session's own are stopped.
set -euo pipefail
# shellcheck source=../../scripts/wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-session.sh"
work=$(mktemp -d)
started=()
server=""
trap 'kill "${started[@]}" 2>/dev/null || true; rm -rf "$work" "$server"
  [ -z "$server" ] || rmdir "$(dirname "$server")" 2>/dev/null || true' EXIT
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# A process that looks like the Xvfb of DISPLAY (its arguments are "Xvfb DISPLAY"): cat
# waiting on a pipe of that name.
start_xvfb_look_alike() {
  mkfifo "$work/$1"
  (cd "$work" && exec -a Xvfb cat "$1") &
  started+=($!)
}

# A build folder whose session was started by the process of identity OWNER.
session_of() {
  mkdir -p "$work/$1"
  echo "$2" >"$work/$1/wine-session.owner"
}

session_of ours "$(process_identity $$)"
wine_session_orphaned "$work/ours" && fail "a session whose starter runs is taken as orphaned"
# This shell's id with another process's start time (the first process's): the id that the
# starter had was given to this shell since.
reused_owner="$$ $(process_identity 1 | cut -d' ' -f2)"
session_of reused "$reused_owner"
wine_session_orphaned "$work/reused" ||
  fail "a session whose starter's id now names another process is not taken as orphaned"
sleep 60 &
session_of ended "$(process_identity $!)"
kill $!
wait $! || true
wine_session_orphaned "$work/ended" || fail "a session whose starter has ended is not taken as orphaned"

# Its Xvfb is stopped; an id that now names another session's Xvfb, or another program with
# the same arguments, is not.
start_xvfb_look_alike :97
own_xvfb=$!
echo "$own_xvfb" >"$work/ended/xvfb.pid"
echo :97 >"$work/ended/xvfb.display"
wine_session_stop_orphaned "$work/ended" >/dev/null
sleep 0.2 # for this shell to collect it
kill -0 "$own_xvfb" 2>/dev/null && fail "the orphaned session's Xvfb still runs"
for file in wine-session.owner xvfb.pid xvfb.display; do
  [ -e "$work/ended/$file" ] && fail "$file is left after the session was stopped"
done

start_xvfb_look_alike :98
other_xvfb=$!
(cd "$work" && exec cat :97) &
started+=($!)
other_process=$!
for pid in "$other_xvfb" "$other_process"; do
  session_of "reused-$pid" "$reused_owner"
  echo "$pid" >"$work/reused-$pid/xvfb.pid"
  echo :97 >"$work/reused-$pid/xvfb.display"
  wine_session_stop_orphaned "$work/reused-$pid" >/dev/null
  kill -0 "$pid" 2>/dev/null || fail "stopping an orphaned session stopped process $pid, not its own"
done

# A prefix's wineserver is the process that holds the lock on its folder's lock file, as a
# stand-in here does; the folder is where Wine looks for the prefix's server.
mkdir -p "$work/locked/wineprefix"
WINEPREFIX=$work/locked/wineprefix
server=$(printf '/tmp/.wine-%s/server-%x-%x' "$(id -u)" "$(stat -c %d "$WINEPREFIX")" \
  "$(stat -c %i "$WINEPREFIX")")
mkdir -p "$server"
touch "$server/lock"
# hold_lock FILE: a process that holds a lock on FILE as the wineserver does (fcntl).
hold_lock() {
  rm -f "$work/locked/ready"
  python3 -c 'import fcntl, sys, time
lock = open(sys.argv[1], "w")
fcntl.lockf(lock, fcntl.LOCK_EX)
print(flush=True)
time.sleep(60)' "$1" >"$work/locked/ready" &
  started+=($!)
  for _ in $(seq 100); do [ -s "$work/locked/ready" ] && break; sleep 0.05; done
}
hold_lock "$work/locked/another.lock"
[ -z "$(wine_server_pid)" ] || fail "a server is found where none holds the lock"
hold_lock "$server/lock"
[ "$(wine_server_pid)" = "$!" ] || fail "the server found is \"$(wine_server_pid)\", not $!"

# The temporary folder's leftovers go only where this script started the session.
for build in ours reused; do
  mkdir -p "$work/$build/wineprefix/drive_c/users/me/Temp/corvane-e2e-1-1"
done
session_of ours "$(process_identity $$)"
session_of reused "$(process_identity "$other_process")"
wine_session_remove_earlier_test_folders "$work/ours" >/dev/null
wine_session_remove_earlier_test_folders "$work/reused" >/dev/null
[ -e "$work/ours/wineprefix/drive_c/users/me/Temp/corvane-e2e-1-1" ] &&
  fail "what an earlier run left in this session's prefix is still there"
[ -e "$work/reused/wineprefix/drive_c/users/me/Temp/corvane-e2e-1-1" ] ||
  fail "folders of a session that another process runs were removed"

[ "$failures" -eq 0 ] && echo "All Wine session cases passed"
exit $((failures > 0))
