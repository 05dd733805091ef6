"""Hostile input: every picture and every sound the program reads replaced by a broken file.

Each round makes a fresh run folder with corrupt_assets (cut short, empty, sides of 65535, -300
or 16385, picture types 0, 1, 9, 11 and 255, depths 0, 15 and 16, run-length at 8 bits, an ID of
255 bytes in a short file, colour maps beyond the end, random bytes, a sound where a picture
should be and the other way round, WAVE, AIFF and Ogg headers with absurd sizes, a folder, a link
to nowhere), and each round gives every file another kind of damage. The program must load, enter
the hall, pick people and act on their keys (key 1 opens the broken music, once a round and each
time broken another way; key 3 plays the broken fire sounds), and end with status 0 on Esc
without a sanitizer report.
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import corrupt_assets  # noqa: E402
import harness  # noqa: E402
import hostile_run  # noqa: E402

# (keys to press after one pick each, the music's kind of damage); None keeps the round's own.
ROUNDS = [
    ("1234", None),
    ("1", "frame headers over random bytes"),
    ("1", "the real file with every 97th byte flipped"),
]


def body(arguments, checks):
    for round_number, (keys, music_kind) in enumerate(ROUNDS):
        folder, kinds = corrupt_assets.make_corrupt_run_dir(arguments.run_dir, round_number,
                                                            music_kind=music_kind)
        label = f"round {round_number + 1}: "
        try:
            checks.note(f"round {round_number + 1} in {folder}:")
            for path, kind in sorted(kinds.items()):
                checks.note(f"  {path:32} {kind}")
            with harness.Program(hostile_run.arguments_in(arguments, folder)) as program:
                hostile_run.journey(program, checks, keys, label)
                hostile_run.quit_cleanly(program, checks, label)
        finally:
            corrupt_assets.remove_run_dir(folder)


if __name__ == "__main__":
    harness.run_script("hostile_corrupt", __doc__.splitlines()[0], body)
