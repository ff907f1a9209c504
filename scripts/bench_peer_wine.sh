#!/usr/bin/env bash
# The peer comparison's Windows side: builds bench/d3d11/peer/peer_draws.cpp for 64-bit
# Windows with mingw-w64 and runs it under Wine 10 in the Debian 13 root (scripts/wine-root.sh),
# whose Direct3D 11 draws through Mesa (GLX on Xvfb). Only its 64-bit side runs here. The root
# and the x86-64 compiler are made here when missing (scripts/setup.sh wine).
#
#   scripts/bench_peer_wine.sh OUT_DIR    writes OUT_DIR/peer_wine.json
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "$1")
mkdir -p "$out"

scripts/setup.sh wine

x86_64-w64-mingw32-g++-posix -O2 -std=c++17 -static -o "$out/peer_draws.exe" bench/d3d11/peer/peer_draws.cpp \
  -ld3d11 -ld3dcompiler_47
export WINEPREFIX="$out/wine-prefix"
# The root sees the clone only; a folder outside it is mounted at the same path.
export QUARVEL_WINE_BINDS=$out
in_root() { scripts/wine-root.sh run tests/windows/wine-session.sh bash -c "$@"; }
# Wine's Direct3D needs the display's settings, which a prefix records on its first start;
# so the prefix is made on the same kind of display the program then runs on.
in_root '"$WINE" wineboot --init' >/dev/null 2>&1
for attempt in 1 2; do
  in_root '"$WINE" "$1"' _ "$out/peer_draws.exe" 2>"$out/peer_wine.log" |
    grep '^{' > "$out/peer_wine.json" && break
  echo "bench_peer_wine: attempt $attempt failed: $(tail -1 "$out/peer_wine.log")" >&2
done
cat "$out/peer_wine.json"
