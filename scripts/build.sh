#!/usr/bin/env bash
# Configures and builds one build directory:
#   build.sh DIR [cmake options...] [-- ninja targets...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  options+=("$1")
  shift
done
[ "${1:-}" = "--" ] && shift
cmake -S . -B "$dir" -G Ninja "${options[@]}" > /dev/null
ninja -C "$dir" -j"${QUORIN_JOBS:-2}" "$@"
