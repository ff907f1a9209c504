#!/usr/bin/env bash
# Remakes the seed corpora in tests/fuzz/corpus/<target>/ from the system's real inputs:
#   fuzz_dialog_template  app/setup_dialog.rc compiled by windres (the .res image and its
#                         template), and a classic DIALOG template that windres makes from
#                         the resource script written below
#   fuzz_bass_stream      the head of the presentation's MP3 as the build renders it, and
#                         short MP3s that ffmpeg's LAME encoder makes in other layouts
#                         (mono, MPEG-2 and 2.5 rates, VBR, no tags)
#   fuzz_shader_blob      D3DCompile's code blobs for entry points of the shader sources
#   fuzz_shader_file      the packed .shader files of the build
#   fuzz_mesh             Data/overheadpylon.vbo of the build
#   fuzz_texture          the build's pictures, scaled down by ffmpeg into every PNG pixel
#                         layout it writes (grey, grey+alpha, RGB, RGBA, palette, 16-bit, 1-bit)
#   fuzz_buffer_calls     buffer call sequences written by make_seeds: streaming, staging
#                         round trips, updates and copies, indexed draws, refused calls
# Usage: tools/fuzz_seeds/make_seeds.sh [build-dir]   (default build-fuzz, as scripts/fuzz.sh
# configures it; any configured tree works). Builds what it needs there first. Takes
# a few minutes, most of it rendering the song.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-fuzz}
corpus=$root/tests/fuzz/corpus
[ -f "$build/CMakeCache.txt" ] || { echo "make_seeds: $build is not a configured build tree" >&2; exit 1; }

# The generators run instrumented in a sanitizer tree; what the system libraries keep at
# exit is no concern of seed making.
export ASAN_OPTIONS=detect_leaks=0
cmake --build "$build" -j "${QUARVEL_JOBS:-2}" --target quarvel_fuzz_make_seeds quarvel_shaders quarvel_pylon_mesh_vbo \
  quarvel_pictures quarvel_music_mp3
seeds=$build/tools/fuzz_seeds/quarvel_fuzz_make_seeds
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh() { rm -rf "${corpus:?}/$1" && mkdir -p "$corpus/$1" && echo "$corpus/$1"; }
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# --- dialog templates and .res images ---
out=$(fresh fuzz_dialog_template)
windres=$(command -v i686-w64-mingw32-windres || command -v x86_64-w64-mingw32-windres || command -v windres)
rc() { "$windres" --preprocessor=cpp -DRC_INVOKED -I"$root/platform/include" -O res -i "$1" -o "$2"; }
rc app/setup_dialog.rc "$out/setup_dialog.res"
"$seeds" dialogs "$out" "$out/setup_dialog.res"
cat > "$work/classic.rc" <<'EOF'
#include <windows.h>
LANGUAGE 0, 0
201 DIALOG 0, 0, 186, 95
STYLE DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Classic"
FONT 8, "MS Shell Dlg"
BEGIN
  COMBOBOX 1001, 7, 7, 172, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
  AUTOCHECKBOX "Windowed", 1002, 7, 26, 80, 10
  LTEXT "Mode", -1, 7, 40, 60, 8
  CONTROL "", 1003, "CustomClass", WS_CHILD | WS_VISIBLE, 7, 52, 20, 10
  DEFPUSHBUTTON "OK", IDOK, 75, 74, 50, 14
  PUSHBUTTON "Cancel", IDCANCEL, 129, 74, 50, 14
END
EOF
rc "$work/classic.rc" "$work/classic.res"
"$seeds" dialogs "$out" "$work/classic.res"

# --- MP3 data ---
out=$(fresh fuzz_bass_stream)
head -c 6144 "$build/Data/BRISVANE KETRA MASTER 22.mp3" > "$out/song-head.mp3"
ff -f lavfi -i "sine=frequency=440:duration=0.25:sample_rate=44100" -ac 2 -c:a libmp3lame -b:a 128k "$out/stereo-44100-cbr.mp3"
ff -f lavfi -i "sine=frequency=1000:duration=0.3:sample_rate=22050" -ac 1 -c:a libmp3lame -q:a 4 "$out/mono-22050-vbr.mp3"
ff -f lavfi -i "anoisesrc=duration=0.4:sample_rate=8000:amplitude=0.3" -ac 1 -c:a libmp3lame -b:a 8k "$out/mono-8000.mp3"
ff -f lavfi -i "sine=frequency=220:duration=0.1:sample_rate=48000" -ac 2 -c:a libmp3lame -b:a 320k \
   -write_xing 0 -id3v2_version 0 "$out/stereo-48000-bare.mp3"

# --- code blobs ---
out=$(fresh fuzz_shader_blob)
"$seeds" blobs "$out" Shaders/Shaders2D.fx VS vs_4_0 TTFPS ps_5_0 MergePS ps_5_0
"$seeds" blobs "$out" Shaders/Shaders3D.fx VS vs_4_0 SkyboxVS vs_4_0 DiffuseTextureCubemapPS ps_5_0 SkyboxPS ps_5_0
"$seeds" blobs "$out" Shaders/PostProcess.hlsl VHSPS ps_5_0
"$seeds" blobs "$out" Shaders/FractalCloud.hlsl FractalCloudPS ps_5_0

# --- packed shader files ---
out=$(fresh fuzz_shader_file)
cp "$build"/Shaders/*.shader "$out/"

# --- the mesh file ---
out=$(fresh fuzz_mesh)
cp "$build/Data/overheadpylon.vbo" "$out/"

# --- pictures ---
out=$(fresh fuzz_texture)
wheel="$build/Data/_Ketra_road_scene_car_wheel_134x134.png"
sky="$build/Data/_neon_sunset_SUN_and_MNTNS.png"
grain="$build/Data/PellanGrain5.png"
for format in rgba rgb24 gray ya8 pal8 rgba64be gray16be monob; do
  ff -i "$wheel" -vf scale=9:9 -pix_fmt "$format" "$out/wheel-$format.png"
done
ff -i "$sky" -vf scale=16:9 -pix_fmt rgb24 "$out/sky-rgb24.png"
ff -i "$grain" -vf scale=8:8 -pix_fmt gray "$out/grain-gray.png"

# --- buffer call sequences ---
out=$(fresh fuzz_buffer_calls)
"$seeds" calls "$out"

du -sh "$corpus"/*
