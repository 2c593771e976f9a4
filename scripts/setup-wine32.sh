#!/usr/bin/env bash
# The 32-bit Wine that runs the tests of the shipping build (i686); called by setup.sh.
#
# Where a 32-bit Wine is installed, it is used as it is. Otherwise Debian's 32-bit Wine, of
# the installed 64-bit Wine's version, is unpacked into a private folder and never installed
# (an installed one would take over the plain `wine` command, 64-bit programs included); the
# i386 libraries it loads are installed with apt. Where the kernel runs no 32-bit programs,
# qemu's user-mode emulator from backports is registered in binfmt_misc to run them.
# Steps already done are not done again.
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-session.sh
source "$scripts/wine-session.sh"
# shellcheck source=as-root.sh
source "$scripts/as-root.sh"
# shellcheck source=apt-sources.sh
source "$scripts/apt-sources.sh"

apt_get() {
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get -qq -o DPkg::Lock::Timeout=600 "$@" </dev/null
}

# The i386 libraries the private Wine loads: what libwine depends on (first of each choice)
# and, among what it recommends, the X11 extensions its display driver uses, as the 64-bit
# Wine has them.
wine32_libraries() {
  local deb=$1
  {
    dpkg-deb -f "$deb" Depends | tr ',' '\n'
    dpkg-deb -f "$deb" Recommends | tr ',' '\n' | grep -E '^ *libx'
  } | sed -E 's/\|.*//; s/\(.*\)//; s/ //g; /^$/d; s/$/:i386/' | sort -u
}

add_i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  echo "setup: adding the i386 architecture to dpkg (for the 32-bit Wine's libraries)"
  as_root dpkg --add-architecture i386
  apt_get update
}

# Unpacks wine32 and libwine (i386) into $1. Debian's own install of libwine marks MinGW's
# zlib1.dll, which its user32.dll imports, as a Wine built-in DLL in the DLL folder; the
# same is done here, so that every new prefix gets it in its system32.
unpack_private_wine32() {
  local root=$1 version download
  version=$(wine64_version)
  echo "setup: unpacking Debian's 32-bit Wine $version into $root (not installed)"
  add_i386_architecture
  download=$(mktemp -d)
  (cd "$download" && apt_get -o APT::Sandbox::User=root download \
    "wine32:i386=$version" "libwine:i386=$version")
  # shellcheck disable=SC2046 # one package name per word
  apt_get install -y --no-install-recommends \
    $(wine32_libraries "$download"/libwine_*.deb) libz-mingw-w64
  rm -rf "$root.partial" && mkdir -p "$root.partial"
  local deb
  for deb in "$download"/*.deb; do dpkg-deb -x "$deb" "$root.partial"; done
  local zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
  {
    head -c 64 "$zlib"
    printf 'Wine builtin DLL'
    head -c 16 /dev/zero
    tail -c +97 "$zlib"
  } >"$root.partial/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
  rm -rf "$download" "$root"
  mv "$root.partial" "$root"
}

# Bookworm's own qemu (7.2) starts Wine far too slowly: qemu-user comes from backports, whose
# source entry is made from the machine's own Debian archive address, in whichever format
# its apt sources have it.
install_backports_qemu() {
  local installed codename archive
  installed=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
  [ -n "$installed" ] && dpkg --compare-versions "$installed" ge 1:10 && return 0
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  if ! apt_lists_suite /etc/apt "$codename-backports"; then
    archive=$(debian_archive_address /etc/apt "$codename")
    if [ -z "$archive" ]; then
      echo "setup: found no Debian archive for $codename in /etc/apt/sources.list or" \
        "/etc/apt/sources.list.d/ (*.list, *.sources): no \"deb\" entry of the suite $codename" \
        "or $codename-* with the main component (deb-src, cdrom: and security entries do not" \
        "count)" >&2
      echo "setup: add $codename-backports to apt's sources by hand" \
        "(https://backports.debian.org/Instructions/), then run the setup again" >&2
      return 1
    fi
    echo "setup: adding $codename-backports from $archive (/etc/apt/sources.list.d/$codename-backports.sources)"
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: %s\n' \
      "$archive" "$codename" /usr/share/keyrings/debian-archive-keyring.gpg |
      as_root tee "/etc/apt/sources.list.d/$codename-backports.sources" >/dev/null
    apt_get update
  fi
  echo "setup: installing qemu-user from $codename-backports"
  apt_get install -y --no-install-recommends -t "$codename-backports" qemu-user
}

# Registers qemu-i386 for 32-bit x86 ELF programs. F: the emulator is opened now, so it
# serves every mount namespace; C: the program's own credentials apply.
register_qemu_i386() {
  local binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  [ -e "$binfmt/qemu-i386" ] && return 0
  echo "setup: this kernel runs no 32-bit programs; registering /usr/bin/qemu-i386 for i386" \
    "ELF programs in binfmt_misc ($binfmt/qemu-i386, flags F and C), until the next reboot"
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386:FC" |
    as_root tee "$binfmt/register" >/dev/null
}

if [ ! -x /usr/lib/wine/wine ] && [ ! -d "$(wine32_private_root)" ]; then
  unpack_private_wine32 "$(wine32_private_root)"
fi
loader=$(wine32_loader)
# 32-bit programs run natively, or through the emulator registered for them.
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] || ! "$loader" --version >/dev/null 2>&1; then
  install_backports_qemu
  register_qemu_i386
fi
if ! "$loader" --version >/dev/null 2>&1; then
  echo "setup: the 32-bit Wine ($loader) does not start" >&2
  exit 1
fi
