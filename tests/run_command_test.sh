#!/usr/bin/env bash
# `./run.sh` as a newcomer runs it (fresh HOME, no DISPLAY): a prefix with the fonts, the 389x221
# window on the Xvfb it says it started, the end by 退出, and that Xvfb stopped; and a prefix that
# cannot be made: one line of why, and nothing it started left behind.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/arch.sh || exit 1  # the program and loader that run.sh picks as well
home=$(mktemp -d /tmp/velmora-home.XXXXXX)
prefix=${VELMORA_USER_PREFIX/#$HOME/$home}
log="$home/run.log"
fail() { echo "FAIL: $*"; cat "$log"; exit 1; }
cleanup() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT

env -u DISPLAY -u WINEPREFIX -u WINEARCH -u WINEDLLOVERRIDES -u WINEDEBUG HOME="$home" \
  ./run.sh >"$log" 2>&1 &
pid=$!

shown() { display=$(grep -o 'started Xvfb on :[0-9]*' "$log" | grep -o ':[0-9]*') &&
  xwininfo -display "$display" -root -tree 2>/dev/null | grep -q ' 389x221+0+0 '; }
for _ in $(seq 1 1800); do
  shown && break
  kill -0 "$pid" 2>/dev/null || fail "run.sh ended before its window showed"
  sleep 0.1
done
shown || fail "no 389x221 window on the display run.sh said it started (${display:-none})"
echo "the window is on $display"

# The prefix it made maps the window's Chinese font names onto the installed faces.
WINEPREFIX="$prefix" "$VELMORA_WINE" reg query \
  'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v SimSun 2>/dev/null |
  grep -q 'AR PL UMing CN' || fail "the prefix has no font substitutes"

# 退出 (LabelGN(4): 3120,225 twips, 525x180) ends the program, and run.sh its Xvfb.
DISPLAY=$display xdotool mousemove 225 21 click 1
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "run.sh still runs 30 s after 退出"
wait "$pid" || fail "run.sh exited with $?"
pid=
xdpyinfo -display "$display" >/dev/null 2>&1 && fail "the Xvfb on $display outlived run.sh"
echo "run.sh showed the window and ended cleanly"

# A prefix that Wine cannot make (its folder would lie under a file): the cause in one line, exit 1,
# and neither the Xvfb nor the temporary folder it started with left behind.
folders() { find "${TMPDIR:-/tmp}" -maxdepth 1 -name 'tmp.*' | sort; }
before=$(folders)
env -u DISPLAY HOME="$home" WINEPREFIX="$log/prefix" ./run.sh >"$home/fail.log" 2>&1 &&
  fail "run.sh succeeded with a prefix under a file"
grep -q '^Wine could not make the win[36][24] prefix' "$home/fail.log" ||
  fail "no line on why: $(cat "$home/fail.log")"
display=$(grep -o 'started Xvfb on :[0-9]*' "$home/fail.log" | grep -o ':[0-9]*')
xdpyinfo -display "$display" >/dev/null 2>&1 && fail "the Xvfb on $display outlived the failure"
[ "$(folders)" = "$before" ] || fail "run.sh left a temporary folder behind"
echo "run.sh failed with one line of why and left nothing behind"
