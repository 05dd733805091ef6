"""Hostile input: the program started where its pictures and sounds are missing altogether.

First run: a folder with neither image_data/ nor audio/. Second run: image_data and audio are
plain files instead of folders. Both times the program must load (the three loading lines), show
its window, draw everything untextured, enter the hall on a click, pick people and act on keys 1
to 4, and end with status 0 on Esc without a sanitizer report.
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import corrupt_assets  # noqa: E402
import harness  # noqa: E402
import hostile_run  # noqa: E402


def body(arguments, checks):
    bare = corrupt_assets.make_empty_run_dir()
    try:
        checks.note(f"run 1: {bare} holds neither image_data/ nor audio/")
        with harness.Program(hostile_run.arguments_in(arguments, bare)) as program:
            hostile_run.journey(program, checks, "1234", "no folders: ")
            hostile_run.quit_cleanly(program, checks, "no folders: ")

        (bare / "image_data").write_text("not a folder\n")
        (bare / "audio").write_text("not a folder\n")
        checks.note("run 2: image_data and audio are plain files")
        with harness.Program(hostile_run.arguments_in(arguments, bare)) as program:
            hostile_run.journey(program, checks, "13", "files for folders: ")
            hostile_run.quit_cleanly(program, checks, "files for folders: ")
    finally:
        corrupt_assets.remove_run_dir(bare)


if __name__ == "__main__":
    harness.run_script("hostile_missing", __doc__.splitlines()[0], body)
