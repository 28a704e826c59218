#!/usr/bin/env bash
# Installs what is needed, builds the engine and plays the production in production/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The program and the asset generators only; the tests share this build directory.
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- quorin make_music make_glyphs make_mask
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
