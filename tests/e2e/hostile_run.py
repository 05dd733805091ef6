"""The journey every hostile-input test takes with the real program, in a run folder of its own:
start, the three loading lines, the window, the title, a click into the hall, then picks followed
by keys 1 to 4, each of which must bring the camera back home, and Esc with status 0 and no
sanitizer report.

With pictures missing or broken everything is drawn white, so the tests cannot look for people
or the card. What they look at instead is the black margin beside the hall at the home view:
the hall's backdrop covers it as soon as the camera moves in, and it is black again once the
camera is back home.
"""

import os
import shutil
import time
import types
from pathlib import Path

import harness

# Left and right edges of the window beside the hall's backdrop, at 1024 by 512.
HOME_MARGINS = [(0, 0, 12, 300), (1012, 0, 1024, 300)]
# Bands over the margins and the backdrop's edges: at the home view they match the picture taken
# on entering the hall exactly; a camera a little short of home moves the edges by pixels.
HOME_BANDS = [(0, 0, 48, 300), (976, 0, 1024, 300)]
MARGIN_DARK = 8.0     # mean brightness at the home view: black
MARGIN_COVERED = 15.0  # the backdrop covers the margins (its picture, or white without one)

# Floor points (window pixels at the home view) for successive picks, spread over the front floor.
PICK_POINTS = [(512, 400), (330, 380), (700, 420), (450, 440), (620, 350)]


def arguments_in(arguments, run_dir):
    """The script's arguments with another run folder for the program, and a copy of the program
    in it: the program would otherwise find the pictures and sounds of its own build folder."""
    values = dict(vars(arguments))
    values["run_dir"] = str(run_dir)
    values["binary"] = shutil.copy(arguments.binary, Path(run_dir) / "throngwick")
    return types.SimpleNamespace(**values)


def margin_brightness(image):
    return max(image.brightness(rect) for rect in HOME_MARGINS)


def at_home(image, home):
    """The camera is back at the home view: dark margins, backdrop edges where they were."""
    return (margin_brightness(image) < MARGIN_DARK and
            max(image.differs(home, band, step=1) for band in HOME_BANDS) < 0.02)


def start(program, checks, label=""):
    """Waits for the loading lines and the window; checks the lines' order."""
    harness.wait_until_loaded(program)
    lines = [line for line in program.output_lines() if line in harness.LOADING_LINES]
    checks.check(f"{label}the three loading lines appear in order",
                 lines[:3] == harness.LOADING_LINES, f"{lines}")
    checks.check(f"{label}the window is 1024 by 512 and titled \"Throngwick\"",
                 program.size == (1024, 512) and program.window_title() == "Throngwick",
                 f"{program.size[0]}x{program.size[1]}, \"{program.window_title()}\"")


def enter_hall(program, checks, label=""):
    """The title is drawn (textured or white, never black); a click replaces it with the hall."""
    title, drawn = harness.wait_for_title_drawn(program, timeout=30)
    checks.require(f"{label}the title shows", drawn, f"brightness {title.brightness():.0f}")
    program.click(512, 150)
    hall, entered = program.wait_for_picture(
        lambda image: image.differs(title) > 0.01 and margin_brightness(image) < MARGIN_DARK, 20)
    checks.require(f"{label}a click on the title enters the hall (the picture changes, the "
                   f"margins beside the hall are black)", entered,
                   f"{hall.differs(title):.1%} changed, margins {margin_brightness(hall):.0f}")
    return hall


def pick_and_press(program, checks, key, point, home, label=""):
    """A left click on the floor must pick (its line appears) and move the camera in; then `key`,
    pressed again and again (keys 1 to 3 act only once the camera has arrived), must bring it
    back home: the picture at the margins matches `home`, the picture taken on entering."""
    # The crowd is placed from the calendar time: a spot whose cell happens to be empty picks
    # nobody, and the next spot is tried.
    for spot in [point] + [p for p in harness.CROWD_SPOTS if p != point]:
        before = len(program.output_lines())
        program.click(*spot)
        picked = program.wait_for_line(harness.PICK_LINE.pattern, 10, start=before)
        checks.require(f"{label}a left click on the floor at {spot} prints its point", picked,
                       picked[1].group(0) if picked else "no pick line")
        image, moved = program.wait_for_picture(
            lambda image: margin_brightness(image) > MARGIN_COVERED, 8)
        if moved:
            break
    checks.require(f"{label}the camera moves in after a pick", moved,
                   f"margins {margin_brightness(image):.0f}")
    deadline = time.monotonic() + 25
    presses = 0
    back = False
    while time.monotonic() < deadline and program.running():
        program.key(key)
        presses += 1
        image, back = program.wait_for_picture(lambda image: at_home(image, home), 0.6,
                                               interval=0.15)
        if back:
            break
    checks.require(f"{label}key {key} brings the camera back home", back,
                   f"{presses} presses, margins {margin_brightness(image):.0f}")


def journey(program, checks, keys="1234", label=""):
    """start, enter_hall, then one pick per key; the program must still run at the end."""
    start(program, checks, label)
    home = enter_hall(program, checks, label)
    for index, key in enumerate(keys):
        pick_and_press(program, checks, key, PICK_POINTS[index % len(PICK_POINTS)], home, label)
    # Keys with nothing to act on at the home view, and keys the program does not use.
    for key in ["1", "2", "3", "4", "a", "space", "F5", "Up"]:
        program.key(key)
    checks.require(f"{label}the program still runs after the picks and keys", program.running(),
                   f"exit status {program.process.returncode}")


def quit_cleanly(program, checks, label=""):
    """Esc: status 0 and nothing from the sanitizers."""
    status = program.quit_with_escape()
    checks.check(f"{label}Esc ends the program with status 0", status == 0, f"status {status}")
    reports = program.sanitizer_reports()
    checks.check(f"{label}no sanitizer report", not reports, "; ".join(reports[:3]))
    if status != 0 or reports:
        program.print_stderr_tail(80)
    return status == 0 and not reports


def main_thread_cpu_seconds(pid):
    """User plus system time of the program's GLUT thread so far, from /proc."""
    with open(f"/proc/{pid}/task/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])  # utime, stime
    return ticks / float(os.sysconf("SC_CLK_TCK"))
