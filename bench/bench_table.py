#!/usr/bin/env python3
"""Turns one run of scripts/bench.sh into a markdown table: every figure with its baseline from
the same run, the ratio between them, the target where there is one, and whether it is met.

Reads from the results folder: <Program>.json (Google Benchmark's JSON output, one per benchmark
program), startup.txt and memory.txt (lines "<program> first_frame_ms=<ms> vmhwm_kb=<kB>" from
startup_probe), web.txt (one line "key=value ..." from web_bench.py), load.txt (lines "<when>
<contents of /proc/loadavg>") and failed.txt (programs that did not finish)."""

import json
import os
import statistics
import sys

FULL_SCENE_FPS = 30.0  # frames per second of the full scene, at least
CROWD_FRAME_US = 60.0  # microseconds per update of an idle or walking crowd of 500, at most
STARTUP_MS = 400.0  # from exec to the first drawn frame, under
PEAK_RSS_MB = 150.0  # peak resident memory after entering the hall and running 10 s, under
RECORDING_US = 100.0  # microseconds that recording adds to a frame, under
CLIP_RATIO = 1.0  # time to make a clip at 1024x512 and 30 fps ÷ the visit's length, at most
CLIP_MB_A_MINUTE = 15.0  # megabytes a minute of clip, at most
RECORDING_MB = 5.0  # a ten-minute recording, under

TIME_UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load_benchmarks(path):
    """The program's benchmarks by name, without the suffixes that only say how time was taken."""
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for run in data.get("benchmarks", []):
        if run.get("run_type", "iteration") != "iteration" or "error_occurred" in run:
            continue
        parts = [p for p in run["name"].split("/") if p not in ("real_time", "process_time")]
        unit = TIME_UNITS[run.get("time_unit", "ns")]
        run["real_s"] = run["real_time"] * unit
        run["cpu_s"] = run["cpu_time"] * unit
        runs["/".join(parts)] = run
    return data.get("context", {}), runs


def read_probe(path):
    """Probe results as {program: [(first_frame_ms, vmhwm_kb), ...]}."""
    results = {}
    if not os.path.exists(path):
        return results
    with open(path) as f:
        for line in f:
            fields = line.split()
            if len(fields) < 2:
                continue
            values = dict(field.split("=", 1) for field in fields[1:] if "=" in field)
            if "first_frame_ms" not in values:
                continue
            results.setdefault(fields[0], []).append(
                (float(values["first_frame_ms"]), int(values.get("vmhwm_kb", 0))))
    return results


def yes_no(ok):
    return "yes" if ok else "**no**"


class Table:
    def __init__(self):
        self.rows = []

    def section(self, title):
        self.rows.append(("section", title))

    def row(self, figure, value, baseline="", ratio="", target="", met=""):
        self.rows.append(("row", (figure, value, baseline, ratio, target, met)))

    def render(self):
        lines = []
        header = "| figure | value | baseline | ratio | target | met |"
        for kind, content in self.rows:
            if kind == "section":
                if lines:
                    lines.append("")
                lines.append("#### " + content)
                lines.append("")
                lines.append(header)
                lines.append("|---|---|---|---|---|---|")
            else:
                lines.append("| " + " | ".join(content) + " |")
        return "\n".join(lines)


def ratio_text(value, baseline):
    if baseline <= 0:
        return "n/a"
    return "×%.2f" % (value / baseline)


STILL_IDLE_RATIO = 2.0  # idle frame at 1024×512: classic time ÷ batched with the still hall, at least
FULL_SCREEN_FPS = 30.0  # every scene full screen, batched with the still hall, at least
FULL_SCREEN_IDLE_FPS = 40.0  # the idle scene full screen, at least
SCENES = {
    "frameHall": "hall only (no people)",
    "frameFullIdle": "idle crowd",
    "frameFullSinging": "everybody singing",
    "frameFullBurning": "everybody burning",
    "frameFullArmed": "everybody armed",
    "frameCloseUp": "camera at a person, card shown",
}


def drawing_runs(runs, drawing, fullscreen=0):
    """The frame benchmarks of one way of drawing (0 classic, 1 batched, 2 batched with the still
    hall) and one window (0 1024×512, 1 full screen), by name."""
    suffix = "/drawing:%d/fullscreen:%d" % (drawing, fullscreen)
    return {name[:-len(suffix)]: run for name, run in runs.items() if name.endswith(suffix)}


def target_of(key, fullscreen):
    """The target of a scene's frame with the still hall: (text, test of its run), or None."""
    if key == "frameHall":
        return None
    if fullscreen:
        fps = FULL_SCREEN_IDLE_FPS if key == "frameFullIdle" else FULL_SCREEN_FPS
        return "≥ %.0f fps" % fps, lambda runs: 1.0 / runs[2]["real_s"] >= fps
    if key == "frameFullIdle":
        return "≥ ×%.1f classic" % STILL_IDLE_RATIO, \
            lambda runs: runs[0]["real_s"] / runs[2]["real_s"] >= STILL_IDLE_RATIO
    return None


def renderer_rows(table, runs, context, notes):
    """Each scene drawn the classic way, batched, and batched with the still hall, in the same
    run, at 1024×512 and full screen."""
    for fullscreen, size in ((0, "1024×512"), (1, "full screen, " + context.get("screen", "?"))):
        by_drawing = [drawing_runs(runs, drawing, fullscreen) for drawing in range(3)]
        if not by_drawing[2]:
            continue
        table.section("Classic / batched / batched with the still hall, %s (ratios: classic frame "
                      "time ÷ each)" % size)
        for key, label in SCENES.items():
            scene = [drawings.get(key) for drawings in by_drawing]
            if None in scene:
                continue
            target = target_of(key, fullscreen)
            table.row(label, " / ".join("%.1f" % (1.0 / run["real_s"]) for run in scene) + " fps",
                      "classic: %.1f ms; CPU %s ms" % (scene[0]["real_s"] * 1e3, " / ".join(
                          "%.1f" % (run["cpu_s"] * 1e3) for run in scene)),
                      " / ".join(ratio_text(scene[0]["real_s"], run["real_s"]) for run in scene[1:]),
                      target[0] + " (still hall)" if target else "",
                      yes_no(target[1](scene)) if target else "")
        # The cut-down scenes run at 1024×512 only: their shares stay in that size's section.
        batched = by_drawing[1]
        idle = batched.get("frameFullIdle")
        if idle and "frameFullUnrasterised" in batched and "frameFullUntextured" in batched:
            total = idle["cpu_s"]
            for label, seconds in (
                    ("submitting the scene (nothing rasterised)",
                     batched["frameFullUnrasterised"]["cpu_s"]),
                    ("texturing (full − untextured)",
                     total - batched["frameFullUntextured"]["cpu_s"])):
                table.row("time of the batched idle frame: " + label,
                          "CPU %.1f ms" % (seconds * 1e3),
                          "batched idle frame, CPU %.1f ms" % (total * 1e3),
                          "%.0f %%" % (100.0 * seconds / total))
    notes.append("Drawings: each scene runs drawn the classic way (sprite by sprite), batched, "
                 "and batched with the still hall (the program's default) in the same process, in "
                 "that order; values are wall-clock fps, CPU the process's time per frame.")


def frame_rows(table, runs, notes):
    """Frames: wall-clock rate, and process CPU time (every thread) per frame."""
    runs = dict(runs)
    runs.update(drawing_runs(runs, 0))  # these rows are the classic renderer's
    names = {
        "frameClearSwap": "clear + swap only",
        "frameHall": "hall only: backdrop, floor, light shaft, card put away",
        "frameFullIdle": "full scene, idle crowd",
        "frameFullSinging": "full scene, everybody singing (mouths drawn)",
        "frameFullBurning": "full scene, everybody burning (flames drawn)",
        "frameFullArmed": "full scene, everybody armed (gun hands drawn)",
        "frameCloseUp": "full scene, camera at a person, card shown",
        "frameFullUntextured": "idle scene, texturing off",
        "frameFullUnrasterised": "idle scene, nothing rasterised (empty scissor)",
    }
    if "frameClearSwap" not in runs:
        return

    def describe(run):
        wall_ms = run["real_s"] * 1e3
        cpu_ms = run["cpu_s"] * 1e3
        return "%.1f fps (%.1f ms; CPU %.1f ms → %.0f fps)" % (
            1e3 / wall_ms, wall_ms, cpu_ms, 1e3 / cpu_ms)

    table.section("Frames of the running scene drawn the classic way, 1024×512 (ratios: frame "
                  "time ÷ baseline's)")
    clear = runs["frameClearSwap"]
    table.row(names["frameClearSwap"], describe(clear), "—", "—")
    for key in ("frameHall", "frameFullIdle"):
        if key in runs:
            table.row(names[key], describe(runs[key]), names["frameClearSwap"],
                      ratio_text(runs[key]["real_s"], clear["real_s"]))
    full = runs.get("frameFullIdle")
    hall = runs.get("frameHall")
    for key in ("frameFullIdle", "frameFullSinging", "frameFullBurning", "frameFullArmed",
                "frameCloseUp"):
        if key not in runs:
            continue
        run = runs[key]
        wall_fps = 1.0 / run["real_s"]
        cpu_fps = 1.0 / run["cpu_s"]
        if key == "frameFullIdle":
            baseline = names["frameHall"] if hall else "—"
            ratio = ratio_text(run["real_s"], hall["real_s"]) if hall else "—"
        else:
            baseline = names["frameFullIdle"] if full else "—"
            ratio = ratio_text(run["real_s"], full["real_s"]) if full else "—"
        met = "wall: %s · CPU: %s" % (yes_no(wall_fps >= FULL_SCENE_FPS),
                                      yes_no(cpu_fps >= FULL_SCENE_FPS))
        table.row(names[key], describe(run), baseline, ratio, "≥ %.0f fps" % FULL_SCENE_FPS,
                  met)
    for key in ("frameFullUntextured", "frameFullUnrasterised"):
        if key in runs and full:
            table.row(names[key], describe(runs[key]), names["frameFullIdle"],
                      ratio_text(runs[key]["real_s"], full["real_s"]))
    if full and hall:
        # Where the idle frame's time goes, in process CPU time, as shares of the full frame.
        total = full["cpu_s"]
        parts = [("clear + swap", clear["cpu_s"]),
                 ("hall over clear + swap", hall["cpu_s"] - clear["cpu_s"]),
                 ("500 people (full − hall)", full["cpu_s"] - hall["cpu_s"])]
        if "frameFullUnrasterised" in runs:
            parts.append(("of which submitting the scene (nothing rasterised)",
                          runs["frameFullUnrasterised"]["cpu_s"]))
        if "frameFullUntextured" in runs:
            parts.append(("of which texturing (full − untextured)",
                          total - runs["frameFullUntextured"]["cpu_s"]))
        for label, seconds in parts:
            table.row("time of the idle frame: " + label, "CPU %.1f ms" % (seconds * 1e3),
                      "full idle frame, CPU %.1f ms" % (total * 1e3),
                      "%.0f %%" % (100.0 * seconds / total))
    journey = next((run for name, run in runs.items() if name.startswith("frameJourney")), None)
    if journey:
        table.row("longest frame of a pick, the travel, key 1 starting the music and the way home "
                  "(batched with the still hall, %d frames)" % journey["frames"], "%.1f ms" % journey["longest_ms"],
                  "mean frame of the journey, %.1f ms" % journey["mean_ms"],
                  ratio_text(journey["longest_ms"], journey["mean_ms"]), "≤ 100 ms",
                  yes_no(journey["longest_ms"] <= 100.0))
    notes.append("Frames: wall-clock fps is what the window shows on this busy machine; CPU is "
                 "the process's CPU time over all its threads (llvmpipe rasterises on its own "
                 "threads) per frame, and 1000 / CPU ms the frame rate one free core would give.")


def crowd_rows(table, runs, notes):
    base = runs.get("crowdIdle/500")
    if base is None:
        return
    pause = runs.get("timerPauseResume")
    pause_s = pause["cpu_s"] if pause else 0.0
    base_ns = base["cpu_s"] / 500 * 1e9
    table.section("Crowd::update per frame of 16 ms (CPU time; ratios: ns per person ÷ "
                  "baseline's)")
    order = [
        ("crowdIdle/500", "idle crowd of 500, no check due", True, False),
        ("crowdIdle/2000", "idle crowd of 2000, no check due", False, False),
        ("crowdIdle/10000", "idle crowd of 10000, no check due", False, False),
        ("crowdIdleChecksDue/500", "idle crowd of 500, every check due (after ~100 s)", True,
         False),
        ("crowdIdleChecksDue/2000", "idle crowd of 2000, every check due", False, False),
        ("crowdIdleChecksDue/10000", "idle crowd of 10000, every check due", False, False),
        ("crowdScatter/500/8", "500 scattering: first 8 frames after a pick", True, False),
        ("crowdScatter/500/120", "500 scattering: first 120 frames (2 s) after a pick", True,
         False),
        ("crowdAllSinging/500", "500 all singing, every check due every frame", False, True),
        ("crowdAllSinging/2000", "2000 all singing, every check due every frame", False, True),
        ("crowdAllSinging/10000", "10000 all singing, every check due every frame", False, True),
        ("crowdHalfSingingHalfBurning/500",
         "500 half singing, half burning, every check due every frame", False, True),
    ]
    for key, label, targeted, paused in order:
        run = runs.get(key)
        if run is None:
            continue
        people = int(run.get("people", key.split("/")[1]))
        seconds = run["cpu_s"] - (pause_s if paused else 0.0)
        frame_us = seconds * 1e6
        person_ns = seconds / people * 1e9
        allocs = run.get("allocs_per_frame", 0.0)
        value = "%.1f µs/frame · %.1f ns/person · %.2f allocs/frame" % (
            frame_us, person_ns, allocs)
        baseline = "—" if key == "crowdIdle/500" else "idle crowd of 500 (%.1f ns/person)" % (
            base_ns)
        ratio = "—" if key == "crowdIdle/500" else ratio_text(person_ns, base_ns)
        target = met = ""
        if targeted:
            target = "≤ %.0f µs/frame" % CROWD_FRAME_US
            met = yes_no(frame_us <= CROWD_FRAME_US)
            if key.startswith("crowdIdle"):
                target += ", 0 allocs"
                met = yes_no(frame_us <= CROWD_FRAME_US and allocs == 0)
        table.row(label, value, baseline, ratio, target, met)
    if pause:
        table.row("timer pause + resume (taken off the rows reset before every frame)",
                  "%.2f µs" % (pause_s * 1e6))
    notes.append("Crowd: CPU time of the updating thread; wall time is about %.1f× that on this "
                 "busy machine. Allocations are calls of operator new inside Crowd::update; the "
                 "only ones it makes are cell lists growing when a person moves into a fuller "
                 "cell." % (base["real_s"] / base["cpu_s"]))


def recording_rows(table, runs, notes):
    frames = runs.get("framesLiveAndRecorded")
    alone = runs.get("recorderAlone")
    if not frames and not alone:
        return
    table.section("Recording a visit (ratios: ÷ the same frames without recording)")
    if frames:
        added_us = (frames["recorded_ms"] - frames["live_ms"]) * 1e3
        table.row("frame with a pointer move, recorded", "%.2f ms (%+.0f µs)" % (
            frames["recorded_ms"], added_us), "the same frames live: %.2f ms" % frames["live_ms"],
            "×%.3f" % frames["ratio"])
    if alone:
        added_us = alone["cpu_s"] * 1e6
        table.row("the recorder's own work per frame: a move's line, the meter, the frame's line, "
                  "the flush", "%.1f µs (CPU)" % added_us, "", "", "< %.0f µs" % RECORDING_US,
                  yes_no(added_us < RECORDING_US))
        mb = alone["ten_minutes_mb"]
        table.row("ten minutes at 60 frames a second, a pointer move in every frame",
                  "%.2f MB (%.1f bytes a frame)" % (mb, alone["bytes_per_frame"]), "", "",
                  "< %.0f MB" % RECORDING_MB, yes_no(mb < RECORDING_MB))
    notes.append("Recording: live and recorded frames run in turns so that the load falls on "
                 "both alike; a frame's own spread is far larger than the recorder's cost, which "
                 "the recorder-alone row measures.")


def startup_rows(table, startup, memory, notes):
    if not startup and not memory:
        return
    table.section("Start-up and peak memory of the real program (ratios: ÷ the empty GLUT "
                  "window's)")
    empty = startup.get("empty_window", [])
    program = startup.get("throngwick", [])
    if empty:
        empty_ms = statistics.median(t for t, _ in empty)
        table.row("empty window: exec to first drawn frame, median of %d" % len(empty),
                  "%.0f ms (%s)" % (empty_ms, ", ".join("%.0f" % t for t, _ in empty)), "—", "—")
    if program:
        program_ms = statistics.median(t for t, _ in program)
        table.row("throngwick: exec to first drawn frame (title), median of %d" % len(program),
                  "%.0f ms (%s)" % (program_ms, ", ".join("%.0f" % t for t, _ in program)),
                  "empty window" if empty else "—",
                  ratio_text(program_ms, empty_ms) if empty else "—",
                  "< %.0f ms" % STARTUP_MS, yes_no(program_ms < STARTUP_MS))
    empty_mem = memory.get("empty_window", [])
    program_mem = memory.get("throngwick", [])
    if empty_mem:
        empty_mb = empty_mem[-1][1] / 1024.0
        table.row("empty window: peak resident memory after 10 s", "%.1f MB" % empty_mb, "—", "—")
    if program_mem:
        program_mb = program_mem[-1][1] / 1024.0
        table.row("throngwick: peak resident memory, in the hall for 10 s", "%.1f MB" % program_mb,
                  "empty window" if empty_mem else "—",
                  ratio_text(program_mb, empty_mb) if empty_mem else "—",
                  "< %.0f MB" % PEAK_RSS_MB, yes_no(program_mb < PEAK_RSS_MB))
    notes.append("Start-up: from fork and exec to the first non-black pixels of the window, "
                 "polled every millisecond on the X screen; peak memory is VmHWM.")


def read_web(path):
    """web_bench.py's (or clip_bench.py's) figures by name, or none."""
    if not os.path.exists(path):
        return {}
    with open(path) as f:
        return {key: float(value) for key, _, value in
                (field.partition("=") for field in f.read().split()) if value}


def web_rows(table, web, runs):
    if not web:
        return
    table.section("The browser version (headless Chromium, WebGL on SwiftShader; ratio: frame "
                  "time ÷ the desktop's)")
    mb = lambda key: web[key] / 1e6
    table.row("transferred before the title shows", "%.2f MB" % mb("bytes_before_title"),
              "everything the page can load: %.2f MB" % mb("bytes_all"),
              ratio_text(web["bytes_before_title"], web["bytes_all"]), "≤ 1 MB",
              yes_no(mb("bytes_before_title") <= 1.0))
    table.row("everything the page can load, as served", "%.2f MB" % mb("bytes_all"), "", "",
              "≤ 3 MB", yes_no(mb("bytes_all") <= 3.0))
    table.row("from opening the page to the title, 4 Mbit/s and 150 ms latency",
              "%.0f ms" % web["title_phone_ms"], "unthrottled: %.0f ms" % web["title_ms"],
              ratio_text(web["title_phone_ms"], web["title_ms"]), "≤ 2500 ms",
              yes_no(web["title_phone_ms"] <= 2500))
    scores = [("performance", 90), ("accessibility", 100), ("best_practices", 100), ("seo", 100)]
    if "lighthouse_performance" in web:
        table.row("Lighthouse, mobile: performance / accessibility / best practices / SEO",
                  " / ".join("%.0f" % web["lighthouse_" + name] for name, _ in scores), "", "",
                  "≥ 90 / 100 / 100 / 100",
                  yes_no(all(web["lighthouse_" + name] >= least for name, least in scores)))
    desktop = drawing_runs(runs, 2).get("frameFullIdle")
    for version in (2, 1):
        key = "frame_webgl%d_ms" % version
        if key not in web:
            continue
        value = "%.1f fps (%.1f ms)" % (1000.0 / web[key], web[key])
        what = "idle hall, 1024×512, WebGL %d%s" % (version, " (the hall kept still)"
                                                     if version == 2 else " (drawn every frame)")
        if desktop:
            ratio = web[key] / 1000.0 / desktop["real_s"]
            table.row(what, value, "the desktop's default (batched, still hall) in the same run: "
                      "%.1f fps" % (1.0 / desktop["real_s"]), "×%.2f" % ratio,
                      "≤ ×1.5" if version == 2 else "", yes_no(ratio <= 1.5) if version == 2 else "")
        else:
            table.row(what, value)


def clip_rows(table, clip):
    """clip_bench.py's figures: a recorded visit made into a clip, and where the time went."""
    if not clip:
        return
    table.section("A recorded visit made into a clip, 1024×512 at 30 fps (ratio: time to make "
                  "it ÷ the visit's length)")
    ratio = clip["making_s"] / clip["visit_s"]
    table.row("making the clip", "%.1f s" % clip["making_s"],
              "the visit: %.1f s" % clip["visit_s"], "×%.2f" % ratio,
              "≤ ×%.1f" % CLIP_RATIO, yes_no(ratio <= CLIP_RATIO))
    table.row("a minute of clip", "%.1f MB" % clip["megabytes_a_minute"],
              "", "", "≤ %.0f MB" % CLIP_MB_A_MINUTE,
              yes_no(clip["megabytes_a_minute"] <= CLIP_MB_A_MINUTE))
    table.row("where the drawing thread's time goes",
              "drawing %.1f s, reading the pixels %.1f s, mixing the sound %.2f s, waiting for "
              "the encoder %.1f s" % (clip["drawing_s"], clip["reading_s"], clip["mixing_s"],
                                      clip["waiting_s"]),
              "the program's run: %.1f s" % clip["program_s"])
    table.row("where the encoding thread's time goes",
              "colour conversion %.1f s, VP9 %.1f s, Opus %.2f s" % (
                  clip["colours_s"], clip["vp9_s"], clip["opus_s"]),
              "the program's run: %.1f s" % clip["program_s"])


def other_rows(table, program, runs):
    """Benchmarks this script knows nothing about: each against the program's first one."""
    if not runs:
        return
    table.section("%s (ratios: time ÷ the program's first benchmark's)" % program)
    first_key = next(iter(runs))
    first = runs[first_key]
    skip = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads",
            "iterations", "real_time", "cpu_time", "time_unit", "real_s", "cpu_s",
            "family_index", "per_family_instance_index", "aggregate_name", "label"}
    for key, run in runs.items():
        counters = ", ".join("%s=%.4g" % (k, v) for k, v in run.items()
                             if k not in skip and isinstance(v, (int, float)))
        value = "%s wall, %s CPU per iteration" % (human_time(run["real_s"]),
                                                    human_time(run["cpu_s"]))
        if counters:
            value += " · " + counters
        is_first = key == first_key
        table.row(key, value, "—" if is_first else first_key,
                  "—" if is_first else ratio_text(run["real_s"], first["real_s"]))


def human_time(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if seconds >= scale:
            return "%.3g %s" % (seconds / scale, unit)
    return "%.3g ns" % (seconds * 1e9)


def main():
    results = sys.argv[1]
    table = Table()
    notes = []
    contexts = {}
    programs = {}
    for name in sorted(os.listdir(results)):
        if name.endswith(".json"):
            try:
                contexts[name[:-5]], programs[name[:-5]] = load_benchmarks(
                    os.path.join(results, name))
            except (ValueError, KeyError, OSError) as error:
                notes.append("%s: unreadable results (%s)" % (name, error))
    frame_rows(table, programs.get("FrameBench", {}), notes)
    renderer_rows(table, programs.get("FrameBench", {}), contexts.get("FrameBench", {}), notes)
    crowd_rows(table, programs.get("CrowdUpdateBench", {}), notes)
    recording_rows(table, programs.get("RecordingBench", {}), notes)
    startup_rows(table, read_probe(os.path.join(results, "startup.txt")),
                 read_probe(os.path.join(results, "memory.txt")), notes)
    web_rows(table, read_web(os.path.join(results, "web.txt")), programs.get("FrameBench", {}))
    clip_rows(table, read_web(os.path.join(results, "clip.txt")))
    for program, runs in programs.items():
        if program not in ("FrameBench", "CrowdUpdateBench", "RecordingBench"):
            other_rows(table, program, runs)

    print("### Benchmarks")
    print()
    load_path = os.path.join(results, "load.txt")
    if os.path.exists(load_path):
        with open(load_path) as f:
            for line in f:
                when, _, loadavg = line.strip().partition(" ")
                print("- load average at %s: %s" % (when, " ".join(loadavg.split()[:3])))
    context = contexts.get("FrameBench") or next(iter(contexts.values()), {})
    if context:
        print("- machine: %s CPUs at %.0f MHz; renderer: %s; LP_NUM_THREADS: %s" % (
            context.get("num_cpus", "?"), context.get("mhz_per_cpu", 0),
            contexts.get("FrameBench", {}).get("gl_renderer", "n/a"),
            os.environ.get("LP_NUM_THREADS", "default")))
    failed_path = os.path.join(results, "failed.txt")
    if os.path.exists(failed_path):
        with open(failed_path) as f:
            for line in f:
                print("- **did not finish:** " + line.strip())
    print()
    print(table.render())
    print()
    for note in notes:
        print("- " + note)


if __name__ == "__main__":
    main()
