#!/usr/bin/env bash
# kelvore's folders are its layers: each may include from itself and from the layers below it,
# never from one above. Fails naming every include that points the wrong way, and every
# folder the table below does not know (a new folder needs its place in the layers first).
set -euo pipefail
cd "$(dirname "$0")/../../kelvore"

# What each folder may include, itself among it. From the bottom: base, disc, tool, platform,
# then the program; testing/ builds synthetic images on the disc format; tests, fuzzers and
# benchmarks stand above everything.
declare -A allowed=(
  [base]="base"
  [disc]="base disc"
  [tool]="base disc tool"
  [platform]="base disc tool platform"
  [main.cpp]="base disc tool platform"
  [testing]="base disc testing"
  [tests]="base disc tool platform testing tests"
  [fuzz]="base disc testing fuzz"
  [bench]="base disc tool testing bench"
)

failures=0
for entry in *; do
  case "$entry" in CMakeLists.txt) continue ;; esac
  if [ -z "${allowed[$entry]+set}" ]; then
    echo "kelvore/$entry has no place in the layers: add it to $0" >&2
    failures=$((failures + 1))
    continue
  fi
  while IFS=: read -r file line included; do
    layer=${included#kelvore/}
    layer=${layer%%/*}
    if [[ " ${allowed[$entry]} " != *" $layer "* ]]; then
      echo "kelvore/$file:$line includes $included: $entry may include only from ${allowed[$entry]}" >&2
      failures=$((failures + 1))
    fi
  done < <(grep -rHnoE '^#include "kelvore/[^"]+"' "$entry" | sed -E 's/:#include "([^"]+)"$/:\1/')
done

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) or folder(s) break kelvore's layers" >&2
  exit 1
fi
echo "kelvore's includes point down only"
