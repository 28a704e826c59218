#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs them.
#   fuzz.sh corpus          run each target once over its committed corpus (CI)
#   fuzz.sh SECONDS [NAME]  fuzz each target (or NAME) for SECONDS, growing a
#                           scratch corpus in build-fuzz/corpus/ (seeds stay as committed)
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-corpus}"
only="${2:-}"
CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIN_FUZZ=ON
export ASAN_OPTIONS="detect_leaks=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for seeds in "$PWD"/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  [ -n "$only" ] && [ "$name" != "$only" ] && continue
  target=$(find build-fuzz/fuzz -type f -name "$name" -perm -u+x | head -1)
  if [ -z "$target" ]; then
    echo "fuzz: no target built for corpus $name" >&2
    status=1
    continue
  fi
  if [ "$mode" = corpus ]; then
    echo "fuzz: $name over $(ls "$seeds" | wc -l) seeds"
    "$target" -runs=0 "$seeds" 2>&1 | tail -2 || status=1
  else
    scratch="$PWD/build-fuzz/corpus/$name"
    mkdir -p "$scratch"
    echo "fuzz: $name for $mode s"
    "$target" -max_total_time="$mode" -print_final_stats=1 "$scratch" "$seeds" 2>&1 | tail -12 || status=1
  fi
done
exit $status
