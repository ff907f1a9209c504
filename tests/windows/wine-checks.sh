#!/usr/bin/env bash
# The Windows build checked under Wine 10, an independent Direct3D 11 and HLSL compiler, in
# the Debian 13 root that scripts/setup.sh wine makes (needs root once). Builds a 64-bit
# variant (build-windows/wine64/; this kind of machine runs no 32-bit Linux code, so Wine's
# 32-bit side is out of reach), then, each part inside the root on a virtual display of its own:
#  audio     the audio library's ACM decoding compared with ffmpeg's, and playback through its
#            calls with no sound device and through winmm wave output on ALSA's null device;
#  dialog    the setup dialog comes up and Escape in it gives exit status 255;
#  show      the whole presentation as a person runs it (tests/windows/wine_show_check.py says
#            what each run must show), Escape during the road scene, and the fault cases;
#  frames    the frame-dump tool's pictures from Wine's Direct3D against the stand-in's;
#  gpu-tests the suites that assert what Direct3D draws (tests/windows/gpu_suites.cmake), built
#            for Windows and run against Wine's Direct3D; their XML reports go to the results.
# Arguments pick parts (default: all). Needs a native tree that has made the data files and
# the Linux frame-dump tool (QUARVEL_HOST_BUILD, default build). Results, screenshots and the
# frame table go to build-windows/wine-results/.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/setup.sh wine

host=$(realpath -m "${QUARVEL_HOST_BUILD:-build}")
out=build-windows/wine64
results=$PWD/build-windows/wine-results
parts=("$@")
[ ${#parts[@]} -eq 0 ] && parts=(audio dialog show frames gpu-tests)
for tool in x86_64-w64-mingw32-g++-posix ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "wine-checks: $tool is missing" >&2; exit 2; }
done

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
      -DCMAKE_BUILD_TYPE=Release -DQUARVEL_BUILD_TESTS=ON -DQUARVEL_BUILD_BENCHMARKS=OFF \
      -DQUARVEL_HOST_BUILD_DIR="$host" -DQUARVEL_WINE_SMOKE=ON -DQUARVEL_FRAME_DUMP=ON >/dev/null
cmake --build "$out" -j "${QUARVEL_JOBS:-2}"

export WINEPREFIX=$PWD/build-windows/wine-prefix
in_root() { scripts/wine-root.sh run tests/windows/wine-session.sh "$@"; }
# Wine's Direct3D takes the display's settings from the prefix, which records them on its
# first start: the prefix is made on the same kind of display the checks use.
[ -d "$WINEPREFIX" ] || in_root bash -c '"$WINE" wineboot --init' >/dev/null 2>&1
package=$PWD/$out/quarvel-win32
music="Data/BRISVANE KETRA MASTER 22.mp3"
mkdir -p "$results"
scratch=$(mktemp -d -p "$PWD/build-windows")
trap 'rm -rf "$scratch"' EXIT
status=0
fail() { echo "wine-checks: FAILED: $*"; status=1; }

for part in "${parts[@]}"; do
  started=$SECONDS
  echo "== $part"
  case "$part" in
    audio)
      # The audio runs need no display but go through the same entry for one Wine per root.
      mkdir -p "$scratch/home"
      printf 'pcm.!default { type null }\n' > "$scratch/home/.asoundrc"
      in_root bash -c "cd '$package' && \"\$WINE\" ../quarvel_wine_audio_smoke.exe '$music' '$scratch/acm.raw' &&
        HOME='$scratch/home' \"\$WINE\" ../quarvel_wine_audio_smoke.exe '$music' '$scratch/acm2.raw' --unpaced" 2>/dev/null ||
        fail "audio smoke program"
      ffmpeg -v error -y -i "$package/$music" -f s16le -acodec pcm_s16le "$scratch/ffmpeg.raw"
      python3 - "$scratch/acm.raw" "$scratch/ffmpeg.raw" <<'PY' || fail "ACM decoding differs from ffmpeg's"
import array, sys
ours, reference = (array.array("h", open(path, "rb").read()) for path in sys.argv[1:3])
worst = max((abs(a - b) for a, b in zip(ours, reference)), default=0)
print("decoded %d samples, ffmpeg %d; largest difference %d" % (len(ours), len(reference), worst))
# Two decoders round differently, but a sample out of place shows as a large difference.
sys.exit(0 if len(ours) == len(reference) and worst <= 8 else 1)
PY
      ;;
    dialog)
      in_root bash -c 'cd "$1" && "$WINE" quarvel.exe >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 1 120); do
          dialog=$(xdotool search --name "^Quarvel\$" 2>/dev/null | head -1) && [ -n "$dialog" ] && break
          sleep 0.5
        done
        if [ -z "${dialog:-}" ]; then echo "no setup dialog"; kill $pid; exit 1; fi
        sleep 1
        xdotool windowfocus --sync "$dialog"; xdotool key Escape
        wait $pid && code=0 || code=$?
        echo "setup dialog shown; Escape ends the program with status $code"
        [ "$code" -eq 255 ]' _ "$package" || fail "dialog"
      ;;
    show)
      tests/windows/wine-show-cases.sh "$package" "$results/show" || fail "presentation under Wine"
      ;;
    frames)
      tests/windows/wine-frames.sh "$host" "$PWD/$out" "$results/frames" || fail "frames against the stand-in"
      ;;
    gpu-tests)
      # Only this part builds the suites. Each runs beside the package's Data/ and Shaders/,
      # with the debug font the text case reads, which the package leaves out. The display is
      # the size of the stand-in's virtual desktop: Windows holds a framed window to its
      # largest tracking size, which follows the screen's, and on the default 1280 x 1024 the
      # suites' 1366 x 768 and 1280 x 1024 client areas would come out smaller.
      cmake --build "$out" -j "${QUARVEL_JOBS:-2}" --target quarvel_gpu_tests
      gpu=$PWD/$out/gpu-tests
      rm -rf "$gpu/Data" "$gpu/Shaders" "$gpu"/*.xml "$results/gpu-tests"
      cp -r "$package/Data" "$package/Shaders" "$gpu/"
      cp "$host/Data/DebugFont.bin" "$gpu/Data/"
      mkdir -p "$results/gpu-tests"
      QUARVEL_WINE_SCREEN=1920x1080x24 in_root bash -c 'cd "$1" && failed=0
        for suite in *_test.exe; do
          name=${suite%.exe}
          timeout 900 "$WINE" "$suite" --gtest_output="xml:$name.xml" 2>&1 | tr -d "\r" >"$2/$name.log"
          status=${PIPESTATUS[0]}; [ "$status" -eq 0 ] || { failed=$((failed + 1)); echo "$name: exit status $status"; }
          mv "$name.xml" "$2/" 2>/dev/null || true
          echo "$name: $(grep -E "^\[  (PASSED|FAILED|SKIPPED) +\] [0-9]" "$2/$name.log" | tr -s " " | paste -sd " ")"
          # Each failed or skipped case, a skip with its reason.
          awk "/: Skipped\$/ { getline; print \"  \" \$0 }
               /^\[  (FAILED  |SKIPPED ) *\] [^0-9].*\([0-9]+ ms\)\$/ { print \"  \" \$0 }" "$2/$name.log"
        done
        exit $failed' _ "$gpu" "$results/gpu-tests" || fail "GPU suites under Wine (logs in $results/gpu-tests)"
      ;;
    *) fail "unknown part $part" ;;
  esac
  echo "-- $part: $((SECONDS - started)) s"
done

[ "$status" -eq 0 ] && echo "wine-checks: all passed" || echo "wine-checks: FAILED"
exit "$status"
