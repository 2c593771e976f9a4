# Shared by the setup scripts: as_root COMMAND... runs a command as root, directly or through
# sudo. A user who is neither root nor able to sudo is told what to run instead.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "setup: this step needs root, and sudo is not here: $*" >&2
    echo "setup: run the setup once as root (su -c 'bash scripts/setup.sh'), then again as" \
      "yourself." >&2
    exit 1
  fi
}
