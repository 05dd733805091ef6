"""Hostile input: the window resized while the program runs in the hall.

Down to nothing (X refuses a side of 0, so 1 by 1 is the smallest a window gets), unmapped and
mapped again, back to 1024 by 512, to 300 by 900, and to 4000 by 10, partly while the camera
travels to a picked person. After each size the program must still run and keep making frames;
back at 1024 by 512 the view must be the one it had before; picking must work at 300 by 900 (the
floor is lower down in a tall window) and at 1024 by 512; Esc must end it with status 0 and no
sanitizer report.
"""

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import corrupt_assets  # noqa: E402
import harness  # noqa: E402
import hostile_run  # noqa: E402


def resize(program, width, height, timeout=5):
    """Asks X for the size and waits until the window has it; returns the size it has then."""
    result = subprocess.run(["xdotool", "windowsize", program.window_id, str(width), str(height)],
                            capture_output=True, text=True)
    if result.returncode != 0:
        print(f"     xdotool windowsize {width} {height}: status {result.returncode} "
              f"{result.stderr.strip()}", flush=True)
    harness.wait_until(lambda: harness.window_geometry(program.window_id)[1] == (width, height),
                       timeout)
    program.origin, program.size = harness.window_geometry(program.window_id)
    return program.size


def keeps_working(program, checks, what, seconds=1.5):
    """Over a stretch of `seconds`, the program runs and its GLUT thread keeps using the CPU (the
    frame loop spins even where there is nothing to see)."""
    before = hostile_run.main_thread_cpu_seconds(program.process.pid)
    time.sleep(seconds)
    alive = program.running()
    used = hostile_run.main_thread_cpu_seconds(program.process.pid) - before if alive else 0.0
    checks.require(f"{what}: the program still runs and its frame loop turns", alive and used > 0,
                   f"{used:.2f} s of CPU in {seconds:.1f} s" if alive else
                   f"exit status {program.process.returncode}")


def frames_change(program, checks, what, first, second):
    """The picture changes while the pointer moves from one point to the other (the light shaft
    follows it over the floor, the crowd sways)."""
    program.move(*first)
    before = program.screenshot()
    program.move(*second)
    after, changed = program.wait_for_picture(lambda image: image.differs(before) > 0.003, 5)
    checks.check(f"{what}: frames keep coming (the picture changes as the pointer moves)", changed,
                 f"{after.differs(before):.1%} changed")


def body(arguments, checks):
    folder = corrupt_assets.make_linked_run_dir(arguments.run_dir)
    try:
        with harness.Program(hostile_run.arguments_in(arguments, folder)) as program:
            hostile_run.start(program, checks)
            home = hostile_run.enter_hall(program, checks)

            size = resize(program, 0, 0, timeout=2)
            checks.note(f"asked for 0 by 0, the window is {size[0]} by {size[1]}")
            keeps_working(program, checks, f"after asking for 0 by 0 ({size[0]} by {size[1]})")
            size = resize(program, 1, 1)
            checks.check("the window can be made 1 by 1", size == (1, 1), f"{size}")
            keeps_working(program, checks, "at 1 by 1")

            harness.xdotool("windowunmap", "--sync", program.window_id)
            keeps_working(program, checks, "unmapped")
            harness.xdotool("windowmap", "--sync", program.window_id)

            size = resize(program, 1024, 512)
            checks.require("the window is back at 1024 by 512", size == (1024, 512), f"{size}")
            keeps_working(program, checks, "back at 1024 by 512", 0.5)
            image, same = program.wait_for_picture(lambda i: hostile_run.at_home(i, home), 10)
            checks.check("back at 1024 by 512 the view is the one before the resizes", same,
                         f"margins {hostile_run.margin_brightness(image):.0f}")
            frames_change(program, checks, "at 1024 by 512", (300, 400), (750, 400))

            size = resize(program, 300, 900)
            checks.require("the window can be made 300 by 900", size == (300, 900), f"{size}")
            frames_change(program, checks, "at 300 by 900", (60, 700), (240, 700))
            before_pick = program.screenshot()
            lines = len(program.output_lines())
            program.click(150, 700)
            picked = program.wait_for_line(harness.PICK_LINE.pattern, 10, start=lines)
            checks.check("at 300 by 900 a click on the floor (row 700) picks a person", picked)
            image, moved = program.wait_for_picture(lambda i: i.differs(before_pick) > 0.3, 15)
            checks.check("at 300 by 900 the camera moves in after the pick", moved,
                         f"{image.differs(before_pick):.0%} changed")

            # Sizes while the camera is on its way or at the person.
            size = resize(program, 1, 1)
            keeps_working(program, checks, "at 1 by 1 after the pick", 1.0)
            size = resize(program, 4000, 10)
            checks.check("the window can be made 4000 by 10", size == (4000, 10), f"{size}")
            keeps_working(program, checks, "at 4000 by 10", 1.0)
            size = resize(program, 1024, 512)
            checks.require("the window is back at 1024 by 512", size == (1024, 512), f"{size}")

            # Key 4 (every phase) brings the camera back to the same home view.
            deadline = time.monotonic() + 25
            back = False
            while not back and time.monotonic() < deadline and program.running():
                program.key("4")
                image, back = program.wait_for_picture(lambda i: hostile_run.at_home(i, home),
                                                       0.6, interval=0.15)
            checks.require("key 4 brings the camera back to the view before the resizes", back,
                           f"margins {hostile_run.margin_brightness(image):.0f}")

            hostile_run.pick_and_press(program, checks, "1", (512, 400), home,
                                       "at 1024 by 512 again: ")
            hostile_run.quit_cleanly(program, checks)
    finally:
        corrupt_assets.remove_run_dir(folder)


if __name__ == "__main__":
    harness.run_script("hostile_resize", __doc__.splitlines()[0], body)
