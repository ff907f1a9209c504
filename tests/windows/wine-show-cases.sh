#!/usr/bin/env bash
# The presentation under Wine as a person runs it, and the faults that matter on Windows, each
# a run of tests/windows/wine-show.sh in the Wine root, checked by wine_show_check.py:
#   full         the whole presentation, nothing pressed after the dialog
#   escape       Escape 4 s into the road scene
#   no-music     the music file missing
#   no-shaders   the Shaders folder empty
#   no-pictures  every picture of Data/ missing
#   syntax       the sea's shader file with a syntax error: one message box
# Each ends as on Linux: status 0, no crash. Screenshots, Wine's output and each run's
# timeline of what its shots showed stay in RESULTS/CASE/.
#
#   wine-show-cases.sh PACKAGE_DIR RESULTS_DIR [CASE...]
set -euo pipefail
cd "$(dirname "$0")/../.."
package=$(realpath "$1")
results=$(realpath -m "$2")
shift 2
cases=("$@")
[ ${#cases[@]} -eq 0 ] && cases=(full escape no-music no-shaders no-pictures syntax)
python=/usr/bin/python3
export WINEPREFIX=${WINEPREFIX:-$PWD/build-windows/wine-prefix}
trees=$(dirname "$package")/wine-cases
rm -rf "$trees"
mkdir -p "$trees" "$results"

# A copy of the package with one fault in it.
stage() {
  local tree=$trees/$1
  cp -r "$package" "$tree"
  case "$1" in
    no-music) rm "$tree/Data/"*.mp3 ;;
    no-shaders) rm -f "$tree/Shaders/"* ;;
    no-pictures) rm "$tree/Data/"*.png ;;
    syntax)
      # "float4 broken( {" before the sea's text: the packed form is the text's length as a
      # little-endian word, then its zlib stream.
      "$python" - "$tree/Shaders/FractalCloud.shader" <<'PY'
import struct, sys, zlib
path = sys.argv[1]
packed = open(path, "rb").read()
text = b"float4 broken( {\n" + zlib.decompress(packed[4:])
open(path, "wb").write(struct.pack("<I", len(text)) + zlib.compress(text, 9))
PY
      ;;
  esac
  echo "$tree"
}

# Wine's Direct3D queues presented frames for a thread of its own (its command stream), and on
# a software rasteriser that queue holds seconds of frames: the screen lags the program, and
# what is still queued when it exits, the fade to black among it, is never shown. Off, each
# frame is on screen when Present returns, as the checks assume.
scripts/wine-root.sh run tests/windows/wine-session.sh bash -c \
  '"$WINE" reg add "HKCU\\Software\\Wine\\Direct3D" /v csmt /t REG_DWORD /d 0 /f' >/dev/null 2>&1

status=0
for case in "${cases[@]}"; do
  tree=$package
  escape=
  expect=quiet
  case "$case" in
    full) expect=full ;;
    escape) expect=escape; escape=4000 ;;
    no-music) tree=$(stage "$case"); expect=no-music ;;
    no-shaders | no-pictures) tree=$(stage "$case") ;;
    syntax) tree=$(stage "$case"); expect=one-box ;;
    *) echo "wine-show-cases: unknown case $case" >&2; exit 2 ;;
  esac
  started=$SECONDS
  printf '%-12s ' "$case"
  scripts/wine-root.sh run tests/windows/wine-session.sh tests/windows/wine-show.sh "$tree" "$results/$case" $escape ||
    true
  if "$python" tests/windows/wine_show_check.py check "$results/$case" "$expect"; then
    echo "             ok ($((SECONDS - started)) s)"
  else
    echo "             FAILED ($((SECONDS - started)) s)"
    status=1
  fi
done
exit "$status"
