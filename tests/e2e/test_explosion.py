"""The distant explosions: 15 s after entering the hall, with no other input, a low rumble
reaches the audio output and the view shakes."""

import tempfile
import time
from pathlib import Path

import harness as h

FIRST_EXPLOSION_S = 15.0  # of running time after entering the hall
WATCH_UNTIL_S = 20.0
LOUD_RMS = 1000.0


def body(arguments, checks):
    audio_path = Path(tempfile.gettempdir()) / f"throngwick-explosion-{time.time_ns()}.raw"
    try:
        with h.Program(arguments, faketime=h.CROWD_TIME, audio_file=audio_path) as program:
            explosion(program, arguments, checks)
    finally:
        audio_path.unlink(missing_ok=True)


def explosion(program, arguments, checks):
    audio = program.audio
    h.wait_until_loaded(program)
    title, drawn = h.wait_for_title_drawn(program)
    checks.require("the title picture shows", drawn)

    # The click that enters lands above the floor and is the only input until the end.
    audio_at_enter = audio.frames_written()
    entered_at = time.monotonic()
    h.enter_hall(program, checks, title)
    reference = h.wait_for_stillness(program, settle=1.0)

    # Watch the sound as it is written and the backdrop as it is shown.
    heard_at = None  # seconds after entering when the output first turned loud
    audio_at_burst = None
    read_up_to = audio_at_enter
    backdrop = []  # (seconds after entering, mean difference from the still view)
    while time.monotonic() - entered_at < WATCH_UNTIL_S:
        now = time.monotonic() - entered_at
        written = audio.frames_written()
        if heard_at is None and written > read_up_to:
            window = h.AUDIO_RATE // 20
            new = audio.read(read_up_to, written)
            for index, value in enumerate(h.AudioCapture.rms_windows(new, window)):
                if value > LOUD_RMS:
                    heard_at = now
                    audio_at_burst = read_up_to + index * window
                    break
            read_up_to += len(new) - len(new) % window
        if now > FIRST_EXPLOSION_S - 6.0:
            shot = program.screenshot()
            backdrop.append((time.monotonic() - entered_at,
                             shot.mean_difference(reference, h.HALL)))
        else:
            time.sleep(0.2)

    checks.require("a loud sound reaches the output within 20 s of entering",
                   heard_at is not None)
    checks.check("it comes about 15 s after entering",
                 FIRST_EXPLOSION_S - 1.0 <= heard_at <= FIRST_EXPLOSION_S + 3.0,
                 f"heard {heard_at:.1f} s after the click")
    before = audio.read(audio_at_enter, audio_at_burst)
    quiet_before = max(h.AudioCapture.rms_windows(before, h.AUDIO_RATE // 10), default=0.0)
    checks.check("silence until then: no voice without a click", quiet_before < h.QUIET_RMS,
                 f"loudest tenth of a second before: RMS {quiet_before:.0f}, "
                 f"{len(before) / h.AUDIO_RATE:.1f} s of output")
    burst = h.sound_after(audio, audio_at_burst, 1.5)
    low = h.AudioCapture.low_frequency_share(burst)
    peak = max(h.AudioCapture.rms_windows(burst, h.AUDIO_RATE // 10), default=0.0)
    checks.check("it is a loud, low rumble (most of its energy below 250 Hz)",
                 low > 0.6 and peak > 3000.0,
                 f"{low:.0%} of the energy below 250 Hz, loudest RMS {peak:.0f}")

    # The shake lifts and lowers the whole view for a second, by a pixel or less: the backdrop,
    # otherwise pixel for pixel the same, changes.
    # The disk output lags the screen by a varying amount on a busy machine: a wide window.
    calm = [difference for at, difference in backdrop if at < heard_at - 3.5]
    shaking = [difference for at, difference in backdrop
               if heard_at - 3.0 <= at <= heard_at + 2.0]
    checks.check("the backdrop stands still before the explosion", calm and max(calm) < 0.05,
                 f"largest change {max(calm, default=0):.2f} in {len(calm)} shots")
    checks.check("the view shakes with the explosion", shaking and max(shaking) > 0.1,
                 f"largest change {max(shaking, default=0):.2f} in {len(shaking)} shots")

    h.finish(program, checks, "after the explosion")


if __name__ == "__main__":
    h.run_script("test_explosion", __doc__, body)
