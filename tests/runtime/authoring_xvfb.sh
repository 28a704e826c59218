#!/usr/bin/env bash
# The authoring keys in a real X window, with real key events from xdotool:
# Space pauses, left Shift + Tab adds a comment at the paused time, Enter
# starts editing, a typed word goes into it, Escape ends the run and the
# comment is in comments.txt at the time the title showed.
# usage: authoring_xvfb.sh QUORIN_BINARY PRODUCTION_DIR OUTPUT_DIR
# Leaves OUTPUT_DIR/overlay.png (the paused picture with the comments).
set -u
quorin=$1
production=$2
out=$3
source "$(dirname "$0")/../support/xvfb.sh"

work=$out/authoring
rm -rf "$work"
mkdir -p "$work/run"
startXvfb "$work"
cp -r "$production"/. "$work/run"

fail() {
  echo "FAIL: $*"
  echo "--- quorin.log"
  cat "$work/run/quorin.log"
  exit 1
}

(cd "$work/run" && exec "$quorin") > "$work/run/quorin.log" 2>&1 &
demo=$!
window=$(waitForWindow "^BUILD-REV: ") || fail "no demo window"
xdotool windowfocus --sync "$window"
sleep 0.3
titleTime() { xdotool getwindowname "$window" | sed -n 's/.*TIME: *\([0-9.]*\).*/\1/p'; }

xdotool key space
sleep 0.5
paused=$(titleTime)
sleep 0.5
[ "$(titleTime)" = "$paused" ] || fail "time moved while paused: $paused, then $(titleTime)"

xdotool keydown Shift_L key Tab keyup Shift_L
sleep 0.3
xdotool key Return
sleep 0.3
xdotool key --delay 120 h e l l o
sleep 0.5
import -window "$window" "$out/overlay.png"
echo "screenshot: $out/overlay.png"
xdotool key Escape
for _ in $(seq 100); do
  kill -0 "$demo" 2> /dev/null || break
  sleep 0.1
done
kill -0 "$demo" 2> /dev/null && fail "Escape did not end the run"
wait "$demo"
status=$?
[ "$status" = 0 ] || fail "the run ended with status $status"

saved=$(cat "$work/run/comments.txt")
echo "$saved"
grep -qx "20.000 an old note stays" <<< "$saved" || fail "the loaded comment was not saved again"
grep -qx "$paused hello" <<< "$saved" || fail "no comment 'hello' at the paused time $paused"
[ "$(head -n 1 <<< "$saved")" = "# comments saved with build-revision 1759" ] || fail "wrong first line"

# The overlay lines are light grey or white on the black picture.
bright=$(convert "$out/overlay.png" -threshold 50% -format '%[fx:int(mean*w*h)]' info:)
[ "$bright" -gt 100 ] || fail "no overlay text in the screenshot ($bright bright pixels)"
echo "authoring under Xvfb: all checks passed"
