#!/usr/bin/env bash
# Builds the benchmark programs, runs each with JSON output and writes BENCHMARKS.md from
# the results (scripts/benchmarks_report.py). Every figure there is a ratio to a baseline
# measured in the same run.
#
#   scripts/benchmarks.sh
#   QUARVEL_BUILD_TREE=build-bench   the build tree to use (default build/; configured as
#                                    scripts/build.sh does when it is not configured yet)
#   QUARVEL_JOBS=N                   build parallelism (default: the number of cores)
#   QUARVEL_BENCH_EARLIER=REV        also builds the program of git revision REV (in
#                                    <tree>/bench-earlier/) and times its start-up and its
#                                    recordings in the same run, to measure a change against
#                                    what came before
#   QUARVEL_BENCH_FULL_RECORDING=1   also records the whole presentation at 1280x720 (about
#                                    four minutes per program)
#   QUARVEL_BENCH_PAIRS=N            recordings of the two programs made in N pairs (default 5)
#   QUARVEL_BENCH_SPREAD=N           the road frame in N separate processes per size, with the
#                                    allocator thresholds fixed and with glibc's own (default 10;
#                                    0 leaves it out; about 20 s a process)
#   QUARVEL_BENCH_SPREAD_GLIBC=N     processes per size for glibc's own thresholds (default: as
#                                    QUARVEL_BENCH_SPREAD)
#   QUARVEL_BENCH_WINE=0             leaves out the peer comparison under Wine (which installs
#                                    the Debian 13 root with Wine 10 and the x86-64 mingw-w64
#                                    compiler when missing)
#
# The results stay in <tree>/bench-results/ (one .json and one .log per program). On two
# idle cores the runs take about three minutes, plus whatever has to be built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tree=$(realpath -m "${QUARVEL_BUILD_TREE:-build}")
jobs=${QUARVEL_JOBS:-$(nproc)}

if [ ! -f "$tree/CMakeCache.txt" ]; then
  cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$tree" -j "$jobs" --target \
  program_compile_bench hlsl_compile_bench startup_bench quarvel_scene_bench draw_bench \
  quarvel_d3d11_draw_bench audio_analysis_bench quarvel_bench_audio_fft quarvel_synth_bench \
  quarvel_peer_draws quarvel quarvel_assets

earlier=${QUARVEL_BENCH_EARLIER:-}
earlier_label=
if [ -n "$earlier" ]; then
  earlier_label=$(git rev-parse --short "$earlier^{commit}")
  earlier_root="$tree/bench-earlier/$earlier_label"
  if [ ! -x "$earlier_root/tree/quarvel" ]; then
    echo "== building $earlier_label for the start-up comparison" >&2
    rm -rf "$earlier_root"
    mkdir -p "$earlier_root/src"
    git archive "$earlier_label" | tar -x -C "$earlier_root/src"
    cmake -S "$earlier_root/src" -B "$earlier_root/tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$earlier_root/configure.log"
    cmake --build "$earlier_root/tree" -j "$jobs" --target quarvel quarvel_assets > "$earlier_root/build.log"
  fi
  export QUARVEL_STARTUP_EARLIER="$earlier_root/tree"
fi

results="$tree/bench-results"
rm -rf "$results"
mkdir -p "$results"

# Nothing here should find a sound device or show a dialog.
export SDL_AUDIODRIVER=dummy
export QUARVEL_SETUP=run

# run NAME PROGRAM [ARGS...]: from the tree's top, where Data/ and Shaders/ are.
run() {
  local name=$1 program=$2
  shift 2
  echo "== $name" >&2
  local start=$SECONDS
  (cd "$tree" && "$program" --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@") \
    > "$results/$name.log" 2>&1 || { echo "$name failed; see $results/$name.log" >&2; tail -20 "$results/$name.log" >&2; exit 1; }
  echo "   $((SECONDS - start)) s" >&2
}

run program_compile "$tree/bench/hlsl/program_compile_bench"
run compile_phases "$tree/bench/hlsl/hlsl_compile_bench"
run startup "$tree/bench/startup/startup_bench"
run frames "$tree/quarvel_scene_bench"
run draw "$tree/bench/draw/draw_bench"
run d3d11_draw "$tree/bench/d3d11/quarvel_d3d11_draw_bench"
run audio_analysis "$tree/bench/draw/audio_analysis_bench"
run audio_fft "$tree/bench/audio/quarvel_bench_audio_fft"
run synth "$tree/bench/synth/quarvel_synth_bench"

echo "== peer comparison" >&2
(cd "$tree" && bench/d3d11/quarvel_peer_draws "$results/peer_linux.json") > "$results/peer_linux.log" 2>&1 ||
  echo "the peer program failed on the stand-in; see $results/peer_linux.log" >&2
if [ "${QUARVEL_BENCH_WINE:-1}" = 1 ]; then
  scripts/bench_peer_wine.sh "$tree/bench-peer" > "$results/peer_wine.log" 2>&1 &&
    cp "$tree/bench-peer/peer_wine.json" "$results/peer_wine.json" ||
    echo "the peer program failed under Wine; see $results/peer_wine.log" >&2
fi

echo "== the road frame over separate processes" >&2
spread=${QUARVEL_BENCH_SPREAD:-10}
spread_glibc=${QUARVEL_BENCH_SPREAD_GLIBC:-$spread}
if [ "$spread" -gt 0 ]; then
  QUARVEL_BUILD_TREE="$tree" QUARVEL_SPREAD_OUT="$results/spread.json" scripts/bench_spread.sh "$spread" >&2
fi
if [ "$spread_glibc" -gt 0 ]; then
  QUARVEL_BUILD_TREE="$tree" QUARVEL_SPREAD_OUT="$results/spread_glibc.json" QUARVEL_BENCH_ENV=QUARVEL_HEAP_DEFAULTS=1 \
    scripts/bench_spread.sh "$spread_glibc" >&2
fi

echo "== recordings" >&2
recording=(--tree "$tree" --out "$results/recording.json")
[ "${QUARVEL_BENCH_FULL_RECORDING:-0}" = 1 ] && recording+=(--full)
[ -n "$earlier" ] && recording+=(--earlier "$earlier_root/tree" --pairs "${QUARVEL_BENCH_PAIRS:-5}")
python3 scripts/bench_recording.py "${recording[@]}"

command="scripts/benchmarks.sh"
[ -n "$earlier" ] && command="QUARVEL_BENCH_EARLIER=$earlier $command"
[ -n "${QUARVEL_BENCH_SPREAD:-}" ] && command="QUARVEL_BENCH_SPREAD=$spread $command"
[ -n "${QUARVEL_BENCH_SPREAD_GLIBC:-}" ] && command="QUARVEL_BENCH_SPREAD_GLIBC=$spread_glibc $command"
[ "${QUARVEL_BENCH_FULL_RECORDING:-0}" = 1 ] && command="QUARVEL_BENCH_FULL_RECORDING=1 $command"
[ -n "${QUARVEL_BUILD_TREE:-}" ] && command="QUARVEL_BUILD_TREE=$QUARVEL_BUILD_TREE $command"
python3 scripts/benchmarks_report.py --results "$results" --out "$root/BENCHMARKS.md" \
  --command "$command" --earlier "$earlier_label"
echo "wrote $root/BENCHMARKS.md" >&2
