#!/usr/bin/env bash
# Benchmark, not a test: checks a page-cached synthetic image holding about 1.2 GB of file data
# against a generated dump list of 3,000 games with serials, the image's own entry among them
# (`kelvore --dat LIST IMAGE`), and compares the time with `kelvore IMAGE --hash` alone,
# measured in the same rounds. The check costs the hashing plus reading the list: the target is
# at most 1.1 x the time of --hash alone, and a peak memory (maximum resident set) under
# 32 MiB.
#
# Usage: kelvore/bench/dat_bench.sh [BUILD_DIR [WORK_DIR]]
#   BUILD_DIR  an optimised native build (default: the native-release preset's, configured
#              when missing)
#   WORK_DIR   where the image and the list go, about 1.2 GB (default: a new folder under
#              /tmp, removed at the end); only the files the benchmark writes are removed
set -euo pipefail

runs=3
games=3000
bench_files=(list.dat time.txt)
scratch_files=()
# shellcheck source=bench_setup.sh
source "$(dirname "$0")/bench_setup.sh"
# shellcheck source=rebuild_timing.sh
source "$(dirname "$0")/rebuild_timing.sh"
image_bytes=$(stat -c %s "$image")

# The list: the image's own entry in the middle of games with made-up sums and serials, each
# with a name, a description and a version as the published list gives them.
mapfile -t sums < <("$kelvore" "$image" --hash 2>/dev/null | awk '$1 ~ /^(CRC32|MD5|SHA-1)$/ { print $2 }')
crc=${sums[0]} md5=${sums[1]} sha1=${sums[2]}
awk -v games="$games" -v size="$image_bytes" -v crc="$crc" -v md5="$md5" -v sha1="$sha1" '
  function hex(n,   text, i) {
    text = ""
    for (i = 0; i < n; i++) text = text substr("0123456789abcdef", int(rand() * 16) + 1, 1)
    return text
  }
  BEGIN {
    srand(7)
    print "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    print "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" \"http://www.logiqx.com/Dats/datafile.dtd\">"
    print "<datafile>\n\t<header>\n\t\t<name>Nintendo - GameCube</name>\n\t</header>"
    for (i = 0; i < games; i++) {
      own = i == int(games / 2)
      name = own ? "Kelvore Test Disc (USA)" : sprintf("Generated Game %04d - The Long Subtitle &amp; More (USA, Europe) (Rev 1)", i)
      code = own ? "GKVE" : sprintf("G%03X", i)
      printf "\t<game name=\"%s\">\n\t\t<category>Games</category>\n\t\t<description>%s</description>\n", name, name
      printf "\t\t<rom name=\"%s.iso\" size=\"%s\" crc=\"%s\" md5=\"%s\" sha1=\"%s\" serial=\"DL-DOL-%s-USA, DL-DOL-%s-EUR\" version=\"%s\"/>\n\t</game>\n",
        name, own ? size : 1459978240, own ? crc : hex(8), own ? md5 : hex(32), own ? sha1 : hex(40),
        code, code, own ? "" : "Rev 1"
    }
    print "</datafile>"
  }' >"$work/list.dat"

load_average=$(cut -d' ' -f1-3 /proc/loadavg)
hash_result="" dat_result=""
for _ in $(seq "$runs"); do
  hash_result=$(lesser "$hash_result" "$(measure "$kelvore" "$image" --hash)")
  dat_result=$(lesser "$dat_result" "$(measure "$kelvore" --dat "$work/list.dat" "$image")")
done
if ! "$kelvore" --dat "$work/list.dat" "$image" | grep -q '^Listed: '; then
  echo "The image is NOT found listed in the generated list."
fi

echo "Image: $(awk -v b="$image_bytes" 'BEGIN{printf "%.2f GB", b/1e9}') page-cached," \
  "list: $games games ($(stat -c %s "$work/list.dat") bytes), best of $runs rounds;" \
  "load average at the start: $load_average"
report "kelvore IMAGE --hash" "$hash_result" "$image_bytes"
report "kelvore --dat LIST IMAGE" "$dat_result" "$image_bytes"
awk -v s="${dat_result%% *}" -v kib="${dat_result##* }" -v ref="${hash_result%% *}" 'BEGIN {
  ratio = s / ref; fast = ratio <= 1.1; small = kib < 32 * 1024
  printf "Target --dat <= 1.10 x --hash alone: %.3f, %s; peak < 32 MiB: %.1f MiB, %s\n",
         ratio, fast ? "met" : "NOT MET", kib / 1024, small ? "met" : "NOT MET" }'
