"""Hostile input: no sound output to be had. The program must run silently and still work.

Run 1: SDL_AUDIODRIVER names a driver that does not exist (starting SDL's audio fails, as on a
machine without a sound card). Run 2: the disk driver, whose output file lies in a folder that does
not exist (the audio starts, opening the output fails). Run 3: no SDL_AUDIODRIVER at all, whatever
this machine offers. Each time: the loading lines, the window, the hall, picks and keys (the first
run every key 1 to 4: key 1 starts the music, key 3 the fire sounds, picks the crowd's voices; the
others key 1), Esc with status 0 and no sanitizer report.
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import corrupt_assets  # noqa: E402
import harness  # noqa: E402
import hostile_run  # noqa: E402


class ProgramWithoutAudioDriver(harness.Program):
    """The program with SDL_AUDIODRIVER removed from its environment (Program puts in the dummy
    driver when it is missing, as the test command's environment sets it)."""

    def environment(self):
        env = super().environment()
        env.pop("SDL_AUDIODRIVER", None)
        return env


def body(arguments, checks):
    folder = corrupt_assets.make_linked_run_dir(arguments.run_dir)
    nowhere = Path(folder) / "no-such-folder" / "out.raw"
    runs = [
        ("no such driver: ", {"SDL_AUDIODRIVER": "no_such_audio_driver"}, "1234"),
        ("unwritable disk output: ",
         {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": str(nowhere)}, "1"),
        ("the machine's default: ", {}, "1"),
    ]
    try:
        for label, environment, keys in runs:
            checks.note(f"{label.rstrip(': ')}: {environment or 'SDL_AUDIODRIVER unset'}")
            kind = harness.Program if environment else ProgramWithoutAudioDriver
            run_arguments = hostile_run.arguments_in(arguments, folder)
            with kind(run_arguments, extra_env=environment) as program:
                hostile_run.journey(program, checks, keys, label)
                hostile_run.quit_cleanly(program, checks, label)
            if "SDL_DISKAUDIOFILE" in environment:
                checks.check(f"{label}nothing was written where the output could not go",
                             not nowhere.parent.exists())
    finally:
        corrupt_assets.remove_run_dir(folder)


if __name__ == "__main__":
    harness.run_script("hostile_no_audio_device", __doc__.splitlines()[0], body)
