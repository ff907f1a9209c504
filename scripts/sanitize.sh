#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and
# runs the whole test suite there, the GL tests included. Any finding fails the test that
# made it. Extra arguments go to the configure step.
#
# From an empty build-asan/ on two cores: about 9 minutes to build and 2 of tests when the
# cores are otherwise idle, up to 25 and 4 when others are building on them; QUARVEL_JOBS sets
# the parallelism (default: the number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${QUARVEL_JOBS:-$(nproc)}

# The build runs instrumented programs too (the data generators, test discovery), so the
# options hold for both steps. Leaks are checked at every exit; LSan suppressions cover
# only what the system libraries keep.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"

# Libraries stay loaded to the end (scripts/keep_modules.c), so that what the GL
# driver still holds is seen through its globals rather than reported as lost. Built plain:
# it is preloaded into every process of the run, instrumented or not.
mkdir -p build-asan
cc -shared -fPIC -O2 -o build-asan/keep_modules.so scripts/keep_modules.c
export LD_PRELOAD="$root/build-asan/keep_modules.so${LD_PRELOAD:+:$LD_PRELOAD}"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_SANITIZE=address,undefined \
      -DQUARVEL_BUILD_BENCHMARKS=OFF "$@"
cmake --build build-asan -j "$jobs"
cd build-asan
export QUARVEL_D3D11_STRICT=1
ctest --output-on-failure -j "$jobs" --timeout 600
