# Shared by the setup scripts: what apt's source lists name, read from an apt configuration
# folder given as a parameter (normally /etc/apt), in either of its formats: deb822 stanzas
# (*.sources, as Debian 12's container images have them) and one-line entries (sources.list
# and *.list, as Debian's installer, an upgrade from Debian 11 and debootstrap leave them).

# The files apt reads, the Debian archive's usual places first: debian.sources, sources.list,
# then the rest of sources.list.d (third-party archives mostly live there).
apt_source_files() {
  local apt=$1 file
  for file in "$apt/sources.list.d/debian.sources" "$apt/sources.list" \
    "$apt"/sources.list.d/*.list "$apt"/sources.list.d/*.sources; do
    if [ -f "$file" ]; then echo "$file"; fi
  done | awk '!seen[$0]++'
}

# One line per entry that apt uses: TYPE URI SUITE COMPONENT... (a deb822 stanza gives one
# line per type, address and suite). Commented-out entries and disabled stanzas give none.
apt_source_entries() {
  local file
  apt_source_files "$1" | while IFS= read -r file; do
    case $file in
      *.sources) apt_deb822_entries <"$file" ;;
      *) apt_one_line_entries <"$file" ;;
    esac
  done
}

apt_deb822_entries() {
  awk '
    function flush(types, uris, suites, t, u, s, nt, nu, ns) {
      if (tolower(field["enabled"]) !~ /^[ \t]*no[ \t]*$/) {
        nt = split(field["types"], types)
        nu = split(field["uris"], uris)
        ns = split(field["suites"], suites)
        for (t = 1; t <= nt; t++)
          for (u = 1; u <= nu; u++)
            for (s = 1; s <= ns; s++) {
              $0 = types[t] " " uris[u] " " suites[s] " " field["components"]
              $1 = $1
              print
            }
      }
      split("", field)
      name = ""
    }
    /^#/ { next }
    /^[ \t]*$/ { flush(); next }
    /^[ \t]/ { if (name != "") field[name] = field[name] " " $0; next }
    index($0, ":") {
      name = tolower(substr($0, 1, index($0, ":") - 1))
      field[name] = substr($0, index($0, ":") + 1)
    }
    END { flush() }'
}

# deb [ OPTIONS ] URI SUITE COMPONENT...: a "#" starts a comment anywhere on the line. Only
# the options follow the type in brackets; a cdrom: address holds brackets of its own.
apt_one_line_entries() {
  awk '
    { sub(/#.*/, "") }
    match($0, /^[ \t]*[a-z-]+[ \t]+\[[^]]*\]/) { $0 = $1 " " substr($0, RSTART + RLENGTH) }
    ($1 == "deb" || $1 == "deb-src") && NF >= 3 { $1 = $1; print }'
}

# The address of the Debian archive that serves CODENAME (its "deb" entry of that suite or
# one of its own, such as CODENAME-updates, with the main component), or nothing. Source
# packages, CD-ROMs, the security archive (suite CODENAME-security, CODENAME/updates before
# Debian 11) and third-party archives do not count. Here and below awk reads to the end:
# leaving early would fail the pipeline (pipefail) when its writer finds the pipe closed.
debian_archive_address() {
  apt_source_entries "$1" | awk -v codename="$2" '
    function has_main(c) { for (c = 4; c <= NF; c++) if ($c == "main") return 1; return 0 }
    found == "" && $1 == "deb" && $2 !~ /^cdrom:/ && $3 !~ /-security$|\/updates$/ &&
      ($3 == codename || index($3, codename "-") == 1) && has_main() { found = $2 }
    END { if (found != "") print found }'
}

# Whether apt already has a "deb" entry of SUITE.
apt_lists_suite() {
  apt_source_entries "$1" | awk -v suite="$2" '$1 == "deb" && $3 == suite { found = 1 }
    END { exit !found }'
}
