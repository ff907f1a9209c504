#!/usr/bin/env bash
# Runs one command inside the Wine root (scripts/wine-root.sh run) on a virtual display of its
# own. The display's frame buffer is also a file, $QUARVEL_FB (an XWD image that Xvfb keeps
# current), which the checks copy for screenshots. The root's network namespace is private,
# so display :7 cannot meet another Xvfb on this machine. QUARVEL_WINE_SCREEN sets its size
# (WIDTHxHEIGHTxDEPTH, default 1280x1024x24).
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all} WINE=/usr/lib/wine/wine64 PATH=/usr/lib/wine:$PATH
# No Mono or Gecko installer prompts; and a crash ends the process instead of waiting on the
# debugger's dialog, so the checks see it as an exit status and a message.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
mkdir -p /tmp/fb
Xvfb :7 -screen 0 "${QUARVEL_WINE_SCREEN:-1280x1024x24}" -fbdir /tmp/fb -nolisten tcp >/tmp/xvfb.log 2>&1 &
xvfb=$!
export DISPLAY=:7 QUARVEL_FB=/tmp/fb/Xvfb_screen0
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "wine-session: Xvfb did not start: $(tail -1 /tmp/xvfb.log)" >&2; exit 2; }
# Under set -e a failing command in the trap would replace the command's exit status: a
# Wine server that has already gone made a passing command fail.
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
"$@"
