"""Fire: key 3 on a picked person sets them alight, with the fire's sounds, and brings the
camera home to a crowd with flames in it."""

import tempfile
import time
from pathlib import Path

import harness as h

CROWD = (0, 280, h.WINDOW_WIDTH, h.WINDOW_HEIGHT)


def flame_pixels(image):
    """Pixels of the crowd's part of the view in the bright orange of a flame."""
    return image.count(CROWD, lambda r, g, b: r > 230 and 110 < g < 200 and b < 80)


def body(arguments, checks):
    audio_path = Path(tempfile.gettempdir()) / f"throngwick-fire-{time.time_ns()}.raw"
    try:
        with h.Program(arguments, faketime=h.CROWD_TIME, audio_file=audio_path) as program:
            fire(program, arguments, checks)
    finally:
        audio_path.unlink(missing_ok=True)


def fire(program, arguments, checks):
    audio = program.audio
    h.wait_until_loaded(program)
    title, drawn = h.wait_for_title_drawn(program)
    checks.require("the title picture shows", drawn)
    # Any button enters: here the middle one.
    h.enter_hall(program, checks, title, button=2, what="a middle click")

    overview = h.Visit.rest(program)
    flames_before = flame_pixels(overview)
    visit = h.Visit(program, checks, list(h.CROWD_SPOTS), "pick", overview).pick()
    # Key 3 comes after the crowd's voice (1.5 to 1.8 s long) has ended.
    time.sleep(max(0.0, visit.clicked_at + 2.5 - time.monotonic()))
    visit.command("3")

    start = h.sound_after(audio, visit.audio_at_key, 0.75)
    loudest = max(h.AudioCapture.rms_windows(start, h.AUDIO_RATE // 10), default=0.0)
    checks.check("key 3: the fire starts with a burst of sound", loudest > 1000.0,
                 f"loudest tenth of a second in the first 0.75 s: RMS {loudest:.0f}")
    # The fire loop goes on without end; no explosion lasts 5 s.
    loop = h.sound_after(audio, visit.audio_at_key + h.AUDIO_RATE, 5.0)
    windows = h.AudioCapture.rms_windows(loop, h.AUDIO_RATE // 4)
    quiet = sum(1 for value in windows if value < h.QUIET_RMS)
    checks.check("the fire crackles on: sound all through 1 to 6 s after the key",
                 len(windows) == 20 and quiet == 0,
                 f"{len(windows)} quarter seconds, {quiet} silent, RMS "
                 f"{min(windows, default=0):.0f} to {max(windows, default=0):.0f}")

    # The flames burn on (and may spread to neighbours); a small one far back is some 300
    # pixels.
    time.sleep(2.0)
    burning = program.screenshot()
    flames_after = flame_pixels(burning)
    checks.check("back in the overview, flames burn in the crowd",
                 flames_after > flames_before + 250,
                 f"{flames_before} flame-coloured pixels before, {flames_after} after")
    path = burning.save_png(f"{arguments.screenshots}/fire.png")
    checks.note(f"saved {path}")

    h.finish(program, checks, "with the crowd on fire")


if __name__ == "__main__":
    h.run_script("test_fire", __doc__, body)
