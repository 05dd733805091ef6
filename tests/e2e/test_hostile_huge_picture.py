"""Hostile input: pictures of 18 bytes whose headers claim 16384 by 16384 pixels, the largest
side the picture reader takes. Such a file holds no pixels at all, so it must cost neither the
gigabyte its header asks for nor seconds of reading bytes that are not there.

The floor is such a raw picture and the hall such a run-length one; every other picture and sound
is the good one. The program's peak resident memory (VmHWM) is watched from its start: it must stay
under 1 GB (a sanitized program with good files peaks near 400 MB) and the title must show within
20 s. Then the hall, a pick with key 3, and Esc with status 0 and no sanitizer report.
"""

import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import corrupt_assets  # noqa: E402
import harness  # noqa: E402
import hostile_run  # noqa: E402

MAX_PEAK_MB = 1024
TITLE_SECONDS = 20
HUGE = {"floorplane": 2, "theHall": 10}  # picture name: TGA type (raw or run-length, 32-bit)


def peak_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return 0.0


def body(arguments, checks):
    folder = corrupt_assets.make_linked_run_dir(arguments.run_dir)
    try:
        # image_data/ becomes a folder of links to the good pictures but for the huge ones.
        good = (folder / "image_data").resolve()
        (folder / "image_data").unlink()
        (folder / "image_data").mkdir()
        for picture in good.iterdir():
            os.symlink(picture, folder / "image_data" / picture.name)
        for name, image_type in HUGE.items():
            path = folder / "image_data" / f"{name}.tga"
            path.unlink(missing_ok=True)
            path.write_bytes(corrupt_assets.tga_header(image_type=image_type, width=16384,
                                                       height=16384, depth=32))
            checks.note(f"{path.name}: 18 bytes, type {image_type}, 16384 by 16384 at 32 bits")

        with harness.Program(hostile_run.arguments_in(arguments, folder)) as program:
            # Watched from the start: the reading happens during start-up.
            highest = 0.0
            shown = False
            deadline = time.monotonic() + TITLE_SECONDS
            while time.monotonic() < deadline and program.running():
                highest = max(highest, peak_mb(program.process.pid))
                if highest >= MAX_PEAK_MB:
                    break
                if program.window_id is None:
                    if program.wait_for_line("^PUSHED PEOPLE$", 0.2):
                        program.find_window(timeout=5)
                    continue
                shown = program.screenshot().brightness() > 20.0
                if shown:
                    break
                time.sleep(0.2)
            seconds = time.monotonic() - program.started_at
            checks.check(f"the peak memory stays under {MAX_PEAK_MB} MB", highest < MAX_PEAK_MB,
                         f"{highest:.0f} MB after {seconds:.1f} s")
            checks.require(f"the title shows within {TITLE_SECONDS} s of the start", shown,
                           f"{seconds:.1f} s" if shown else "not shown")

            home = hostile_run.enter_hall(program, checks)
            hostile_run.pick_and_press(program, checks, "3", (512, 400), home)
            checks.check(f"the peak memory stays under {MAX_PEAK_MB} MB to the end",
                         peak_mb(program.process.pid) < MAX_PEAK_MB,
                         f"{peak_mb(program.process.pid):.0f} MB")
            hostile_run.quit_cleanly(program, checks)
    finally:
        corrupt_assets.remove_run_dir(folder)


if __name__ == "__main__":
    harness.run_script("hostile_huge_picture", __doc__.splitlines()[0], body)
