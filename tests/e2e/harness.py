"""Drives the real throngwick program in a real X window, the way a person would use it.

Starts the program in its run folder, reads its standard output in a background thread, finds
its window, moves the pointer, clicks and types through XTEST (xdotool), takes screenshots (Xlib
through ctypes, or ImageMagick's `import`) and reads what it played when SDL writes its audio
output to a file. Python's standard library only.
"""

import argparse
import array
import ctypes
import math
import os
import re
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parents[2]
SCREENSHOT_DIR = REPO_ROOT / "docs" / "screenshots"
FAKETIME_LIBRARY = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
SOFTWARE_GL_DRIVER = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"

WINDOW_TITLE = "Throngwick"
WINDOW_WIDTH = 1024
WINDOW_HEIGHT = 512

# The start-up view: eye at (0, 19, 145) looking along -z.
EYE = (0.0, 19.0, 145.0)
FIELD_OF_VIEW_DEGREES = 55.0
NEAR_PLANE = 0.1
FAR_PLANE = 1000.0

# SDL's disk audio driver writes the mixed output as raw signed 16-bit stereo at the program's rate.
AUDIO_RATE = 44100
AUDIO_CHANNELS = 2

LOADING_LINES = ["LOADING PEOPLE GRAPHICS", "PUSHING PEOPLE", "PUSHED PEOPLE"]
# "X:%f Y:%f Z:%f \n": six decimals each, a blank before the line's end.
PICK_LINE = re.compile(r"^X:(-?\d+\.\d{6}) Y:(-?\d+\.\d{6}) Z:(-?\d+\.\d{6}) $")
# The calendar time that seeds the crowd in the tests that need the same crowd every run.
CROWD_TIME = "@2026-01-01 00:00:00"

# Regions of the window (x0, y0, x1, y1, ends exclusive) and spots (x, y), from the top left.
HALL = (0, 0, WINDOW_WIDTH, 280)  # the backdrop above the crowd
CARD = (720, 300, 940, 480)  # inside the shown option card, at the window's lower right
# Floor spots (window pixels) in the middle of the crowd, tried in turn until one picks.
CROWD_SPOTS = [(512, 400), (380, 380), (650, 430), (450, 350), (600, 360), (300, 420),
               (720, 400), (560, 440), (420, 330)]

QUIET_RMS = 5.0  # below this (of 32768) a stretch of the audio output counts as silence


class TestFailure(Exception):
    """A step that the rest of the script depends on did not work."""

    def __init__(self, message, counted=False):
        super().__init__(message)
        self.counted = counted  # already printed and counted as a failed check


# ---------------------------------------------------------------------------------------------
# Reporting


class Checks:
    """Prints one line per check and ends the script with the count and the exit status."""

    def __init__(self, name):
        self.name = name
        self.passed = 0
        self.failed = 0
        self.started = time.monotonic()

    def check(self, what, condition, detail=""):
        status = "ok  " if condition else "FAIL"
        suffix = f" ({detail})" if detail else ""
        print(f"{status} {what}{suffix}", flush=True)
        if condition:
            self.passed += 1
        else:
            self.failed += 1
        return condition

    def require(self, what, condition, detail=""):
        """A check whose failure makes the rest of the script meaningless."""
        if not self.check(what, condition, detail):
            raise TestFailure(what, counted=True)

    def note(self, text):
        print(f"     {text}", flush=True)

    def finish(self):
        seconds = time.monotonic() - self.started
        print(f"     {self.name} took {seconds:.1f} s", flush=True)
        print(f"{self.name}: {self.passed} passed, {self.failed} failed", flush=True)
        return 0 if self.failed == 0 else 1


def parse_arguments(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--binary", required=True, help="the throngwick executable")
    parser.add_argument("--run-dir", required=True,
                        help="the program's working folder, with image_data/ and audio/")
    parser.add_argument("--screenshots", default=str(SCREENSHOT_DIR),
                        help="where the pictures for the README go")
    arguments = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        print("FAIL no DISPLAY set: run under an X server (scripts/test.sh starts one)")
        sys.exit(1)
    return arguments


def run_script(name, description, body):
    """Runs body(arguments, checks); any exception counts as a failure with its message."""
    arguments = parse_arguments(description)
    checks = Checks(name)
    try:
        body(arguments, checks)
    except TestFailure as failure:
        if not failure.counted:
            checks.check(str(failure), False)
        checks.note("the remaining checks were skipped")
    except Exception as error:  # a broken harness step must still end the script cleanly
        checks.check("the script ran to its end without an error", False,
                     f"{type(error).__name__}: {error}")
    sys.exit(checks.finish())


def wait_until(condition, timeout, interval=0.1):
    """Polls condition() until it returns something true; returns that value, or None on timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


# ---------------------------------------------------------------------------------------------
# The camera's un-projection, as GLU does it


def perspective_matrix(fovy_degrees, aspect, near, far):
    f = 1.0 / math.tan(math.radians(fovy_degrees) / 2.0)
    return [[f / aspect, 0.0, 0.0, 0.0],
            [0.0, f, 0.0, 0.0],
            [0.0, 0.0, (far + near) / (near - far), 2.0 * far * near / (near - far)],
            [0.0, 0.0, -1.0, 0.0]]


def translation_matrix(x, y, z):
    return [[1.0, 0.0, 0.0, x], [0.0, 1.0, 0.0, y], [0.0, 0.0, 1.0, z], [0.0, 0.0, 0.0, 1.0]]


def multiply(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]


def invert(m):
    """Gauss-Jordan with partial pivoting; the matrices here are far from singular."""
    n = 4
    work = [list(row) + [1.0 if i == j else 0.0 for j in range(n)] for i, row in enumerate(m)]
    for column in range(n):
        pivot = max(range(column, n), key=lambda r: abs(work[r][column]))
        work[column], work[pivot] = work[pivot], work[column]
        scale = work[column][column]
        work[column] = [value / scale for value in work[column]]
        for row in range(n):
            if row != column:
                factor = work[row][column]
                work[row] = [a - factor * b for a, b in zip(work[row], work[column])]
    return [row[n:] for row in work]


def unproject(window_x, window_y_from_bottom, depth, modelview, projection, viewport):
    """gluUnProject: window coordinates back to world coordinates."""
    inverse = invert(multiply(projection, modelview))
    vx, vy, vw, vh = viewport
    ndc = [2.0 * (window_x - vx) / vw - 1.0, 2.0 * (window_y_from_bottom - vy) / vh - 1.0,
           2.0 * depth - 1.0, 1.0]
    out = [sum(inverse[i][k] * ndc[k] for k in range(4)) for i in range(4)]
    return (out[0] / out[3], out[1] / out[3], out[2] / out[3])


def start_view_near_point(x, y):
    """The near-plane point under window pixel (x, y from the top) in the start-up view: whole
    pixel numbers, no half-pixel offset, y flipped as height - y - 1."""
    projection = perspective_matrix(FIELD_OF_VIEW_DEGREES, WINDOW_WIDTH / WINDOW_HEIGHT,
                                    NEAR_PLANE, FAR_PLANE)
    modelview = translation_matrix(-EYE[0], -EYE[1], -EYE[2])
    return unproject(x, WINDOW_HEIGHT - y - 1, 0.0, modelview, projection,
                     (0, 0, WINDOW_WIDTH, WINDOW_HEIGHT))


def start_view_floor_point(x, y):
    """Where the ray under window pixel (x, y) meets the floor y = 0 in the start-up view."""
    projection = perspective_matrix(FIELD_OF_VIEW_DEGREES, WINDOW_WIDTH / WINDOW_HEIGHT,
                                    NEAR_PLANE, FAR_PLANE)
    modelview = translation_matrix(-EYE[0], -EYE[1], -EYE[2])
    viewport = (0, 0, WINDOW_WIDTH, WINDOW_HEIGHT)
    near = unproject(x, WINDOW_HEIGHT - y - 1, 0.0, modelview, projection, viewport)
    far = unproject(x, WINDOW_HEIGHT - y - 1, 1.0, modelview, projection, viewport)
    t = near[1] / (near[1] - far[1])
    return tuple(n + (f - n) * t for n, f in zip(near, far))


# ---------------------------------------------------------------------------------------------
# Pictures


class Image:
    """An RGB picture in window coordinates: x from the left, y from the top."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels  # bytes, RGB, row after row from the top

    def _rows(self, rect, step=1):
        x0, y0, x1, y1 = self._clip(rect)
        for y in range(y0, y1, step):
            start = (y * self.width + x0) * 3
            yield self.pixels[start:start + (x1 - x0) * 3]

    def _clip(self, rect):
        x0, y0, x1, y1 = rect if rect else (0, 0, self.width, self.height)
        x0, x1 = max(0, x0), min(self.width, x1)
        y0, y1 = max(0, y0), min(self.height, y1)
        if x0 >= x1 or y0 >= y1:
            raise ValueError(f"empty region {rect}")
        return x0, y0, x1, y1

    def mean(self, rect=None):
        """Mean (r, g, b) over rect = (x0, y0, x1, y1), end exclusive."""
        totals = [0, 0, 0]
        count = 0
        for row in self._rows(rect):
            totals[0] += sum(row[0::3])
            totals[1] += sum(row[1::3])
            totals[2] += sum(row[2::3])
            count += len(row) // 3
        return tuple(total / count for total in totals)

    def brightness(self, rect=None):
        r, g, b = self.mean(rect)
        return (r + g + b) / 3.0

    def count(self, rect, wanted):
        """How many pixels (r, g, b) in rect satisfy wanted(r, g, b)."""
        found = 0
        for row in self._rows(rect):
            for i in range(0, len(row), 3):
                if wanted(row[i], row[i + 1], row[i + 2]):
                    found += 1
        return found

    def differs(self, other, rect=None, threshold=40, step=2):
        """Fraction of pixels in rect whose largest channel difference exceeds threshold, looking
        at every step-th pixel across and down."""
        changed = 0
        count = 0
        stride = 3 * step
        for row_a, row_b in zip(self._rows(rect, step), other._rows(rect, step)):
            for i in range(0, len(row_a), stride):
                if (abs(row_a[i] - row_b[i]) > threshold or
                        abs(row_a[i + 1] - row_b[i + 1]) > threshold or
                        abs(row_a[i + 2] - row_b[i + 2]) > threshold):
                    changed += 1
                count += 1
        return changed / count

    def mean_difference(self, other, rect=None, step=2):
        """Mean absolute channel difference over rect, 0 to 255, every step-th row."""
        total = 0
        count = 0
        for row_a, row_b in zip(self._rows(rect, step), other._rows(rect, step)):
            total += sum(map(abs, map(int.__sub__, row_a, row_b)))
            count += len(row_a)
        return total / count

    def save_png(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        # Each row as its difference from the row above (PNG's "Up" filter, type 2): a third
        # smaller than the raw rows for these pictures.
        stride = self.width * 3
        rows = []
        above = bytes(stride)
        for y in range(self.height):
            row = self.pixels[y * stride:(y + 1) * stride]
            rows.append(b"\x02" + bytes((a - b) & 0xFF for a, b in zip(row, above)))
            above = row
        raw = b"".join(rows)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
        # Written beside and renamed over, so that a reader never sees half a picture.
        partial = path.with_name(f".{path.name}.{os.getpid()}.partial")
        partial.write_bytes(data)
        os.replace(partial, path)
        return path


def parse_ppm(data):
    """A binary PPM (P6, maxval 255) to (width, height, pixels)."""
    tokens = []
    position = 0
    while len(tokens) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position) + 1
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        tokens.append(data[position:end])
        position = end
    position += 1  # the single blank after the maximum value
    if tokens[0] != b"P6" or int(tokens[3]) != 255:
        raise ValueError(f"not an 8-bit binary PPM: {tokens}")
    width, height = int(tokens[1]), int(tokens[2])
    pixels = data[position:position + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("truncated PPM")
    return width, height, pixels


# ---------------------------------------------------------------------------------------------
# Sound


class AudioCapture:
    """The file that SDL's disk driver writes: raw signed 16-bit little-endian stereo."""

    frame_bytes = 2 * AUDIO_CHANNELS

    def __init__(self, path):
        self.path = Path(path)

    def frames_written(self):
        try:
            return self.path.stat().st_size // self.frame_bytes
        except FileNotFoundError:
            return 0

    def read(self, first_frame=0, last_frame=None):
        """Mono samples (left and right averaged) from first_frame up to last_frame."""
        with open(self.path, "rb") as handle:
            handle.seek(first_frame * self.frame_bytes)
            count = None if last_frame is None else (last_frame - first_frame)
            data = handle.read(-1 if count is None else count * self.frame_bytes)
        data = data[:len(data) - len(data) % self.frame_bytes]
        samples = array.array("h")
        samples.frombytes(data)
        if sys.byteorder != "little":
            samples.byteswap()
        return [(samples[i] + samples[i + 1]) / 2.0 for i in range(0, len(samples), 2)]

    @staticmethod
    def rms_windows(samples, window_frames):
        """RMS of each whole window of window_frames samples, full scale 32768."""
        result = []
        for start in range(0, len(samples) - window_frames + 1, window_frames):
            chunk = samples[start:start + window_frames]
            result.append(math.sqrt(sum(s * s for s in chunk) / window_frames))
        return result

    @staticmethod
    def low_frequency_share(samples, cutoff_hz=250.0):
        """Share of the signal's energy below about cutoff_hz (a one-pole low-pass filter)."""
        alpha = 1.0 - math.exp(-2.0 * math.pi * cutoff_hz / AUDIO_RATE)
        low = 0.0
        low_energy = 0.0
        total_energy = 0.0
        for s in samples:
            low += alpha * (s - low)
            low_energy += low * low
            total_energy += s * s
        return low_energy / total_energy if total_energy > 0 else 0.0


# ---------------------------------------------------------------------------------------------
# The program


def _die_with_parent():
    # The program must not outlive this script, even when ctest kills the script at its timeout.
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_PDEATHSIG = 1
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Program:
    """One run of throngwick; use it as a context manager so that it never outlives a failure."""

    def __init__(self, arguments, audio_file=None, faketime=None, extra_env=None):
        self.binary = str(Path(arguments.binary).resolve())
        self.run_dir = str(Path(arguments.run_dir).resolve())
        self.audio_file = audio_file
        self.faketime = faketime
        self.extra_env = extra_env or {}
        self.process = None
        self.lines = []  # (seconds since start, line without its end)
        self.stdout_closed = False
        self.condition = threading.Condition()
        self.stderr_file = None
        self.stderr_kept = None  # the standard error's text once its file is gone
        self.window_id = None
        self.origin = (0, 0)  # the window's top-left pixel on the screen
        self.size = (0, 0)
        self.started_at = 0.0
        self.audio = AudioCapture(audio_file) if audio_file else None

    # Start and stop

    def environment(self):
        env = dict(os.environ)
        env.update(self.extra_env)
        if self.audio_file:
            env["SDL_AUDIODRIVER"] = "disk"
            env["SDL_DISKAUDIOFILE"] = str(self.audio_file)
        else:
            env.setdefault("SDL_AUDIODRIVER", "dummy")
        preload = []
        if self.faketime:
            # Fixes the calendar time that seeds the crowd. GLUT's elapsed time reads the same
            # faked clock (gettimeofday), so it must run: the "@" form starts the clock at that
            # moment and lets it run at the real rate; a frozen time would freeze every animation.
            # Other libraries' monotonic clocks are left alone.
            preload.append(FAKETIME_LIBRARY)
            env["FAKETIME"] = self.faketime
            env["FAKETIME_DONT_FAKE_MONOTONIC"] = "1"
        if links_address_sanitizer(self.binary) and Path(SOFTWARE_GL_DRIVER).exists():
            # Closing the display at exit unloads Mesa's driver before the leak check runs, so
            # the driver's own leaks show up under "<unknown module>", where no suppression can
            # name them. Preloaded, the driver stays mapped and its leaks are suppressed by name.
            preload.append(SOFTWARE_GL_DRIVER)
        if preload:
            env["LD_PRELOAD"] = " ".join(preload + env.get("LD_PRELOAD", "").split())
            # The sanitizer runtime is not first in the list of libraries once another is preloaded.
            asan = env.get("ASAN_OPTIONS", "")
            env["ASAN_OPTIONS"] = (asan + ":" if asan else "") + "verify_asan_link_order=0"
        return env

    def start(self):
        if self.audio_file and Path(self.audio_file).exists():
            Path(self.audio_file).unlink()
        self.stderr_file = tempfile.NamedTemporaryFile(prefix="throngwick-stderr-", suffix=".txt",
                                                       delete=False)
        self.started_at = time.monotonic()
        self.process = subprocess.Popen([self.binary], cwd=self.run_dir, env=self.environment(),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=self.stderr_file, preexec_fn=_die_with_parent)
        threading.Thread(target=self._read_stdout, daemon=True).start()
        return self

    def _read_stdout(self):
        for raw in self.process.stdout:
            line = raw.decode("utf-8", "replace").rstrip("\n")
            with self.condition:
                self.lines.append((time.monotonic() - self.started_at, line))
                self.condition.notify_all()
        with self.condition:
            self.stdout_closed = True
            self.condition.notify_all()

    def __enter__(self):
        return self.start()

    def __exit__(self, kind, value, traceback):
        self.kill()
        if kind is not None:
            self.print_stderr_tail()
        if self.stderr_file:
            # Kept in memory for the checks that come after the program's end.
            self.stderr_kept = self.stderr_text()
            Path(self.stderr_file.name).unlink(missing_ok=True)
        return False

    def running(self):
        return self.process is not None and self.process.poll() is None

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait(timeout=10)

    def stderr_text(self):
        if self.stderr_kept is not None:
            return self.stderr_kept
        if not self.stderr_file:
            return ""
        try:
            return Path(self.stderr_file.name).read_text("utf-8", "replace")
        except OSError:
            return ""

    def print_stderr_tail(self, lines=40):
        text = self.stderr_text().rstrip()
        if text:
            print("     --- the program's standard error (last lines) ---")
            for line in text.splitlines()[-lines:]:
                print(f"     | {line}")

    def sanitizer_reports(self):
        """Lines in which AddressSanitizer, LeakSanitizer or UBSan report a fault."""
        pattern = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:")
        return [line for line in self.stderr_text().splitlines() if pattern.search(line)]

    def quit_with_escape(self, timeout=60):
        """Presses Esc with the pointer in the window; returns the exit status, None if the
        program is still running after timeout seconds."""
        self.pointer_inside()
        xdotool("key", "Escape")
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    # Standard output

    def output_lines(self):
        with self.condition:
            return [line for _, line in self.lines]

    def wait_for_line(self, pattern, timeout, start=0):
        """Waits for a line at index start or later that matches pattern (a regular expression).
        Returns (index, match), or None once the timeout passes or the output ends."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self.condition:
            while True:
                for index in range(start, len(self.lines)):
                    match = regex.search(self.lines[index][1])
                    if match:
                        return index, match
                remaining = deadline - time.monotonic()
                if remaining <= 0 or self.stdout_closed:
                    return None
                self.condition.wait(remaining)

    # The window

    def find_window(self, timeout=60):
        """Finds the program's own window by its title and process id; records where it is."""

        def search():
            if not self.running():
                raise TestFailure(f"the program ended early with status {self.process.returncode}")
            result = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                     str(self.process.pid), "--name", f"^{WINDOW_TITLE}$"],
                                    capture_output=True, text=True)
            ids = result.stdout.split()
            return ids[0] if ids else None

        self.window_id = wait_until(search, timeout, interval=0.2)
        if not self.window_id:
            return None
        self.origin, self.size = window_geometry(self.window_id)
        return self.window_id

    def window_title(self):
        return subprocess.run(["xdotool", "getwindowname", self.window_id], capture_output=True,
                              text=True).stdout.rstrip("\n")

    # Input, in window coordinates

    def move(self, x, y):
        target = (self.origin[0] + x, self.origin[1] + y)
        # xdotool's --sync waits for the pointer to leave where it was: 15 s if it is there already.
        if pointer_position() != target:
            xdotool("mousemove", "--sync", str(target[0]), str(target[1]))

    def pointer_inside(self):
        """Keeps the keyboard focus on the window: with no window manager it follows the pointer."""
        x, y = pointer_position()
        inside = (self.origin[0] + 1 <= x < self.origin[0] + self.size[0] - 1 and
                  self.origin[1] + 1 <= y < self.origin[1] + self.size[1] - 1)
        if not inside:
            self.move(self.size[0] // 2, self.size[1] // 4)

    def click(self, x, y, button=1):
        self.move(x, y)
        xdotool("click", str(button))

    def key(self, name):
        self.pointer_inside()
        xdotool("key", name)

    # Screenshots

    def screenshot(self):
        """The window's picture. Parts of it beyond the screen's edges (without a window manager
        freeglut leaves the window at (-1, -1)) are copied from the nearest visible pixel."""
        width, height = self.size
        left, top = self.origin
        x0, y0 = max(0, left), max(0, top)
        shot = grab_screen(x0, y0, left + width - x0, top + height - y0)
        shot_width, shot_height, pixels = shot
        dx, dy = x0 - left, y0 - top
        if (dx, dy) == (0, 0) and (shot_width, shot_height) == (width, height):
            return Image(width, height, pixels)
        rows = []
        for y in range(height):
            sy = min(max(y - dy, 0), shot_height - 1)
            row = pixels[sy * shot_width * 3:(sy + 1) * shot_width * 3]
            pad_left = row[:3] * dx
            pad_right = row[-3:] * (width - dx - shot_width)
            rows.append(pad_left + row + pad_right)
        return Image(width, height, b"".join(rows))

    def wait_for_picture(self, condition, timeout, interval=0.2):
        """Takes screenshots until condition(image) holds; returns (image, held)."""
        deadline = time.monotonic() + timeout
        while True:
            image = self.screenshot()
            if condition(image):
                return image, True
            if time.monotonic() >= deadline or not self.running():
                return image, False
            time.sleep(interval)


class _XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as the colour masks.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong),
                ("blue_mask", ctypes.c_ulong)]


class _ScreenReader:
    """Reads the screen through Xlib's XGetImage: some 50 ms a picture, where a run of
    ImageMagick's `import` takes 0.3 s; fast enough to catch a one-second shake."""

    ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)

    def __init__(self):
        self.xlib = ctypes.CDLL("libX11.so.6")
        x = self.xlib
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XDefaultScreen.argtypes = [ctypes.c_void_p]
        x.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XGetImage.restype = ctypes.POINTER(_XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
        x.XSetErrorHandler.argtypes = [self.ERROR_HANDLER]
        # Xlib's own handler ends the process on any protocol error; this one only counts.
        self.errors = 0
        self.handler = self.ERROR_HANDLER(self._on_error)
        x.XSetErrorHandler(self.handler)
        self.display = x.XOpenDisplay(None)
        if not self.display:
            raise OSError("XOpenDisplay failed")
        self.root = x.XDefaultRootWindow(self.display)
        screen = x.XDefaultScreen(self.display)
        self.screen_size = (x.XDisplayWidth(self.display, screen),
                            x.XDisplayHeight(self.display, screen))

    def _on_error(self, display, event):
        self.errors += 1
        return 0

    def grab(self, x, y, width, height):
        """(width, height, RGB bytes) of a rectangle of the screen, clipped to it; None if the
        server's pixels are not 32-bit BGRX."""
        width = min(width, self.screen_size[0] - x)
        height = min(height, self.screen_size[1] - y)
        all_planes = 0xFFFFFFFF
        z_pixmap = 2
        pointer = self.xlib.XGetImage(self.display, self.root, x, y, width, height, all_planes,
                                      z_pixmap)
        if not pointer:
            return None
        try:
            image = pointer.contents
            if (image.bits_per_pixel != 32 or image.byte_order != 0 or
                    (image.red_mask, image.green_mask, image.blue_mask) !=
                    (0xFF0000, 0x00FF00, 0x0000FF)):
                return None
            line = image.bytes_per_line
            raw = ctypes.string_at(image.data, line * height)
        finally:
            self.xlib.XDestroyImage(pointer)
        if line != width * 4:
            raw = b"".join(raw[row * line:row * line + width * 4] for row in range(height))
        rgb = bytearray(width * height * 3)
        rgb[0::3] = raw[2::4]
        rgb[1::3] = raw[1::4]
        rgb[2::3] = raw[0::4]
        return width, height, bytes(rgb)


_screen_reader = None


def grab_screen(x, y, width, height):
    """(width, height, RGB bytes) of a rectangle of the screen: through Xlib where it can, else
    through ImageMagick's `import`."""
    global _screen_reader
    if _screen_reader is None:
        try:
            _screen_reader = _ScreenReader()
        except OSError:
            _screen_reader = False
    if _screen_reader:
        shot = _screen_reader.grab(x, y, width, height)
        if shot:
            return shot
    data = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                           "+repage", "-depth", "8", "ppm:-"], capture_output=True,
                          check=True).stdout
    return parse_ppm(data)


def links_address_sanitizer(binary):
    output = subprocess.run(["ldd", binary], capture_output=True, text=True).stdout
    return "libasan" in output


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, capture_output=True)


def pointer_position():
    output = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True,
                            text=True, check=True).stdout
    values = dict(line.split("=", 1) for line in output.split())
    return int(values["X"]), int(values["Y"])


def window_geometry(window_id):
    """((left, top), (width, height)) of the window on the screen, from xwininfo."""
    output = subprocess.run(["xwininfo", "-id", window_id], capture_output=True, text=True,
                            check=True).stdout

    def field(name):
        return int(re.search(rf"{name}:\s+(-?\d+)", output).group(1))

    return ((field("Absolute upper-left X"), field("Absolute upper-left Y")),
            (field("Width"), field("Height")))


def wait_until_loaded(program, timeout=90):
    """Waits for the last loading line and the window of a started program."""
    if program.wait_for_line("^PUSHED PEOPLE$", timeout) is None:
        raise TestFailure(f"no 'PUSHED PEOPLE' within {timeout} s; "
                          f"output: {program.output_lines()}")
    if program.find_window(timeout=30) is None:
        raise TestFailure("no visible window titled 'Throngwick' for the program's process")


def wait_for_title_drawn(program, timeout=60):
    """The title picture covers the window: waits until the window is no longer black."""
    return program.wait_for_picture(lambda image: image.brightness() > 20.0, timeout)


def enter_hall(program, checks, title_image, click_at=(512, 150), button=1, what="a click"):
    """Clicks on the title and waits until the hall has replaced it."""
    program.click(*click_at, button=button)

    def changed(image):
        return image.differs(title_image, HALL) > 0.2

    image, entered = program.wait_for_picture(changed, 30)
    checks.require(f"{what} on the title enters the hall (the picture changes)", entered,
                   f"{image.differs(title_image, HALL):.0%} of the backdrop changed")
    return image


# ---------------------------------------------------------------------------------------------
# Visits to the crowd


def card_shown(image):
    red, green, blue = image.mean(CARD)
    return red > 160.0 and green > 140.0 and blue > 110.0


def card_colour(image):
    return tuple(round(value) for value in image.mean(CARD))


def sound_after(audio, first_frame, seconds, timeout=20):
    """Waits until the output holds `seconds` after first_frame; returns those samples."""
    last = first_frame + int(seconds * AUDIO_RATE)
    wait_until(lambda: audio.frames_written() >= last, timeout, interval=0.2)
    return audio.read(first_frame, last)


def wait_for_stillness(program, region=HALL, timeout=10, settle=0.3):
    """Gives the program `settle` seconds, then waits until two screenshots a quarter of a second
    apart show the same region; returns the last one."""
    time.sleep(settle)
    previous = program.screenshot()

    def still(image):
        nonlocal previous
        same = image.mean_difference(previous, region) < 0.5
        previous = image
        return same

    image, _ = program.wait_for_picture(still, timeout, interval=0.25)
    return image


def move_and_settle(program, spot):
    """Moves the cursor in the overview and returns the view once the light shaft has followed.
    A shot taken too soon would still show the shaft where the cursor was before."""
    before = program.screenshot()
    program.move(*spot)
    program.wait_for_picture(lambda image: image.mean_difference(before, HALL) > 0.5, 3)
    return wait_for_stillness(program)


class Visit:
    """One trip to a person: the pick, the travel, the card, a command key and the way back.

    Between visits the cursor rests on the floor at REST_SPOT, away from the crowd's middle, and
    `overview` is the view from home with the cursor there: in the overview the light shaft
    stands over the cursor, while the camera travels or rests on a person it stands behind that
    person, so the backdrop matches `overview` only once the view is home and in its overview."""

    REST_SPOT = (150, 440)

    def __init__(self, program, checks, spots, label, overview):
        self.program = program
        self.checks = checks
        self.spots = spots  # shared between visits: each spot is tried once
        self.label = label
        self.overview = overview
        self.card = None  # the view with the card shown
        self.clicked_at = 0.0  # time.monotonic() of the click
        self.audio_at_click = 0  # output frames written at the click
        self.audio_at_key = 0  # output frames written at the command key

    @staticmethod
    def rest(program):
        """Puts the cursor on its resting spot; returns the still overview from there."""
        return move_and_settle(program, Visit.REST_SPOT)

    def pick(self):
        """Clicks spots until one picks a person and the card has swung in."""
        program, checks, label = self.program, self.checks, self.label
        while self.spots:
            spot = self.spots.pop(0)
            before = move_and_settle(program, spot)
            lines_before = len(program.output_lines())
            self.audio_at_click = program.audio.frames_written() if program.audio else 0
            self.clicked_at = time.monotonic()
            program.click(*spot)

            found = program.wait_for_line(PICK_LINE.pattern, 10, start=lines_before)
            checks.require(f"{label}: the click at {spot} prints its point", found is not None)
            reported = tuple(float(value) for value in found[1].groups())
            expected = start_view_near_point(*spot)
            off = [abs(a - b) for a, b in zip(reported, expected)]
            # A distant explosion's shake lifts or lowers the view by up to 0.35 units.
            checks.check(f"{label}: it is the near-plane point of the start-up view (the camera "
                         "is home; y may be off by a running shake)",
                         off[0] < 1e-4 and off[2] < 1e-4 and off[1] < 0.36,
                         f"printed {reported}, off by ({off[0]:.1e}, {off[1]:.1e}, {off[2]:.1e})")

            _, travelling = program.wait_for_picture(
                lambda image: image.differs(before, HALL) > 0.2, 4)
            if not travelling:
                checks.note(f"nobody picked at {spot} (an empty cell of the crowd's grid?); "
                            "trying the next spot")
                continue
            self.card, arrived = program.wait_for_picture(card_shown, 15)
            seconds = time.monotonic() - self.clicked_at
            checks.require(f"{label}: the view flies to a person and the card swings in", arrived,
                           f"after {seconds:.1f} s; card area {card_colour(self.card)}")
            changed = self.card.differs(before, HALL)
            checks.check(f"{label}: the view is a close-up, not the overview", changed > 0.3,
                         f"{changed:.0%} of the backdrop changed")
            return self
        raise TestFailure(f"{label}: none of the spots picked anybody")

    def command(self, key):
        """Presses key with the card shown; checks that the card goes and the overview from home
        comes back."""
        program, checks = self.program, self.checks
        program.move(*Visit.REST_SPOT)
        pressed_at = time.monotonic()
        self.audio_at_key = program.audio.frames_written() if program.audio else 0
        program.key(key)
        # The swing out takes half a second; a frame or two of the slow sanitized build more.
        shot, gone = program.wait_for_picture(lambda image: not card_shown(image), 5,
                                              interval=0.02)
        seconds = time.monotonic() - pressed_at
        checks.check(f"{self.label}: the card swings away at once", gone and seconds < 2.0,
                     f"gone after {seconds:.2f} s; card area {card_colour(shot)}")

        def home(image):
            return image.mean_difference(self.overview, HALL) < 1.0 and not card_shown(image)

        shot, arrived = program.wait_for_picture(home, 15)
        if not checks.check(f"{self.label}: key {key} swings the card away and brings the camera "
                            "home", arrived, f"after {time.monotonic() - pressed_at:.1f} s; "
                            f"backdrop off by {shot.mean_difference(self.overview, HALL):.1f}, "
                            f"card area {card_colour(shot)}"):
            keep_for_inspection(checks, {"expected": self.overview, "seen": shot})
        return shot


def keep_for_inspection(checks, images):
    """Saves the pictures of a failed check where a developer can look at them."""
    folder = Path(tempfile.mkdtemp(prefix="throngwick-e2e-"))
    for name, image in images.items():
        image.save_png(folder / f"{name}.png")
    checks.note(f"pictures of the failure: {folder}")


def finish(program, checks, where):
    """Esc, the exit status and the sanitizers' verdict."""
    status = program.quit_with_escape()
    checks.check(f"Esc {where} ends the program with status 0", status == 0, f"status {status}")
    reports = program.sanitizer_reports()
    checks.check("no sanitizer reports", not reports, "; ".join(reports[:3]))
    if status != 0 or reports:
        program.print_stderr_tail()
