#!/usr/bin/env bash
# The set-up's reading of apt's sources (scripts/apt-sources.sh), over apt configuration
# folders laid out as Debian 12 machines have them: the Debian archive's address for the
# backports entry, and whether a backports entry is there already.
set -euo pipefail
# shellcheck source=../../scripts/apt-sources.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/apt-sources.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# lay_out CASE FILE: the text on stdin becomes CASE's etc/apt/FILE.
lay_out() {
  mkdir -p "$(dirname "$work/$1/$2")"
  cat >"$work/$1/$2"
}

expect_archive() {
  local actual
  actual=$(debian_archive_address "$work/$1" bookworm)
  if [ "$actual" != "$2" ]; then
    echo "FAILED $1: the archive found is \"$actual\", expected \"$2\""
    failures=$((failures + 1))
  fi
}

expect_backports() {
  local actual=no
  apt_lists_suite "$work/$1" bookworm-backports && actual=yes
  if [ "$actual" != "$2" ]; then
    echo "FAILED $1: a bookworm-backports entry found: $actual, expected $2"
    failures=$((failures + 1))
  fi
}

# Debian 12's container images: deb822 stanzas with comments between their fields; the
# security stanza comes second.
lay_out deb822 sources.list.d/debian.sources <<'EOF'
Types: deb
# http://snapshot.debian.org/archive/debian/20250520T000000Z
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
EOF
expect_archive deb822 http://deb.debian.org/debian
expect_backports deb822 no

# Stanzas that must not count come first: source packages, a disabled archive, security.
lay_out deb822-skipped sources.list.d/debian.sources <<'EOF'
Types: deb-src
URIs: http://sources.example/debian
Suites: bookworm
Components: main

Types: deb
URIs: http://disabled.example/debian
Suites: bookworm bookworm-backports
Components: main
Enabled: no

Types: deb
URIs: http://security.debian.org/debian-security
Suites: bookworm-security
Components: main

Types: deb deb-src
URIs: mirror+file:///etc/apt/mirrors/debian.list
Suites: bookworm bookworm-updates
Components: main contrib
EOF
expect_archive deb822-skipped mirror+file:///etc/apt/mirrors/debian.list
expect_backports deb822-skipped no

# A field's value goes on over the lines that start with a blank, comments between them.
lay_out deb822-continued sources.list.d/debian.sources <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm
# backports, for qemu-user:
 bookworm-backports
Components: main
EOF
expect_backports deb822-continued yes

# Debian's installer from a DVD: the CD-ROM (commented out and not), security and source
# entries before the network mirror.
lay_out installer sources.list <<'EOF'
#deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1 20240210-11:28]/ bookworm contrib main

deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1 20240210-11:28]/ bookworm contrib main

deb http://security.debian.org/debian-security bookworm-security main non-free-firmware
deb-src http://security.debian.org/debian-security bookworm-security main non-free-firmware

deb-src http://ftp.de.debian.org/debian/ bookworm main non-free-firmware
deb http://ftp.de.debian.org/debian/ bookworm main non-free-firmware

# deb http://deb.debian.org/debian bookworm-backports main
EOF
expect_archive installer http://ftp.de.debian.org/debian/
expect_backports installer no

# Upgraded from Debian 11, with options in brackets and comments after entries.
lay_out upgraded sources.list <<'EOF'
# deb http://old-mirror.example/debian bullseye main
deb [ arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg ] http://mirror.example/debian bookworm-updates main # updates first
deb [arch=amd64] http://mirror.example/debian bookworm main contrib
deb [arch=amd64] http://mirror.example/debian bookworm-backports main
deb http://second-mirror.example/debian bookworm main
EOF
expect_archive upgraded http://mirror.example/debian
expect_backports upgraded yes

# debootstrap: one line.
lay_out debootstrap sources.list <<'EOF'
deb http://deb.debian.org/debian bookworm main
EOF
expect_archive debootstrap http://deb.debian.org/debian
expect_backports debootstrap no

# Entries in .list files only, after a third-party archive that uses the same suite name,
# beside a backports list that apt does not read.
lay_out list-files sources.list.d/containers.list <<'EOF'
deb [arch=amd64 signed-by=/etc/apt/keyrings/docker.gpg] https://download.docker.com/linux/debian bookworm stable
EOF
lay_out list-files sources.list.d/debian.list <<'EOF'
deb http://deb.debian.org/debian bookworm main
EOF
lay_out list-files sources.list.d/backports.list.disabled <<'EOF'
deb http://deb.debian.org/debian bookworm-backports main
EOF
expect_archive list-files http://deb.debian.org/debian
expect_backports list-files no

# Both formats: the backports entry in a deb822 file of its own.
lay_out both sources.list <<'EOF'
deb http://one-line.example/debian bookworm main
EOF
lay_out both sources.list.d/bookworm-backports.sources <<'EOF'
Types: deb
URIs: http://one-line.example/debian
Suites: bookworm-backports
Components: main
EOF
expect_archive both http://one-line.example/debian
expect_backports both yes

# Nothing that serves bookworm's packages: commented out, source packages only, a CD-ROM,
# security, another release, no main component (what follows "#" is a comment).
lay_out nothing sources.list <<'EOF'
#deb http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm main
deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm main
deb cdrom:[Bookworm-DVD]/ bookworm main
deb http://contrib.example/debian bookworm contrib # main comes later
deb http://deb.debian.org/debian-security bookworm-security main
deb http://deb.debian.org/debian bullseye main
deb-src http://deb.debian.org/debian bookworm-backports main
EOF
expect_archive nothing ""
expect_backports nothing no

# No sources at all.
mkdir -p "$work/empty"
expect_archive empty ""
expect_backports empty no

[ "$failures" -eq 0 ] && echo "All apt source cases passed"
exit $((failures > 0))
