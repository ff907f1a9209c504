#!/usr/bin/env python3
"""Compares the frame-dump tool's pictures from two Direct3D 11 implementations.

    compare_frames.py OURS_DIR THEIRS_DIR TABLE_OUT MOMENT:LIMITS...

Each MOMENT names MOMENT.png in both folders. LIMITS is MEAN/SHARE: the largest mean absolute
difference (levels, over every channel of every pixel) and the largest share of pixels with
a channel off by more than 8 levels, in percent. The table (markdown) gets, per frame, the
mean, the 99.9th percentile of the per-pixel largest channel difference, and that share.
Exit status 1 when a frame is missing, differs in size, or passes a limit.
"""
import sys

import numpy as np
from PIL import Image


def difference(ours_path, theirs_path):
    ours = np.asarray(Image.open(ours_path).convert("RGB"), dtype=np.int16)
    theirs = np.asarray(Image.open(theirs_path).convert("RGB"), dtype=np.int16)
    if ours.shape != theirs.shape:
        return None
    delta = np.abs(ours - theirs)
    per_pixel = delta.max(axis=2)
    return float(delta.mean()), float(np.percentile(per_pixel, 99.9)), float((per_pixel > 8).mean() * 100.0)


def main(argv):
    ours_dir, theirs_dir, table_path = argv[1:4]
    rows = ["| moment | mean abs diff | 99.9th pct | > 8 levels | limits (mean / share) | |",
            "| --- | ---: | ---: | ---: | --- | --- |"]
    failed = 0
    for item in argv[4:]:
        moment, limits = item.split(":")
        mean_limit, share_limit = (float(v) for v in limits.split("/"))
        try:
            result = difference("%s/%s.png" % (ours_dir, moment), "%s/%s.png" % (theirs_dir, moment))
        except OSError as error:
            result, why = None, str(error)
        else:
            why = "sizes differ"
        if result is None:
            rows.append("| %s | | | | %g / %g %% | FAILED: %s |" % (moment, mean_limit, share_limit, why))
            failed += 1
            continue
        mean, p999, share = result
        ok = mean <= mean_limit and share <= share_limit
        failed += 0 if ok else 1
        rows.append("| %s | %.3f | %.0f | %.3f %% | %g / %g %% | %s |" %
                    (moment, mean, p999, share, mean_limit, share_limit, "ok" if ok else "FAILED"))
    with open(table_path, "w") as table:
        table.write("\n".join(rows) + "\n")
    print("\n".join(rows))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
