# Sourced by run.sh and tools/wine-session.sh: the one place that knows how this program's Wine
# prefix is made (32-bit, no add-on prompts, the Chinese fonts the window asks for) and how a
# private Xvfb is started when there is no screen.

export WINEARCH=win32
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"   # no Mono or Gecko add-on prompts
export WINEDEBUG="${WINEDEBUG:--all}"

# Starts Xvfb on a free display number (Xvfb picks it and writes it to fd 3) and exports
# DISPLAY and VELMORA_XVFB_PID. $1 is a folder for the display number.
velmora_start_xvfb() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  VELMORA_XVFB_PID=$!
  exec 3>&-
  for _ in $(seq 1 100); do
    [ -s "$1/display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$1/display")" VELMORA_XVFB_PID
}

# Makes $WINEPREFIX ready for the program; a prefix that is ready already is left as it is, so a
# second start takes no time here.
velmora_prepare_prefix() {
  local marker="$WINEPREFIX/.velmora-fonts"
  [ -f "$marker" ] && return 0
  wineboot -i >/dev/null 2>&1
  # Wine does not know the Chinese font names that the window asks for and falls back to any
  # GB2312 face (often the Kai one, whose digits are too narrow for the fields). Map them onto
  # the installed Arphic faces: Song/SimSun to Ming, Kai to Kai. The .reg file is UTF-16 so the
  # names survive whatever the Unix locale is.
  local reg="$WINEPREFIX/drive_c/velmora-fonts.reg"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' '"楷体_GB2312"="AR PL UKai CN"' |
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  wine reg import 'C:\velmora-fonts.reg' >/dev/null 2>&1
  rm -f "$reg"
  wineserver -w
  touch "$marker"
}
