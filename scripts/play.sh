#!/usr/bin/env bash
# Installs what is needed, builds the engine and plays the production in production/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DQUORIN_TESTS=OFF -DQUORIN_BENCHMARKS=OFF
# The soundtrack and the glyph meshes are made by the project's own generators, once.
if [ ! -s production/duvova/meshes/font/porscha_126.lwo ]; then
  build/tools/make_glyphs production
fi
if [ ! -s production/duvova/meshes/naamari_meta_open.lwo ]; then
  build/tools/make_mask production/duvova/meshes/naamari_meta_open.lwo
fi
if [ ! -s production/duvova/dodazovar.mp3 ]; then
  mkdir -p production/duvova
  build/tools/make_music production/duvova/dodazovar.mp3
fi
cd production
exec ../build/app/quorin "$@"
