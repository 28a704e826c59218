#!/usr/bin/env bash
# The setup dialog in a real X window on Xvfb, clicked with xdotool:
#   1. it appears centred with its caption and size, the picture at (0, 0);
#      two clicks on "Fullscreen" and one on "Begin" start the demo windowed
#      at the configured 800 x 600, and the run ends by itself with status 0;
#   2. one click on "Fullscreen" and "Begin" start it full screen;
#   3. Escape and Enter leave it open; "End" exits with status 0 and no demo
#      window ever appears.
# usage: dialog_xvfb.sh QUORIN_BINARY PRODUCTION_DIR OUTPUT_DIR
# Leaves OUTPUT_DIR/dialog.png (the dialog as it opened) and OUTPUT_DIR/xvfb/.
set -u

quorin=$1
production=$2
out=$3

source "$(dirname "$0")/../support/xvfb.sh"

work=$out/xvfb
rm -rf "$work"
mkdir -p "$work"
startXvfb "$work"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
demo=""
trap '[ -n "$demo" ] && kill -9 "$demo" 2> /dev/null; kill $xvfbPid 2> /dev/null; wait 2> /dev/null' EXIT

caption='-~- Quorin \. Hollow Lattice \. Vantfest 2008 -~-'
dialogName="^ {12}${caption}\$"
demoName="^${caption}\$"  # the configuration turns the frame-rate title off

# Dialog units of the 8-point dialog font to pixels (6 x 13 base units, rounded).
unitsX() { echo $((($1 * 6 + 2) / 4)); }
unitsY() { echo $((($1 * 13 + 4) / 8)); }

findWindow() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1; }

# Waits for a visible window of the name while the run lasts; prints its id.
waitWindow() {
  local id
  for _ in $(seq 200); do
    id=$(findWindow "$1")
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$demo" 2> /dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to $1 s for the run to end; sets status (124 when it had to be killed).
waitExit() {
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$demo" 2> /dev/null || break
    sleep 0.1
  done
  if kill -0 "$demo" 2> /dev/null; then
    kill -9 "$demo"
    wait "$demo" 2> /dev/null
    status=124
  else
    wait "$demo"
    status=$?
  fi
  demo=""
}

startRun() {
  mkdir -p "$work/$1"
  cp -r "$production"/. "$work/$1"
  (cd "$work/$1" && exec "$quorin") > "$work/$1/quorin.log" 2>&1 &
  demo=$!
}

click() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.2
  xdotool click 1
  sleep 0.4
}

# A hash of a rectangle of the window's current picture.
regionHash() { import -window "$1" -crop "$2" +repage "$work/region.png" && convert "$work/region.png" -format '%#' info:; }

# Waits up to 5 s for the region's hash to become (= HASH) or leave (!= HASH) a value.
waitRegion() {
  for _ in $(seq 25); do
    [ "$(regionHash "$1" "$2")" $3 "$4" ] && return 0
    sleep 0.2
  done
  return 1
}

pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:; }

face="212,208,200"
checkX=$(unitsX 13)
checkY=$(unitsY 256)
fullscreenAt="$(unitsX $((13 + 25))) $(unitsY $((256 + 4)))"
beginAt="$(unitsX $((141 + 55))) $(unitsY $((235 + 6)))"
endAt="$(unitsX $((141 + 55))) $(unitsY $((254 + 6)))"
checkBox="11x11+$((checkX + 1))+$((checkY + 2))"  # inside the box's frame

echo "== Begin after two clicks on Fullscreen"
startRun begin
if dialog=$(waitWindow "$dialogName"); then
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  [ "$WIDTH" = "$(unitsX 262)" ] && [ "$HEIGHT" = "$(unitsY 281)" ] ||
    fail "dialog is ${WIDTH}x${HEIGHT}, not $(unitsX 262)x$(unitsY 281)"
  [ $((X - (1280 - WIDTH) / 2)) -le 1 ] && [ $(((1280 - WIDTH) / 2 - X)) -le 1 ] &&
    [ $((Y - (1024 - HEIGHT) / 2)) -le 1 ] && [ $(((1024 - HEIGHT) / 2 - Y)) -le 1 ] ||
    fail "dialog at $X,$Y is not centred"
  # The screenshot once a frame has been drawn (the face colour is there).
  for _ in $(seq 25); do
    import -window "$dialog" "$out/dialog.png"
    [ "$(pixel "$out/dialog.png" $((WIDTH - 3)) $((HEIGHT - 3)))" = "$face" ] && break
    sleep 0.2
  done
  echo "screenshot: $out/dialog.png"
  # The 390 x 330 picture at (0, 0), the face colour around it.
  for at in "389 10" "10 329" "200 165"; do
    [ "$(pixel "$out/dialog.png" $at)" != "$face" ] || fail "no picture at $at"
  done
  for at in "391 10" "10 331" "$((WIDTH - 3)) $((HEIGHT - 3))"; do
    [ "$(pixel "$out/dialog.png" $at)" = "$face" ] || fail "not the face colour at $at"
  done

  unchecked=$(regionHash "$dialog" "$checkBox")
  click "$dialog" $fullscreenAt
  waitRegion "$dialog" "$checkBox" != "$unchecked" || fail "the first click on Fullscreen did not check it"
  click "$dialog" $fullscreenAt
  waitRegion "$dialog" "$checkBox" = "$unchecked" || fail "the second click on Fullscreen did not uncheck it"
  click "$dialog" $beginAt

  if window=$(waitWindow "$demoName"); then
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "${WIDTH}x${HEIGHT}" = "800x600" ] || fail "demo window is ${WIDTH}x${HEIGHT}, not windowed 800x600"
  else
    fail "no demo window after Begin"
  fi
else
  fail "no dialog window captioned '$dialogName'"
fi
waitExit 30
[ "$status" = 0 ] || fail "run after Begin ended with status $status"

echo "== Begin after one click on Fullscreen"
startRun fullscreen
if dialog=$(waitWindow "$dialogName"); then
  sleep 0.5
  click "$dialog" $fullscreenAt
  click "$dialog" $beginAt
  if window=$(waitWindow "$demoName"); then
    # With no window manager to fill the screen, a full-screen window keeps
    # its size; unlike a framed one it does not pin its size in its hints.
    if command -v xprop > /dev/null; then
      xprop -id "$window" WM_NORMAL_HINTS > "$work/fullscreen/hints.txt"
      grep -q "WM_SIZE_HINTS" "$work/fullscreen/hints.txt" && ! grep -q "maximum size" "$work/fullscreen/hints.txt" ||
        fail "the demo window is framed, not full screen: $(cat "$work/fullscreen/hints.txt")"
    fi
  else
    fail "no demo window after Begin"
  fi
else
  fail "no dialog window captioned '$dialogName'"
fi
waitExit 30
[ "$status" = 0 ] || fail "full-screen run ended with status $status"

echo "== End, after Escape and Enter do nothing"
startRun end
sawDemo=""
if dialog=$(waitWindow "$dialogName"); then
  sleep 0.5
  xdotool mousemove --window "$dialog" 100 100
  xdotool windowfocus "$dialog" 2> /dev/null
  xdotool key Escape
  xdotool key Return
  sleep 0.8
  kill -0 "$demo" 2> /dev/null && [ -n "$(findWindow "$dialogName")" ] || fail "Escape or Enter closed the dialog"
  click "$dialog" $endAt
  for _ in $(seq 100); do
    [ -n "$(findWindow "$demoName")" ] && sawDemo=yes
    kill -0 "$demo" 2> /dev/null || break
    sleep 0.1
  done
else
  fail "no dialog window captioned '$dialogName'"
fi
waitExit 10
[ "$status" = 0 ] || fail "run after End ended with status $status"
[ -z "$sawDemo$(findWindow "$demoName")" ] || fail "a demo window opened after End"

if [ "$failures" -gt 0 ]; then
  for log in "$work"/*/quorin.log; do
    echo "--- $log"
    cat "$log"
  done
  exit 1
fi
echo "dialog under Xvfb: all checks passed"
