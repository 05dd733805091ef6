# Drives the real program in a real X window as a person would: starts it with the arguments,
# working folder and environment a journey chooses, reads its standard output and exit status,
# finds its window, moves the pointer, clicks and types (xdotool), takes screenshots as numpy
# arrays (Xlib) and reads what it played through SDL's disk audio driver.

import ctypes
import math
import os
import re
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

import numpy as np
from PIL import Image
import Xlib.error
import Xlib.ext.res as res
from Xlib import X, display

WIDTH, HEIGHT = 1024, 512
EYE = (0.0, 19.0, 145.0)  # the start-up view, looking along -z with 55 degrees of height
FOCAL = 1.0 / math.tan(math.radians(27.5))
RATE = 44100  # the disk driver's frames a second, 16-bit stereo
LOADING = ["LOADING PEOPLE GRAPHICS", "PUSHING PEOPLE", "PUSHED PEOPLE"]
PICK_LINE = r"^X:(-?\d+\.\d{6}) Y:(-?\d+\.\d{6}) Z:(-?\d+\.\d{6}) $"
SWRAST = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"
FIXED_TIME = "#include <stdlib.h>\n#include <time.h>\ntime_t time(time_t* out) {\n" \
    "    time_t t = (time_t)atoll(getenv(\"THRONGWICK_FIXED_TIME\"));\n" \
    "    if (out) *out = t;\n    return t;\n}\n"


class Checks:
    # One line a check; the journey ends with the count and its exit status.

    def __init__(self):
        self.passed = self.failed = 0

    def check(self, what, condition, detail=""):
        print(f"{'ok  ' if condition else 'FAIL'} {what}" + (f" ({detail})" if detail else ""),
              flush=True)
        self.passed, self.failed = self.passed + bool(condition), self.failed + (not condition)
        return condition

    def require(self, what, condition, detail=""):
        if not self.check(what, condition, detail):
            raise RuntimeError(f"cannot go on without: {what}")


def to_pixel(point, eye=EYE):
    # Window pixel (x from the left, y from the top) of a point, in eye space when eye is None.
    x, y, z = (p - e for p, e in zip(point, eye or (0, 0, 0)))
    return (FOCAL * HEIGHT / WIDTH * x / -z + 1) * WIDTH / 2, (1 - FOCAL * y / -z) * HEIGHT / 2


def pixel_direction(x, y):
    # The eye-space direction through whole pixel (x, y), y flipped as the program does.
    return np.array([(2 * x / WIDTH - 1) * WIDTH / HEIGHT / FOCAL,
                     (2 * (HEIGHT - 1 - y) / HEIGHT - 1) / FOCAL, -1.0])


def near_point(x, y):
    return tuple(np.array(EYE) + pixel_direction(x, y) * 0.1)


def floor_point(x, y):
    return tuple(np.array(EYE) + pixel_direction(x, y) * (-EYE[1] / pixel_direction(x, y)[1]))


def rms(samples, window):
    # Root mean square of each whole window of mono samples.
    count = len(samples) // window
    return np.sqrt((samples[:count * window].reshape(count, window) ** 2).mean(axis=1))


class Crowd:
    # Where a seed puts the people, computed as the program does: the generator, the ten fires'
    # draws, twelve draws a person, the lowered heads and the cell function.

    def __init__(self, seed):
        f32, state, draws, self.cells = np.float32, seed, [], {}
        for _ in range(10 + 500 * 12):
            state = (state * 214013 + 2531011) & 0xFFFFFFFF
            draws.append((state >> 16) & 0x7FFF)
        for n in range(500):
            base, _, face, x, z = draws[10 + 12 * n:15 + 12 * n]
            face = min(base % 6 + face % 3, 5) if base % 6 >= 3 else max(base % 6 - face % 3, 0)
            head = (float(f32(x % 20000 - 10000) * f32(0.01)), {2: -2.5, 1: -1.5}.get(face, 0.0),
                    float(f32(z % 10000) * f32(0.01)))
            self.cells.setdefault(self.cell_of(head), []).append(head)
        self.everybody = [head for people in self.cells.values() for head in people]

    @staticmethod
    def cell_of(point):
        x, z = (float(np.float32(99.9)) if v == 100.0 else v for v in (point[0], point[2]))
        column = float(np.float32(x + 100.0)) * 1000.0 * float(np.float32(0.00005))
        row = float(np.float32(float(np.float32(z)) * 1000.0 * float(np.float32(0.0001))))
        return min(max(int(column), 0), 9), min(max(int(row), 0), 9)

    def picked(self, point):
        # The person a pick at this floor point selects, or None for an empty cell.
        people = self.cells.get(self.cell_of(point), [])
        return min(people, key=lambda head: math.dist(head, point), default=None)


class Program:
    # One run of the program; a context manager, so that it never outlives its journey.

    def __init__(self, options, *arguments, cwd=None, env=None, audio=False, seed=None,
                 binary=None):
        self.options, self.lines, self.window = options, [], None
        self.scratch = Path(tempfile.mkdtemp(prefix="run-", dir=options.scratch))
        self.audio_file = self.scratch / "audio.raw" if audio else None
        environment = dict(os.environ, SDL_AUDIODRIVER="dummy")
        preload = [SWRAST] if Path(SWRAST).exists() else []  # keeps its leaks nameable at exit
        if audio:
            environment.update(SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=str(self.audio_file))
        if seed is not None:  # the crowd's seed is the calendar time at start-up
            preload.append(fixed_time_library(options.scratch))
            environment["THRONGWICK_FIXED_TIME"] = str(seed)
        environment.update(env or {})
        environment["LD_PRELOAD"] = " ".join(preload)
        environment["ASAN_OPTIONS"] = environment.get("ASAN_OPTIONS", "") + \
            ":verify_asan_link_order=0"
        self.stderr = open(self.scratch / "stderr.txt", "w+")
        self.process = subprocess.Popen(
            [binary or options.binary, *arguments], cwd=cwd or options.run_dir, env=environment,
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=self.stderr,
            preexec_fn=lambda: ctypes.CDLL(None).prctl(1, signal.SIGKILL))
        self.condition = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()
        self.x = display.Display()

    def _read(self):
        for raw in self.process.stdout:
            with self.condition:
                self.lines.append(raw.decode("utf-8", "replace").rstrip("\n"))
                self.condition.notify_all()

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.process.kill()  # nothing if it has ended

    def running(self):
        return self.process.poll() is None

    def wait_line(self, pattern, timeout, start=0):
        # The first match of pattern among the lines from index start on, or None.
        deadline = time.monotonic() + timeout
        search = re.compile(pattern).search
        with self.condition:
            while True:
                found = next(filter(None, map(search, self.lines[start:])), None)
                if found or time.monotonic() > deadline or not self.running():
                    return found
                self.condition.wait(0.1)

    def find_window(self, timeout=60):
        # Waits for the loading lines and the program's own visible window; its id or None.
        deadline = time.monotonic() + timeout
        self.wait_line("^PUSHED PEOPLE$", timeout)
        while self.window is None and time.monotonic() < deadline and self.running():
            self.window = next(filter(self._ours, self.x.screen().root.query_tree().children),
                               None) or time.sleep(0.2)
        return self.window

    def _ours(self, window):
        # Shown, titled Throngwick and made by this process, as the X server tells: GLUT's window
        # names no process, and several programs may run at once.
        try:
            mine = [self.process.pid] in (owner.value for owner in self.x.res_query_client_ids(
                [{"client": window.id, "mask": res.LocalClientPIDMask}]).ids)
            return mine and window.get_attributes().map_state == X.IsViewable and \
                window.get_wm_name() == "Throngwick"
        except Xlib.error.XError:  # gone meanwhile
            return False

    def geometry(self):
        # (left, top, width, height) of the window on the screen.
        size = self.window.get_geometry()
        corner = self.window.translate_coords(self.x.screen().root, 0, 0)
        return -corner.x, -corner.y, size.width, size.height

    def move(self, x, y, *then):
        left, top, _, _ = self.geometry()
        subprocess.run(["xdotool", "mousemove", str(left + x), str(top + y), *then], check=True)

    def click(self, x, y, button=1):
        self.move(x, y, "click", str(button))

    def key(self, *names):
        # Keys go where the pointer is: it is kept inside the window.
        left, top, width, height = self.geometry()
        pointer = self.x.screen().root.query_pointer()
        x, y = pointer.root_x - left, pointer.root_y - top
        self.move(*((x, y) if 0 < x < width - 1 and 0 < y < height - 1 else (width // 2, 99)),
                  "key", *names)

    def stall(self, seconds):
        # The program stopped and let go on, as a busy machine or a hidden window stalls it.
        self.process.send_signal(signal.SIGSTOP)
        time.sleep(seconds)
        self.process.send_signal(signal.SIGCONT)

    def shot(self):
        # The window's pixels, rows from the top, as an array of RGB; parts beyond the screen's
        # edges copy the nearest visible pixel.
        left, top, width, height = self.geometry()
        screen = self.x.screen()
        x0, y0 = max(left, 0), max(top, 0)
        w = min(left + width, screen.width_in_pixels) - x0
        h = min(top + height, screen.height_in_pixels) - y0
        if w <= 0 or h <= 0:
            return np.zeros((height, width, 3), int)
        raw = screen.root.get_image(x0, y0, w, h, X.ZPixmap, 0xFFFFFFFF).data
        pixels = np.frombuffer(raw, np.uint8).reshape(h, w, 4)[:, :, 2::-1].astype(int)
        below, right = top + height - y0 - h, left + width - x0 - w
        return np.pad(pixels, ((y0 - top, below), (x0 - left, right), (0, 0)), mode="edge")

    def wait_shot(self, condition, timeout, interval=0.1):
        return wait_shot(self.shot, condition, timeout, interval, self.running)

    def save(self, shot, name):
        # Keeps a screenshot for the README when the journey was asked to.
        if self.options.screenshots:
            Image.fromarray(shot.astype(np.uint8)).save(Path(self.options.screenshots) / name)

    def sound(self, start=0, seconds=None, timeout=20):
        # Mono samples of the output from frame start on, once seconds of them are written.
        end = None if seconds is None else start + int(seconds * RATE)
        deadline = time.monotonic() + timeout
        while end and self.frames() < end and time.monotonic() < deadline:
            time.sleep(0.1)
        data = np.fromfile(self.audio_file, np.int16)
        return data[:len(data) // 2 * 2].reshape(-1, 2).mean(axis=1)[start:end]

    def frames(self):
        return self.audio_file.stat().st_size // 4 if self.audio_file.exists() else 0

    def wait_error(self, pattern, timeout):
        # The first match of pattern among standard error's lines, or None.
        return wait_for(lambda: re.search(pattern, Path(self.stderr.name).read_text(), re.M),
                        timeout)

    def quit(self, checks, where):
        # Esc: the exit status must be 0 and the sanitizers silent.
        self.key("Escape")
        try:
            status = self.process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            status = None
        self.stderr.seek(0)
        errors = self.stderr.read()
        reports = re.findall(r".*(?:ERROR: \w+Sanitizer|runtime error:).*", errors)
        checks.check(f"Esc {where} ends the program with status 0", status == 0, f"{status}")
        checks.check(f"no sanitizer report {where}", not reports, "; ".join(reports[:3]))
        if status != 0 or reports:
            print("\n".join(errors.splitlines()[-40:]))


def wait_for(condition, timeout, interval=0.2):
    # What condition gives once it holds, or at the end of the timeout.
    deadline = time.monotonic() + timeout
    while not condition() and time.monotonic() < deadline:
        time.sleep(interval)
    return condition()


def wait_shot(shoot, condition, timeout, interval=0.1, alive=lambda: True):
    # Screenshots until condition(shot) holds: (the last shot, whether it held).
    deadline = time.monotonic() + timeout
    while True:
        shot = shoot()
        held = condition(shot)
        if held or time.monotonic() > deadline or not alive():
            return shot, bool(held)
        time.sleep(interval)


def picture(path):
    # A PNG's pixels, rows from the top, as an array of RGB.
    return np.asarray(Image.open(path).convert("RGB"), dtype=int)


def fixed_time_library(folder):
    # A library whose time() answers THRONGWICK_FIXED_TIME: the seed of the crowd. GLUT's clock
    # is left to run.
    library = Path(folder) / "fixed_time.so"
    if not library.exists():
        source = Path(folder) / "fixed_time.c"
        source.write_text(FIXED_TIME)
        subprocess.run(["cc", "-shared", "-fPIC", "-o", str(library), str(source)], check=True)
    return str(library)
