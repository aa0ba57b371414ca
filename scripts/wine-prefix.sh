#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX once, then makes sure of the
# settings the programs and tests rely on:
#  - the Windows UI faces (title bars, message boxes, "MS Sans Serif" forms)
#    are replaced by a face that has Chinese glyphs, as font linking does on a
#    Chinese Windows;
#  - with --unmanaged, windows are not handed to a window manager: on a bare
#    Xvfb there is none, and Wine would wait for one whenever a window is
#    hidden or destroyed;
#  - a program that crashes gets no crash dialog: Wine's debugger writes the
#    backtrace to the program's output and ends it, where a dialog would wait
#    for a click until the test's time-out.
set -euo pipefail

# Waits for the prefix's server to end, within a bound: now and then Wine's
# background services (explorer, plugplay) stay after a prefix's first start
# and the wait would never end. The server writes the registry out as it
# goes and again when it is told to stop, so stopping it after the bound
# loses nothing.
wait_server() {
  timeout 120 wineserver -w || { wineserver -k >/dev/null 2>&1 || true; sleep 1; }
}

: "${WINEPREFIX:?WINEPREFIX must be set}"
stamp="$WINEPREFIX/.initialised"
settings="$WINEPREFIX/.settings-2${1:+-unmanaged}"

if [ ! -f "$stamp" ]; then
  echo "== creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wait_server
  touch "$stamp"
fi

if [ ! -f "$settings" ]; then
  cjk="WenQuanYi Micro Hei"
  for face in "MS Sans Serif" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" Tahoma "Segoe UI" \
              SimSun NSimSun "Microsoft YaHei"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$cjk" /f >/dev/null 2>&1
  done
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  if [ "${1:-}" = "--unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  wait_server
  rm -f "$WINEPREFIX"/.settings-*
  touch "$settings"
fi
