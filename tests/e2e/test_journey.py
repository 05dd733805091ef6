"""Visits to the crowd: pick a person, travel to them, the option card, and the commands that
bring the camera home (1 sing, 2 gun, 4 back), with the crowd's voice and the music."""

import tempfile
import time
from pathlib import Path

import harness as h


def body(arguments, checks):
    audio_path = Path(tempfile.gettempdir()) / f"throngwick-journey-{time.time_ns()}.raw"
    try:
        with h.Program(arguments, faketime=h.CROWD_TIME, audio_file=audio_path) as program:
            journey(program, arguments, checks)
    finally:
        audio_path.unlink(missing_ok=True)


def journey(program, arguments, checks):
    audio = program.audio
    h.wait_until_loaded(program)
    title, drawn = h.wait_for_title_drawn(program)
    checks.require("the title picture shows", drawn)
    # Any button enters: here the right one.
    h.enter_hall(program, checks, title, button=3, what="a right click")

    spots = list(h.CROWD_SPOTS)
    overview = h.Visit.rest(program)
    checks.check("no card in the overview", not h.card_shown(overview),
                 f"card area {h.card_colour(overview)}")

    # Command keys act only on a picked person: in the overview they change nothing.
    audio_before_keys = audio.frames_written()
    program.key("1")
    program.key("2")
    time.sleep(2.0)
    after_keys = program.screenshot()
    heard = h.AudioCapture.rms_windows(h.sound_after(audio, audio_before_keys, 1.5),
                                       h.AUDIO_RATE // 4)
    checks.check("keys 1 and 2 in the overview change nothing (no card, no travel, no music)",
                 after_keys.mean_difference(overview, h.HALL) < 1.0 and
                 not h.card_shown(after_keys) and max(heard, default=0.0) < h.QUIET_RMS,
                 f"backdrop off by {after_keys.mean_difference(overview, h.HALL):.1f}, loudest "
                 f"RMS {max(heard, default=0.0):.0f}")

    # First visit: the card, the crowd's voice, then song and music.
    first = h.Visit(program, checks, spots, "pick 1", overview).pick()
    path = first.card.save_png(f"{arguments.screenshots}/card.png")
    checks.note(f"saved {path}")
    voice = h.sound_after(audio, first.audio_at_click, 2.0)
    loudest = max(h.AudioCapture.rms_windows(voice, h.AUDIO_RATE // 10), default=0.0)
    checks.check("pick 1: a crowd voice sounds after the click", loudest > 300.0,
                 f"loudest tenth of a second: RMS {loudest:.0f}")
    # Key 1 comes after the voice (1.5 to 1.8 s long) has ended.
    time.sleep(max(0.0, first.clicked_at + 2.0 - time.monotonic()))
    first.command("1")
    time.sleep(2.0)
    path = program.screenshot().save_png(f"{arguments.screenshots}/singing.png")
    checks.note(f"saved {path}")
    # Music: sound all through the 6 s from 2 s after key 1, longer than any explosion lasts.
    music = h.sound_after(audio, first.audio_at_key + 2 * h.AUDIO_RATE, 6.0)
    windows = h.AudioCapture.rms_windows(music, h.AUDIO_RATE // 4)
    quiet = sum(1 for value in windows if value < h.QUIET_RMS)
    checks.check("key 1 starts the music: sound all through 2 to 8 s after the key",
                 len(windows) == 24 and quiet == 0,
                 f"{len(windows)} quarter seconds, {quiet} silent, RMS "
                 f"{min(windows, default=0):.0f} to {max(windows, default=0):.0f}")

    # Second visit, after the first has come home: the gun.
    h.Visit(program, checks, spots, "pick 2", overview).pick().command("2")

    # Third visit: key 4 alone sends everybody home.
    h.Visit(program, checks, spots, "pick 3", overview).pick().command("4")

    # The music loops on and is never stopped.
    tail = audio.read(max(0, audio.frames_written() - 2 * h.AUDIO_RATE))
    windows = h.AudioCapture.rms_windows(tail, h.AUDIO_RATE // 4)
    checks.check("the music still plays at the end", windows and min(windows) >= h.QUIET_RMS,
                 f"RMS of the last 2 s: {min(windows, default=0):.0f} to "
                 f"{max(windows, default=0):.0f}")

    h.finish(program, checks, "after the visits")


if __name__ == "__main__":
    h.run_script("test_journey", __doc__, body)
