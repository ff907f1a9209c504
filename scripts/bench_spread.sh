#!/usr/bin/env bash
# The road frame drawn through the stand-in (RoadDraws) and in plain GL (RoadDrawsGl), each
# size in many separate processes: the allocator's state, and with it the stand-in's cost,
# can differ from one process to the next, so one process's median says little. Writes each
# process's medians, page faults and system time per frame as JSON, and prints per size the
# spread over processes and the ratio of the two within each process, as Markdown rows.
#
#   scripts/bench_spread.sh [PROCESSES] [SIZES]     (10; "640x360 1280x720 1920x1080")
#   QUARVEL_BUILD_TREE=build                        the tree holding quarvel_scene_bench
#   QUARVEL_BENCH_ENV="NAME=VALUE ..."              extra environment for every process
#   QUARVEL_SPREAD_OUT=FILE.json                    where the figures go (default: a scratch file)
#
# The machine's load before and after is recorded too: on a shared machine only the ratios
# within a process mean much.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$(realpath -m "${QUARVEL_BUILD_TREE:-build}")
processes=${1:-10}
sizes=${2:-640x360 1280x720 1920x1080}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
out=${QUARVEL_SPREAD_OUT:-$results/spread.json}
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for size in $sizes; do
  for i in $(seq "$processes"); do
    # shellcheck disable=SC2086 # QUARVEL_BENCH_ENV is a list of assignments
    (cd "$tree" && env SDL_AUDIODRIVER=dummy QUARVEL_SETUP=run ${QUARVEL_BENCH_ENV:-} ./quarvel_scene_bench \
      --benchmark_filter="^RoadDraws(Gl)?/$size/" --benchmark_format=json > "$results/$size-$i.json" \
      2> "$results/$size-$i.log") || echo "process $i at $size failed: $(tail -1 "$results/$size-$i.log")" >&2
  done
done
python3 - "$results" "$processes" "$out" "$load_before" "$(cut -d' ' -f1-3 /proc/loadavg)" "${QUARVEL_BENCH_ENV:-}" $sizes <<'PY'
import json, sys
folder, processes, out, before, after, env, sizes = (sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4],
                                                     sys.argv[5], sys.argv[6], sys.argv[7:])
summary = {"environment": env, "load_before": before, "load_after": after, "sizes": {}}
for size in sizes:
    rows = summary["sizes"][size] = []
    for i in range(1, processes + 1):
        try:
            with open("%s/%s-%d.json" % (folder, size, i)) as f:
                runs = json.load(f)["benchmarks"]
        except (OSError, ValueError, KeyError):
            continue
        medians = {r["run_name"].split("/")[0]: r for r in runs if r.get("aggregate_name") == "median"}
        if "RoadDraws" in medians and "RoadDrawsGl" in medians:
            a, b = medians["RoadDraws"], medians["RoadDrawsGl"]
            rows.append({"ours_ms": a["real_time"], "gl_ms": b["real_time"],
                         "faults": a.get("faults_per_frame", 0), "gl_faults": b.get("faults_per_frame", 0),
                         "sys_ms": a.get("sys_ms_per_frame", 0), "gl_sys_ms": b.get("sys_ms_per_frame", 0),
                         "warmup": a.get("warmup_frames", 0), "gl_warmup": b.get("warmup_frames", 0)})
with open(out, "w") as f:
    json.dump(summary, f, indent=1)
PY
python3 scripts/benchmarks_report.py --spread "$out"
