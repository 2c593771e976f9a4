#!/usr/bin/env bash
# Benchmark, not a test: rebuilds several page-cached synthetic images, each holding about
# 1.2 GB of file data, in one run (`kelvore IMAGE1 IMAGE2 IMAGE3 f`, verifying from the disk)
# and compares the time with the sum of single runs of the same images (`kelvore IMAGE f`
# each), measured in the same rounds; also reports the peak memory (maximum resident set) of
# the run over all of them.
#
# The images are hard links to one synthetic image: each run, single or not, reads the same
# page-cached bytes, and each writes its new image beside its source.
#
# Usage: kelvore/bench/batch_bench.sh [BUILD_DIR [WORK_DIR]]
#   BUILD_DIR  an optimised native build (default: the native-release preset's, configured
#              when missing)
#   WORK_DIR   where the files go, about 5 GB (default: a new folder under /tmp, removed at
#              the end); only the files the benchmark writes are removed from it
set -euo pipefail

runs=3
count=3
sources=() outputs=()
for i in $(seq "$count"); do
  sources+=("disc$i.gcm")
  outputs+=("disc$i.rebuilt.gcm")
done
bench_files=("${sources[@]}" "${outputs[@]}" time.txt)
scratch_files=("${outputs[@]}")
# shellcheck source=bench_setup.sh
source "$(dirname "$0")/bench_setup.sh"
# shellcheck source=rebuild_timing.sh
source "$(dirname "$0")/rebuild_timing.sh"

for name in "${sources[@]}"; do ln -f "$image" "$work/$name"; done
data_bytes=$(stat -c %s "$image")

# "SECONDS PEAK_KIB" of two results added: their times summed, the larger peak.
added() {
  awk -v a="$1" -v b="$2" 'BEGIN {
      split(a, x, " "); split(b, y, " ")
      printf "%.2f %d\n", x[1] + y[1], (x[2] > y[2] ? x[2] : y[2]) }'
}

# The best of several rounds, each running the single runs and the run over all of them.
load_average=$(cut -d' ' -f1-3 /proc/loadavg)
singles_result="" batch_result=""
for _ in $(seq "$runs"); do
  singles="0 0"
  for name in "${sources[@]}"; do
    singles=$(added "$singles" "$(measure "$kelvore" "$work/$name" f)")
  done
  singles_result=$(lesser "$singles_result" "$singles")
  batch_result=$(lesser "$batch_result" "$(measure "$kelvore" "${sources[@]/#/$work/}" f)")
done

echo "$count images of $(awk -v b="$data_bytes" 'BEGIN{printf "%.2f GB", b/1e9}'), page-cached," \
  "verified from the disk, best of $runs rounds; load average at the start: $load_average"
report "kelvore IMAGE f, $count single runs" "$singles_result" "$((data_bytes * count))"
report "kelvore IMAGE1...IMAGE$count f" "$batch_result" "$((data_bytes * count))"
awk -v s="${batch_result%% *}" -v kib="${batch_result##* }" -v sum="${singles_result%% *}" \
  -v count="$count" 'BEGIN {
    ratio = s / sum; fast = ratio <= 1.05; small = kib < 32 * 1024
    printf "Target one run over %d images <= 1.05 x the sum of single runs: %.3f, %s; " \
           "peak < 32 MiB: %.1f MiB, %s\n", count, ratio, fast ? "met" : "NOT MET", kib / 1024,
           small ? "met" : "NOT MET" }'
