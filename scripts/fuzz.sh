#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, then runs each one for a bounded time starting
# from its committed corpus (tests/fuzz/corpus/<target>/). Inputs that find new code are
# kept in build-fuzz/fuzz-corpus/<target>/, never in the committed corpus; a crashing input is
# saved as build-fuzz/fuzz-artifacts/<target>/crash-* and fails the script.
#
#   scripts/fuzz.sh [target ...]     default: every target
#   QUARVEL_FUZZ_SECONDS=60          time per target
#   QUARVEL_JOBS                     build parallelism (default: the number of cores)
#   QUARVEL_FUZZ_KEEP_GOING=1        run on past a finding (libFuzzer's fork mode), to collect
#                                    every crashing input of a long run; fails if there is one
#
# From an empty build-fuzz/ the build takes under a minute on two idle cores (it compiles only
# what the targets link, about 80 files) and up to 8 on busy ones; then each target runs
# QUARVEL_FUZZ_SECONDS plus a second or two: about 7 minutes in all with the defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${QUARVEL_JOBS:-$(nproc)}
seconds=${QUARVEL_FUZZ_SECONDS:-60}
clang=${QUARVEL_CLANG:-clang-14}
clangxx=${QUARVEL_CLANGXX:-clang++-14}

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=$clang CXX=$clangxx cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUARVEL_SANITIZE=address,undefined,fuzzer -DQUARVEL_BUILD_BENCHMARKS=OFF
fi
cmake --build build-fuzz -j "$jobs" --target quarvel_fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/fuzz/corpus/*/; do
    name=$(basename "$dir")
    [ -x "build-fuzz/tests/fuzz/$name" ] && targets+=("$name")
  done
fi

failed=()
for name in "${targets[@]}"; do
  work=build-fuzz/fuzz-corpus/$name
  artifacts=build-fuzz/fuzz-artifacts/$name
  mkdir -p "$work" "$artifacts"
  echo "=== $name: ${seconds}s"
  # -timeout: one input running 10 s is a hang. -rss_limit_mb: libFuzzer's default, stated.
  keep_going=()
  [ "${QUARVEL_FUZZ_KEEP_GOING:-0}" = 1 ] && keep_going=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
  before=$(ls "$artifacts" | wc -l)
  if ! "build-fuzz/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${keep_going[@]}" \
       -print_final_stats=1 -artifact_prefix="$root/$artifacts/" "$work" "tests/fuzz/corpus/$name" \
       > "build-fuzz/fuzz-$name.log" 2>&1 || [ "$(ls "$artifacts" | wc -l)" -gt "$before" ]; then
    failed+=("$name")
    tail -60 "build-fuzz/fuzz-$name.log"
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+.*DONE' "build-fuzz/fuzz-$name.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in ${failed[*]} (inputs in build-fuzz/fuzz-artifacts/)" >&2
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds}s each without a finding"
