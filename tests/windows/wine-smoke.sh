#!/usr/bin/env bash
# The Windows build under Debian's Wine, which runs 64-bit programs only (CI runs it after
# ./test.sh): builds a 64-bit variant (build-windows/wine64/), then
#  1. runs the audio smoke program on the music file: ACM decoding through the library's
#     decoder, then playback, position, level and spectrum through its calls; the decoded
#     samples are compared with ffmpeg's gapless decoding of the same file. It runs twice: with
#     no sound device (the library's null output), and with ALSA's null device as Wine's wave
#     output (the winmm path; that device plays faster than real time, so only the position's
#     moving on is checked there);
#  2. starts quarvel.exe under Xvfb, checks that the setup dialog (resource 101) comes up, and
#     presses Escape in it: the exit status must be 255 (-1).
# Wine's HLSL compiler cannot compile the presentation's shaders, so what the program draws is
# not checked here. Installs Wine and the 64-bit Windows compiler when missing (scripts/setup.sh
# wine), and needs a native tree that has made the data files (QUARVEL_HOST_BUILD, default
# build-wintools; ./test.sh makes build/).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/setup.sh wine

host=$(realpath -m "${QUARVEL_HOST_BUILD:-build-wintools}")
out=build-windows/wine64
wine=/usr/lib/wine/wine64
for tool in "$wine" x86_64-w64-mingw32-g++-posix xvfb-run xdotool ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "wine-smoke: $tool is missing" >&2; exit 2; }
done

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
      -DCMAKE_BUILD_TYPE=Release -DQUARVEL_BUILD_TESTS=OFF -DQUARVEL_BUILD_BENCHMARKS=OFF \
      -DQUARVEL_HOST_BUILD_DIR="$host" -DQUARVEL_WINE_SMOKE=ON
cmake --build "$out" -j "${QUARVEL_JOBS:-2}"

export WINEPREFIX=$PWD/build-windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot --init >/dev/null 2>&1
package=$out/quarvel-win32
music="Data/BRISVANE KETRA MASTER 22.mp3"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0

echo "== audio"
(cd "$package" && "$wine" ../quarvel_wine_audio_smoke.exe "$music" "$scratch/acm.raw" 2>/dev/null) || status=1
# ALSA's null device as the default one, for a wave output that Wine can open.
mkdir -p "$scratch/home"
printf 'pcm.!default { type null }\n' > "$scratch/home/.asoundrc"
(cd "$package" && HOME="$scratch/home" "$wine" ../quarvel_wine_audio_smoke.exe "$music" "$scratch/acm2.raw" --unpaced 2>/dev/null) || status=1
ffmpeg -v error -y -i "$package/$music" -f s16le -acodec pcm_s16le "$scratch/ffmpeg.raw"
python3 - "$scratch/acm.raw" "$scratch/ffmpeg.raw" <<'PY' || status=1
import array, sys
ours, reference = (array.array("h", open(path, "rb").read()) for path in sys.argv[1:3])
worst = max((abs(a - b) for a, b in zip(ours, reference)), default=0)
print("decoded %d samples, ffmpeg %d; largest difference %d" % (len(ours), len(reference), worst))
# Two decoders round differently, but a sample out of place shows as a large difference.
sys.exit(0 if len(ours) == len(reference) and worst <= 8 else 1)
PY

echo "== dialog"
# The audio runs' Wine session, started without a display, would outlive them for a while and
# take the dialog's windows: end it first.
/usr/lib/wine/wineserver -k 2>/dev/null || true
/usr/lib/wine/wineserver -w 2>/dev/null || true
cat > "$scratch/dialog.sh" <<'SH'
"$1" quarvel.exe >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 120); do
  dialog=$(xdotool search --name '^Quarvel$' 2>/dev/null | head -1) && [ -n "$dialog" ] && break
  sleep 0.5
done
if [ -z "${dialog:-}" ]; then echo "no setup dialog"; kill $pid; exit 1; fi
sleep 1
xdotool key --window "$dialog" Escape
wait $pid && code=0 || code=$?
echo "setup dialog shown; Escape ends the program with status $code"
[ "$code" -eq 255 ]
SH
(cd "$package" && xvfb-run -a -s "-screen 0 1280x1024x24" bash "$scratch/dialog.sh" "$wine" 2>/dev/null) || status=1

[ "$status" -eq 0 ] && echo "wine-smoke: all passed" || echo "wine-smoke: FAILED"
exit "$status"
