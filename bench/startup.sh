#!/usr/bin/env bash
# Start-up time of the sample production, launch to first frame: the run is
# started 10 ms before the end, so it shows a frame or two and stops.
# usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r production/. "$work"
if [ ! -s "$work/duvova/dodazovar.mp3" ]; then
  mkdir -p "$work/duvova"
  "$build/tools/make_music" "$work/duvova/dodazovar.mp3" > /dev/null
fi
sed -i 's/^dialog 1/dialog 0/; s/^demoStartTime .*/demoStartTime 295.99/' "$work/config.txt"
cd "$work"
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
for i in $(seq "$runs"); do
  start=$(date +%s.%N)
  "$OLDPWD/$build/app/quorin" > /dev/null 2>&1
  end=$(date +%s.%N)
  awk -v i="$i" -v s="$start" -v e="$end" 'BEGIN { printf "run %d: %.0f ms to the first frame\n", i, (e - s) * 1000 - 10 }'
done
