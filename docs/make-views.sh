#!/bin/bash
# Makes the README's pictures of the three views from the real program under Wine, over the
# end-to-end tests' checkered backdrop on the root window, so that the see-through parts show:
# docs/panel.png (the full panel with a target set), docs/compact.png (the compact strip counting
# down after 启动) and docs/wide.png (the wide strip, reached from there with ★).
#   docs/make-views.sh [build folder]   (build it first; see the README)
# The build folder defaults to that of the program this host runs (tools/arch.sh; VELMORA_ARCH
# forces one).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-session.sh
build=$(realpath "${1:-$VELMORA_BUILD}")
docs=$PWD/docs tests=$PWD/tests/e2e
cd "$VELMORA_SESSION_DIR"  # the programs' logs stay in the session folder and go with it

"$VELMORA_WINE" "$build/velmora.exe" >/dev/null 2>&1 &
velmora=$!  # the loader (/usr/bin/wine execs it): the Windows process, whose windows carry this pid

window=""
for _ in $(seq 1 120); do
  window=$(xdotool search --all --onlyvisible --pid "$velmora" --name '^Velmora' 2>/dev/null | head -n1) || true
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "velmora.exe showed no window" >&2; exit 1; }
# Only now: Xvfb resets the root window when its last client goes, and Wine stays connected.
/usr/bin/python3 -c "import sys; sys.path[:0] = ['$tests']; import rig; rig.start_backdrop()"

# Waits until the window has the size "W H", then lets it paint.
wait_for_size() {
  for _ in $(seq 1 100); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH $HEIGHT" = "$1" ] && { sleep 2; return; }
    sleep 0.2
  done
  echo "the window never became $1" >&2
  exit 1
}

# Clicks at a pixel of the window (15 twips to the pixel, from the layout table).
click_at() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}

# Keeps the pointer off the window, and crops the screen (not the window: its see-through
# parts are what lies behind it) to the window.
shoot() {
  xdotool mousemove 1000 750
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$docs/$1"
}

wait_for_size "389 221"
# A target 1 h 30 min ahead, typed into the six fields (the middles of Picture1(1) to (6)).
read -r -a target <<<"$(date -d '+90 min' '+%Y %m %d %H %M %S')"
fields=("55 98" "107 98" "155 98" "55 122" "107 122" "155 122")
for i in 0 1 2 3 4 5; do
  click_at ${fields[$i]}
  xdotool key --clearmodifiers End shift+Home
  xdotool type --delay 30 "${target[$i]}"
done
shoot panel.png

click_at 182 21  # 启动
wait_for_size "136 37"
shoot compact.png

click_at 122 21  # ★
wait_for_size "389 37"
shoot wide.png
