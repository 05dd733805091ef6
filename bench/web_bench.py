#!/usr/bin/env python3
"""The browser version's figures, for scripts/bench.sh: the bytes the page loads (as served and
gzip-compressed), the time from opening the page to the title, and the idle hall's frame time in
headless Chromium with WebGL on SwiftShader, with the same crowd as the frame benchmarks.

web_bench.py SITE SCRATCH: prints one line of key=value figures (written to web.txt by bench.sh).
"""

import gzip
import json
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import browser  # noqa: E402

CROWD_SEED = 20240601  # the frame benchmarks' crowd
PAGE = ["index.html", "page.css", "sound.js", "page.js", "clip.js", "files.json"]

# In the page: frames of the idle hall, each finished by reading a pixel back, timed together.
FRAMES = """
const done = arguments[arguments.length - 1];
const gl = document.getElementById("canvas").getContext("webgl");
const pixel = new Uint8Array(4);
const frame = () => { Module._webFrame(); gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel); };
for (let i = 0; i < 20; ++i) frame();
const begun = performance.now();
for (let i = 0; i < arguments[0]; ++i) frame();
done((performance.now() - begun) / arguments[0]);
"""


def main():
    site, scratch = Path(sys.argv[1]), Path(sys.argv[2])
    files = PAGE + [entry["path"] for entry in json.loads((site / "files.json").read_text())]
    served = [(site / name).read_bytes() for name in files if (site / name).exists()]
    figures = {"bytes_served": sum(map(len, served)),
               "bytes_gzip": sum(len(gzip.compress(data, 6)) for data in served)}
    links = {name: site / name for name in os.listdir(site)}
    with browser.Site(scratch / "site", links) as server, browser.Browser(scratch) as chromium:
        titles = []
        for _ in range(3):
            page = chromium.open(server.url(f"?seed={CROWD_SEED}&mute"))
            page.wait_state("running", 60)
            titles.append(chromium.driver.execute_script("return page.state.titleMs"))
        page.click(512, 150)
        page.move(150, 440)
        time.sleep(2)
        frame_ms = [page.run(FRAMES, 60) for _ in range(3)]
    figures["title_ms"] = statistics.median(titles)
    figures["frame_ms"] = min(frame_ms)
    print(" ".join(f"{key}={value:.6g}" if isinstance(value, float) else f"{key}={value}"
                   for key, value in figures.items()))


if __name__ == "__main__":
    main()
