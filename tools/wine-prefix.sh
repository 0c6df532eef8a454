# Sourced by run.sh and tools/wine-session.sh: the one place that knows how this program's Wine
# prefix is made (of the architecture tools/arch.sh chose, no add-on prompts, the Chinese fonts
# the window asks for) and how a private Xvfb is started when there is no screen.
# Sourcing it fails when tools/arch.sh does.

# shellcheck source=tools/arch.sh
source "$(dirname "${BASH_SOURCE[0]}")/arch.sh" || return 1
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"   # no Mono or Gecko add-on prompts
export WINEDEBUG="${WINEDEBUG:--all}"

# Starts Xvfb on a free display number (Xvfb picks it and writes it to fd 3) and exports
# DISPLAY and VELMORA_XVFB_PID. $1 is a folder for the display number. Fails, having said why,
# when no display comes up within 10 s (the Xvfb is then stopped).
velmora_start_xvfb() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  VELMORA_XVFB_PID=$!
  exec 3>&-
  export VELMORA_XVFB_PID
  for _ in $(seq 1 100); do
    if [ -s "$1/display" ]; then
      export DISPLAY=":$(head -n1 "$1/display")"
      return 0
    fi
    sleep 0.1
  done
  kill "$VELMORA_XVFB_PID" 2>/dev/null
  echo "Xvfb gave no display within 10 s: is xvfb installed (tools/install-deps.sh)?" >&2
  return 1
}

# Makes $WINEPREFIX ready for the program; a prefix that is ready already is left as it is, so a
# second start takes no time here. Fails, having said why in one line, when Wine cannot make it.
velmora_prepare_prefix() {
  local marker="$WINEPREFIX/.velmora-fonts" out
  [ -f "$marker" ] && return 0
  if ! out=$("$VELMORA_WINE" wineboot -i 2>&1); then
    echo "Wine could not make the $VELMORA_ARCH prefix $WINEPREFIX ($VELMORA_WINE wineboot:" \
      "$(grep -v '^$' <<<"$out" | tail -n1)): check that Wine is installed" \
      "(tools/install-deps.sh) and that the folder is not a prefix of another architecture" >&2
    return 1
  fi
  # Wine does not know the Chinese font names that the window asks for and falls back to any
  # GB2312 face (often the Kai one, whose digits are too narrow for the fields). Map them onto
  # the installed Arphic faces: Song/SimSun to Ming, Kai to Kai. The .reg file is UTF-16 so the
  # names survive whatever the Unix locale is.
  local reg="$WINEPREFIX/drive_c/velmora-fonts.reg"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' '"楷体_GB2312"="AR PL UKai CN"' |
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  if ! out=$("$VELMORA_WINE" reg import 'C:\velmora-fonts.reg' 2>&1); then
    echo "Wine could not map the fonts in $WINEPREFIX (reg import: $(tail -n1 <<<"$out"))" >&2
    return 1
  fi
  rm -f "$reg"
  wineserver -w
  touch "$marker"
}
