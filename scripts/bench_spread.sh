#!/usr/bin/env bash
# The road frame drawn through the stand-in (RoadDraws) and in plain GL (RoadDrawsGl), each
# size in many separate processes: the allocator's state, and with it the stand-in's cost,
# can differ from one process to the next, so one process's median says little. Prints, per
# size, the spread over processes of each benchmark's median, of the ratio of the two within
# each process, and of page faults and system time per frame, as Markdown rows.
#
#   scripts/bench_spread.sh [PROCESSES] [SIZES]     (10; "640x360 1280x720 1920x1080")
#   QUARVEL_BUILD_TREE=build                        the tree holding quarvel_scene_bench
#   QUARVEL_BENCH_ENV="NAME=VALUE ..."              extra environment for every process
#
# The machine's load before and after is printed too: on a shared machine only the ratios
# within a process mean much.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$(realpath -m "${QUARVEL_BUILD_TREE:-build}")
processes=${1:-10}
sizes=${2:-640x360 1280x720 1920x1080}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for size in $sizes; do
  for i in $(seq "$processes"); do
    # shellcheck disable=SC2086 # QUARVEL_BENCH_ENV is a list of assignments
    (cd "$tree" && env SDL_AUDIODRIVER=dummy QUARVEL_SETUP=run ${QUARVEL_BENCH_ENV:-} ./quarvel_scene_bench \
      --benchmark_filter="^RoadDraws(Gl)?/$size/" --benchmark_format=json > "$results/$size-$i.json" \
      2> "$results/$size-$i.log") || echo "process $i at $size failed: $(tail -1 "$results/$size-$i.log")" >&2
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$results" "$processes" $sizes <<'PY'
import json, statistics, sys
folder, processes, sizes = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
def spread(values, digits=1):
    if not values:
        return "-"
    return "%s / **%s** / %s" % tuple(("%.*f" % (digits, v)) for v in (min(values), statistics.median(values), max(values)))
print("| size | processes | stand-in ms | plain GL ms | ratio (median, worst) | faults per frame, stand-in / GL | system ms per frame, stand-in / GL |")
print("|---|---|---|---|---|---|---|")
for size in sizes:
    ours, gl, ratios, faults, glFaults, sys_ms, glSys = [], [], [], [], [], [], []
    for i in range(1, processes + 1):
        try:
            with open("%s/%s-%d.json" % (folder, size, i)) as f:
                runs = json.load(f)["benchmarks"]
        except (OSError, ValueError, KeyError):
            continue
        medians = {r["run_name"].split("/")[0]: r for r in runs if r.get("aggregate_name") == "median"}
        if "RoadDraws" not in medians or "RoadDrawsGl" not in medians:
            continue
        a, b = medians["RoadDraws"], medians["RoadDrawsGl"]
        ours.append(a["real_time"]); gl.append(b["real_time"]); ratios.append(a["real_time"] / b["real_time"])
        faults.append(a.get("faults_per_frame", 0)); glFaults.append(b.get("faults_per_frame", 0))
        sys_ms.append(a.get("sys_ms_per_frame", 0)); glSys.append(b.get("sys_ms_per_frame", 0))
    if not ratios:
        print("| %s | 0 | - | - | - | - | - |" % size)
        continue
    print("| %s | %d | %s | %s | %.2fx, %.2fx | %s / %s | %s / %s |" % (
        size, len(ratios), spread(ours), spread(gl), statistics.median(ratios), max(ratios),
        spread(faults, 0), spread(glFaults, 0), spread(sys_ms, 2), spread(glSys, 2)))
PY
