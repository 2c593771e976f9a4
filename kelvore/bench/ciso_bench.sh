#!/usr/bin/env bash
# Benchmark, not a test: rebuilds a page-cached synthetic image holding about 1.2 GB of file
# data into a CISO file (`kelvore IMAGE f --ciso`, verifying from the disk) and compares the
# time with an honest copy of a file of the CISO file's size, measured in the same run; also
# reports kelvore's peak memory (maximum resident set).
#
# kelvore pushes the CISO file to the disk as it writes, flushes it and reads it all back from
# the disk, past the page cache. The reference does the same work: `cat REFERENCE > COPY &&
# sync COPY && dd if=COPY of=/dev/null bs=4M iflag=direct`, REFERENCE being a page-cached
# file of the CISO file's size (the CISO file of a first, unmeasured run).
#
# Usage: kelvore/bench/ciso_bench.sh [BUILD_DIR [WORK_DIR]]
#   BUILD_DIR  an optimised native build (default: the native-release preset's, configured
#              when missing)
#   WORK_DIR   where the files go, about 4.8 GB (default: a new folder under /tmp, removed
#              at the end); only the files the benchmark writes are removed from it
set -euo pipefail

runs=3
bench_files=(reference.ciso copy.ciso out.ciso time.txt)
scratch_files=(copy.ciso out.ciso)
# shellcheck source=bench_setup.sh
source "$(dirname "$0")/bench_setup.sh"
# shellcheck source=rebuild_timing.sh
source "$(dirname "$0")/rebuild_timing.sh"

"$kelvore" "$image" f --ciso --no-verify -o "$work/reference.ciso" >/dev/null
cat "$work/reference.ciso" >/dev/null # into the page cache, as the source image is
ciso_bytes=$(stat -c %s "$work/reference.ciso")

# The best of several rounds, each running both commands, as in run_bench.sh.
load_average=$(cut -d' ' -f1-3 /proc/loadavg)
read_back_result="" ciso_result=""
for _ in $(seq "$runs"); do
  read_back_result=$(lesser "$read_back_result" "$(measure_read_back "$work/reference.ciso" "$work/copy.ciso")")
  ciso_result=$(lesser "$ciso_result" "$(measure "$kelvore" "$image" f --ciso -o "$work/out.ciso")")
done

echo "CISO file: $(awk -v b="$ciso_bytes" 'BEGIN{printf "%.2f GB", b/1e9}') from a page-cached" \
  "source, best of $runs rounds; load average at the start: $load_average"
report "cat + sync + dd iflag=direct COPY" "$read_back_result" "$ciso_bytes"
report "kelvore --ciso (verifying)" "$ciso_result" "$ciso_bytes"
target "kelvore --ciso (verifying)" "$ciso_result" "$read_back_result" 0.85
