#!/usr/bin/env python3
"""Times recordings of the presentation as a user makes them (QUARVEL_RECORD=<file>.mp4) and
writes the figures as JSON for benchmarks_report.py:

- road: 60 road-scene frames between 3 and 13 s of music at 1280 x 720;
- sea: 30 sea frames between 20 and 21 s at 1280 x 720;
- full (with --full): the whole presentation at 1280 x 720 and 30 frames a second, what
  ./run.sh records on a machine without a display.

With --earlier, the program of a second build tree is recorded too, in pairs: each pair runs
both programs back to back, the order alternating from one pair to the next, so that a load
that comes and goes on a shared machine falls on both sides alike. Each figure is a list with
one entry per pair; the whole presentation is recorded once per program.

usage: bench_recording.py --tree TREE [--earlier TREE --pairs N] --out RESULT.json [--full]
"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
import time

SUMMARY = re.compile(r"record: (\d+) frames in ([0-9.]+) s \(([0-9.]+) frames/s\)")
ROAD = [3000 + i * 10000 // 60 for i in range(60)]
SEA = [20000 + i * 1000 // 30 for i in range(30)]


def record(tree, times, scratch):
    env = dict(os.environ, QUARVEL_SETUP="run", QUARVEL_SETUP_MODE="1280x720", QUARVEL_SETUP_WINDOWED="1",
               SDL_AUDIODRIVER="dummy", QUARVEL_RECORD=os.path.join(scratch, "out.mp4"))
    if times:
        env["QUARVEL_RECORD_TIMES"] = ",".join(str(t) for t in times)
    start = time.monotonic()
    usage_before = os.times()
    run = subprocess.run(["./quarvel"], cwd=tree, env=env, capture_output=True, text=True)
    wall = time.monotonic() - start
    usage = os.times()
    found = SUMMARY.search(run.stderr)
    if run.returncode != 0 or not found:
        return {"error": "exit status %d: %s" % (run.returncode, run.stderr.strip().splitlines()[-1:])}
    return {"frames": int(found.group(1)), "seconds": float(found.group(2)), "fps": float(found.group(3)),
            "wall_seconds": round(wall, 2),
            "cpu_seconds": round(usage.children_user + usage.children_system -
                                 usage_before.children_user - usage_before.children_system, 2)}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tree", required=True)
    parser.add_argument("--earlier", help="a second build tree, recorded in pairs with the first")
    parser.add_argument("--pairs", type=int, default=5)
    parser.add_argument("--out", required=True)
    parser.add_argument("--full", action="store_true")
    args = parser.parse_args()
    trees = {"ours": args.tree}
    if args.earlier:
        trees["earlier"] = args.earlier
    rounds = args.pairs if args.earlier else 1
    results = {side: {"road": [], "sea": []} for side in trees}
    with tempfile.TemporaryDirectory() as scratch:
        for pair in range(rounds):
            order = list(trees) if pair % 2 == 0 else list(reversed(list(trees)))
            for side in order:
                for name, times in (("road", ROAD), ("sea", SEA)):
                    results[side][name].append(record(trees[side], times, scratch))
            print("pair %d of %d: %s" % (pair + 1, rounds, json.dumps(
                {side: [results[side][n][-1].get("fps") for n in ("road", "sea")] for side in trees})),
                file=sys.stderr)
        if args.full:
            for side in trees:
                results[side]["full"] = [record(trees[side], None, scratch)]
    with open(args.out, "w") as f:
        json.dump(results, f, indent=1)


if __name__ == "__main__":
    main()
