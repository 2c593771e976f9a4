# What the rebuild tool's benchmarks share; source it with their arguments,
# [BUILD_DIR [WORK_DIR]], after setting `bench_files` to the names of the files the benchmark
# writes in WORK_DIR. It sets:
#   build    BUILD_DIR, an optimised native build (default: the native-release preset's,
#            configured when missing), with kelvore and the image maker built
#   kelvore  the tool in it
#   work     WORK_DIR, or else a new folder under /tmp, removed at the end; of WORK_DIR only
#            the image and the files named in `bench_files` are removed
#   image    a synthetic image with about 1.2 GB of file data in 600 files, read into the
#            page cache
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$repo/build/native-release}
if [ -n "${2:-}" ]; then
  work=$2
  mkdir -p "$work"
  trap 'rm -f "$work/source.gcm" "${bench_files[@]/#/$work/}"' EXIT
else
  work=$(mktemp -d /tmp/kelvore-bench.XXXXXX)
  trap 'rm -rf "$work"' EXIT
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$repo" && cmake --preset native-release -B "$build" >/dev/null)
fi
cmake --build "$build" --target kelvore kelvore_make_image -j2 >/dev/null
kelvore=$build/bin/kelvore

image=$work/source.gcm
"$build/kelvore/kelvore_make_image" "$image" 1200 600
cat "$image" >/dev/null # into the page cache
