#!/usr/bin/env bash
# Configures and builds the one build tree, build/: every target, or only those that
# QUARVEL_TARGETS names (space-separated), as ./run.sh asks for what it runs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
targets=()
for target in ${QUARVEL_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build build -j "$(nproc)" "${targets[@]}"
