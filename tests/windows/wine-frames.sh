#!/usr/bin/env bash
# The frame-dump tool's pictures of the same moments from the stand-in (Linux) and from Wine's
# Direct3D 11 (the Windows build, in the Wine root), compared by compare_frames.py. The
# moments cover every stage: the loading bar, the fade-in, the car entering, the billboards,
# the car leaving, the cross-fade, the sea, the fade-out and after the end.
#
#   wine-frames.sh HOST_BUILD WINDOWS_BUILD RESULTS_DIR
#
# RESULTS_DIR gets linux/ and wine/ (a PNG per moment) and table.md.
set -euo pipefail
cd "$(dirname "$0")/../.."
host=$(realpath "$1")
windows=$(realpath "$2")
results=$(realpath -m "$3")
rm -rf "$results"
mkdir -p "$results/linux" "$results/wine"

# MOMENT:MEAN/SHARE, the limits the comparison holds each frame to (compare_frames.py). The
# 2D and road frames: within a level on average, almost no pixel off by more than 8. The sea
# is ray-marched: its water's glints and the fade of its horizon land on other pixels after
# a different compiler's rounding, so it has wider limits.
specs=(
  bar20:0.1/0.05 bar100:0.1/0.05
  250:1/0.5 700:1/0.5 3000:1/0.5 4500:1/0.5 7000:1/0.5 9500:1/0.5 12000:1/0.5 15000:1/0.5
  17500:1/0.5 18000:2/2 18500:3/6
  20000:4/12 25000:4/12 29300:4/12 29700:2/6 30500:0.1/0.05
)
moments=()
for spec in "${specs[@]}"; do moments+=("${spec%%:*}"); done

(cd "$host" && SDL_VIDEODRIVER=offscreen ./quarvel_frame_dump "$results/linux" 1280x720 "${moments[@]}")
scripts/wine-root.sh run tests/windows/wine-session.sh bash -c \
  'cd "$1/quarvel-win32" && "$WINE" ../quarvel_frame_dump.exe "$2" 1280x720 "${@:3}"' _ \
  "$windows" "$results/wine" "${moments[@]}"
/usr/bin/python3 tests/windows/compare_frames.py "$results/linux" "$results/wine" "$results/table.md" "${specs[@]}"
