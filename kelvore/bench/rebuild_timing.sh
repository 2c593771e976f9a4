# How the rebuild benchmarks time their commands; source it after bench_setup.sh, with
# `scratch_files` naming the files in WORK_DIR that each timed command may write. It defines:
#   measure CMD...            runs the command once, with the scratch files removed and the
#                             disk settled first; prints "SECONDS PEAK_KIB"
#   measure_read_back SOURCE COPY
#                             measures the reference for writing and verifying: SOURCE
#                             copied to COPY, flushed, then read back from the disk
#   lesser A B                the lesser of two such results, A possibly empty
#   report NAME RESULT BYTES  a line with the time, the speed over BYTES and the peak memory
#   target NAME RESULT REFERENCE LEAST
#                             whether RESULT is at least LEAST x the speed of REFERENCE, a
#                             result of the same work, and its peak under 32 MiB

measure() {
  rm -f "${scratch_files[@]/#/$work/}"
  sync
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null
  cat "$work/time.txt"
}

measure_read_back() {
  measure sh -c \
    'cat "$1" > "$2" && sync "$2" && dd if="$2" of=/dev/null bs=4M iflag=direct status=none' \
    cat "$1" "$2"
}

lesser() {
  if [ -z "$1" ] || awk -v a="${2%% *}" -v b="${1%% *}" 'BEGIN{exit !(a<b)}'; then
    echo "$2"
  else
    echo "$1"
  fi
}

report() {
  local name=$1 result=$2 bytes=$3
  awk -v name="$name" -v s="${result%% *}" -v kib="${result##* }" -v bytes="$bytes" 'BEGIN {
      printf "%-34s %6.2f s %7.1f MB/s  peak %5.1f MiB\n", name, s, bytes / s / 1048576, kib / 1024 }'
}

# A ratio of speeds: the reference's time over the command's.
target() {
  local name=$1 result=$2 reference=$3 least=$4
  awk -v name="$name" -v s="${result%% *}" -v kib="${result##* }" -v ref="${reference%% *}" \
    -v least="$least" 'BEGIN {
      speed = ref / s; fast = speed >= least; small = kib < 32 * 1024
      printf "Target %-34s >= %.2f x its reference: %5.2f, %s; peak < 32 MiB: %.1f MiB, %s\n",
             name, least, speed, fast ? "met" : "NOT MET", kib / 1024, small ? "met" : "NOT MET" }'
}
