"""Journeys through the real program, each one run of it (or a few) checking several things:

  title_and_hall  the title, entering the hall, the light shaft, and the first distant explosion
  visits          picks of the people a seed puts there, the card, songs, fire and their sounds
  hostile_files   missing, broken and huge pictures and sounds, and no sound output to be had
  hostile_resize  the window resized to nothing and back while the camera travels
  soak            random clicks, pointer movement and keys (SOAK_SECONDS, 15 by default)

journeys.py NAME --binary PROGRAM --run-dir FOLDER --scratch FOLDER [--screenshots FOLDER]
"""

import argparse
import math
import os
import random
import subprocess
import sys
import time
from pathlib import Path

import numpy as np

import harness as h
from harness import Program
import hostile_files

SEED = 1767225600  # 2026-01-01 00:00:00 UTC
HALL = (slice(0, 280), slice(0, h.WIDTH))  # the backdrop above the crowd
CROWD = (slice(290, h.HEIGHT), slice(0, h.WIDTH))
REST = (150, 440)  # where the pointer rests on the floor between visits
MARGINS = [(slice(0, 300), slice(0, 12)), (slice(0, 300), slice(1012, 1024))]


def brightness(shot, region=(slice(None), slice(None))):
    return shot[region].mean()


def changed(a, b, region=(slice(None), slice(None))):
    """Mean absolute difference of two shots over a region."""
    return np.abs(a[region] - b[region]).mean()


def card_box():
    """A box well inside the shown card: its centre in card units (-0.5, 0.6), turned by -10
    degrees about the pivot at (0.85, -0.65, -1) in eye space and scaled by 0.9."""
    c, s = math.cos(math.radians(-10)), math.sin(math.radians(-10))
    x, y = h.to_pixel((0.85 + 0.9 * (c * -0.5 - s * 0.6), -0.65 + 0.9 * (s * -0.5 + c * 0.6), -1),
                      None)
    return slice(int(y) - 30, int(y) + 30), slice(int(x) - 30, int(x) + 30)


def card_shown(shot):
    red, green, blue = shot[card_box()].reshape(-1, 3).mean(axis=0)
    return red > 160 and green > 140 and blue > 110


def started(program, checks):
    checks.require("the program loads and shows its window", program.find_window() is not None,
                   f"output {program.lines[:4]}")
    checks.check("the three loading lines come in order", program.lines[:3] == h.LOADING,
                 f"{program.lines[:3]}")
    title, drawn = program.wait_shot(lambda shot: brightness(shot) > 20, 60)
    checks.require("the title picture shows", drawn, f"brightness {brightness(title):.0f}")
    return title


def still(program, settle=0.4):
    """The view once two shots a quarter of a second apart show the same backdrop."""
    time.sleep(settle)
    previous = [program.shot()]

    def same(shot):
        result = changed(shot, previous[0], HALL) < 0.5
        previous[0] = shot
        return result

    return program.wait_shot(same, 10, interval=0.25)[0]


def title_and_hall(options, checks):
    with Program(options, audio=True, seed=SEED) as program:
        title = started(program, checks)
        checks.check("the window is titled Throngwick and 1024 by 512",
                     program.window.get_wm_name() == "Throngwick" and
                     program.geometry()[2:] == (h.WIDTH, h.HEIGHT), f"{program.geometry()}")
        # 300 by 150 units at (0, 18.5, 0), 145 in front of the eye: a margin of a few pixels.
        top = h.to_pixel((0, 93.5, 0))[1]
        left, right = h.to_pixel((-150, 0, 0))[0], h.to_pixel((150, 0, 0))[0]
        middle = slice(100, h.WIDTH - 100)
        edges = [brightness(title, (slice(0, int(top) - 1), middle)),
                 brightness(title, (slice(int(top) + 2, int(top) + 12), middle)),
                 brightness(title, (slice(0, h.HEIGHT), slice(0, int(left) - 1))),
                 brightness(title, (slice(0, h.HEIGHT), slice(int(left) + 2, int(left) + 12))),
                 brightness(title, (slice(0, h.HEIGHT), slice(int(right) + 2, h.WIDTH))),
                 brightness(title, (slice(h.HEIGHT - 2, h.HEIGHT), middle))]
        checks.check(f"the title fills the window to its bottom, {top:.1f} pixels below the top "
                     f"and {left:.1f} from the sides", edges[0] < 2 and edges[1] > 5 and
                     edges[2] < 2 and edges[3] > 5 and edges[4] < 2 and edges[5] > 5,
                     f"brightness above, below, left, inside, right, bottom: {edges}")
        program.save(title, "title.png")
        program.key("a", "1", "2", "3")
        time.sleep(1.0)
        checks.check("nothing moves on the title screen, keys included",
                     changed(program.shot(), title) < 0.1 and len(program.lines) == 3)

        program.click(512, 400)  # on the floor: it enters and picks nobody
        entered_at, frames_at_enter = time.monotonic(), program.frames()
        hall, entered = program.wait_shot(lambda shot: changed(shot, title, HALL) > 20, 30)
        checks.require("a click on the title enters the hall", entered)
        bands = {}
        for spot in [(250, 420), (780, 420)]:
            program.move(*spot)
            shot = still(program)
            floor = h.floor_point(*spot)
            column = int(h.to_pixel((floor[0], 60, floor[2]))[0])
            bands[spot] = (shot, (slice(0, 280), slice(column - 30, column + 30)))
        (left_shot, left_band), (right_shot, right_band) = bands.values()
        checks.check("the light shaft stands over the cursor's floor point and follows it",
                     brightness(left_shot, left_band) > brightness(right_shot, left_band) + 8 and
                     brightness(right_shot, right_band) > brightness(left_shot, right_band) + 8)
        program.save(right_shot, "hall.png")
        program.click(780, 420, button=3)
        program.click(780, 420, button=2)
        time.sleep(1.0)
        checks.check("right and middle clicks leave the view and print nothing",
                     changed(program.shot(), right_shot, HALL) < 0.5 and len(program.lines) == 3,
                     f"{program.lines[3:]}")

        # The first explosion: 15 s of running time after entering, with the pointer still.
        reference = still(program)
        shots = []
        while time.monotonic() - entered_at < 19.0:
            if time.monotonic() - entered_at > 11.0:
                shots.append((time.monotonic() - entered_at, changed(program.shot(), reference, HALL)))
            else:
                time.sleep(0.2)
        sound = program.sound(frames_at_enter, 19.0)
        loudness = h.rms(sound, h.RATE // 20)
        loud = np.nonzero(loudness > 1000)[0]
        checks.require("a loud sound comes within 19 s of entering", len(loud) > 0)
        heard = loud[0] / 20.0
        checks.check("it comes about 15 s after entering, in silence until then",
                     14.0 <= heard <= 17.5 and loudness[:loud[0]].max() < 5, f"at {heard:.1f} s")
        burst = sound[loud[0] * h.RATE // 20:][:h.RATE * 3 // 2]
        power = np.abs(np.fft.rfft(burst)) ** 2
        low = power[np.fft.rfftfreq(len(burst), 1 / h.RATE) < 250].sum() / power.sum()
        checks.check("it is a loud, low rumble", low > 0.6 and loudness.max() > 3000,
                     f"{low:.0%} of its energy below 250 Hz")
        calm = [d for at, d in shots if at < heard - 3.5]
        shaking = [d for at, d in shots if heard - 3.0 <= at <= heard + 2.0]
        checks.check("the view stands still, then shakes with the explosion",
                     calm and max(calm) < 0.05 and shaking and max(shaking) > 0.1,
                     f"{max(calm, default=0):.2f} before, {max(shaking, default=0):.2f} with it")
        program.quit(checks, "in the hall")


def pick_spots(crowd):
    """Floor spots of the start-up view away from cell edges that pick somebody; first those where
    somebody in a neighbouring cell stands nearer the click than the one picked."""
    spots = []
    everybody = [head for people in crowd.cells.values() for head in people]
    for y in range(340, 450, 6):
        for x in range(220, 800, 12):
            point = h.floor_point(x, y)
            if min((point[0] + 100) % 20, -(point[0] + 100) % 20, point[2] % 10,
                   -point[2] % 10) < 0.5 or crowd.picked(point) is None:
                continue
            nearest = min(everybody, key=lambda head: math.dist(head, point))
            spots.append(((x, y), crowd.picked(point), nearest))
    # Nearest the camera first, where nobody hides the one picked.
    spots.sort(key=lambda spot: (math.dist(spot[1], spot[2]) < 10, -spot[0][1]))
    return spots


def visit(program, checks, spot):
    """A click on the floor, the travel and the card: the card view and output frames at the click."""
    program.move(*spot)
    time.sleep(0.3)
    lines, frames_at_click = len(program.lines), program.frames()
    program.click(*spot)
    found = program.wait_line(h.PICK_LINE, 10, start=lines)
    checks.require(f"the click at {spot} prints its point", found)
    off = [abs(float(a) - b) for a, b in zip(found.groups(), h.near_point(*spot))]
    checks.check("it is the near-plane point under the cursor (y may follow a shake)",
                 off[0] < 1e-4 and off[2] < 1e-4 and off[1] < 0.36, f"off by {off}")
    card, arrived = program.wait_shot(card_shown, 20)
    checks.require(f"the camera flies to a person and the card swings in", arrived)
    return card, frames_at_click


def command(program, checks, key, overview):
    program.move(*REST)
    pressed, frames_at_key = time.monotonic(), program.frames()
    program.key(key)
    shot, gone = program.wait_shot(lambda shot: not card_shown(shot), 5, interval=0.02)
    checks.check(f"key {key}: the card swings away at once", gone and time.monotonic() - pressed < 2)
    shot, home = program.wait_shot(lambda shot: changed(shot, overview, HALL) < 1.0, 20)
    checks.check(f"key {key}: the camera comes home", home,
                 f"backdrop off by {changed(shot, overview, HALL):.1f}")
    return frames_at_key


def visits(options, checks):
    crowd = h.Crowd(SEED)
    spots = pick_spots(crowd)
    checks.require("the seed's crowd offers spots to pick", len(spots) >= 3)
    with Program(options, audio=True, seed=SEED) as program:
        title = started(program, checks)
        program.click(512, 150, button=3)  # any button enters
        program.wait_shot(lambda shot: changed(shot, title, HALL) > 20, 30)
        program.move(*REST)
        overview = still(program)
        frames = program.frames()
        program.key("1", "2")
        time.sleep(1.0)
        checks.check("keys 1 and 2 in the overview change nothing and play nothing",
                     changed(program.shot(), overview, HALL) < 1.0 and not card_shown(overview) and
                     h.rms(program.sound(frames, 1.0), h.RATE // 4).max() < 5)

        (spot, picked, nearest) = spots[0]
        card, at_click = visit(program, checks, spot)
        program.save(card, "card.png")
        lines = len(program.lines)
        for second in (spot, (spot[0], 500), (512, 505)):
            program.click(*second)
            found = program.wait_line(h.PICK_LINE, 3, start=lines)
            if found:
                break
        checks.require("a click in the arrived view prints its point", found)
        eye = tuple(float(value) for value in found.groups())
        checks.check("the view stopped within 25 units of the person the seed puts nearest the "
                     "click in its cell, not at a nearer one in the next cell",
                     math.dist(eye, picked) < 25 and (nearest == picked or
                                                      math.dist(eye, nearest) > math.dist(eye, picked)),
                     f"{math.dist(eye, picked):.1f} from {picked}")
        at_song = command(program, checks, "1", overview)
        time.sleep(1.5)
        program.save(program.shot(), "singing.png")

        # Fire next: song outweighs it once the camera is home, so it is seen on the way there.
        card, _ = visit(program, checks, next(s for s in spots[1:] if math.dist(s[1], picked) > 5)[0])
        program.move(*REST)
        at_fire = program.frames()
        program.key("3")
        burning, alight = program.wait_shot(
            lambda shot: np.count_nonzero(flame_pixels(shot)) > np.count_nonzero(flame_pixels(card)) + 250, 3)
        checks.check("key 3 sets the person alight", alight)
        time.sleep(0.8)
        program.save(program.shot(), "fire.png")
        program.wait_shot(lambda shot: changed(shot, overview, HALL) < 1.0, 20)
        last = next(s for s in reversed(spots) if math.dist(s[1], picked) > 5)
        visit(program, checks, last[0])
        command(program, checks, "4", overview)

        voice = h.rms(program.sound(at_click, 2.0), h.RATE // 10)
        checks.check("a pick sounds a crowd voice", voice.max() > 300, f"RMS {voice.max():.0f}")
        music = h.rms(program.sound(at_song + 2 * h.RATE, 4.0), h.RATE // 4)
        checks.check("key 1 starts the music: sound all through 2 to 6 s after it",
                     music.min() > 5, f"quietest quarter second {music.min():.0f}")
        fire = h.rms(program.sound(at_fire, 3.0), h.RATE // 10)
        checks.check("key 3 starts a fire with a burst, and it crackles on",
                     fire[:8].max() > 1000 and fire[10:].min() > 5,
                     f"RMS {fire[:8].max():.0f} at first, at least {fire[10:].min():.0f} later")
        program.quit(checks, "after the visits")


def flame_pixels(shot):
    r, g, b = (shot[CROWD][:, :, i] for i in range(3))
    return (r > 230) & (g > 110) & (g < 200) & (b < 80)


def at_home(shot, home):
    """Without pictures all is white: the camera is home when the margins beside the hall are
    black again and the backdrop's edges stand where they stood."""
    return max(brightness(shot, m) for m in MARGINS) < 8 and \
        max(changed(shot, home, (m[0], slice(max(m[1].start - 36, 0), m[1].stop + 36)))
            for m in MARGINS) < 5


def survive(program, checks, keys, label, title=None):
    """The journey every hostile run takes: the title, the hall, one pick a key, each key
    pressed until the camera is home again, then keys with nothing to act on, and Esc."""
    title = title if title is not None else started(program, checks)
    program.click(512, 150)
    home, entered = program.wait_shot(
        lambda shot: changed(shot, title) > 2 and max(brightness(shot, m) for m in MARGINS) < 8, 20)
    checks.require(f"{label}: a click enters the hall", entered)
    spots = iter([(512, 400), (330, 380), (700, 420), (450, 440), (620, 350), (380, 420)] * 2)
    for key in keys:
        moved = False
        while not moved:
            spot = next(spots, None)
            checks.require(f"{label}: some click picks a person", spot)
            lines = len(program.lines)
            program.click(*spot)
            checks.require(f"{label}: the click prints its point",
                           program.wait_line(h.PICK_LINE, 10, start=lines))
            moved = program.wait_shot(
                lambda shot: max(brightness(shot, m) for m in MARGINS) > 15, 8)[1]
        deadline, back = time.monotonic() + 25, False
        while not back and time.monotonic() < deadline and program.running():
            program.key(key)
            back = program.wait_shot(lambda shot: at_home(shot, home), 0.6, interval=0.15)[1]
        checks.require(f"{label}: key {key} after a pick brings the camera home", back)
    program.key("1", "2", "3", "4", "a", "space", "F5", "Up")
    checks.require(f"{label}: the program still runs", program.running())
    program.quit(checks, label)
    return home


def hostile_files_journey(options, checks):
    scratch = Path(options.scratch)
    bare = hostile_files.bare_folder(scratch)
    with Program(options, cwd=bare, env={"SDL_AUDIODRIVER": "no_such_driver"}) as program:
        survive(program, checks, "12", "no pictures, no sounds, no audio driver")
    (bare / "image_data").write_text("not a folder\n")
    (bare / "audio").write_text("not a folder\n")
    nowhere = bare / "missing" / "out.raw"
    with Program(options, cwd=bare, env={"SDL_AUDIODRIVER": "disk",
                                         "SDL_DISKAUDIOFILE": str(nowhere)}) as program:
        survive(program, checks, "3", "files for folders, an unwritable audio output")
    checks.check("nothing was written where the output could not go", not nowhere.parent.exists())
    for round_number, keys in [(0, "13"), (1, "1")]:
        folder, kinds = hostile_files.broken_folder(scratch, options.run_dir, round_number)
        print("\n".join(f"     {path:32} {kind}" for path, kind in sorted(kinds.items())))
        with Program(options, cwd=folder) as program:
            survive(program, checks, keys, f"broken files, round {round_number + 1}")
    folder = hostile_files.huge_pictures_folder(scratch, options.run_dir)
    begun = time.monotonic()
    with Program(options, cwd=folder) as program:
        # 18-byte pictures that claim 16384 by 16384: neither a gigabyte nor seconds of reading.
        title = started(program, checks)
        peak = hostile_files.peak_mb(program.process.pid)
        checks.check("18-byte pictures claiming 16384 by 16384 cost under 1 GB and show the title "
                     "within 20 s", peak < 1024 and time.monotonic() - begun < 20, f"{peak:.0f} MB")
        survive(program, checks, "3", "huge pictures", title)


def hostile_resize(options, checks):
    with Program(options, seed=SEED) as program:
        title = started(program, checks)
        program.click(512, 150)
        home = program.wait_shot(lambda shot: changed(shot, title) > 2, 20)[0]

        def xdotool(*arguments):
            subprocess.run(["xdotool", *map(str, arguments)], capture_output=True)

        def resize(width, height, what):
            xdotool("windowsize", program.window.id, width, height)
            deadline = time.monotonic() + 3
            while program.geometry()[2:] != (width, height) and time.monotonic() < deadline:
                time.sleep(0.1)
            before = hostile_files.cpu_seconds(program.process.pid)
            time.sleep(1.0)
            checks.require(f"{what}: the program runs and its frame loop turns",
                           program.running() and
                           hostile_files.cpu_seconds(program.process.pid) > before)

        resize(0, 0, "asked for 0 by 0")  # X refuses a side of 0
        resize(1, 1, "at 1 by 1")
        xdotool("windowunmap", "--sync", program.window.id)
        resize(1, 1, "unmapped")
        xdotool("windowmap", "--sync", program.window.id)
        resize(1024, 512, "back at 1024 by 512")
        checks.check("back at 1024 by 512 the view is the one before",
                     program.wait_shot(lambda shot: at_home(shot, home), 10)[1])
        resize(300, 900, "at 300 by 900")
        lines = len(program.lines)
        program.click(150, 700)
        checks.check("at 300 by 900 a click on the floor far down picks",
                     program.wait_line(h.PICK_LINE, 10, start=lines))
        resize(4000, 10, "at 4000 by 10 while the camera travels")
        resize(1024, 512, "back at 1024 by 512 again")
        deadline, back = time.monotonic() + 25, False
        while not back and time.monotonic() < deadline:
            program.key("4")
            back = program.wait_shot(lambda shot: at_home(shot, home), 0.6)[1]
        checks.require("key 4 brings the camera home to the view before the resizes", back)
        program.quit(checks, "after the resizes")


def soak(options, checks):
    seconds = float(os.environ.get("SOAK_SECONDS", "15"))
    rng = random.Random(1729)
    with Program(options, env={"ASAN_OPTIONS": "quarantine_size_mb=8"}) as program:
        title = started(program, checks)
        program.click(512, 150)
        program.wait_shot(lambda shot: changed(shot, title) > 2, 20)
        memory, previous, stalled, started_at = [], program.shot(), 0, time.monotonic()
        next_shot = started_at + 5
        while time.monotonic() - started_at < seconds and program.running():
            roll, x, y = rng.random(), rng.randrange(4, 1020), rng.randrange(4, 508)
            if roll < 0.3:
                program.move(x, y)
            elif roll < 0.6:  # mostly on the floor
                floor_y = rng.randrange(320, 460) if roll < 0.5 else y
                program.click(x, floor_y, rng.choice([1, 1, 2, 3]))
            else:
                program.key(rng.choice("1234" if time.monotonic() - started_at > seconds / 2
                                       else "24" + "aqz5"))
            time.sleep(rng.random() * 0.15)
            memory.append(hostile_files.peak_mb(program.process.pid, "VmRSS"))
            if time.monotonic() > next_shot:
                shot, next_shot = program.shot(), next_shot + 5
                stalled += changed(shot, previous) < 0.05
                previous = shot
        checks.require("the program still runs after the random input", program.running())
        checks.check("the picture keeps changing", stalled == 0, f"{stalled} still pictures")
        checks.check("the memory stays in bounds", max(memory) - memory[len(memory) // 4] < 150,
                     f"{memory[0]:.0f} MB to {max(memory):.0f} MB")
        program.quit(checks, "after the soak")


JOURNEYS = {"title_and_hall": title_and_hall, "visits": visits,
            "hostile_files": hostile_files_journey, "hostile_resize": hostile_resize, "soak": soak}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("journey", choices=JOURNEYS)
    for option in ("--binary", "--run-dir", "--scratch"):
        parser.add_argument(option, required=True)
    parser.add_argument("--screenshots", help="where to keep the README's pictures")
    options = parser.parse_args()
    for name in ("binary", "run_dir", "scratch"):
        setattr(options, name, str(Path(getattr(options, name)).resolve()))
    Path(options.scratch).mkdir(parents=True, exist_ok=True)
    checks = h.Checks()
    try:
        JOURNEYS[options.journey](options, checks)
    except Exception as error:  # a failed requirement or a broken step ends the journey
        checks.check(f"the journey went to its end", False, f"{type(error).__name__}: {error}")
    print(f"{options.journey}: {checks.passed} passed, {checks.failed} failed", flush=True)
    sys.exit(1 if checks.failed else 0)


if __name__ == "__main__":
    main()
