# Journeys through the real program, each a run of it (or a few) that checks several things:
#
# title_and_hall  the title, entering the hall, the light shaft, and the first distant explosion
# visits          picks of the people a seed puts there, the card, song, fire and their sounds
# hostile_files   missing, broken and huge pictures and sounds, and no sound output to be had
# hostile_resize  the window resized to nothing and back while the camera travels
# soak            random clicks, pointer movement and keys (SOAK_SECONDS, 15 by default)
# replay          a visit recorded, then replayed as frames: the still hall exact, the renderers alike
# package         both Debian packages unpacked, started from elsewhere as the menu starts the
#                 program, and the options' refusals
# web             the browser version in headless Chromium: the same visit by mouse, by keys alone
#                 and by touch, stalls, Esc's silence, the offline copy, failures named, no WebGL,
#                 the same crowd for a seed, and the replay journey's visit replayed alike
# keys            F11, M, P, F12, the arrows and Enter in a recorded visit, and its replay
# unattended      the show --attract plays, handed back; SIGINT, SIGTERM and SIGHUP; --screensaver
#
# journeys.py NAME --binary PROGRAM --run-dir FOLDER --scratch FOLDER [--screenshots FOLDER]
#             [--release PROGRAM] [--package FOLDER] [--site FOLDER --replayed FOLDER]

import argparse
import email.utils
import math
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np
from PIL import Image

import browser
import clips
import harness as h
import hostile_files
from harness import Program

SEED = 1767225600  # 2026-01-01 00:00:00 UTC
ALL = (slice(None), slice(None))
HALL = (slice(0, 280), slice(0, h.WIDTH))  # the backdrop above the crowd
REST = (150, 440)  # where the pointer rests on the floor between visits
MARGINS = [(slice(0, 300), slice(0, 12)), (slice(0, 300), slice(1012, 1024))]


def changed(a, b, region=ALL):
    return np.abs(a[region] - b[region]).mean()


def card_point(u, v):
    # The window pixel of the shown card's point (u, v) in card units: turned by -10 degrees about
    # the pivot at (0.85, -0.65, -1) in eye space and scaled by 0.9.
    c, s = math.cos(math.radians(-10)), math.sin(math.radians(-10))
    x, y = h.to_pixel((0.85 + 0.9 * (c * u - s * v), -0.65 + 0.9 * (s * u + c * v), -1), None)
    return int(x), int(y)


def card_shown(shot):
    x, y = card_point(-0.5, 0.6)  # the middle of the card
    red, green, blue = shot[y - 30:y + 30, x - 30:x + 30].reshape(-1, 3).mean(axis=0)
    return red > 160 and green > 140 and blue > 110


def dark_margins(shot):
    return max(shot[m].mean() for m in MARGINS) < 8


def started(program, checks):
    checks.require("the program loads and shows its window", program.find_window(), program.lines)
    checks.check("the three loading lines come in order", program.lines[:3] == h.LOADING)
    title, drawn = program.wait_shot(lambda shot: shot.mean() > 20, 60)
    checks.require("the title picture shows", drawn)
    return title


def enter(program, checks, title, x=512, y=150, button=1):
    program.click(x, y, button)
    hall, entered = program.wait_shot(lambda s: changed(s, title) > 2 and dark_margins(s), 30)
    checks.require("a click on the title enters the hall", entered)
    return hall


def still(program):
    # The view once two shots a quarter of a second apart show the same backdrop.
    time.sleep(0.4)
    shots = [program.shot()]
    return program.wait_shot(lambda s: changed(s, shots.pop(), HALL) < 0.5 or shots.append(s),
                             10, interval=0.25)[0]


def title_and_hall(options, checks):
    with Program(options, audio=True, seed=SEED) as program:
        title = started(program, checks)
        # Only a window titled Throngwick is found at all.
        checks.check("the window is 1024 by 512", program.geometry()[2:] == (h.WIDTH, h.HEIGHT),
                     f"{program.geometry()}")
        # 300 by 150 units centred 0.5 below the eye's height, 145 in front of it.
        top, left = int(h.to_pixel((0, 93.5, 0))[1]), int(h.to_pixel((-150, 0, 0))[0])
        middle = slice(100, h.WIDTH - 100)
        edges = [title[:top - 1, middle].mean(), title[top + 2:top + 12, middle].mean(),
                 title[:, :left - 1].mean(), title[:, left + 2:left + 12].mean(),
                 title[:, -left + 1:].mean(), title[-2:, middle].mean()]
        checks.check(f"the title reaches the window's bottom and leaves {top} rows at the top "
                     f"and {left} columns at the sides", max(edges[0::2][:3]) < 2 and
                     min(edges[1::2]) > 5, f"brightness out, in: {np.round(edges, 1)}")
        program.save(title, "title.png")

        frames_at_enter = program.frames()
        enter(program, checks, title, 512, 400)  # on the floor: it enters and picks nobody

        def shaft(x):  # the still view with the pointer at (x, 420), the band over its floor point
            program.move(x, 420)
            column = int(h.to_pixel((h.floor_point(x, 420)[0], 60, h.floor_point(x, 420)[2]))[0])
            return still(program), (slice(0, 280), slice(column - 30, column + 30))

        (left_shot, left_band), (right_shot, right_band) = shaft(250), shaft(780)
        checks.check("the light shaft stands over the cursor's floor point and follows it",
                     left_shot[left_band].mean() > right_shot[left_band].mean() + 8 and
                     right_shot[right_band].mean() > left_shot[right_band].mean() + 8)
        program.save(right_shot, "hall.png")
        program.click(780, 420, button=3)
        program.click(780, 420, button=2)
        time.sleep(1.0)
        checks.check("right and middle clicks leave the view and print nothing",
                     changed(program.shot(), right_shot, HALL) < 0.5 and len(program.lines) == 3)

        # The first explosion: 15 s of running time after entering.
        sound = program.sound(frames_at_enter, 19.0, timeout=30)
        loudness = h.rms(sound, h.RATE // 20)
        loud = np.append(np.nonzero(loudness > 1000)[0], len(loudness))
        heard = loud[0] / 20.0
        # The window before the first loud one may hold the rumble's first milliseconds.
        checks.require("a loud sound comes about 15 s after entering, in silence until then",
                       14.0 <= heard <= 17.5 and loudness[:loud[0] - 1].max() < 5, f"at {heard} s")
        burst = sound[loud[0] * h.RATE // 20:][:h.RATE * 3 // 2]
        power = np.abs(np.fft.rfft(burst)) ** 2
        low = power[np.fft.rfftfreq(len(burst), 1 / h.RATE) < 250].sum() / power.sum()
        checks.check("it is a loud, low rumble", low > 0.6 and loudness.max() > 3000,
                     f"{low:.0%} of its energy below 250 Hz")
        program.quit(checks, "in the hall")


def pick_spots(crowd):
    # Floor spots of the start-up view, away from cell edges, that pick somebody: first those
    # where somebody in a neighbouring cell stands nearer the click, then by nearness to the eye.
    spots, everybody = [], [head for people in crowd.cells.values() for head in people]
    for y in range(340, 450, 6):
        for x in range(220, 800, 12):
            point = h.floor_point(x, y)
            edge = min((point[0] + 100) % 20, -(point[0] + 100) % 20, point[2] % 10, -point[2] % 10)
            if edge > 0.5 and crowd.picked(point):
                nearest = min(everybody, key=lambda head: math.dist(head, point))
                spots.append(((x, y), crowd.picked(point), nearest))
    return sorted(spots, key=lambda spot: (math.dist(spot[1], spot[2]) < 10, -spot[0][1]))


def visit(program, checks, spot, stall_after=None):
    # A click on the floor, the travel and the card: the card view, output frames at the click and
    # the seconds from the click to the card. With stall_after, the program is stopped for 2 s that many seconds after the click.
    lines, frames = len(program.lines), program.frames()
    program.click(*spot)
    clicked = time.monotonic()
    found = program.wait_line(h.PICK_LINE, 10, start=lines)
    checks.require(f"the click at {spot} prints its point", found)
    off = [abs(float(a) - b) for a, b in zip(found.groups(), h.near_point(*spot))]
    checks.check("it is the near-plane point under the cursor (y may follow a shake)",
                 off[0] < 1e-4 and off[2] < 1e-4 and off[1] < 0.36, f"off by {off}")
    if stall_after is not None:
        time.sleep(max(0.0, clicked + stall_after - time.monotonic()))
        program.stall(2)
    card, arrived = program.wait_shot(card_shown, 20)
    checks.require("the camera flies to a person and the card swings in", arrived)
    return card, frames, time.monotonic() - clicked


def eye_at(program, checks, spot):
    # Where the camera stands, from the near-plane point a click in the arrived view prints.
    lines = len(program.lines)
    for second in (spot, (spot[0], 500), (512, 505)):
        program.click(*second)
        found = program.wait_line(h.PICK_LINE, 3, start=lines)
        if found:
            return tuple(float(value) for value in found.groups())
    checks.require("a click in the arrived view prints its point", False)


def command(program, checks, key, overview):
    program.move(*REST)
    pressed, frames = time.monotonic(), program.frames()
    program.key(key)
    gone = program.wait_shot(lambda shot: not card_shown(shot), 5, interval=0.02)[1]
    checks.check(f"key {key}: the card goes at once", gone and time.monotonic() < pressed + 2)
    shot, home = program.wait_shot(lambda shot: changed(shot, overview, HALL) < 1.0, 20)
    checks.check(f"key {key}: the camera comes home", home, f"{changed(shot, overview, HALL):.1f}")
    return frames


def visits(options, checks):
    spots = pick_spots(h.Crowd(SEED))
    spot, picked, nearest = spots[0]
    others = [s for s in spots if math.dist(s[1], picked) > 5]
    with Program(options, audio=True, seed=SEED) as program:
        enter(program, checks, started(program, checks), button=3)  # any button enters
        program.move(*REST)
        overview = still(program)

        card, at_click, travel = visit(program, checks, spot)
        program.save(card, "card.png")
        eye = eye_at(program, checks, spot)
        checks.check("the view stopped within 25 units of the person the seed puts nearest the "
                     "click in its cell, not at a nearer one in the next cell",
                     math.dist(eye, picked) < min(25, math.dist(eye, nearest) + 1e-9),
                     f"{math.dist(eye, picked):.1f} from {picked}")
        at_song = command(program, checks, "1", overview)
        time.sleep(1.5)
        program.save(program.shot(), "singing.png")
        # The same pick, the program stopped for 2 s by signals shortly before the camera would
        # arrive, as a loaded machine stalls it: the camera still stops where it stopped unstalled.
        visit(program, checks, spot, stall_after=max(0.2, travel - 1.2))
        stalled = eye_at(program, checks, spot)
        checks.check("after a stall during the travel the camera arrives where it arrived without",
                     math.dist(stalled, eye) < 3, f"{math.dist(stalled, eye):.1f} units apart")
        command(program, checks, "4", overview)

        # Song outweighs fire once the camera is home, so the flame is seen on the way there.
        card = visit(program, checks, others[0][0])[0]
        program.move(*REST)
        at_fire = program.frames()
        program.key("3")
        checks.check("key 3 sets the person alight", program.wait_shot(
            lambda shot: flames(shot) > flames(card) + 250, 3)[1])
        time.sleep(0.8)
        program.save(program.shot(), "fire.png")
        program.wait_shot(lambda shot: changed(shot, overview, HALL) < 1.0, 20)
        visit(program, checks, others[-1][0])
        command(program, checks, "4", overview)

        voice = h.rms(program.sound(at_click, 2.0), h.RATE // 10)
        checks.check("a pick sounds a crowd voice", voice.max() > 300, f"RMS {voice.max():.0f}")
        music = h.rms(program.sound(at_song + 2 * h.RATE, 4.0), h.RATE // 4)
        checks.check("key 1 starts the music: sound all through 2 to 6 s after it",
                     music.min() > 5, f"quietest quarter second {music.min():.0f}")
        fire = h.rms(program.sound(at_fire, 3.0), h.RATE // 10)
        checks.check("key 3 starts a fire with a burst, and it crackles on",
                     fire[:8].max() > 1000 and fire[10:].min() > 5, f"{fire.round()}")
        program.quit(checks, "after the visits")


def flame_pixels(area):
    r, g, b = (area[:, :, i] for i in range(3))
    return np.count_nonzero((r > 230) & (g > 110) & (g < 200) & (b < 80))


def flames(shot):
    return flame_pixels(shot[290:])


def at_home(shot, home):
    # With pictures missing all is white: the camera is home when the margins beside the hall
    # are black again and the backdrop's edges stand where they stood.
    return dark_margins(shot) and max(changed(shot, home, (m[0], slice(m[1].start - 36 * (
        m[1].start > 0), m[1].stop + 36))) for m in MARGINS) < 5


def survive(program, checks, keys, label, title=None):
    # The journey every hostile run takes: the hall, one pick a key, each key pressed until the
    # camera is home again, then keys with nothing to act on, and Esc.
    home = enter(program, checks, title if title is not None else started(program, checks))
    spots = iter([(512, 400), (330, 380), (700, 420), (450, 440), (620, 350), (380, 420)] * 2)
    for key in keys:
        moved = False
        while not moved:
            spot, lines = next(spots), len(program.lines)
            program.click(*spot)
            checks.require(f"{label}: the click prints its point",
                           program.wait_line(h.PICK_LINE, 10, start=lines))
            moved = program.wait_shot(lambda shot: not dark_margins(shot), 8)[1]
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
    bare = Path(tempfile.mkdtemp(prefix="bare-", dir=options.scratch))
    # A copy of the program in the folder: the program itself would find its build's pictures.
    alone = shutil.copy(options.binary, bare / "throngwick")
    with Program(options, cwd=bare, binary=alone,
                 env={"SDL_AUDIODRIVER": "no_such_driver"}) as program:
        survive(program, checks, "12", "no pictures, no sounds, no audio driver")
    (bare / "image_data").write_text("not a folder\n")
    (bare / "audio").write_text("not a folder\n")
    nowhere = bare / "missing" / "out.raw"
    with Program(options, cwd=bare, binary=alone, env={"SDL_AUDIODRIVER": "disk",
                                                       "SDL_DISKAUDIOFILE": str(nowhere)}) as program:
        survive(program, checks, "3", "files for folders, an unwritable audio output")
    checks.check("nothing was written where the output could not go", not nowhere.parent.exists())
    for round_number, keys in [(0, "13"), (1, "1")]:
        folder = hostile_files.broken_folder(options.scratch, options.run_dir, round_number)
        with Program(options, cwd=folder) as program:
            survive(program, checks, keys, f"broken files, round {round_number + 1}")
    begun = time.monotonic()
    with Program(options, cwd=hostile_files.huge(options.scratch, options.run_dir)) as program:
        # 18-byte pictures that claim 16384 by 16384: neither a gigabyte nor seconds of reading.
        title, peak = started(program, checks), hostile_files.memory_mb(program.process.pid)
        checks.check("18-byte pictures claiming 16384 by 16384 cost under 1 GB and show the title "
                     "within 20 s", peak < 1024 and time.monotonic() - begun < 20, f"{peak:.0f} MB")
        survive(program, checks, "3", "huge pictures", title)


def hostile_resize(options, checks):
    with Program(options, seed=SEED) as program:
        home = enter(program, checks, started(program, checks))

        def resize(width, height, what):
            subprocess.run(["xdotool", "windowsize", *map(str, [program.window.id, width, height])])
            h.wait_for(lambda: program.geometry()[2:] == (width, height), 3, 0.1)
            before = hostile_files.cpu_seconds(program.process.pid)
            time.sleep(1.0)
            checks.require(f"{what}: the program runs and its frame loop turns", program.running()
                           and hostile_files.cpu_seconds(program.process.pid) > before)

        resize(0, 0, "asked for 0 by 0")  # X refuses a side of 0
        subprocess.run(["xdotool", "windowunmap", "--sync", str(program.window.id)])
        resize(1, 1, "unmapped at 1 by 1")
        subprocess.run(["xdotool", "windowmap", "--sync", str(program.window.id)])
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
    seconds, rng = float(os.environ.get("SOAK_SECONDS", "15")), random.Random(1729)
    with Program(options, env={"ASAN_OPTIONS": "quarantine_size_mb=8"}) as program:
        enter(program, checks, started(program, checks))
        memory, previous, stalled, half = [], program.shot(), 0, time.monotonic() + seconds / 2
        while time.monotonic() < half + seconds / 2 and program.running():
            roll, x, y = rng.random(), rng.randrange(4, 1020), rng.randrange(4, 508)
            if roll < 0.3:
                program.move(x, y)
            elif roll < 0.6:  # mostly on the floor
                program.click(x, rng.randrange(320, 460) if roll < 0.5 else y, rng.choice("123"))
            else:  # song and fire only in the second half
                program.key(rng.choice("1234" if time.monotonic() > half else "24aq5"))
            time.sleep(rng.random() * 0.15)
            memory.append(hostile_files.memory_mb(program.process.pid, "VmRSS"))
            if len(memory) % 40 == 0:
                shot = program.shot()
                stalled, previous = stalled + (changed(shot, previous) < 0.05), shot
        checks.require("the program still runs after the random input", program.running())
        checks.check("the picture keeps changing", stalled == 0, f"{stalled} still pictures")
        checks.check("the memory stays in bounds", max(memory) - memory[len(memory) // 4] < 150,
                     f"{memory[0]:.0f} MB to {max(memory):.0f} MB")
        program.quit(checks, "after the soak")


def run(binary, arguments, cwd, display=True, memory_mb=None, stdin=None):
    # The program run to its end: its status and its standard error's lines. Without a display,
    # a program that tried to open a window would fail; with memory_mb, it has that much address
    # space at most.
    environment = {key: value for key, value in os.environ.items()
                   if display or key != "DISPLAY"}
    limit = memory_mb and (lambda: resource.setrlimit(resource.RLIMIT_AS, (memory_mb << 20,) * 2))
    result = subprocess.run([binary, *arguments], cwd=cwd, env=environment, capture_output=True,
                            text=True, timeout=240, preexec_fn=limit, stdin=stdin)
    return result.returncode, result.stderr.splitlines()


def refused(checks, what, binary, arguments, cwd, line, **limits):
    # The program, without a display, refuses before any window: status 2, the line, the usage.
    status, lines = run(binary, arguments, cwd, display=False, **limits)
    return checks.check(what, status == 2 and len(lines) == 2 and lines[0] ==
                        f"throngwick: {line}" and lines[1].startswith("Usage: throngwick"), lines)


def replaying(options, recording, folder, *arguments):
    # The optimised program's command that replays a recording, silent, into a folder of frames.
    return [options.release, "--replay", str(recording), "--frames", str(folder), "--mute",
            *arguments]


def replay(options, checks):
    scratch = Path(options.scratch)
    visit, backwards, huge = scratch / "visit.txt", scratch / "backwards.txt", scratch / "huge.txt"
    backwards.write_text("throngwick-visit 1\nseed 1\nwindow 1024 512\nstart 500\n"
                         "frame 600 0\nframe 400 0\n")
    # Refused by file and line before any window, in 2 GB: a clock that goes back, a 3 GB file, an
    # endless one, and an endless stream of frames.
    with open(huge, "wb") as sparse:
        sparse.truncate(3 << 30)
    stream = subprocess.Popen(["sh", "-c", "printf 'throngwick-visit 1\\nseed 1\\nwindow 9 9\\n"
                               "start 0\\n'; yes 'frame 1 0'"], stdout=subprocess.PIPE)
    other = "1: not a visit recording: it should begin with 'throngwick-visit 3'"
    for name, refusal in [(backwards, "6: the clock goes back from 600 to 400 ms"), (huge, other),
                          ("/dev/zero", other), ("/dev/stdin", "16777217: the recording goes on "
                                                 "past 16777216 lines, more than this program "
                                                 "replays")]:
        refused(checks, f"{name} is refused", options.release, ["--replay", str(name)], scratch,
                f"{name}:{refusal}", memory_mb=2048, stdin=stream.stdout)
    stream.kill()
    huge.unlink()

    def frames(recording=visit, drawn_only=True):  # the frames a recording holds so far
        return sum(line.startswith("frame ") and not (drawn_only and line.endswith("hidden"))
                   for line in recording.read_text().split("\n")[:-1])

    # A person by the hall's left edge, alone enough in their cell for a click on their spot to
    # pick them.
    crowd = h.Crowd(7)
    edge = max((head for head in crowd.everybody if head[0] < -80 and 15 < head[2] < 60 and
                0 < h.to_pixel((head[0], 0, head[2]))[0] and
                crowd.picked((head[0], 0, head[2])) == head and
                min(math.dist(head, other) for other in crowd.cells[crowd.cell_of(head)]
                    if other != head) > 5),
               key=lambda head: sum(math.dist(head, other) < 25 for other in crowd.everybody))
    shots = []  # (drawn frames before, the window's pixels, drawn frames after)
    with Program(options, "--seed", "7", "--record", str(visit)) as program:
        entered = time.monotonic()
        enter(program, checks, started(program, checks))
        spot = tuple(int(v) for v in h.to_pixel((edge[0], 0, edge[2])))
        # First the person sings, and the song starts to spread; then, singing, they are visited
        # again, and set alight: at that close-up, singers' mouths and neighbours' sprites stand
        # beside and behind the eye.
        for key in "13":
            still(program)  # home: a click while the camera travels picks nobody
            program.click(*spot)
            if key == "3":
                time.sleep(0.3)
                shots.append((frames(), program.shot(), frames()))  # on the way
            checks.require(f"a pick by the edge at {edge} takes the camera there",
                           program.wait_shot(card_shown, 15)[1])
            if key == "3":
                shots.append((frames(), program.shot(), frames()))  # at the person, the card shown
                close_up = [frames(drawn_only=False)]
                time.sleep(1.5)
                close_up.append(frames(drawn_only=False))
            program.key(key)
            checks.require(f"key {key} brings the camera home",
                           program.wait_shot(dark_margins, 15)[1])
        # The first explosion shakes the view 15 s after entering, for a second; then it is
        # still again.
        time.sleep(max(0.0, entered + 17 - time.monotonic()))
        program.quit(checks, "after the recorded visit")
    # The visit cut short after the screenshots, in the middle of a line, as by a killed program:
    # it replays up to its last whole frame.
    lines = visit.read_text().split("\n")
    frame_lines = [i for i, line in enumerate(lines) if line.startswith("frame ")]
    cut, shifted = scratch / "cut.txt", scratch / "shifted.txt"
    cut.write_text("\n".join(lines[:frame_lines[shots[-1][2] + 2] + 1]) + "\nmove 5")
    # The cut visit's first 300 frames again with every clock 30 days later, as after a month on
    # a wall: the frames must move on as smoothly as they did.
    month = 30 * 24 * 3600 * 1000
    shifted.write_text("\n".join(
        f"{line.split()[0]} {int(line.split()[1]) + month} {' '.join(line.split()[2:])}".rstrip()
        if line.startswith(("start ", "frame ")) else line
        for line in lines[:frame_lines[min(299, len(frame_lines) - 1)] + 1]) + "\n")

    # The optimised program replays what the sanitized one recorded: the frames are the same.
    # Every frame of the cut visit, for the screenshots, and of the shifted one; five a second of
    # the whole visit for the rest, drawn both ways, each with the hall restored from its copy and
    # drawn every frame. The replays run at once, on both cores.
    fps = 5
    batched = [visit, "--fps", str(fps)]
    classic = [*batched, "--renderer", "classic"]
    replays = {"all": [cut], "shifted": [shifted], "batched": batched, "classic": classic,
               "batched-drawn": [*batched, "--redraw-hall"],
               "classic-drawn": [*classic, "--redraw-hall"]}
    for name in replays:  # frames of an earlier run would count
        shutil.rmtree(scratch / name, ignore_errors=True)
    # An earlier, longer film in one folder: its frames go, nothing else does.
    (scratch / "batched").mkdir()
    others = ["frame-1.png", "frame-000001.png.txt", "notes.txt", "frame-00000x.png"]
    for name in ["frame-999999.png", "frame-1000000.png", *others]:
        (scratch / "batched" / name).write_text("an earlier film\n")
    quiet = {"cwd": scratch, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    running = {name: subprocess.Popen(replaying(options, recording, scratch / name, *arguments),
                                      **quiet) for name, (recording, *arguments) in replays.items()}
    # Meanwhile the visit made into clips: at the frames' rate, whole; at the default 30 frames a
    # second, ended by SIGTERM past the first pick; and killed outright once a cluster is written.
    made = {name: subprocess.Popen(
        [options.release, "--replay", str(visit), "--video", f"{name}.webm", *arguments],
        **dict(quiet, stderr=subprocess.PIPE), text=True)
        for name, arguments in (("clip", ["--fps", str(fps)]), ("stopped", []),
                                ("killed", ["--fps", str(fps)]))}
    for name, seconds, ending in (
            ("killed", 1.0, signal.SIGKILL),
            ("stopped", clips.first_pick(lines, 30) / 30 + 0.6, signal.SIGTERM)):
        h.wait_for(lambda: clips.made_seconds(scratch / f"{name}.webm") > seconds, 120, 0.3)
        made[name].send_signal(ending)
    statuses = {name: process.wait(timeout=240) for name, process in running.items()}
    kept = [name for name in others if (scratch / "batched" / name).exists()]
    for name in others:
        (scratch / "batched" / name).unlink(missing_ok=True)
    films = {name: sorted((scratch / name).glob("frame-*.png")) for name in replays}
    checks.check("a film over an earlier one removes its frames and nothing else", kept == others,
                 kept)
    cut_drawn = frames(cut)
    # The replay's frame k is at the start's clock + k / fps seconds; the last reaches the visit's.
    start = int(next(line for line in lines if line.startswith("start ")).split()[1])
    clocks = [int(lines[i].split()[1]) for i in frame_lines]
    checks.check(f"the replays exit 0, writing a frame for each of the {cut_drawn} drawn in the "
                 f"cut visit, or five for each second of the whole", set(statuses.values()) == {0}
                 and len(films["all"]) == cut_drawn and
                 len(films["batched"]) == -(-(clocks[-1] - start) * fps // 1000),
                 f"{statuses}, {[len(film) for film in films.values()]} frames")
    checks.check("the hall restored from its copy gives the frames of the hall drawn every frame, "
                 "byte for byte, with either renderer", all(
                     list(map(Path.read_bytes, films[name])) ==
                     list(map(Path.read_bytes, films[name + "-drawn"]))
                     for name in ("batched", "classic")))

    def repeated(film):  # frames drawn the same as the frame before
        return sum(a.read_bytes() == b.read_bytes() for a, b in zip(film, film[1:]))

    drawn = frames(shifted)
    checks.check("30 days later, the replay's frames move on as smoothly as on the first day",
                 len(films["shifted"]) == drawn and
                 repeated(films["shifted"]) <= repeated(films["all"][:drawn]),
                 f"{repeated(films['shifted'])} of {drawn} frames repeat the one before, against "
                 f"{repeated(films['all'][:drawn])}")
    # The window shows the last frame drawn: the recorded one, or the next, whose line the idle
    # call after it writes; the first row and column of the window are off the screen.
    worst = min(max((h.picture(path)[1:, 1:] == shot[1:, 1:]).all(axis=2).mean()
                    for path in films["all"][max(0, before - 2):after + 1])
                for before, shot, after in shots)
    checks.check("every screenshot of the visit is one of the replay's frames", worst == 1.0,
                 f"the worst matches {worst:.4%} of its pixels")

    # Each frame's largest channel difference between the renderers, once.
    differences = [np.abs(h.picture(classic) - h.picture(batched)).max(axis=2).astype(np.uint8)
                   for classic, batched in zip(films["classic"], films["batched"])]

    def alike(frames, what):
        # An atlas cannot sample exactly as the separate pictures: its coordinates round
        # otherwise, and a texel at an alpha-test edge may fall the other way now and then.
        picked = np.array([differences[k] for k in frames]).reshape(-1)
        worst = max(frames, key=lambda k: differences[k].max(), default=0)
        checks.check(f"{what}: the batched renderer draws the classic picture, at least 99.9 % of "
                     f"the pixels alike, and at most one in 100000 more than 8 apart", picked.size
                     and (picked == 0).mean() >= 0.999 and (picked > 8).mean() <= 1e-5,
                     f"{len(frames)} frames, {(picked == 0).mean():.4%} alike, "
                     f"{(picked > 8).sum()} pixels more than 8 apart, the largest "
                     f"{picked.max(initial=0)} in frame {worst + 1}")

    alike(range(len(differences)), "the whole visit")
    first, last = (clocks[n - 1] for n in close_up)
    alike([k for k in range(len(differences)) if first <= start + (k + 1) * 1000 // fps <= last],
          f"at the person by the edge, {edge[0]:.1f}, {edge[2]:.1f}")
    for name in ("all", "shifted"):  # a gigabyte of frames
        shutil.rmtree(scratch / name)
    made_clips(options, checks, scratch, lines, fps, films["batched"], (clocks[-1] - start) / 1000,
               {name: (process.communicate(timeout=240)[1].splitlines(), process.returncode)
                for name, process in made.items()})


def made_clips(options, checks, scratch, lines, fps, film, length, made):
    # The clips made beside the replay's frames (each its standard error's lines and its status),
    # and one the program cannot write.
    (said, status), (stop_said, stopped), (_, killed) = made.values()
    found, duration = clips.streams(scratch / "clip.webm") or ({}, None)
    video, audio = found.get("video", {}), found.get("audio", {})
    checks.check(f"the visit made into a clip: VP9 and Opus at {fps} frames a second, the replay's "
                 f"{len(film)} frames, as long as the visit ({length:.2f} s)", status == 0 and
                 video.get("codec_name") == "vp9" and audio.get("codec_name") == "opus" and
                 video.get("r_frame_rate") == f"{fps}/1" and video.get("nb_read_frames") ==
                 str(len(film)) and duration is not None and length <= duration < length + 0.25,
                 f"status {status}, {found}, {duration} s")
    checks.check("it says once what it made, on standard error", len(said) == 1 and
                 said[0].startswith(f"throngwick: clip.webm: {len(film)} frames, "), said)
    width, height = (int(video.get(side, 0)) for side in ("width", "height"))
    quality = [clips.psnr(clip, clips.luma(h.picture(path))) for clip, path in
               zip(clips.brightness(scratch / "clip.webm", width, height), film)]
    # Over the clip; a frame that is not the replay's falls far below 25 dB.
    worst = int(np.argmin(quality)) if quality else 0
    checks.check("its pictures are the replay's frames, at a PSNR of at least 35 dB over the clip "
                 "and of 25 dB in each", len(quality) == len(film) and np.mean(quality) >= 35 and
                 min(quality) >= 25, f"{np.mean(quality):.1f} dB on average, the worst "
                 f"{min(quality, default=0):.1f} dB in frame {worst + 1}")
    clips.check_pick_heard(checks, scratch / "clip.webm", lines, fps, "its sound")

    found, duration = clips.streams(scratch / "stopped.webm") or ({}, None)
    video, at = found.get("video", {}), stop_said[-1].split()[-3] if stop_said else "0"
    checks.check("a clip at 30 frames a second ended by SIGTERM: the program ends by the signal "
                 "after finishing the file, which plays to where it stopped",
                 stopped == -signal.SIGTERM and len(stop_said) == 1 and
                 stop_said[0].startswith("throngwick: stopped.webm: stopped at frame ") and
                 video.get("r_frame_rate") == "30/1" and video.get("nb_read_frames") == at and
                 duration is not None and abs(duration - int(at) / 30) < 0.05,
                 f"status {stopped}, {stop_said}, {found}, {duration} s")
    clips.check_pick_heard(checks, scratch / "stopped.webm", lines, 30, "its sound")
    found, duration = clips.streams(scratch / "killed.webm") or ({}, None)
    video, audio = (int(found.get(kind, {}).get("nb_read_frames", 0))
                    for kind in ("video", "audio"))
    checks.check("killed outright, it leaves a clip that plays up to its last cluster",
                 killed == -signal.SIGKILL and video >= fps and audio > 0, f"{found}, {duration} s")
    clip = scratch / "no-folder" / "clip.webm"
    refused(checks, "a clip that cannot be written is refused before any window", options.release,
            ["--replay", "visit.txt", "--video", str(clip)], scratch,
            f"{clip}: cannot write it: No such file or directory")


def control(deb):
    # A package's control fields, each by its first line.
    text = subprocess.run(["dpkg-deb", "-f", str(deb)], capture_output=True, text=True,
                          check=True).stdout
    return dict(line.split(": ", 1) for line in text.splitlines() if line and not line[0].isspace())


def package(options, checks):
    debs = {name: next(Path(options.package).glob(f"{name}_*.deb"), None)
            for name in ("throngwick", "throngwick-data")}
    checks.require("both packages are built (scripts/package.sh)", all(debs.values()))
    fields, data = control(debs["throngwick"]), control(debs["throngwick-data"])
    version = fields["Version"]
    checks.check("the program needs the pictures and sounds of its own version, which are the "
                 "same on every architecture", data["Version"] == version and
                 f"throngwick-data (= {version})," in fields["Depends"] and
                 data["Architecture"] == "all", fields["Depends"])
    unpacked, elsewhere = Path(options.scratch) / "unpacked", Path(options.scratch) / "elsewhere"
    shutil.rmtree(unpacked, ignore_errors=True)
    elsewhere.mkdir(parents=True, exist_ok=True)
    subprocess.run(["dpkg-deb", "-x", str(debs["throngwick"]), str(unpacked)], check=True)
    checks.check("the program's package holds no pictures or sounds",
                 not (unpacked / "usr" / "share" / "throngwick").exists())
    subprocess.run(["dpkg-deb", "-x", str(debs["throngwick-data"]), str(unpacked)], check=True)

    # Started as the menu starts it: the desktop entry's command, found on the path.
    share = unpacked / "usr" / "share"
    desktop = next((share / "applications").glob("*.desktop"))
    entry = dict(line.split("=", 1) for line in desktop.read_text().splitlines() if "=" in line)
    command = entry["Exec"].split()
    installed = shutil.which(command[0], path=str(unpacked / "usr" / "games"))
    checks.require("the menu entry starts the packaged program", installed, entry["Exec"])
    checks.check("the menu entry's icon is in the package",
                 any((share / "icons" / "hicolor").glob(f"*/apps/{entry['Icon']}.png")))
    printed = subprocess.run([installed, "--version"], cwd=elsewhere, capture_output=True,
                             text=True).stdout.splitlines()
    checks.check("--version gives the package's version and names the licence",
                 printed[:1] == [f"throngwick {version}"] and
                 "License: MIT (Expat) <https://opensource.org/license/mit>" in printed, printed)
    with Program(options, *command[1:], "--seed", "7", "--mute", cwd=elsewhere,
                 binary=installed) as program:
        hall = enter(program, checks, started(program, checks))
        checks.check("the unpacked program draws its hall from the data package's pictures",
                     hall[HALL].mean() > 20, f"brightness {hall[HALL].mean():.0f}")
        program.click(512, 400)
        checks.check("a pick works", program.wait_line(h.PICK_LINE, 10))
        program.quit(checks, "in the unpacked program")
    with Program(options, "--fullscreen", "--mute", cwd=elsewhere, binary=installed) as program:
        screen = program.x.screen()
        checks.check("--fullscreen fills the screen", program.find_window() and program.wait_shot(
            lambda shot: shot.shape[:2] == (screen.height_in_pixels, screen.width_in_pixels), 10)[1])
        program.quit(checks, "in full screen")

    # The packages' time stamp: the last commit's in a clone; in sources that are no checkout of
    # their own (a release's tarball, here unpacked inside this checkout), the changelog's latest.
    root, copy = Path(__file__).resolve().parents[2], Path(options.scratch) / "sources"
    shutil.rmtree(copy, ignore_errors=True)
    shutil.copytree(root / "packaging", copy / "packaging")
    script = f"{root}/packaging/SourceDateEpoch.cmake"
    quiet = dict(os.environ, SOURCE_DATE_EPOCH="")
    stamps = [subprocess.run(["cmake", f"-DSOURCE_DIR={folder}", "-P", script], capture_output=True,
                             text=True, env=quiet).stdout.split() for folder in (root, copy)]
    latest = next(line for line in (root / "packaging/changelog").read_text().splitlines()
                  if line.startswith(" -- ")).split(">  ")[1]
    wanted = [subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"], capture_output=True,
                             text=True).stdout.split(),
              [f"{email.utils.parsedate_to_datetime(latest).timestamp():.0f}"]]
    checks.check("the packages are stamped with the last commit's time in a clone, and with the "
                 "changelog's latest date in sources without git", stamps == wanted, stamps)


def card_line(line):
    # The middle of the card's badge for line 1 to 4: (93, 144 + 56 (line - 1)) of its 384 pixels.
    return card_point(93 / 384 - 1, 1 - (144 + 56 * (line - 1)) / 384)


def flames_over(shot, head):
    # Pixels of flame colour over a person's head, seen from the start-up view.
    x, y = (int(v) for v in h.to_pixel((head[0], head[1] + 7, head[2])))
    return flame_pixels(shot[max(0, y - 25):y + 10, max(0, x - 12):x + 12])


def regions(shot):
    # Mean colours of 16 by 4 blocks of the crowd below the backdrop.
    return shot[300:508].reshape(4, 52, 16, 64, 3).mean(axis=(1, 3))


def key_spot(crowd, start=(512, 384)):
    # A floor pixel the arrow keys reach from start (where the cursor starts) that picks somebody
    # a unit nearer than anybody else, away from cell edges, and the arrow presses that take the
    # cursor there.
    everybody = [head for people in crowd.cells.values() for head in people]
    for steps in sorted(((dx, dy) for dx in range(-12, 13) for dy in range(0, 20)),
                        key=lambda d: abs(d[0]) + abs(d[1])):
        x, y = start[0] + 16 * steps[0], start[1] + 16 * steps[1]
        point, near = h.floor_point(x, y), sorted(math.dist(head, h.floor_point(x, y))
                                                  for head in everybody)
        edge = min((point[0] + 100) % 20, -(point[0] + 100) % 20, point[2] % 10, -point[2] % 10)
        picked = crowd.picked(point)
        if y > 330 and edge > 0.5 and picked and math.dist(picked, point) + 1 < near[1]:
            return (x, y), ["ArrowRight" if steps[0] > 0 else "ArrowLeft"] * abs(steps[0]) + \
                ["ArrowDown"] * steps[1]


def printed_point(page, act="Enter"):
    # The near-plane point that a click at the cursor prints, by key (Enter) or by the mouse: in
    # a still view, where the camera stands. In the overview it picks too.
    lines = len(page.lines)
    page.key(act) if isinstance(act, str) else act()
    found = page.wait_line(h.PICK_LINE, 10, start=lines)
    return found and tuple(float(value) for value in found.groups())


def under(point, pixel, shaken=0.0):
    # Whether a printed point is the start-up view's near-plane point under the pixel; a shake
    # moves its height by up to shaken.
    near = h.near_point(*pixel)
    return bool(point) and max(abs(point[0] - near[0]), abs(point[2] - near[2])) < 1e-4 and \
        abs(point[1] - near[1]) < 1e-4 + shaken


def home(page):
    # The view once the camera is home: the backdrop above any flame the same in shots a third of
    # a second apart.
    shots, backdrop = [page.shot()], (slice(0, 240), slice(None))
    return page.wait_shot(lambda s: changed(s, shots.pop(), backdrop) == 0 or shots.append(s), 30,
                          interval=0.3)[0]


def web(options, checks):
    scratch, replayed = Path(options.scratch), Path(options.replayed)
    links = {name: Path(options.site) / name for name in os.listdir(options.site)}
    links.update({"visit.txt": replayed / "visit.txt", "desktop": replayed / "batched"})
    with Program(options, "--seed", "7", "--mute", binary=options.release) as program:
        enter(program, checks, started(program, checks))
        program.move(512, 384)  # where the keys' cursor starts
        desktop = still(program)
    with browser.Browser(scratch) as chromium:
        title, load_ms = web_visit(checks, chromium, scratch, links, desktop)
        web_touch(checks, chromium, scratch, links, title)
        web_files(checks, chromium, scratch, links, sorted((replayed / "batched").glob("*.png")))
    # A browser without WebGL is told so at once, before anything large is loaded.
    with browser.Site(scratch / "site-e", links) as site, \
            browser.Browser(scratch, ["--disable-3d-apis"]) as chromium:
        page = chromium.open(site.url())
        said = h.wait_for(lambda: "cannot draw the hall" in page.text("progress"), 5, 0.1)
        loaded = page.loaded()
        large = [path for path, _ in loaded if path.startswith(("image_data", "audio", "throngw"))]
        checks.check("without WebGL: the main message says at once that this browser cannot draw "
                     "the hall, and what to try, with nothing large loaded", said and "Try another"
                     " browser" in page.text("progress") and not large and
                     sum(size for _, size in loaded) < 100000, f"{loaded}")
    print(f"from opening the page to the title: {load_ms:.0f} ms", flush=True)


def web_visit(checks, chromium, scratch, links, desktop):
    # Keys alone, with stalls on the way home and there; the mouse and the music; Esc's silence;
    # a new build's offline copy, and the page without its server.
    crowd = h.Crowd(7)
    spot, presses = key_spot(crowd)
    picked = crowd.picked(h.floor_point(*spot))
    with browser.Site(scratch / "site-a", links) as site:
        page = chromium.open(site.url("?seed=7"))
        checks.require("the page loads and shows the title", page.wait_state("running", 60))
        title, load_ms = page.shot(), page.js("return page.state.titleMs")
        checks.check("the title shows; the console holds the loading lines and no error",
                     title.mean() > 20 and page.lines[:3] == h.LOADING and not page.errors,
                     f"brightness {title.mean():.0f}, {page.errors[:3]}")
        page.key("Tab")
        ring = page.shot()[1:3, 100:900].reshape(-1, 3).mean(axis=0)
        checks.check("Tab reaches the canvas, and a ring shows where the keys go", page.js(
            "return document.activeElement.id") == "canvas" and abs(ring - (240, 192, 96)).max()
            < 30, f"{ring}")
        page.key("Enter")
        inside = (slice(10, 500), slice(20, 1004))  # within the ring
        checks.require("Enter on the title enters the hall",
                       page.wait_shot(lambda shot: changed(shot, title, inside) > 2, 20)[1])
        hall = still(page)
        difference = np.abs(regions(hall) - regions(desktop)).mean()
        checks.check("?seed=7 shows the crowd the desktop's --seed 7 shows", difference < 6,
                     f"regions differ by {difference:.1f} levels")
        for press in presses:
            page.key(press)
        at = printed_point(page)
        checks.require(f"the arrows take the light shaft to {spot} and Enter picks there (the "
                       "desktop's near-plane point under it); the card swings in", under(at, spot)
                       and page.wait_shot(card_shown, 20)[1], at)
        eye = printed_point(page)
        # A keyboard layout's letters: Czech's key for 2 gives ě (U+011B, 27 cut to 8 bits), and
        # Cyrillic letters U+0431 to U+0434 and U+044D (1 to 4 and M cut): none of them acts.
        for character in "ěбвгдэ":
            page.type_character(character)
        time.sleep(0.5)
        checks.check("a keyboard layout's letters: none closes the hall, commands or silences",
                     page.state() == "running" and card_shown(page.shot()) and
                     not page.js("return Module.sound.silent"))
        page.key("2")
        checks.check("key 2 sends everybody home: the card goes",
                     page.wait_shot(lambda shot: not card_shown(shot), 5)[1])
        time.sleep(0.3)
        page.stall(2)  # on the way home
        home(page)
        # Enter at home picks the same person again; the page stalls a second into the travel, so
        # that the scene makes up the second it loses up to the arrival and past it.
        again = printed_point(page)
        checks.check("after a 2 s stall on the way home the camera is home (a shake may move it a "
                     "little)", under(again, spot, 0.36), again)
        time.sleep(0.8)
        page.stall(2)
        checks.require("the card swings in again", page.wait_shot(card_shown, 20)[1])
        stalled = printed_point(page)
        checks.check("after a 2 s stall during the travel the camera arrives where it arrived "
                     "without", math.dist(stalled, eye) < 3, f"{math.dist(stalled, eye):.1f} apart")
        page.key("3")
        checks.check("key 3: a fire start and the fire loop sound", page.played(range(0, 16)) and
                     page.sounding(range(16, 20)))
        clips.check_page_clip(checks, chromium.driver, page, scratch / "downloads")
        before, _ = flames_over(hall, picked), home(page)
        shot, alight = page.wait_shot(lambda shot: flames_over(shot, picked) > before + 60, 10)
        checks.check("key 3 set the person on fire: seen from home, flames over the head", alight,
                     f"{before} then {flames_over(shot, picked)} flame pixels")
        # The mouse: a click picks, and key 1 starts the music, loaded only then.
        second = next(s for s in pick_spots(crowd) if math.dist(s[1], picked) > 10)[0]
        at = printed_point(page, lambda: page.click(*second))
        checks.require("a click on the floor picks there (the desktop's near-plane point under the"
                       " pointer; a shake may move it a little); the camera flies to the person",
                       under(at, second, 0.36) and page.wait_shot(card_shown, 20)[1], at)
        page.key("1")
        heard = h.wait_for(lambda: page.js("return Module.sound.musicPeaks()"), 10)
        checks.check("key 1 starts the music, loaded then, and its level is measured", heard and
                     any(path == "audio/adagio_vocal.mp3" for path, _ in page.loaded()))
        page.key("Escape")
        checks.check("Esc closes the hall, says how to enter again, and no sound plays on, the "
                     "music and the fire loop neither", page.wait_state("closed", 10) and "Reload "
                     "the page" in page.text("notice") and h.wait_for(page.silent_for_good, 2))
        web_offline(checks, page, site)
    return title, load_ms


CACHED = """const done = arguments[arguments.length - 1];
caches.keys().then((names) => Promise.all(names.map((name) => caches.open(name).then((cache) =>
  cache.keys().then((kept) => [name, kept.length]))))).then(done);"""


def web_offline(checks, page, site):
    # A new build (its worker and list of files another build's) takes over at the next start:
    # only its cache is left. Then the page opens without its server.
    def cached():  # [cache, files] once the page's files are in
        h.wait_for(lambda: sum(n for _, n in page.driver.execute_async_script(CACHED)) >= 50, 10)
        return page.driver.execute_async_script(CACHED)

    build = cached() and page.js("return page.state.build")
    for name in ("sw.js", "files.json"):
        text = (site.folder / name).read_text().replace(build, build[::-1])
        (site.folder / name).unlink()
        (site.folder / name).write_text(text)
    page.driver.refresh()
    renewed = h.wait_for(lambda: page.state() == "running" and
                         page.js("return page.state.build") == build[::-1], 60)
    checks.check("a new build takes over at the next start, and only its cache is kept",
                 renewed and [name for name, _ in cached()] == [f"throngwick-{build[::-1]}"])
    site.server.kill()
    site.server.wait()
    page.driver.refresh()
    checks.check("with the server stopped, the page opens again from its offline copy",
                 page.wait_state("running", 60) and page.shot().mean() > 20 and
                 not page.text("problems"), page.text("problems"))


def web_touch(checks, chromium, scratch, links, title):
    # A touch screen, on a site without a picture and a sound: the title says Tap; buttons for
    # fingers and the clip's, apart, and a word to turn the phone; paused, a new size drawn.
    missing = {folder: hostile_files.linked(scratch / "gaps" / folder, links["index.html"].parent
                                            / folder, leaving)
               for folder, leaving in (("image_data", ("fire2.tga", "fire2.tga.gz")),
                                       ("audio", ("ooo_01.mp3",)))}
    with browser.Site(scratch / "site-b", dict(links, **missing)) as site:
        page = chromium.open(site.url("?seed=7"), touch=True)
        checks.require("the page loads on a touch screen", page.wait_state("running", 60))
        tapped, invitation = page.shot(), (slice(280, 340), slice(300, 724))
        checks.check("a touch screen's title says Tap: only its invitation differs",
                     changed(tapped, title, invitation) > 5 and changed(tapped, title) < 2,
                     f"{changed(tapped, title, invitation):.1f}, {changed(tapped, title):.2f}")
        checks.check("a picture and a sound that cannot be loaded are named on the page, and the "
                     "hall opens without them", "image_data/fire2.tga" in page.text("problems") and
                     "audio/ooo_01.mp3" in page.text("problems"), page.text("problems"))
        page.tap(512, 150)
        checks.require("a tap enters the hall", page.wait_shot(dark_margins, 20)[1])
        chromium.driver.find_element("id", "pause").click()
        time.sleep(1.0)
        first = page.shot()
        time.sleep(1.0)
        checks.check("the pause button pauses: two shots a second apart are the same",
                     (first == page.shot()).all())
        for width, height in ((390, 844), (844, 390)):
            page.resize(width, height, mobile=True)
            upright = width < height
            turned = h.wait_for(lambda: page.js("return getComputedStyle(document.getElementById("
                                                "'turn')).display !== 'none'") == upright, 2, 0.1)
            drawn = page.wait_shot(lambda shot: shot.mean() > 20, 3)[0]
            boxes = page.js("return ['mute', 'pause', 'fullscreen', 'clip-button', 'turn'].map("
                            "(id) => document.getElementById(id)).filter((e) => e.offsetParent)"
                            ".map((e) => [e.id, e.getBoundingClientRect().toJSON()])")
            small = [name for name, box in boxes[:4] if min(box["width"], box["height"]) < 44]
            apart = not any(min(a["right"], b["right"]) > max(a["left"], b["left"]) and
                            min(a["bottom"], b["bottom"]) > max(a["top"], b["top"])
                            for i, (_, a) in enumerate(boxes) for _, b in boxes[i + 1:])
            checks.check(f"a phone {width} by {height}: {'a' if upright else 'no'} word to turn "
                         "it; sound, pause, full screen and Record buttons each at least 44 CSS px"
                         ", apart; paused, the new size drawn", turned and len(boxes) == 4 + upright and not small and apart and drawn.mean() > 20 and
                         drawn.shape[1] == min(width, 2 * height), f"{boxes}, {drawn.shape}")
        page.js("document.getElementById('canvas').focus()")
        for _ in range(2):  # the sound's button, the pause button
            page.key("Tab")
        page.key("Enter")  # the pause button, reached by keys, lets the hall go on
        checks.check("the buttons are reached by Tab and work by keys", page.js(
            "return document.activeElement.id") == "pause" and
            page.wait_shot(lambda shot: changed(shot, drawn) > 0, 5)[1])


def web_files(checks, chromium, scratch, links, films):
    # Files that cannot be had or used: one line naming each, and the main message agrees. Then
    # the recorded visit, frame for frame: with WebGL 2 (the hall kept still) against the
    # desktop's frames, and with WebGL 1 (drawn every frame) the very same bytes.
    (scratch / "broken.json").write_text("[{\"path\": ")
    without = {name: path for name, path in links.items() if not name.startswith("throngwick.wasm")}
    with browser.Site(scratch / "site-c", dict(links, **{"files.json": scratch / "broken.json"})) \
            as holes, browser.Site(scratch / "site-d", without) as programless, \
            browser.Site(scratch / "site-f", links) as site:
        for url, file in ((holes.url(), "files.json"), (programless.url(), "throngwick.wasm"),
                          *((site.url(f"?replay{query}"), named) for query, named in (
                              ("=missing.txt", "missing.txt"), ("", "?replay="), ("=", "?replay="),
                              ("=http://example.invalid/v.txt", "example.invalid"),
                              ("=desktop/", "?replay=desktop/"), ("=visit.txt&fps=5&mute", None)))):
            page = chromium.open(url)
            said = h.wait_for(lambda: page.text("problems"), 3, 0.1)
            checks.check(f"{url.partition('?')[2] or 'a site without ' + file}: one line naming "
                         f"{file or 'what fps needs'}, and the main message agrees",
                         said and (file or "&frames") in said and
                         ("could not" in page.text("progress")) == (file is not None),
                         f"{said!r}; {page.text('progress')!r}")
        frames, problems, sounds = {}, {}, {}
        for version in (2, 1):
            page = chromium.open(site.url(f"?replay=visit.txt&fps=5&frames&mute&webgl={version}"))
            frames[version] = page.run(COMPARE_FRAMES, version == 2)
            problems[version] = page.text("problems")
            sounds[version] = [path for path, _ in page.loaded() if path.startswith("audio/")]
    worst = min(frames[2], key=lambda frame: frame[1], default=(0, 0.0, 0))
    checks.check("the recorded visit replays in the browser frame for frame, at least 99 % of "
                 "each frame's pixels within 8 levels of the desktop's; ?mute loads no sound",
                 len(frames[2]) == len(films) > 80 and worst[1] >= 0.99 and
                 not any(problems.values()) and not any(sounds.values()),
                 f"{len(frames[2])} frames of {len(films)}; the worst, {worst[0]}, "
                 f"{worst[1]:.4%} alike, largest difference "
                 f"{max((frame[2] for frame in frames[2]), default=0)}; {problems}, {sounds}")
    checks.check("WebGL 1, drawing the hall every frame, gives the very frames WebGL 2 gives "
                 "keeping it still", [f[3] for f in frames[2]] == [f[3] for f in frames[1]])


# Run in the page: each frame the replay hands out, with its own hash, and when asked, against
# the desktop's of the same number, served beside the page; [number, share of pixels within 8
# levels, largest difference, hash] each.
COMPARE_FRAMES = """
const done = arguments[arguments.length - 1];
(async () => {
  const results = [];
  for (let frame; (frame = await page.nextFrame()); ) {
    const web = frame.image.data;
    let hash = 2166136261;
    for (let i = 0; i < web.length; ++i) hash = Math.imul(hash ^ web[i], 16777619) >>> 0;
    if (!arguments[0]) { results.push([frame.number, 1, 0, hash]); continue; }
    const name = String(frame.number).padStart(6, "0");
    const response = await fetch(`desktop/frame-${name}.png`);
    if (!response.ok) { results.push([frame.number, 0, 255, hash]); continue; }
    const picture = await createImageBitmap(await response.blob());
    const surface = new OffscreenCanvas(picture.width, picture.height);
    surface.getContext("2d").drawImage(picture, 0, 0);
    const desktop = surface.getContext("2d").getImageData(0, 0, picture.width, picture.height).data;
    let within = 0, largest = 0;
    for (let i = 0; i < web.length; i += 4) {
      const d = Math.max(Math.abs(web[i] - desktop[i]), Math.abs(web[i + 1] - desktop[i + 1]),
                         Math.abs(web[i + 2] - desktop[i + 2]));
      within += d <= 8;
      largest = Math.max(largest, d);
    }
    results.push([frame.number, within / (web.length / 4), largest, hash]);
  }
  return results;
})().then(done, (error) => done(String(error)));
"""


def keys(options, checks):
    scratch = Path(tempfile.mkdtemp(dir=options.scratch))
    pictures, visit = scratch / "pictures", scratch / "keys.txt"
    # The file to record into is emptied only by a program that starts: not by one without a
    # display, nor by one whose -display lacks its name, which is refused as our options are.
    kept, fresh = scratch / "kept.txt", scratch / "fresh.txt"
    kept.write_text("an earlier visit\n")
    refused(checks, "-display without its name: one line naming it, the usage and status 2",
            options.binary, ["--record", str(kept), "-display"], scratch, "-display needs a value")
    outcomes = [run(options.binary, ["--record", str(path)], scratch, display=False)
                for path in (kept, fresh)]
    checks.check("a program that cannot start leaves the file to record into as it was, or none",
                 [status for status, _ in outcomes] == [1, 1] and not fresh.exists() and
                 kept.read_text() == "an earlier visit\n", outcomes)
    with Program(options, "--record", str(visit), audio=True, seed=SEED,
                 env={"XDG_PICTURES_DIR": str(pictures)}) as program:
        enter(program, checks, started(program, checks))
        screen = program.x.screen()
        for size in [(screen.width_in_pixels, screen.height_in_pixels), (h.WIDTH, h.HEIGHT)]:
            program.key("F11")
            checks.check(f"F11: the window is {size[0]} by {size[1]}",
                         h.wait_for(lambda: program.geometry()[2:] == size, 10))
            time.sleep(0.5)  # a few frames of each size

        def pause(where):  # P, time for the slowest frame to show it, then a second still
            program.key("p")
            time.sleep(1.5)
            first = program.shot()
            time.sleep(1.0)
            last = program.shot()
            checks.check(f"P {where}: two shots a second apart are the same", (first == last).all())
            return last

        paused, folder = pause("in the overview"), pictures / "Throngwick"
        program.key("F12")
        saved = program.wait_error(rf"^throngwick: picture saved as ({folder}/throngwick-"
                                   r"\d{8}-\d{6}\.png)$", 10)
        picture = saved and h.picture(saved.group(1))
        checks.check("F12 saves Throngwick/throngwick-YYYYMMDD-HHMMSS.png in the pictures folder, "
                     "with the window's pixels, and says so", saved and picture.shape ==
                     paused.shape and (picture[1:, 1:] == paused[1:, 1:]).all())
        shutil.rmtree(folder)
        folder.write_text("a file where the folder was\n")
        program.key("F12")
        checks.check("F12 where the folder cannot be made: one line naming it; the program goes on",
                     program.wait_error(rf"^throngwick: no picture saved: .*{folder}", 10) and
                     program.running())
        program.key("p")

        program.key("m")
        # Without the pointer: the arrows take the light shaft to a person, Enter picks there.
        program.move(512, 150)
        target, presses = key_spot(h.Crowd(SEED), (512, 150))
        lines, at_click = len(program.lines), program.frames()
        program.key(*[press.replace("Arrow", "") for press in presses], "Return")
        found = program.wait_line(h.PICK_LINE, 10, start=lines)
        off = found and max(abs(float(a) - b) for a, b in zip(found.groups(), h.near_point(*target)))
        checks.require(f"the arrows take the light shaft to {target} and Enter picks there",
                       found and off < 1e-4, off)
        time.sleep(0.5)
        travelling = pause("on the camera's way")
        checks.check("M: the click's crowd voice is not heard", not dark_margins(travelling) and
                     h.rms(program.sound(at_click, 1.5), h.RATE // 10).max() < 5)
        program.key("p", "m")
        checks.require("the camera reaches the person", program.wait_shot(card_shown, 20)[1])
        at_fire = program.frames()
        program.key("3")
        checks.check("M again: the fire's start is heard",
                     h.rms(program.sound(at_fire, 1.0), h.RATE // 10).max() > 1000)
        program.quit(checks, "after the keys")

    # Replayed at 10 frames a second, both at once: the visit, and the same as a visit of the
    # first format, written before P paused: its P did nothing, and so it does in its replay.
    older = scratch / "visit-1.txt"
    older.write_text(visit.read_text().replace("throngwick-visit 3\n", "throngwick-visit 1\n", 1))
    films = {visit: scratch / "film", older: scratch / "film-1"}
    for folder in films.values():
        shutil.rmtree(folder, ignore_errors=True)
    replays = [subprocess.Popen(replaying(options, recording, folder, "--fps", "10"), cwd=scratch,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
               for recording, folder in films.items()]
    statuses = [process.wait(timeout=240) for process in replays]

    def longest_still(recording, folder):  # the replay's most frames alike in a row
        # Counted in the hall, outside the stalls the visit went through (which its replay films
        # as the hall stood then): the title and a stall last as long as a loaded machine takes.
        lines = recording.read_text().split("\n")
        clicked = next(n for n, line in enumerate(lines) if line.startswith("mouse "))
        entered = next(int(line.split()[1]) for line in lines[clicked:]
                       if line.startswith("frame "))
        clocks = [int(line.split()[1]) for line in lines if line.startswith(("start ", "frame "))]
        stalls = [(a, b) for a, b in zip(clocks, clocks[1:]) if b - a > 1000]
        frames = [path.read_bytes() for path in sorted(folder.glob("frame-*.png"))]
        counted = [clock >= entered and not any(a < clock < b for a, b in stalls)
                   for clock in range(clocks[0] + 200, clocks[0] + 100 * len(frames) + 1, 100)]
        alike = "".join("1" if a == b and c else " "
                        for a, b, c in zip(frames, frames[1:], counted))
        return max(map(len, alike.split()), default=0)

    still, still_older = (longest_still(recording, folder) for recording, folder in films.items())
    checks.check("the recording holds the keys and replays, the pauses too: ten frames alike in "
                 "a row", statuses[0] == 0 and "special 12 " in visit.read_text() and still >= 10,
                 still)
    # The first frame of each size F11 gave is drawn whole, as the next one of that size is.
    paths = sorted(films[visit].glob("frame-*.png"))
    sizes = [Image.open(path).size for path in paths]
    firsts = [k for k in range(1, len(sizes) - 1) if sizes[k - 1] != sizes[k] == sizes[k + 1]]
    alike = [round((np.abs(h.picture(paths[k]) - h.picture(paths[k + 1])).max(axis=2) <= 8).mean(),
                   3) for k in firsts]
    checks.check("the replay's first frame at full screen and back is drawn whole, no part of it "
                 "black or left from before", len(firsts) == 2 and min(alike) > 0.9, alike)
    checks.check("as a visit of the first format, the same recording replays without its pauses",
                 statuses[1] == 0 and still_older < 5, still_older)


def shown(record):
    # The clicks and keys a recording holds, in order.
    return [line for line in record.read_text().split("\n")[:-1]
            if line.split(" ")[0] in ("mouse", "key")]


def unattended(options, checks):
    scratch = Path(options.scratch)
    records = {name: scratch / f"{name}.txt" for name in "abc"}
    commanded = lambda name: any(line.startswith(("key 49", "key 50", "key 51"))
                                 for line in shown(records[name]))
    show = lambda name, where: Program(options, "--attract", "0", "--seed", "11", "--record",
                                       str(records[name]), "-geometry", where)
    # Three shows of one seed at once, side by side (a covered window draws nothing): a is
    # watched, b handed back, c the same show again beyond the screen's edge.
    with show("a", "+0+0") as a, show("b", f"+0+{h.HEIGHT}") as b, \
            show("c", f"+{h.WIDTH + 80}+0") as c:
        for program in (a, b, c):
            checks.require("the window shows", program.find_window())
        checks.check("without input, a pick", a.wait_line(h.PICK_LINE, 20))
        checks.check("--attract 0: the hall entered before the first frame, without the title",
                     "mouse 2 1 " in records["a"].read_text().split("\nframe ")[0])
        checks.require("b's show picks", b.wait_line(h.PICK_LINE, 20))
        b.key("a")
        checks.check("then a state: key 1, 2 or 3",
                     h.wait_for(lambda: commanded("a") and commanded("c"), 20))
        checks.check("and the way home", a.wait_shot(dark_margins, 15)[1])
        checks.check("two runs of one seed play the same show", len(shown(records["c"])) >= 5 and
                     shown(records["c"])[:5] == shown(records["a"])[:5], shown(records["c"]))
        checks.check("a key hands the hall back at once: the show clicks and types no more",
                     shown(records["b"])[4:] == ["key 97 512 99"], shown(records["b"]))
        for program, number in [(a, signal.SIGINT), (b, signal.SIGTERM), (c, signal.SIGHUP)]:
            others = [other.process for other in (a, b, c) if other.running() and other != program]
            for other in others:  # no load of ours meanwhile
                other.send_signal(signal.SIGSTOP)
            sent = time.monotonic()
            program.process.send_signal(number)
            status, seconds = program.process.wait(timeout=10), time.monotonic() - sent
            for other in others:
                other.send_signal(signal.SIGCONT)
            checks.check(f"{number.name} ends the program within a second, as the signal does",
                         status == -number and seconds < 1, f"status {status}, {seconds:.2f} s")

    replays = [subprocess.Popen(replaying(options, record, record.with_suffix(""), "--fps", "4"),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
               for record in records.values()]
    checks.check("the three recordings replay", [process.wait(timeout=240) for process in replays]
                 == [0, 0, 0], [process.returncode for process in replays])

    # Without a driver named, the audio system looks for a device: its own messages stay unseen.
    with Program(options, "--screensaver", env={"SDL_AUDIODRIVER": ""}) as saver:
        screen = saver.x.screen().width_in_pixels, saver.x.screen().height_in_pixels
        checks.check("--screensaver fills the screen", saver.find_window() and h.wait_for(
            lambda: saver.geometry()[2:] == screen, 10))
        time.sleep(1.5)  # the grace, the pointer resting unseen
        pointer = saver.x.screen().root.query_pointer()
        saver.move(pointer.root_x + (400 if pointer.root_x < screen[0] - 400 else -400),
                   pointer.root_y)
        checks.check("the pointer's first move after the grace, a single one, ends it with "
                     "status 0", h.wait_for(lambda: not saver.running(), 10) and
                     saver.process.returncode == 0, saver.process.returncode)
        errors = Path(saver.stderr.name).read_text().splitlines()
        checks.check("standard error holds lines of ours only", all(
            line.startswith("throngwick: ") for line in errors), errors)
    with Program(options, "--screensaver", "--mute") as saver:
        checks.require("the screensaver shows", saver.find_window())
        time.sleep(1.5)
        subprocess.run(["xdotool", "key", "a"], check=True)  # the window has the whole screen
        checks.check("a key ends it with status 0", h.wait_for(lambda: not saver.running(), 10) and
                     saver.process.returncode == 0, saver.process.returncode)


JOURNEYS = {"title_and_hall": title_and_hall, "visits": visits,
            "hostile_files": hostile_files_journey, "hostile_resize": hostile_resize, "soak": soak,
            "replay": replay, "package": package, "web": web, "keys": keys,
            "unattended": unattended}


def main():
    parser = argparse.ArgumentParser(description="Journeys through the real program")
    parser.add_argument("journey", choices=JOURNEYS)
    parser.add_argument("--screenshots", help="where to keep the README's pictures")
    for option, what in [("--binary", None), ("--run-dir", None), ("--scratch", None),
                         ("--release", "the optimised program, for the replays"),
                         ("--package", "the folder the Debian package is built in"),
                         ("--site", "the browser version's site (build-web/site)"),
                         ("--replayed", "the replay journey's visit.txt and batched frames")]:
        parser.add_argument(option, required=not what, help=what,
                            type=lambda path: str(Path(path).resolve()))
    options = parser.parse_args()
    options.release = options.release or options.binary
    Path(options.scratch).mkdir(parents=True, exist_ok=True)
    checks = h.Checks()
    try:
        JOURNEYS[options.journey](options, checks)
    except Exception as error:  # a failed requirement or a broken step ends the journey
        checks.check("the journey went to its end", False, f"{type(error).__name__}: {error}")
    print(f"{options.journey}: {checks.passed} passed, {checks.failed} failed", flush=True)
    sys.exit(1 if checks.failed else 0)


if __name__ == "__main__":
    main()
