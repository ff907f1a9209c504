#!/usr/bin/env python3
"""What a run of tests/windows/wine-show.sh must show, from its screenshots (plain Python, so
it also runs inside the Wine root).

    wine_show_check.py road SHOT.xwd        exit 0 when the shot shows the road scene
    wine_show_check.py check RUN_DIR CASE   checks a finished run; CASE is one of
        full      the dialog's Return, then nothing: the loading bar, the road scene (sky,
                  line art, car), the sea (sun, water), black at the end; status 0
        escape    Escape during the road scene: status 0, long before the sea
        no-music  the loop ends before its first frame: only the loading bar, soon over
        quiet     a fault that the program runs through to its end (data or shaders missing)
        one-box   a shader that does not compile: its one message box, then to the end

Every case: no crash in Wine's output, and exactly the message boxes the case expects. The
colour classes were read off the stand-in's frames of the same moments; they are wide on
purpose, since they only tell the scenes apart.
"""
import glob
import os
import struct
import sys

STEP = 6  # every sixth pixel of every sixth row


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = header[7], header[11], header[12], header[19]
    if bits_per_pixel != 32:
        raise ValueError("%s: %d bits a pixel" % (path, bits_per_pixel))
    start = header_size + ncolors * 12
    # Least significant byte first: blue, green, red, unused.
    order = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
    return width, height, bytes_per_line, data[start:], order


def sample(path, box=None):
    """Rows of (r, g, b) samples inside box (x0, y0, x1, y1), the whole screen by default."""
    width, height, pitch, pixels, (ri, gi, bi) = read_xwd(path)
    x0, y0, x1, y1 = box or (0, 0, width, height)
    rows = []
    for y in range(y0, y1, STEP):
        base = y * pitch
        rows.append([(pixels[base + x * 4 + ri], pixels[base + x * 4 + gi], pixels[base + x * 4 + bi])
                     for x in range(x0, x1, STEP)])
    return rows


def picture_box(path):
    """The bounding box of everything not black: the program's picture on the screen."""
    width, height, pitch, pixels, _ = read_xwd(path)
    xs, ys = [], []
    for y in range(0, height, STEP):
        base = y * pitch
        for x in range(0, width, STEP):
            if max(pixels[base + x * 4:base + x * 4 + 3]) > 24:
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def share(pixels, test):
    return sum(1 for p in pixels if test(*p)) / max(1, len(pixels))


def features(rows):
    flat = [p for row in rows for p in row]
    top = [p for row in rows[:len(rows) * 2 // 5] for p in row]
    bottom = [p for row in rows[len(rows) * 3 // 4:] for p in row]
    return {
        # Dark enough that picture_box finds nothing: the fade's last frames count, since a
        # loaded machine may end the program before the one black frame reaches the screen.
        "black": share(flat, lambda r, g, b: max(r, g, b) <= 24),
        "white": share(flat, lambda r, g, b: min(r, g, b) > 230),
        "coloured": share(flat, lambda r, g, b: max(r, g, b) - min(r, g, b) > 30),
        # Lavender sky above the road.
        "sky": share(top, lambda r, g, b: b > 150 and r > 120 and g > 90 and b > r > g),
        # The pylons and wires against that sky: dark strokes in the top part.
        "lines": share(top, lambda r, g, b: r + g + b < 250),
        # The car's red body.
        "car": share(flat, lambda r, g, b: r > 150 and g < 80 and b < 120 and r > b + 40),
        # The sea's sun, yellow to orange.
        "sun": share(flat, lambda r, g, b: r > 200 and g > 120 and b < 110),
        # Dark water at the bottom, with bright glints on it.
        "water": share(bottom, lambda r, g, b: r + g + b < 150),
        "glints": share(bottom, lambda r, g, b: min(r, g, b) > 150),
    }


def label(f):
    if f["white"] > 0.004 and f["white"] + f["black"] > 0.97 and f["coloured"] < 0.01:
        return "bar"
    if f["black"] > 0.99:
        return "black"
    if f["sky"] > 0.3 and 0.02 < f["lines"] < 0.5:
        return "road"
    if f["sun"] > 0.005 and f["water"] > 0.4 and f["sky"] < 0.05:
        return "sea"
    return "other"


def classify(path, box=None):
    f = features(sample(path, box))
    return label(f), f


def run_result(run_dir):
    with open(os.path.join(run_dir, "result")) as f:
        return dict(item.split("=", 1) for item in f.read().split())


def check(run_dir, case):
    problems = []
    result = run_result(run_dir)
    with open(os.path.join(run_dir, "wine.log"), errors="replace") as f:
        log = f.read()
    for sign in ("Unhandled page fault", "Unhandled exception", "Unhandled stack overflow"):
        if sign in log:
            problems.append("Wine reports: " + next(line for line in log.splitlines() if sign in line))
    if result.get("status") != "0":
        problems.append("exit status %s, not 0" % result.get("status"))
    boxes = int(result.get("boxes", -1))
    if boxes != (1 if case == "one-box" else 0):
        problems.append("%d message boxes" % boxes)

    shots = sorted(glob.glob(os.path.join(run_dir, "shots", "*.xwd")))
    boxes_seen = [b for b in (picture_box(s) for s in shots) if b]
    box = None
    if boxes_seen:
        box = (min(b[0] for b in boxes_seen), min(b[1] for b in boxes_seen),
               max(b[2] for b in boxes_seen), max(b[3] for b in boxes_seen))
    timeline = []
    seen = {}
    for shot in shots:
        name, f = classify(shot, box)
        ms = int(os.path.basename(shot)[:-4])
        timeline.append((ms, name))
        if name in ("road", "sea"):
            for key in ("car", "sun", "glints"):
                seen[key] = max(seen.get(key, 0.0), f[key])
    with open(os.path.join(run_dir, "timeline"), "w") as f:
        f.write("picture box %s\n" % (box,))
        f.writelines("%6d %s\n" % item for item in timeline)
    # A screenful is 5 MB: keep every eighth shot, and the last one, to look at.
    for i, shot in enumerate(shots[:-1]):
        if i % 8:
            os.remove(shot)

    def first(name):
        return next((ms for ms, n in timeline if n == name), None)

    def last(name):
        return next((ms for ms, n in reversed(timeline) if n == name), None)

    def first_held(name, shots=3):
        # The road scene's fade-in passes through dark frames with its orange glow low down,
        # which one shot can take for the sea: a stage begins where it holds for a few shots.
        names = [n for _, n in timeline]
        return next((ms for i, (ms, _) in enumerate(timeline) if names[i:i + shots] == [name] * shots), None)

    seconds = float(result.get("seconds", 0))
    if case == "full":
        order = [first_held("bar"), first_held("road"), first_held("sea"), last("black")]
        if None in order or order != sorted(order):
            problems.append("not bar, road, sea, black in that order: %s" % order)
        if seen.get("car", 0) < 0.01:
            problems.append("no car in the road scene")
        if seen.get("glints", 0) < 0.001:
            problems.append("no light on the water")
    elif case == "escape":
        if first("road") is None or first("sea") is not None:
            problems.append("Escape was not during the road scene")
        elif seconds * 1000 - first("road") > 20000:
            problems.append("the road scene ran on for %.0f s after Escape" % (seconds - first("road") / 1000))
    elif case == "no-music":
        if first("road") is not None or first("sea") is not None:
            problems.append("a scene was shown without music")
        if first("bar") is None:
            problems.append("no loading bar")
        elif seconds * 1000 - last("bar") > 5000:
            problems.append("ended %.1f s after the loading bar" % (seconds - last("bar") / 1000))
    elif case in ("quiet", "one-box"):
        # The program runs to the music's end, 30 s after its first frame at the least.
        if seconds < 30:
            problems.append("ended after %.1f s, before the music's end" % seconds)
    for p in problems:
        print("%s: %s" % (os.path.basename(run_dir), p))
    return not problems


def main(argv):
    if len(argv) == 3 and argv[1] == "road":
        return 0 if classify(argv[2])[0] == "road" else 1
    if len(argv) == 4 and argv[1] == "check":
        return 0 if check(argv[2], argv[3]) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
