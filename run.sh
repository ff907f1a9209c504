#!/usr/bin/env bash
# Installs what is needed, builds, and runs the presentation from the build tree.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
# Only what a run needs: the program with its data and packed shaders, and the synthesizer's
# player. ./test.sh builds the rest (tests, benchmarks, fuzzers).
QUARVEL_TARGETS="quarvel quarvel_assets quarvel-synth" scripts/build.sh
cd build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QUARVEL_RECORD:-}" ]; then
  echo "run: no display here; recording the presentation to build/quarvel.mp4"
  export QUARVEL_RECORD=quarvel.mp4
fi
exec ./quarvel
