#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
# The Windows package, cross-compiled from the same sources against the real Windows headers,
# so a stand-in whose signature drifts from the real API breaks here. It packs the data and
# shaders that build/ has just made.
QUARVEL_HOST_BUILD=build QUARVEL_JOBS="$(nproc)" scripts/build-windows.sh
cd build
# A call that Direct3D would crash on aborts under test, as it would on Windows.
export QUARVEL_D3D11_STRICT=1
ctest --output-on-failure -j "$(nproc)" --timeout 600
