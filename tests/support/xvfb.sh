# Shell helpers for tests that drive the program in a real X window on Xvfb.
# Source it, then call startXvfb WORKDIR; DISPLAY is exported and the server
# is stopped when the script exits. Exits 77 (skipped) when a tool is missing.

skipTest() {
  echo "SKIP: $* (scripts/install-deps.sh installs it)"
  exit 77
}

requireTools() {
  for tool in "$@"; do
    command -v "$tool" > /dev/null || skipTest "$tool not found"
  done
}

startXvfb() {
  local work=$1
  requireTools Xvfb xdotool import
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
  xvfbPid=$!
  trap 'kill $xvfbPid 2> /dev/null; wait 2> /dev/null' EXIT
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "FAIL: Xvfb did not start:"
    cat "$work/xvfb.log"
    exit 1
  fi
  export DISPLAY=":$(head -n 1 "$work/display")"
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
  export SDL_AUDIODRIVER=dummy
}

# Waits up to 20 s for a visible window whose name matches; prints its id.
waitForWindow() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
