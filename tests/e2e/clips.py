# Reads the clips the program makes (--video) and the page records, with Debian's ffprobe and
# ffmpeg: their streams, their pictures' brightness and their sound, and where in a recorded visit
# its first pick falls.

import datetime
import json
import re
import shutil
import subprocess
import time

import numpy as np

RATE = 48000  # Opus's own rate, at which the sound is decoded


def streams(path):
    # {"video": ..., "audio": ...} as ffprobe reads them, each frame decoded and counted, and the
    # file's duration in seconds (None when its end was not written); None if it cannot be read.
    result = subprocess.run(
        ["ffprobe", "-v", "error", "-count_frames", "-show_entries", "stream=codec_type,"
         "codec_name,nb_read_frames,r_frame_rate,width,height:format=duration", "-of", "json",
         str(path)], capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        return None
    found = json.loads(result.stdout)
    kinds = {stream["codec_type"]: stream for stream in found.get("streams", [])}
    duration = found.get("format", {}).get("duration")
    return kinds, float(duration) if duration not in (None, "N/A") else None


def made_seconds(path):
    # How far into the visit a clip being made has been written, as ffprobe reads it.
    probe = subprocess.run(["ffprobe", "-v", "quiet", "-select_streams", "v", "-show_entries",
                            "packet=pts_time", "-of", "csv=p=0", str(path)], capture_output=True,
                           text=True, timeout=60)
    times = [float(time) for time in probe.stdout.split() if time.replace(".", "").isdigit()]
    return max(times, default=0.0)


def brightness(path, width, height):
    # The clip's pictures as it holds them: the luma of each, in video range, rows from the top.
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", str(path), "-f", "rawvideo", "-pix_fmt",
                          "yuv420p", "-"], capture_output=True, check=True, timeout=120).stdout
    planes = np.frombuffer(raw, np.uint8).reshape(-1, width * height * 3 // 2)
    return planes[:, :width * height].reshape(-1, height, width).astype(float)


def luma(rgb):
    # A picture's luma as BT.709 gives it in video range, which the clip says it uses.
    return 16 + 219 / 255 * (0.2126 * rgb[..., 0] + 0.7152 * rgb[..., 1] + 0.0722 * rgb[..., 2])


def psnr(a, b):
    return 10 * np.log10(255 ** 2 / max(((a - b) ** 2).mean(), 1e-10))


def sound(path):
    # The clip's sound, both sides mixed, as 16-bit values at RATE.
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", str(path), "-f", "s16le", "-ac", "1",
                          "-ar", str(RATE), "-"], capture_output=True, check=True,
                         timeout=120).stdout
    return np.frombuffer(raw, np.int16).astype(float)


def first_pick(lines, fps):
    # The replay's frame (1 for the first) that the visit's first pick comes before, at fps frames
    # a second: the frame that first reaches the clock of the recorded frame the second button
    # release came before (the first enters the hall).
    start = int(next(line for line in lines if line.startswith("start ")).split()[1])
    releases = [i for i, line in enumerate(lines) if line.startswith("mouse ") and
                line.split()[2] == "1"]
    clock = int(next(line for line in lines[releases[1]:] if line.startswith("frame ")).split()[1])
    return max(1, -(-(clock - start) * fps // 1000))


def check_pick_heard(checks, clip, lines, fps, what):
    # Silence before the frame of the first pick, and the crowd's voice starting within one frame
    # of it and loud in the half second after.
    frame = first_pick(lines, fps)
    at = (frame - 1) / fps
    heard = sound(clip)
    begins = np.argmax(np.abs(heard) > 30) / RATE
    before = np.abs(heard[:int((at - 1 / fps) * RATE)]).max(initial=0)
    after = np.sqrt((heard[int(at * RATE):int((at + 0.5) * RATE)] ** 2).mean())
    checks.check(f"{what}: silent before the first pick's frame, {frame}, the crowd's voice "
                 f"heard within a frame of it", before < 30 and abs(begins - at) <= 1 / fps and
                 after > 1000, f"the frame at {at:.3f} s, the voice from {begins:.3f} s, before "
                 f"it at most {before:.0f}, loudness after {after:.0f}")


def check_page_clip(checks, driver, page, folder):
    # A clip recorded in the page: R starts it, the button stops it, and the browser is offered a
    # file of the right name that plays with its sound (the page's sound plays meanwhile). The
    # page draws a few frames a second in software, so its frames are few.
    shutil.rmtree(folder, ignore_errors=True)  # a clip of an earlier run would count
    folder.mkdir(parents=True)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": str(folder)})
    page.key("r")
    time.sleep(0.6)
    mark = driver.find_element("id", "clip-mark")
    checks.check("R starts a clip, and a mark says it is recording and for how long",
                 mark.is_displayed() and mark.text.startswith("Recording 0:0"), mark.text)
    time.sleep(2.0)
    driver.find_element("id", "clip-button").click()
    named = re.compile(r"^throngwick-(\d{8}-\d{6})\.webm$")
    saved = []
    time.sleep(0.5)
    for _ in range(100):
        saved = [path for path in folder.iterdir() if named.match(path.name)]
        if saved:
            break
        time.sleep(0.1)
    when = datetime.datetime.strptime(named.match(saved[0].name)[1], "%Y%m%d-%H%M%S") \
        if saved else datetime.datetime.min
    found, _ = (streams(saved[0]) if saved else None) or ({}, None)
    video, audio = found.get("video", {}), found.get("audio", {})
    heard = np.sqrt((sound(saved[0]) ** 2).mean()) if audio else 0
    checks.check("the button stops it and the page offers it as throngwick-YYYYMMDD-HHMMSS.webm "
                 "of the local time: VP9 pictures and Opus sound, the fire heard",
                 abs((datetime.datetime.now() - when).total_seconds()) < 60 and
                 video.get("codec_name") == "vp9" and int(video.get("nb_read_frames", 0)) >= 5
                 and audio.get("codec_name") == "opus" and heard > 100,
                 f"{[path.name for path in saved]}, {found}, loudness {heard:.0f}")
