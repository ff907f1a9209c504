#!/usr/bin/env bash
# Cross-compiles the 32-bit Windows program with mingw-w64 and packs
# build-windows/quarvel-win32.zip: quarvel.exe beside its Data/ and Shaders/ folders.
#
# The build-time tools (pictures, music, mesh, shader packer) are Linux programs, so they are
# built and run in a native tree: build-wintools/ by default, or the existing native tree that
# QUARVEL_HOST_BUILD names (e.g. QUARVEL_HOST_BUILD=build, reusing what it has made).
# QUARVEL_JOBS sets the parallel jobs (default 2). Other arguments go to the cross configure.
#
# --compile-only: compiles every Windows object and library (the system parts, the audio
# library, the synthesizer, the resources) without linking the program or packing; no host
# tools are needed for that.
set -euo pipefail
cd "$(dirname "$0")/.."

compile_only=0
if [ "${1:-}" = "--compile-only" ]; then
  compile_only=1
  shift
fi
jobs=${QUARVEL_JOBS:-2}

cross_args=(
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
  -DCMAKE_BUILD_TYPE=Release
  -DQUARVEL_BUILD_TESTS=OFF -DQUARVEL_BUILD_BENCHMARKS=OFF
)

if [ "$compile_only" -eq 1 ]; then
  cmake -S . -B build-windows "${cross_args[@]}" -DQUARVEL_HOST_BUILD_DIR= "$@"
  cmake --build build-windows -j "$jobs" --target quarvel_system quarvel_audio quarvel_synth quarvel_resources
  echo "build-windows: compiled (not linked, not packed)"
  exit 0
fi

host=$(realpath -m "${QUARVEL_HOST_BUILD:-build-wintools}")
if [ -z "${QUARVEL_HOST_BUILD:-}" ]; then
  cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUARVEL_BUILD_TESTS=OFF -DQUARVEL_BUILD_BENCHMARKS=OFF
elif [ ! -f "$host/CMakeCache.txt" ]; then
  echo "build-windows: QUARVEL_HOST_BUILD=$host is not a configured build tree" >&2
  exit 1
fi
cmake --build "$host" --target quarvel_assets -j "$jobs"

cmake -S . -B build-windows "${cross_args[@]}" -DQUARVEL_HOST_BUILD_DIR="$host" "$@"
cmake --build build-windows -j "$jobs"

file build-windows/quarvel.exe
python3 tests/windows/check_package.py build-windows/quarvel-win32.zip
