# Sourced by the test and bench scripts: starts a private Xvfb and a fresh 32-bit Wine prefix
# in a temporary folder, exports DISPLAY/WINEPREFIX/..., and removes both on exit.
# Booting a prefix takes about 10 s, so one is made per run and shared by its tests.

VELMORA_SESSION_DIR=$(mktemp -d /tmp/velmora-test.XXXXXX)
export WINEARCH=win32
export WINEPREFIX="$VELMORA_SESSION_DIR/prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko add-on prompts
export WINEDEBUG=-all
export VELMORA_SESSION_DIR

velmora_session_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${VELMORA_XVFB_PID:-}" ]; then kill "$VELMORA_XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$VELMORA_SESSION_DIR"
}
trap velmora_session_cleanup EXIT

# Xvfb picks a free display number itself and writes it to fd 3.
exec 3>"$VELMORA_SESSION_DIR/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
VELMORA_XVFB_PID=$!
exec 3>&-
for _ in $(seq 1 100); do
  [ -s "$VELMORA_SESSION_DIR/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$VELMORA_SESSION_DIR/display")"

wineboot -i >/dev/null 2>&1

# Wine does not know the Chinese font names that the window asks for and falls back to any
# GB2312 face (often the Kai one). Map them onto the installed Arphic faces: Song/SimSun to
# Ming, Kai to Kai. The .reg file is UTF-16 so the names survive whatever the Unix locale is.
printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
  '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' '"楷体_GB2312"="AR PL UKai CN"' |
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$VELMORA_SESSION_DIR/fonts.reg"
wine reg import "$(winepath -w "$VELMORA_SESSION_DIR/fonts.reg")" >/dev/null 2>&1
wineserver -w
