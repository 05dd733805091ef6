"""Soak: a long stretch of random clicks, pointer movement and keys in the real window.

The input sequence comes from a fixed seed (SOAK_SEED); its length is SOAK_SECONDS (60 by default,
scripts/soak.sh runs 600). Every few seconds the program's resident memory (VmRSS) is sampled and
the window photographed; the pictures must keep changing. At the end the program must still run,
and Esc must end it with status 0 and no sanitizer report. Esc is the one key never pressed.

The run has two parts. In the quiet part (SOAK_QUIET_SECONDS, the first two thirds by default) the
keys are 2 and 4 only; in the rest they are 1 to 4, so people start to sing and burn. Song and
fire then spread through the crowd on their own and never stop, every singer and burner draws one
piece more, and the GL software renderer, which holds a frame's draws until it has rasterised
them and owns most of the resident memory, needs more for every frame: the memory rises with the
spread for many minutes. So the memory is judged in the quiet part, where nothing spreads: from its
middle (SOAK_WARMUP_SECONDS) to its end it may grow by less than SOAK_MAX_GROWTH_MB, by default 5,
or 40 for a sanitized program, whose allocator maps and unmaps the renderer's large blocks as they
come and go and so swings the resident size by tens of megabytes from one second to the next (in
that build the leak check at exit finds leaked blocks). Over the song-and-fire part the memory may
grow by less than SOAK_MAX_SPREAD_GROWTH_MB (100 by default): the spread's own rise stays well
below it, a runaway growth does not.
"""

import os
import random
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402

SECONDS = float(os.environ.get("SOAK_SECONDS", "60"))
SEED = int(os.environ.get("SOAK_SEED", "1729"))
QUIET_SECONDS = float(os.environ.get("SOAK_QUIET_SECONDS", str(SECONDS * 2.0 / 3.0)))
WARMUP_SECONDS = float(os.environ.get("SOAK_WARMUP_SECONDS", str(QUIET_SECONDS / 2.0)))
MAX_SPREAD_GROWTH_MB = float(os.environ.get("SOAK_MAX_SPREAD_GROWTH_MB", "100"))
MEMORY_EVERY = 2.0      # seconds between memory samples
PICTURE_EVERY = 5.0     # seconds between screenshots
FLOOR_ROWS = (320, 460)  # window rows where the floor is at the home view

# Keys other than 1 to 4 that the program must shrug off. No Ctrl combinations: Ctrl+[ is Esc.
OTHER_KEYS = ["a", "q", "z", "5", "0", "9", "space", "Return", "Tab", "BackSpace", "Delete",
              "F1", "F12", "Up", "Left", "Page_Down", "Home", "Shift_L", "Alt_L", "minus",
              "KP_Add", "KP_1", "bracketleft", "grave"]


def resident_mb(pid):
    """(VmRSS, RssAnon) of the process in MB, or (None, None) once it has gone. RssAnon is the
    part that is the program's own data rather than pages of its files and libraries."""
    values = {}
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                key, _, rest = line.partition(":")
                if key in ("VmRSS", "RssAnon"):
                    values[key] = int(rest.split()[0]) / 1024.0
    except OSError:
        pass
    return values.get("VmRSS"), values.get("RssAnon")


def thinned(samples, most=40):
    """At most about `most` of the samples, evenly spread, always with the last one."""
    step = max(1, -(-len(samples) // most))
    kept = samples[::step]
    if kept[-1] is not samples[-1]:
        kept.append(samples[-1])
    return kept


class RandomInput:
    """One random action per call, drawn from a seeded generator."""

    def __init__(self, program, seed):
        self.program = program
        self.rng = random.Random(seed)
        self.counts = {}
        self.keys = "24"  # the number keys pressed; "1234" lets song and fire start

    def point(self, floor=False):
        width, height = self.program.size
        x = self.rng.randrange(4, width - 4)
        y = self.rng.randrange(*FLOOR_ROWS) if floor else self.rng.randrange(4, height - 4)
        return x, y

    def count(self, what):
        self.counts[what] = self.counts.get(what, 0) + 1

    def act(self):
        roll = self.rng.random()
        program = self.program
        if roll < 0.30:
            program.move(*self.point())
            self.count("move")
        elif roll < 0.50:
            program.click(*self.point(floor=self.rng.random() < 0.7), button=1)
            self.count("left click")
        elif roll < 0.55:
            program.click(*self.point(), button=2)
            self.count("middle click")
        elif roll < 0.60:
            program.click(*self.point(), button=3)
            self.count("right click")
        elif roll < 0.65:
            # A drag: the pressed-button motion handler, then a release somewhere else.
            program.move(*self.point())
            harness.xdotool("mousedown", "1")
            for _ in range(self.rng.randrange(1, 4)):
                program.move(*self.point())
            harness.xdotool("mouseup", "1")
            self.count("drag")
        elif roll < 0.90:
            key = self.rng.choice(self.keys)
            program.key(key)
            self.count(f"key {key}")
        else:
            program.key(self.rng.choice(OTHER_KEYS))
            self.count("other key")
        # A pause of up to 150 ms after each action: bursts and lulls.
        time.sleep(self.rng.random() * 0.15)


def body(arguments, checks):
    sanitized = harness.links_address_sanitizer(arguments.binary)
    default_growth = "40" if sanitized else "5"
    max_growth_mb = float(os.environ.get("SOAK_MAX_GROWTH_MB", default_growth))
    checks.note(f"{SECONDS:.0f} s of random input, seed {SEED}; quiet until {QUIET_SECONDS:.0f} s, "
                f"memory judged from {WARMUP_SECONDS:.0f} s, allowed growth {max_growth_mb:.0f} MB"
                + (" (sanitized)" if sanitized else ""))
    # A sanitized program keeps freed blocks in a quarantine before reusing them (256 MB by
    # default), so its resident size climbs until that is full, long after the warm-up; a small
    # one fills within it and still catches uses of recently freed blocks.
    asan_options = os.environ.get("ASAN_OPTIONS", "")
    environment = {"ASAN_OPTIONS": (asan_options + ":" if asan_options else "") +
                   "quarantine_size_mb=8"}
    with harness.Program(arguments, extra_env=environment) as program:
        harness.wait_until_loaded(program)
        title, drawn = harness.wait_for_title_drawn(program)
        checks.require("the title is drawn", drawn)
        harness.enter_hall(program, checks, title)
        pid = program.process.pid

        actions = RandomInput(program, SEED)
        memory = []    # (seconds since the soak began, VmRSS MB, RssAnon MB)
        pictures = []  # (seconds, how much the picture changed since the previous one)
        previous_picture = program.screenshot()
        picks_before = sum(1 for line in program.output_lines() if harness.PICK_LINE.match(line))
        started = time.monotonic()
        next_memory = started
        next_picture = started + PICTURE_EVERY
        while True:
            now = time.monotonic()
            if now >= next_memory:
                memory.append((now - started, *resident_mb(pid)))
                next_memory += MEMORY_EVERY
            if now >= next_picture:
                picture = program.screenshot()
                pictures.append((now - started, picture.differs(previous_picture)))
                previous_picture = picture
                next_picture += PICTURE_EVERY
            if now - started >= SECONDS or not program.running():
                break
            if now - started >= QUIET_SECONDS:
                actions.keys = "1234"
            actions.act()
        memory.append((time.monotonic() - started, *resident_mb(pid)))

        checks.note("memory over the run:")
        checks.note("  time (s)   RSS (MB)   anonymous (MB)   keys")
        for seconds, rss, anonymous in thinned(memory):
            part = "2 4" if seconds < QUIET_SECONDS else "1 2 3 4"
            checks.note(f"  {seconds:8.1f}   {rss:8.1f}   {anonymous:14.1f}   {part}"
                        if rss is not None else f"  {seconds:8.1f}   (gone)")
        counts = sorted(actions.counts.items())
        checks.note("actions: " + ", ".join(f"{what} {n}" for what, n in counts))
        picks = sum(1 for line in program.output_lines() if harness.PICK_LINE.match(line))
        checks.note(f"pick lines printed during the run: {picks - picks_before}")

        checks.require("the program still runs after the random input", program.running(),
                       f"exit status {program.process.returncode}")
        stalled = [(round(t), f"{changed:.1%}") for t, changed in pictures if changed < 0.002]
        checks.check(f"the picture changes between every two screenshots "
                     f"{PICTURE_EVERY:.0f} s apart",
                     len(pictures) > 0 and not stalled,
                     f"{len(pictures)} screenshots; unchanged at {stalled}" if stalled else
                     f"{len(pictures)} screenshots, least change "
                     f"{min((c for _, c in pictures), default=0):.1%}")
        checks.check("clicks on the floor keep being picked up", picks - picks_before > 0,
                     f"{picks - picks_before} pick lines")

        # The highest of the first three samples of a stretch against the highest of its last
        # three: the resident size dips for a moment whenever the allocator hands large blocks
        # back, and a dip at either end would hide or fake a rise.
        def growth(first, last):
            values = [rss for seconds, rss, _ in memory if first <= seconds <= last and rss]
            if len(values) < 2:
                return None, f"{len(values)} samples"
            baseline, final = max(values[:3]), max(values[-3:])
            return final - baseline, (f"{baseline:.1f} MB -> {final:.1f} MB, "
                                      f"{final - baseline:+.1f} MB; highest {max(values):.1f} MB")

        grown, detail = growth(WARMUP_SECONDS, QUIET_SECONDS)
        checks.check(f"from {WARMUP_SECONDS:.0f} s to {QUIET_SECONDS:.0f} s (nothing spreading) "
                     f"the memory grows by less than {max_growth_mb:.0f} MB",
                     grown is not None and grown < max_growth_mb, detail)
        grown, detail = growth(QUIET_SECONDS, SECONDS + MEMORY_EVERY)
        checks.check(f"while song and fire spread the memory grows by less than "
                     f"{MAX_SPREAD_GROWTH_MB:.0f} MB", grown is not None and
                     grown < MAX_SPREAD_GROWTH_MB, detail)

        status = program.quit_with_escape()
        checks.check("Esc ends the program with status 0", status == 0, f"status {status}")
        reports = program.sanitizer_reports()
        checks.check("no sanitizer report", not reports, "; ".join(reports[:3]))
        if status != 0 or reports:
            program.print_stderr_tail()


if __name__ == "__main__":
    harness.run_script("soak", __doc__.splitlines()[0], body)
