#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the unit and
# end-to-end tests, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the fuzz targets over their committed corpora.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

start=$(date +%s)
echo "== tests"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIN_TESTS=ON -DQUORIN_BENCHMARKS=ON
(cd build && ctest --output-on-failure -j2 --timeout 300)

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DQUORIN_SANITIZE=ON -DQUORIN_BENCHMARKS=OFF
# Leak reports are off: the GL driver is unloaded at exit, leaving its
# process-lifetime allocations without a module to attribute them to.
export ASAN_OPTIONS="detect_leaks=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j2 --timeout 600)

echo "== fuzz targets over their corpora"
bash scripts/fuzz.sh corpus

echo "== all tests passed in $(( $(date +%s) - start )) s"
