"""Recording, replaying and filming a visit in the real window. A recorded visit (entering, a
pick and the travel, key 3, a second pick, key 1, the explosion 15 s in) replays frame for frame:
two replays write the same PNG bytes, every screenshot taken during the visit is one of the
replay's frames, and --fps resamples to the expected count. Recordings and folders the program
cannot use give one line naming the file and the line, exit status 2, and no window."""

import argparse
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np
from PIL import Image
from Xlib import X, display

SEED = 20240601
WIDTH, HEIGHT = 1024, 512
SOFTWARE_GL_DRIVER = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"
# (seconds after entering the hall, xdotool arguments): two picks on the front floor, the
# commands once the camera has arrived, and the explosion that comes 15 s after entering.
JOURNEY = [(1.0, ["mousemove", "--window", "{w}", "512", "400"]), (1.5, ["click", "1"]),
           (5.5, ["key", "3"]), (9.0, ["mousemove", "--window", "{w}", "380", "420"]),
           (9.5, ["click", "1"]), (13.5, ["key", "1"]), (18.0, ["key", "Escape"])]
SHOT_TIMES = [0.5, 3.0, 6.0, 8.0, 11.0, 12.5, 14.0, 14.6, 15.0, 15.3, 15.6, 16.0, 16.5, 17.5]


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, what, condition, detail=""):
        print(("ok     " if condition else "FAILED ") + what + (f": {detail}" if detail else ""))
        self.passed += bool(condition)
        self.failed += not condition
        return condition


def environment(binary, with_display=True):
    env = dict(os.environ, SDL_AUDIODRIVER="dummy")
    if not with_display:
        env.pop("DISPLAY", None)
    ldd = subprocess.run(["ldd", binary], capture_output=True, text=True).stdout
    if "libasan" in ldd and Path(SOFTWARE_GL_DRIVER).exists():
        # Keeps Mesa's driver mapped at exit, so the leak check can name its leaks.
        env["LD_PRELOAD"] = SOFTWARE_GL_DRIVER
        env["ASAN_OPTIONS"] = "verify_asan_link_order=0"
    return env


def displayed_frames(visit):
    """The drawn frames the file holds so far: whole 'frame' lines without 'hidden'."""
    lines = visit.read_text().split("\n")[:-1]
    return sum(1 for line in lines if line.startswith("frame ") and not line.endswith(" hidden"))


def record(binary, run_dir, visit, checks):
    """Runs the journey with --record; returns the screenshots as (first, last, pixels), where
    first and last bound the number of drawn frames recorded while it was taken."""
    program = subprocess.Popen([binary, "--seed", str(SEED), "--record", str(visit)], cwd=run_dir,
                               env=environment(binary), stdout=subprocess.DEVNULL)
    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid",
                                str(program.pid), "--name", "^Throngwick$"], capture_output=True,
                               text=True, timeout=60).stdout.split()
        window = display.Display().create_resource_object("window", int(found[0]))

        def screenshot():
            # Without a window manager the window stands at (-1, -1): its first row and column
            # are off the screen, which X cannot read.
            first = displayed_frames(visit)
            raw = window.get_image(1, 1, WIDTH - 1, HEIGHT - 1, X.ZPixmap, 0xFFFFFFFF).data
            last = displayed_frames(visit)
            pixels = np.frombuffer(raw, np.uint8).reshape(HEIGHT - 1, WIDTH - 1, 4)[:, :, 2::-1]
            return first, last, pixels.copy()

        deadline = time.monotonic() + 60
        while screenshot()[2].mean() < 20 and time.monotonic() < deadline:
            time.sleep(0.2)  # the title is not drawn yet
        subprocess.run(["xdotool", "mousemove", "--window", found[0], "512", "100", "click", "1"],
                       check=True)
        entered = time.monotonic()
        shots = []
        steps = sorted([(t, "shot") for t in SHOT_TIMES] + JOURNEY, key=lambda s: s[0])
        for at, step in steps:
            time.sleep(max(0.0, entered + at - time.monotonic()))
            if step == "shot":
                shots.append(screenshot())
            else:
                subprocess.run(["xdotool"] + [a.format(w=found[0]) for a in step], check=True)
        status = program.wait(timeout=60)
    finally:
        if program.poll() is None:
            program.kill()
    checks.check("the recorded visit ends with Esc, status 0", status == 0, f"status {status}")
    return shots


def replay(binary, run_dir, visit, frames, *options):
    started = time.monotonic()
    result = subprocess.run([binary, "--replay", str(visit), "--frames", str(frames), *options],
                            cwd=run_dir, env=environment(binary), capture_output=True, text=True,
                            timeout=400)
    return result, time.monotonic() - started


def closeness(shot, frame_path):
    frame = np.asarray(Image.open(frame_path).convert("RGB"))[1:, 1:]
    difference = np.abs(frame.astype(np.int16) - shot.astype(np.int16))
    return float((difference.max(axis=2) == 0).mean()), int(difference.max())


def check_replays(binary, run_dir, folder, visit, shots, checks):
    films = [folder / "replay-a", folder / "replay-b"]
    for film in films:
        result, seconds = replay(binary, run_dir, visit, film)
        checks.check(f"a replay with --frames exits 0 ({seconds:.0f} s)", result.returncode == 0,
                     result.stderr[-2000:])
    names = [sorted(os.listdir(film)) for film in films]
    drawn = displayed_frames(visit)
    checks.check("each replay writes one numbered PNG per drawn frame of the recording",
                 names[0] == names[1] == [f"frame-{n:06d}.png" for n in range(1, drawn + 1)],
                 f"{len(names[0])} and {len(names[1])} files for {drawn} frames")
    different = [name for name in names[0]
                 if (films[0] / name).read_bytes() != (films[1] / name).read_bytes()]
    checks.check("the two replays' frames are byte for byte the same", not different,
                 f"{len(different)} differ, the first {different[:1]}")

    worst_identical, worst_difference = 1.0, 0
    for first, last, pixels in shots:
        # The window shows the last drawn frame: the last recorded one, or the one whose line
        # the idle call after it has not written yet.
        candidates = range(max(1, first - 1), min(drawn, last + 2) + 1)
        best = max((closeness(pixels, films[0] / f"frame-{n:06d}.png") + (n,)
                    for n in candidates), default=(0.0, 255, 0))
        print(f"       screenshot at frames {first}-{last}: best frame {best[2]}, "
              f"{best[0]:.4%} identical pixels, largest channel difference {best[1]}")
        worst_identical = min(worst_identical, best[0])
        worst_difference = max(worst_difference, best[1])
    checks.check("every screenshot of the visit is one of the replay's frames",
                 shots and worst_identical >= 0.999 and worst_difference <= 2,
                 f"{len(shots)} screenshots, the worst {worst_identical:.4%} identical, "
                 f"largest channel difference {worst_difference}")

    film = folder / "replay-fps"
    result, seconds = replay(binary, run_dir, visit, film, "--fps", "10")
    header = dict(line.split(" ", 1) for line in visit.read_text().split("\n")[1:4])
    last_clock = int([line for line in visit.read_text().split("\n")
                      if line.startswith("frame ")][-1].split()[1])
    start = int(header["start"])
    wanted = -(-(last_clock - start) // 100)  # steps of 100 ms until the last frame's clock
    checks.check("--fps 10 gives a frame for every 100 ms of the visit",
                 result.returncode == 0 and len(os.listdir(film)) == wanted,
                 f"{len(os.listdir(film))} frames for {last_clock - start} ms, {seconds:.0f} s")


def check_refusals(binary, run_dir, folder, checks):
    visit = folder / "backwards.txt"
    visit.write_text("throngwick-visit 1\nseed 1\nwindow 1024 512\nstart 500\n"
                     "frame 600 0\nframe 400 0\n")
    blocker = folder / "a-file"
    blocker.write_text("")
    cases = [
        ([str(visit)], f"{visit}:6: the clock goes back from 600 to 400 ms"),
        ([str(folder / "missing.txt")],
         f"{folder / 'missing.txt'}: cannot read it: No such file or directory"),
    ]
    good = folder / "good.txt"
    good.write_text("throngwick-visit 1\nseed 1\nwindow 1024 512\nstart 500\nframe 600 0\n")
    cases.append(([str(good), "--frames", str(blocker / "film")],
                  f"{blocker / 'film'}: cannot make the frames folder: Not a directory"))
    for arguments, message in cases:
        # No display at all: a program that tried to open a window would fail otherwise.
        result = subprocess.run([binary, "--replay", *arguments], cwd=run_dir,
                                env=environment(binary, with_display=False),
                                capture_output=True, text=True, timeout=60)
        lines = result.stderr.splitlines()
        checks.check(f"refused before any window: {message}",
                     result.returncode == 2 and lines[:1] == ["throngwick: " + message] and
                     len(lines) == 2 and lines[1].startswith("Usage: "),
                     f"status {result.returncode}, {result.stderr!r}")
    result = subprocess.run([binary, "--frames", str(folder)], cwd=run_dir,
                            env=environment(binary, with_display=False), capture_output=True,
                            text=True, timeout=60)
    checks.check("--frames without --replay is refused", result.returncode == 2 and
                 result.stderr.startswith("throngwick: --frames needs --replay\n"),
                 result.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--binary", required=True)
    parser.add_argument("--run-dir", required=True)
    arguments = parser.parse_args()
    binary = str(Path(arguments.binary).resolve())
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="throngwick-visit-") as temporary:
        folder = Path(temporary)
        check_refusals(binary, arguments.run_dir, folder, checks)
        visit = folder / "visit.txt"
        shots = record(binary, arguments.run_dir, visit, checks)
        text = visit.read_text()
        checks.check("the recording holds the picks and keys 3 and 1",
                     text.count("\nmouse 0 1 ") >= 3 and "\nkey 51 " in text and
                     "\nkey 49 " in text, f"{len(text)} bytes")
        check_replays(binary, arguments.run_dir, folder, visit, shots, checks)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
