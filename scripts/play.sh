#!/usr/bin/env bash
# Installs what is needed, builds the engine and plays the production in production/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DQUORIN_TESTS=OFF -DQUORIN_BENCHMARKS=OFF
cd production
exec ../build/app/quorin "$@"
