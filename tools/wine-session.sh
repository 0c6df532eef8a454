# Sourced by the test and bench scripts: starts a private Xvfb and a fresh Wine prefix (of the
# architecture tools/arch.sh chose) in a temporary folder, exports DISPLAY/WINEPREFIX/..., and
# removes both on exit. Booting a prefix takes about 10 s, so one is made per run and shared by its
# tests. Exits the shell that sources it, having said why, when either cannot be made.

VELMORA_SESSION_DIR=$(mktemp -d /tmp/velmora-test.XXXXXX)
export WINEPREFIX="$VELMORA_SESSION_DIR/prefix"
export VELMORA_SESSION_DIR

velmora_session_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${VELMORA_XVFB_PID:-}" ]; then kill "$VELMORA_XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$VELMORA_SESSION_DIR"
}
trap velmora_session_cleanup EXIT

# shellcheck source=tools/wine-prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" &&
  velmora_start_xvfb "$VELMORA_SESSION_DIR" &&
  velmora_prepare_prefix || exit 1
