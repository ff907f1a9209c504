#!/usr/bin/env python3
"""Writes BENCHMARKS.md from the Google Benchmark JSON files that scripts/benchmarks.sh
leaves in <tree>/bench-results/. Every figure is put next to the baseline measured in the
same run; a benchmark that failed or is missing shows as such rather than as a number."""

import argparse
import datetime
import json
import os
import re
import statistics
import sys

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
SIZES = ["640x360", "1280x720", "1920x1080"]


def plain_name(name):
    """The benchmark's name without the run options Google Benchmark appends."""
    parts = [p for p in name.split("/")
             if not re.match(r"(min_time|iterations|repeats):", p) and p not in ("real_time", "manual_time")]
    return "/".join(parts)


class Results:
    def __init__(self, folder):
        self.runs = {}
        self.medians = {}
        self.extra = {}  # the JSON files that are not Google Benchmark output, by name
        self.contexts = {}
        for file in sorted(os.listdir(folder)):
            if not file.endswith(".json"):
                continue
            with open(os.path.join(folder, file)) as f:
                data = json.load(f)
            program = file[:-5]
            if "benchmarks" not in data:
                self.extra[program] = data
                continue
            self.contexts[program] = data.get("context", {})
            for run in data.get("benchmarks", []):
                if run.get("run_type", "iteration") == "iteration":
                    self.runs[(program, plain_name(run["name"]))] = run
                elif run.get("aggregate_name") == "median":
                    self.medians[(program, plain_name(run["run_name"]))] = run

    def get(self, program, name):
        return self.runs.get((program, name))

    def median(self, program, name):
        """The median of a benchmark's repetitions, or its one run."""
        return self.medians.get((program, name)) or self.runs.get((program, name))


class Figure:
    """A time in seconds, or the reason there is none."""

    def __init__(self, seconds=None, problem=None):
        self.seconds = seconds
        self.problem = problem

    @staticmethod
    def of(run, field="real_time"):
        if run is None:
            return Figure(problem="not run")
        if run.get("error_occurred"):
            return Figure(problem="error: " + run.get("error_message", "?"))
        return Figure(run[field] * UNIT_SECONDS[run["time_unit"]])

    @staticmethod
    def counter(run, key, scale):
        """A counter of the run, in seconds once multiplied by `scale`."""
        if run is None:
            return Figure(problem="not run")
        if run.get("error_occurred"):
            return Figure(problem="error: " + run.get("error_message", "?"))
        if key not in run:
            return Figure(problem="no counter " + key)
        return Figure(run[key] * scale)

    @staticmethod
    def total(figures):
        bad = [f for f in figures if f.seconds is None]
        return bad[0] if bad else Figure(sum(f.seconds for f in figures))

    def text(self):
        if self.seconds is None:
            return self.problem
        s = self.seconds
        for limit, unit, scale in ((1.0, "s", 1.0), (1e-3, "ms", 1e3), (1e-6, "µs", 1e6)):
            if s >= limit:
                return "%s %s" % (significant(s * scale), unit)
        return "%s ns" % significant(s * 1e9)


def significant(value):
    return "%.3g" % value if value < 1000 else "%.0f" % value


def ratio(figure, baseline):
    if figure.seconds is None or baseline.seconds is None or baseline.seconds <= 0:
        return None
    return figure.seconds / baseline.seconds


def ratio_text(r):
    return "—" if r is None else ("%.2f×" % r if r < 10 else "%.1f×" % r)


class Table:
    def __init__(self):
        self.rows = []

    def add(self, name, figure, baseline_name, baseline):
        r = ratio(figure, baseline)
        self.rows.append((name, figure, baseline_name, baseline, r))
        return r

    def markdown(self):
        lines = ["| figure | time | baseline | baseline time | ratio |", "| --- | ---: | --- | ---: | ---: |"]
        for name, figure, baseline_name, baseline, r in self.rows:
            lines.append("| %s | %s | %s | %s | %s |" % (name, figure.text(), baseline_name, baseline.text(),
                                                          ratio_text(r)))
        return "\n".join(lines)


def fmt_ratio(r):
    return ratio_text(r)


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown CPU"


def shader_section(res):
    t = Table()
    worst = (None, None)
    systems, baselines = [], []
    for (program, name), run in res.runs.items():
        if program != "program_compile" or not name.startswith("SystemCompile/"):
            continue
        entry = name[len("SystemCompile/"):]
        file, pixel = entry.split(":", 1)
        system = Figure.of(run)
        baseline = Figure.of(res.get("program_compile", "GlCompileLink/" + entry))
        r = t.add("`%s` %s + its vertex shader" % (file, pixel), system, "GL compile + link of the same GLSL",
                  baseline)
        systems.append(system)
        baselines.append(baseline)
        if r is not None and (worst[1] is None or r > worst[1]):
            worst = (entry, r)
    all_system, all_baseline = Figure.total(systems), Figure.total(baselines)
    total_ratio = t.add("**all %d programs**" % len(systems), all_system, "GL compile + link of the same GLSL",
                        all_baseline)

    p = Table()
    for arg, label in (("0", "`Shaders2D.fx` Texture2DPS"), ("1", "`FractalCloud.hlsl` FractalCloudPS")):
        link = Figure.of(res.get("compile_phases", "BM_GlLink/large:" + arg))
        base = "GL compile + link of the program"
        p.add("%s: glslang parse to SPIR-V" % label, Figure.of(res.get("compile_phases", "BM_Parse/large:" + arg)),
              base, link)
        p.add("%s: SPIR-V legalization" % label, Figure.of(res.get("compile_phases", "BM_Legalize/large:" + arg)),
              base, link)
        p.add("%s: SPIRV-Cross to GLSL" % label, Figure.of(res.get("compile_phases", "BM_Translate/large:" + arg)),
              base, link)
        p.add("%s: GL link and first draw" % label,
              Figure.of(res.get("compile_phases", "BM_GlFirstDraw/large:" + arg)), base, link)

    text = [
        "## Shader programs",
        "",
        "Each of the system's programs built from its HLSL source: `D3DCompile` of the pixel and the vertex "
        "entry (glslang parses the whole file, SPIRV-Tools legalizes, SPIRV-Cross writes GLSL), the code "
        "blobs read back, then the GL driver's compile and link of the GLSL they carry. The baseline is "
        "the driver's compile and link of that same GLSL alone: what a native GL program with these shaders "
        "would pay. Mesa's shader cache is off for both (`bench/hlsl/program_compile_bench.cpp`).",
        "",
        t.markdown(),
        "",
        "The ratio is the cost of the HLSL route on top of the driver's own work. All programs together "
        "take %s of translation and driver work where the driver alone takes %s (%s). The largest ratio, "
        "%s for `%s`, comes from small entry points in large files: every entry is compiled from its "
        "whole source file, so a few-line pixel shader pays for parsing everything around it. Each row "
        "compiles its program's vertex shader too, as a program on its own would; start-up compiles the "
        "one an effect file's programs share only once (see Start-up). The phases "
        "below (`bench/hlsl/hlsl_compile_bench.cpp`) split the translation for a small and the largest "
        "program against the driver's compile and link of the same program; the last row of each is the "
        "driver again, with the machine code llvmpipe generates at a program's first draw, which both "
        "sides pay and which is left out of the table above."
        % (all_system.text(), all_baseline.text(), fmt_ratio(total_ratio), fmt_ratio(worst[1]), worst[0]),
        "",
        p.markdown(),
    ]
    return "\n".join(text)


def startup_section(res):
    t = Table()
    baseline_run = res.get("startup", "FirstFrameBaseline")
    baseline = Figure.of(baseline_run)
    name = "`first_frame`: same window and GL context, one frame presented"
    warm_run = res.get("startup", "ProgramWithShaderCache")
    cold_run = res.get("startup", "ProgramWithoutShaderCache")
    earlier_run = res.get("startup", "EarlierProgramWithShaderCache")
    warm = t.add("launch to first main-loop frame, Mesa shader cache warm", Figure.of(warm_run), name, baseline)
    cold = t.add("launch to first main-loop frame, Mesa shader cache off", Figure.of(cold_run), name, baseline)
    earlier = None
    if earlier_run is not None:
        earlier = t.add("the same, shader cache warm, built from `%s`" % res.earlier_label, Figure.of(earlier_run),
                        name, baseline)
    warm_exit = Figure.counter(warm_run, "to_exit_ms", 1e-3)
    cold_exit = Figure.counter(cold_run, "to_exit_ms", 1e-3)
    text = [
        "## Start-up",
        "",
        "The program launched as a recording (`QUARVEL_SETUP=run QUARVEL_SETUP_MODE=640x360 "
        "QUARVEL_SETUP_WINDOWED=1 QUARVEL_RECORD=<folder>/ QUARVEL_RECORD_TIMES=0`), which runs on the "
        "virtual clock, so the one-second pause under the full loading bar costs nothing. The time runs "
        "from launch to the `first message pump` line of its Win32 trace, which the main loop prints "
        "before its first frame; the baseline is launch to the line a minimal SDL program prints after "
        "making the same 640 × 360 window and GL 4.5 context and presenting one cleared frame "
        "(`bench/startup/`).",
        "",
        t.markdown(),
        "",
        "The ratio is everything the program does before its first frame beyond having a window and a "
        "context: opening the music, the 31 shader programs (37 distinct compiles, since the programs of "
        "one file share its vertex shader, then the driver's compile and link), the post-processing "
        "targets, the scene's pictures (decoded on a second thread while the programs compile) and the "
        "pylon mesh, and the three loading-bar frames (which a recording also writes out as PNG files). "
        "With the shader cache warm, as on every run but the first, it is %s; with the cache off the "
        "driver compiles every shader itself and it is %s. Running on to the end of the one-frame "
        "recording takes %s and %s from launch: the first frame's draws are where llvmpipe generates its "
        "machine code, which the cache also saves." % (fmt_ratio(warm), fmt_ratio(cold), warm_exit.text(),
                                                        cold_exit.text()),
    ]
    if earlier_run is not None:
        text += [
            "",
            "The row built from `%s` is the program of that revision, launched the same way in this run "
            "(`QUARVEL_BENCH_EARLIER=%s scripts/benchmarks.sh`): %s against %s now. Every picture is "
            "unchanged where the change meant none: the fault and determinism tests compare the whole "
            "program's recorded frames." % (res.earlier_label, res.earlier_label, fmt_ratio(earlier),
                                            fmt_ratio(warm)),
        ]
    return "\n".join(text)


def frames_section(res):
    t = Table()
    notes = {}
    for size in SIZES:
        unit = Figure.of(res.get("frames", "FullScreenPass/" + size))
        unit_name = "plain GL: one textured full-screen pass"
        road_run = res.get("frames", "RoadScene/" + size)
        notes["road_" + size] = t.add("road scene (5 s) %s" % size, Figure.of(road_run), unit_name, unit)
        notes["road_cpu_" + size] = Figure.of(road_run, "cpu_time")
        notes["road_wall_" + size] = Figure.of(road_run)
        sea_glsl_run = res.get("frames", "SeaGlsl/" + size)
        notes["sea_" + size] = t.add("sea pass (25 s) %s" % size, Figure.of(res.get("frames", "SeaPass/" + size)),
                                     "plain GL: the sea formula hand-written in GLSL", Figure.of(sea_glsl_run))
        if sea_glsl_run and sea_glsl_run.get("label"):
            notes["match_" + size] = sea_glsl_run["label"]
        notes["composed_" + size] = t.add("composed cross-fade frame (18 s) %s" % size,
                                          Figure.of(res.get("frames", "ComposedCrossFade/" + size)), unit_name, unit)
    skip_run = res.get("frames", "SkippingGain/1280x720")
    skip = t.add("road-scene frame skipping the hidden sea layer, 1280x720",
                 Figure.counter(skip_run, "skipping_ms", 1e-3), "the same frame drawing every layer",
                 Figure.counter(skip_run, "all_layers_ms", 1e-3))
    matches = "; ".join("%s: %s" % (size, notes["match_" + size]) for size in SIZES if "match_" + size in notes)
    text = [
        "## Frames",
        "",
        "Wall-clock time of one frame drawn in-process through the Direct3D stand-in and waited for (a "
        "one-pixel read-back), at three window sizes (`bench/scene/`). The road scene goes through the "
        "post-processing chain at 5 s; the sea pass is the sea program alone over a target of the frame's "
        "size at 25 s; the composed frame is the main loop's whole frame at 18 s, where the road scene "
        "fades into the sea (road scene, sea, merge, fades, chain). The baselines are drawn with plain GL "
        "on a context of their own at the same size: one textured full-screen pass (the 2048 × 1024 sky "
        "picture sampled over the target), and for the sea the same formula written by hand in GLSL from "
        "`Shaders/FractalCloud.hlsl`, whose picture is first compared with the system's (%s)." % (
            matches or "no comparison ran"),
        "",
        t.markdown(),
        "",
        "Against a full-screen pass the ratio says how many such passes a frame costs on this software "
        "rasterizer; it is work, not overhead. The road scene's ratio falls as the window grows because "
        "most of it does not depend on the size: about 1 370 draws (50 pylons with 600 insulators and "
        "600 wires of 1 200 vertices each, posts, rails) whose vertices llvmpipe shades on the calling "
        "thread; at 640 × 360, %s of its %s is processor time of that thread. The sea pass against the hand-written GLSL is the price of the "
        "translated program itself (%s, %s, %s at the three sizes): what glslang, SPIRV-Tools and "
        "SPIRV-Cross make of the formula, run by the same driver. The composed frame holds a road scene, "
        "a sea pass and the chain's passes, so its ratio follows the sea's cost. The last row is what "
        "skipping the sea layer while it is hidden saves (%s of the frame drawing everything)." % (
            notes["road_cpu_640x360"].text(), notes["road_wall_640x360"].text(), fmt_ratio(notes["sea_640x360"]),
            fmt_ratio(notes["sea_1280x720"]), fmt_ratio(notes["sea_1920x1080"]), fmt_ratio(skip)),
    ]
    return "\n".join(text)


def road_draws_section(res):
    t = Table()
    ratios = {}
    label = None
    for size in SIZES:
        gl_run = res.median("frames", "RoadDrawsGl/" + size)
        ratios[size] = t.add("the road scene's draws through the stand-in, %s" % size,
                             Figure.of(res.median("frames", "RoadDraws/" + size)),
                             "plain GL: the same draws (`road_gl.cpp`)", Figure.of(gl_run))
        plain = res.get("frames", "RoadDrawsGl/" + size)
        if plain and plain.get("label") and label is None:
            label = plain["label"]
    parts = res.get("frames", "SeaFrameParts/1280x720")
    p = Table()
    whole = Figure.counter(parts, "frame_ms", 1e-3)
    for key, name in (("road_ms", "road scene, VHS pass, copy to layer A"),
                      ("sea_ms", "sea pass, copy to layer B"), ("merge_ms", "merge and fades"),
                      ("chain_ms", "copy to the back buffer")):
        p.add(name, Figure.counter(parts, key, 1e-3), "the whole sea frame", whole)
    peer_linux = res.extra.get("peer_linux", {})
    peer_wine = res.extra.get("peer_wine", {})

    def per_draw(data):
        return Figure(data["ns_per_draw"] * 1e-9) if "ns_per_draw" in data else Figure(problem="not run")

    q = Table()
    peer = q.add("1 000 draws a frame through the stand-in (Linux), per draw", per_draw(peer_linux),
                 "the same program under Wine 10's Direct3D 11, per draw", per_draw(peer_wine))
    earlier = "`%s`" % res.earlier_label if res.earlier_label else "the earlier build"
    recordings = recording_table(res.extra.get("recording", {}), earlier)
    road_fps = [e["fps"] for e in res.extra.get("recording", {}).get("ours", {}).get("road", []) if "fps" in e]
    text = [
        "## The road scene's draws",
        "",
        "The road scene at 5 s without its post-processing passes (the background, 50 pylon meshes, "
        "600 insulators and 600 wires, posts, billboards, rail, fence, the car: about 1 370 draws) into a "
        "target with a depth buffer, waited for by a one-pixel read-back, against the same draws written "
        "in plain GL as a careful GL programmer would (`bench/scene/road_gl.cpp`): the same geometry "
        "from the system's own routines, the shaders in GLSL, the same uploads per draw through one "
        "persistently mapped buffer bound by range. Its picture is checked against the stand-in's first "
        "(%s). Each figure is the median of five repetitions." % (label or "no comparison ran"),
        "",
        t.markdown(),
        "",
        "The ratio is what the stand-in costs on top of the GL driver for these draws. Both sides are "
        "dominated by llvmpipe's own work: it shades every vertex and bins every triangle on the calling "
        "thread (the 600 wires alone are 720 000 vertices a frame) and rasterizes on two threads.",
        "",
        "A sea frame after 19 s, each part waited for before the next (`SeaFrameParts`): the road scene "
        "is still drawn there, since the merge at weight 1 is not guaranteed to give the sea's bytes "
        "whatever the road layer holds.",
        "",
        p.markdown(),
        "",
        "A peer comparison: one small Direct3D 11 program (`bench/d3d11/peer/peer_draws.cpp`) with the "
        "road scene's draw pattern (a discarding map of 24 vertices, two constant-block updates and a "
        "36-index draw, 1 000 times a frame), built for Linux against the stand-in and for 64-bit "
        "Windows with mingw-w64 and run under Wine 10 (the Debian 13 root), whose Direct3D 11 draws through the same "
        "Mesa (`scripts/bench_peer_wine.sh`).",
        "",
        q.markdown(),
        "",
        "Recordings made as a user makes them (`scripts/bench_recording.py`: the program recording to "
        "an `.mp4`), against the program built from %s, in pairs: both programs back to back, the order "
        "alternating from pair to pair. Times are medians over the pairs; the ratio is the median of the "
        "ratios within each pair, with their lowest and highest. The whole presentation is recorded once "
        "per program, only when `QUARVEL_BENCH_FULL_RECORDING=1`." % earlier,
        "",
        recordings,
        "",
        "Road-scene frames are recorded at %s frames a second." % (
            "%.1f" % statistics.median(road_fps) if road_fps else "?"),
    ]
    return "\n".join(text)



def recording_table(data, earlier):
    """Paired recordings: per figure, the medians over the pairs and the spread of the ratios."""
    ours, before = data.get("ours", {}), data.get("earlier", {})
    rows = ["| figure | time | baseline | baseline time | ratio (lowest–highest) | processor time ratio |",
            "| --- | ---: | --- | ---: | ---: | ---: |"]
    for key, name, per_frame in (
            ("road", "a recorded road-scene frame, 1280x720 (60 frames, 3 to 13 s)", True),
            ("sea", "a recorded sea frame, 1280x720 (30 frames, 20 to 21 s)", True),
            ("full", "the whole presentation recorded, 1280x720 at 30 frames a second", False)):
        a, b = ours.get(key, []), before.get(key, [])
        if not a and not b:
            continue

        def seconds(entry):
            if per_frame:
                return 1.0 / entry["fps"] if entry.get("fps") else None
            return entry.get("wall_seconds")

        pairs = [(seconds(x), seconds(y), x.get("cpu_seconds"), y.get("cpu_seconds")) for x, y in zip(a, b)]
        pairs = [p for p in pairs if p[0] and p[1]]
        mine = [seconds(x) for x in a if seconds(x)]
        theirs = [seconds(y) for y in b if seconds(y)]
        figure = Figure(statistics.median(mine)) if mine else Figure(problem=(a[0] if a else {}).get("error", "not run"))
        base = Figure(statistics.median(theirs)) if theirs else Figure(
            problem=(b[0] if b else {}).get("error", "not run"))
        if pairs:
            r = sorted(x / y for x, y, _, _ in pairs)
            ratio_cell = "%.2f× (%.2f–%.2f, %d pair%s)" % (statistics.median(r), r[0], r[-1], len(r),
                                                            "" if len(r) == 1 else "s")
            cpu = [c / d for _, _, c, d in pairs if c and d]
            cpu_cell = "%.2f×" % statistics.median(cpu) if cpu else "—"
        else:
            ratio_cell = cpu_cell = "—"
        rows.append("| %s | %s | the same, built from %s | %s | %s | %s |" % (
            name, figure.text(), earlier, base.text(), ratio_cell, cpu_cell))
    return "\n".join(rows)


def spread_cell(values, digits=1):
    if not values:
        return "-"
    return "%s / **%s** / %s" % tuple("%.*f" % (digits, v) for v in (min(values), statistics.median(values),
                                                                        max(values)))


def spread_rows(summary, label):
    """Markdown rows of one bench_spread.sh run: the spread over processes of each figure."""
    rows = []
    for size in SIZES:
        runs = summary.get("sizes", {}).get(size)
        if runs is None:
            continue
        if not runs:
            rows.append("| %s | %s | 0 | - | - | - | - | - |" % (label, size))
            continue
        ratios = [r["ours_ms"] / r["gl_ms"] for r in runs]
        rows.append("| %s | %s | %d | %s | %s | %.2fx, %.2fx | %s / %s | %s / %s |" % (
            label, size, len(runs), spread_cell([r["ours_ms"] for r in runs]), spread_cell([r["gl_ms"] for r in runs]),
            statistics.median(ratios), max(ratios), spread_cell([r["faults"] for r in runs], 0),
            spread_cell([r["gl_faults"] for r in runs], 0), spread_cell([r["sys_ms"] for r in runs], 2),
            spread_cell([r["gl_sys_ms"] for r in runs], 2)))
    return rows


SPREAD_HEADER = ["| thresholds | size | processes | stand-in ms | plain GL ms | ratio (median, worst) | "
                 "faults per frame, stand-in / GL | system ms per frame, stand-in / GL |",
                 "|---|---|---|---|---|---|---|---|"]


def spread_section(res):
    fixed, glibc = res.extra.get("spread"), res.extra.get("spread_glibc")
    rows = list(SPREAD_HEADER)
    if fixed:
        rows += spread_rows(fixed, "fixed (default)")
    if glibc:
        rows += spread_rows(glibc, "glibc's own")
    if not fixed and not glibc:
        rows.append("| not run | | | | | | | |")
    verdict = []
    for size in SIZES:
        runs = (fixed or {}).get("sizes", {}).get(size) or []
        if runs:
            ratios = [r["ours_ms"] / r["gl_ms"] for r in runs]
            median, worst = statistics.median(ratios), max(ratios)
            verdict.append("%s: median %.2f× (%s), worst process %.2f× (%s)" % (
                size, median, "met" if median <= 1.15 else "missed", worst, "met" if worst <= 1.3 else "missed"))
    def warmups(data, label):
        warm = [(r.get("warmup", 0), r.get("gl_warmup", 0)) for runs in (data or {}).get("sizes", {}).values()
                for r in runs]
        if not warm:
            return []
        capped = sum(w[0] >= 240 for w in warm) + sum(w[1] >= 240 for w in warm)
        return ["%s, %d to %d frames for the stand-in and %d to %d for plain GL%s" % (
            label, min(w[0] for w in warm), max(w[0] for w in warm), min(w[1] for w in warm),
            max(w[1] for w in warm), " (%d of %d runs never settled within 240)" % (capped, 2 * len(warm))
            if capped else "")]

    settled = "; ".join(warmups(fixed, "with the thresholds fixed") + warmups(glibc, "with glibc's own"))
    loads = ", ".join("%s to %s" % (d["load_before"].split()[0], d["load_after"].split()[0])
                      for d in (fixed, glibc) if d)
    text = [
        "## The road frame's cost from one process to the next",
        "",
        "The stand-in's cost for the road frame depended on the process: glibc moves its mmap and trim "
        "thresholds with the process's allocation history, and llvmpipe allocates and frees blocks of "
        "hundreds of KiB on the drawing thread inside every draw call. In a process where those blocks come "
        "from a heap trimmed after each free, every frame pays page faults and zeroing again (one 20-second "
        "`RoadDraws/640x360` run under `strace -c`: 12 520 `brk` calls, their stacks inside the driver's draw "
        "calls). The stand-in itself no longer allocates per frame or per copy (a staging copy reads back "
        "only its box, copy scratch is reused, index ranges are read back once per version), and it fixes "
        "the thresholds when the first device is created (`mallopt`; `QUARVEL_HEAP_DEFAULTS=1` leaves "
        "glibc's own, the rows marked so).",
        "",
        "`scripts/bench_spread.sh` runs `RoadDraws` and `RoadDrawsGl` in separate processes per size and "
        "gives each figure as lowest / **median** / highest over the processes; the ratio is taken within "
        "each process (median and worst process), page faults and system time per frame come from "
        "`getrusage` around each benchmark's loop. Before its first repetition in a process each side "
        "draws until eight frames in a row have faulted fewer than 16 pages (the driver's heap grows for "
        "the first few dozen frames of a scene, about 400 faults a frame at 640x360, whichever way they "
        "are drawn; timed, that growth measured how far a process was from its steady state and was "
        "charged to whichever benchmark ran first): %s. Load average at the start and end of each "
        "series: %s." % (settled or "not measured", loads or "not run"),
        "",
        "\n".join(rows),
        "",
        "Against the target (median within 1.15× of plain GL, worst process within 1.3×), with the "
        "thresholds fixed: %s. With glibc's own the heap does not settle in some processes however long "
        "they draw, and their frames keep faulting: the warm-up alone does not remove the bimodal cost, "
        "the fixed thresholds do." % ("; ".join(verdict) if verdict else "not measured"),
    ]
    return "\n".join(text)


def draw_section(res):
    t = Table()
    cpu = "cpu_time"
    box = t.add("`DrawBox` (24 vertices, 36 indices)", Figure.of(res.get("draw", "BM_DrawBox"), cpu),
                "plain GL: same uploads and draw", Figure.of(res.get("draw", "BM_GlBox"), cpu))
    strip = t.add("`DrawSagStrip`, vertices rebuilt (1 200 vertices, 1 800 indices)",
                  Figure.of(res.get("draw", "BM_DrawSagStrip/rebuild:1"), cpu), "plain GL: same uploads and draw",
                  Figure.of(res.get("draw", "BM_GlSagStrip/rebuild:1"), cpu))
    kept = t.add("`DrawSagStrip`, vertices kept", Figure.of(res.get("draw", "BM_DrawSagStrip/rebuild:0"), cpu),
                 "plain GL: same uploads and draw", Figure.of(res.get("draw", "BM_GlSagStrip/rebuild:0"), cpu))
    quad = t.add("2D quad: discarding map of 4 vertices, draw",
                 Figure.of(res.get("d3d11_draw", "BM_Direct3DMapDiscardDraw"), cpu),
                 "plain GL: `glNamedBufferData`, draw", Figure.of(res.get("d3d11_draw", "BM_PlainGlBufferDataDraw"), cpu))
    text = [
        "## Per draw",
        "",
        "Processor time of the calling thread per draw into a 64 × 64 target, through the Direct3D "
        "stand-in and through a plain GL loop making the same uploads (vertices, constant blocks) and "
        "the same draw with hand-written GLSL of the same shaders (`bench/draw/draw_bench.cpp`, "
        "`bench/d3d11/draw_bench.cpp`). llvmpipe shades vertices and bins triangles on the calling "
        "thread, so a draw's cost includes the driver's work on its geometry.",
        "",
        t.markdown(),
        "",
        "The ratio is the stand-in's overhead per draw: %s for a box, %s and %s for the 50-box strip "
        "with and without a rebuild, %s for a sprite quad. The driver's work on the geometry dominates "
        "both sides; the figures move by tens of percent from run to run on this shared machine, so "
        "the road scene's draws above, a whole frame's worth with repetitions, are the better measure." % (
            fmt_ratio(box), fmt_ratio(strip), fmt_ratio(kept), fmt_ratio(quad)),
    ]
    return "\n".join(text)


def audio_section(res):
    t = Table()
    bare = Figure.of(res.get("audio_analysis", "BM_BareFft2048"))
    analysis = t.add("`AnalyseAudio` (level, 2048-point spectrum, bands) on the playing music",
                     Figure.of(res.get("audio_analysis", "BM_AnalyseAudio")), "kissfft 2048-point real transform",
                     bare)
    plain = Figure.of(res.get("audio_fft", "BM_PlainKissFft2048"))
    spectrum = t.add("windowed 2048-point spectrum (magnitudes)",
                     Figure.of(res.get("audio_fft", "BM_WindowedSpectrum2048")), "kissfft 2048-point real transform",
                     plain)
    channel = t.add("`BASS_ChannelGetData(FFT2048)` on a playing stream",
                    Figure.of(res.get("audio_fft", "BM_ChannelGetDataFft2048")), "kissfft 2048-point real transform",
                    plain)
    text = [
        "## Audio analysis",
        "",
        "What the main loop spends on the music each frame, against the bare transform it is built on "
        "(`bench/draw/audio_analysis_bench.cpp`, `bench/audio/fft_bench.cpp`).",
        "",
        t.markdown(),
        "",
        "`AnalyseAudio` at %s of the bare transform: on top of the transform it windows 2048 samples "
        "and takes their magnitudes (%s), reads the samples out of the playing stream (%s for the whole "
        "`ChannelGetData`), measures the level over 50 ms and reduces the bins to 32 bands: %s a "
        "frame in all." % (fmt_ratio(analysis), fmt_ratio(spectrum), fmt_ratio(channel),
                           Figure.of(res.get("audio_analysis", "BM_AnalyseAudio")).text()),
    ]
    return "\n".join(text)


def synth_section(res):
    t = Table()
    song = res.get("synth", "BM_GenMusExtendedVsDouble")
    whole = t.add("`genMus`, the whole song, extended precision (processor time)",
                  Figure.counter(song, "extended_cpu_s", 1.0), "`genMus` in double precision",
                  Figure.counter(song, "double_cpu_s", 1.0))
    layer = t.add("one layer, 2^20 samples, `long double`", Figure.of(res.get("synth", "BM_Layer<long double>")),
                  "the same layer in `double`", Figure.of(res.get("synth", "BM_Layer<double>")))
    factor = song.get("realtime_factor") if song and not song.get("error_occurred") else None
    differs = song.get("max_diff_lsb") if song and not song.get("error_occurred") else None
    text = [
        "## Synthesizer",
        "",
        "The synthesizer's song rendered whole, in the extended (x87) precision it is written for and in "
        "double precision, and its inner layer loop alone both ways (`bench/synth/genmus_bench.cpp`).",
        "",
        t.markdown(),
        "",
        "The ratio is the price of extended precision: %s for the song, %s for the layer loop, where "
        "`long double` arithmetic runs on the x87 unit, one value at a time, while `double` gets the "
        "vector instructions. The extended render runs %s times faster than the music plays; the "
        "double one differs from it by up to %s steps of the 16-bit samples." % (
            fmt_ratio(whole), fmt_ratio(layer), "%.1f" % factor if factor else "?",
            "%d" % differs if differs is not None else "?"),
    ]
    return "\n".join(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--results", help="folder of the benchmarks' JSON files")
    parser.add_argument("--out", help="the Markdown file to write")
    parser.add_argument("--spread", help="print the rows of one bench_spread.sh result and stop")
    parser.add_argument("--command", default="scripts/benchmarks.sh", help="how the run was started")
    parser.add_argument("--earlier", default="", help="the revision the earlier start-up program was built from")
    args = parser.parse_args()
    if args.spread:
        with open(args.spread) as f:
            summary = json.load(f)
        print("\n".join(SPREAD_HEADER + spread_rows(summary, "glibc's own" if "HEAP_DEFAULTS=1" in summary.get(
            "environment", "") else "fixed (default)")))
        return
    if not args.results or not args.out:
        parser.error("--results and --out are needed")
    res = Results(args.results)
    res.earlier_label = args.earlier
    if not res.runs:
        sys.exit("no benchmark results in " + args.results)

    frames = res.contexts.get("frames", {})
    dates = sorted(c["date"] for c in res.contexts.values() if "date" in c)
    when = dates[0] if dates else datetime.datetime.now(datetime.timezone.utc).isoformat(timespec="seconds")
    build_types = sorted({c.get("library_build_type", "?") for c in res.contexts.values()})
    header = [
        "# Benchmarks",
        "",
        "Produced by `%s`, which builds the benchmark programs, runs each with JSON output and writes "
        "this file with `scripts/benchmarks_report.py`. Every figure is a ratio to a baseline measured "
        "in the same run on the same machine; the raw results are in the build tree's "
        "`bench-results/`." % args.command,
        "",
        "| | |",
        "| --- | --- |",
        "| date | %s |" % when,
        "| CPU | %s |" % cpu_model(),
        "| cores | %d |" % (os.cpu_count() or 0),
        "| GL renderer | %s |" % frames.get("gl_renderer", "unknown (the frame benchmarks did not run)"),
        "| GL version | %s |" % frames.get("gl_version", "unknown"),
        "| benchmark library build | %s |" % ", ".join(build_types),
        "",
        "A ratio above 1 means the system's figure takes longer than its baseline.",
    ]
    sections = [startup_section, shader_section, frames_section, road_draws_section, spread_section, draw_section,
                audio_section, synth_section]
    body = "\n\n".join("\n".join(header) if i == 0 else s(res) for i, s in enumerate([None] + sections))
    with open(args.out, "w") as f:
        f.write(body + "\n")


if __name__ == "__main__":
    main()
