#!/usr/bin/env python3
"""Making a clip, for scripts/bench.sh: a visit recorded in the real program (a pick set alight, a
pick set singing, then the spread and the explosions, about 40 s in all), made into a clip at
1024x512 and 30 frames a second. The time it takes against the visit's length, the clip's
megabytes a minute, and where the time goes, as the program's last line tells it.

clip_bench.py PROGRAM RUN_DIR SCRATCH: prints one line of key=value figures (written to clip.txt
by bench.sh).
"""

import contextlib
import math
import re
import subprocess
import sys
import time
import types
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import clips  # noqa: E402
import harness as h  # noqa: E402
import journeys as j  # noqa: E402

VISIT_SECONDS = 40
SEED = 7
SPENT = re.compile(r"made in ([\d.]+) s \(drawing ([\d.]+), reading ([\d.]+), mixing ([\d.]+), "
                   r"waiting ([\d.]+); encoder: colours ([\d.]+), VP9 ([\d.]+), Opus ([\d.]+) s\)")


def record(options, visit):
    checks = h.Checks()
    spots = j.pick_spots(h.Crowd(SEED))
    first, picked, _ = spots[0]
    second = next(spot for spot in spots if math.dist(spot[1], picked) > 10)[0]
    with h.Program(options, "--seed", str(SEED), "--mute", "--record", str(visit),
                   binary=options.binary) as program:
        begun = time.monotonic()
        j.enter(program, checks, j.started(program, checks))
        for spot, key in ((first, "3"), (second, "1")):
            j.still(program)
            program.click(*spot)
            checks.require("the pick reaches its person", program.wait_shot(j.card_shown, 20)[1])
            program.move(*j.REST)
            program.key(key)
            program.wait_shot(j.dark_margins, 20)
        time.sleep(max(0.0, begun + VISIT_SECONDS - time.monotonic()))
        program.quit(checks, "after the visit")


def main():
    program, run_dir, scratch = sys.argv[1], sys.argv[2], Path(sys.argv[3])
    scratch.mkdir(parents=True, exist_ok=True)
    options = types.SimpleNamespace(binary=program, run_dir=run_dir, scratch=str(scratch),
                                    screenshots=None)
    visit, clip = scratch / "visit.txt", scratch / "clip.webm"
    with contextlib.redirect_stdout(sys.stderr):  # the journey's lines are not figures
        record(options, visit)
    lines = visit.read_text().split("\n")
    start = int(next(line for line in lines if line.startswith("start ")).split()[1])
    length = (int(next(line for line in reversed(lines) if line.startswith("frame ")).split()[1])
              - start) / 1000
    begun = time.monotonic()
    made = subprocess.run([program, "--replay", str(visit), "--video", str(clip)], cwd=scratch,
                          capture_output=True, text=True, timeout=600)
    seconds = time.monotonic() - begun
    spent = SPENT.search(made.stderr)
    if made.returncode != 0 or not spent:
        sys.exit(f"the clip was not made: {made.stderr}")
    _, duration = clips.streams(clip)
    figures = {"visit_s": length, "making_s": seconds, "clip_s": duration,
               "megabytes_a_minute": clip.stat().st_size / 1e6 * 60 / duration}
    names = ["program_s", "drawing_s", "reading_s", "mixing_s", "waiting_s", "colours_s", "vp9_s",
             "opus_s"]
    figures.update(zip(names, map(float, spent.groups())))
    print(" ".join(f"{key}={value:.3f}" for key, value in figures.items()))


if __name__ == "__main__":
    main()
