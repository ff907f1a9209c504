#!/usr/bin/env python3
"""Times recordings of the presentation made by one build tree, as a user makes them
(QUARVEL_RECORD=<file>.mp4), and writes the figures as JSON for benchmarks_report.py:

- road: 60 road-scene frames between 3 and 13 s of music at 1280 x 720;
- sea: 30 sea frames between 20 and 21 s at 1280 x 720;
- full (with --full): the whole presentation at 1280 x 720 and 30 frames a second, what
  ./run.sh records on a machine without a display.

usage: bench_recording.py --tree BUILD_TREE --out RESULT.json [--full]
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


def record(tree, times, scratch):
    env = dict(os.environ, QUARVEL_SETUP="run", QUARVEL_SETUP_MODE="1280x720", QUARVEL_SETUP_WINDOWED="1",
               SDL_AUDIODRIVER="dummy", QUARVEL_RECORD=os.path.join(scratch, "out.mp4"))
    if times:
        env["QUARVEL_RECORD_TIMES"] = ",".join(str(t) for t in times)
    start = time.monotonic()
    run = subprocess.run(["./quarvel"], cwd=tree, env=env, capture_output=True, text=True)
    wall = time.monotonic() - start
    found = SUMMARY.search(run.stderr)
    if run.returncode != 0 or not found:
        return {"error": "exit status %d: %s" % (run.returncode, run.stderr.strip().splitlines()[-1:])}
    return {"frames": int(found.group(1)), "seconds": float(found.group(2)), "fps": float(found.group(3)),
            "wall_seconds": round(wall, 2)}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tree", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--full", action="store_true")
    args = parser.parse_args()
    results = {}
    with tempfile.TemporaryDirectory() as scratch:
        results["road"] = record(args.tree, [3000 + i * 10000 // 60 for i in range(60)], scratch)
        results["sea"] = record(args.tree, [20000 + i * 1000 // 30 for i in range(30)], scratch)
        if args.full:
            results["full"] = record(args.tree, None, scratch)
    with open(args.out, "w") as f:
        json.dump(results, f, indent=1)
    print(json.dumps(results), file=sys.stderr)


if __name__ == "__main__":
    main()
