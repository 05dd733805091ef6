#!/usr/bin/env python3
"""The browser version's figures, for scripts/bench.sh, in headless Chromium with WebGL on
SwiftShader and the frame benchmarks' crowd:

- the bytes transferred before the title shows, and everything the page can ever load (the
  page, the program, every picture, every sound and the music, as a plain static server sends
  them);
- the time from opening the page to the title, unthrottled and at 4 Mbit/s with 150 ms of
  latency (Chromium's network emulation), each from an empty cache;
- Lighthouse's four mobile scores, when LIGHTHOUSE names its command (bench.sh installs it from
  npm for the benchmark only);
- the idle hall's frame time with WebGL 2 (the hall kept still) and WebGL 1 (drawn every frame).

web_bench.py SITE SCRATCH: prints one line of key=value figures (written to web.txt by bench.sh).
"""

import json
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import browser  # noqa: E402

CROWD_SEED = 20240601  # the frame benchmarks' crowd
PAGE = ["index.html", "page.css", "sound.js", "page.js", "clip.js", "files.json", "sw.js", "manifest.json",
        "icons/throngwick-192.png", "icons/throngwick-512.png"]
PHONE = {"offline": False, "latency": 150, "downloadThroughput": 4e6 / 8,
         "uploadThroughput": 1e6 / 8}

# In the page: frames of the idle hall, each finished by reading a pixel back, timed together.
FRAMES = """
const done = arguments[arguments.length - 1];
const gl = document.getElementById("canvas").getContext(Module.webGlVersion == 2 ? "webgl2" : "webgl");
const pixel = new Uint8Array(4);
const frame = () => { Module._webFrame(); gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel); };
for (let i = 0; i < 20; ++i) frame();
const begun = performance.now();
for (let i = 0; i < arguments[0]; ++i) frame();
done((performance.now() - begun) / arguments[0]);
"""

# In the page: the bytes transferred up to the title, the page itself included.
BEFORE_TITLE = """
const title = page.state.titleMs;
const document = performance.getEntriesByType("navigation")[0].transferSize;
return performance.getEntriesByType("resource").filter((e) => e.responseEnd <= title)
  .reduce((sum, e) => sum + e.transferSize, document);
"""


def everything(site):
    # Every file the page can load, as served: the compressed copy where there is one.
    listed = json.loads((site / "files.json").read_text())["files"]
    names = PAGE + [entry["path"] + (".gz" if entry["packed"] else "") for entry in listed
                    if not entry["path"].endswith("-tap.tga")]
    return sum((site / name).stat().st_size for name in names if (site / name).exists())


def title_ms(chromium, site, links, scratch, conditions=None):
    # From opening the page to its title, on a site of its own (an empty cache, no offline copy).
    with browser.Site(scratch / f"title-{time.monotonic_ns()}", links) as server:
        driver = chromium.driver
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.clearBrowserCache", {})
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", conditions or {
            "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page = chromium.open(server.url(f"?seed={CROWD_SEED}&mute"))
        page.wait_state("title", 120)
        shown = driver.execute_script("return page.state.titleMs")
        before = driver.execute_script(BEFORE_TITLE)
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page.wait_state("running", 120)
        return shown, before


def lighthouse(url, scratch):
    # Lighthouse's mobile scores (0 to 100) by category, or none without it.
    command = os.environ.get("LIGHTHOUSE")
    if not command:
        return {}
    report = scratch / "lighthouse.json"
    flags = " ".join(browser.FLAGS + ["--no-sandbox"])
    subprocess.run([command, url, "--quiet", "--output=json", f"--output-path={report}",
                    "--only-categories=performance,accessibility,best-practices,seo",
                    f"--chrome-flags={flags}"], check=True, timeout=600,
                   env=dict(os.environ, CHROME_PATH="/usr/bin/chromium"))
    categories = json.loads(report.read_text())["categories"]
    return {f"lighthouse_{key.replace('-', '_')}": round(value["score"] * 100)
            for key, value in categories.items()}


def main():
    site, scratch = Path(sys.argv[1]), Path(sys.argv[2])
    scratch.mkdir(parents=True, exist_ok=True)
    links = {name: site / name for name in os.listdir(site)}
    figures = {"bytes_all": everything(site)}
    with browser.Browser(scratch) as chromium:
        fast = [title_ms(chromium, site, links, scratch) for _ in range(3)]
        slow = [title_ms(chromium, site, links, scratch, PHONE) for _ in range(3)]
        figures["bytes_before_title"] = max(before for _, before in fast + slow)
        figures["title_ms"] = statistics.median(shown for shown, _ in fast)
        figures["title_phone_ms"] = statistics.median(shown for shown, _ in slow)
        with browser.Site(scratch / "site", links) as server:
            for version in (2, 1):
                page = chromium.open(server.url(f"?seed={CROWD_SEED}&mute&webgl={version}"))
                page.wait_state("running", 60)
                page.click(512, 150)
                page.move(150, 440)
                time.sleep(2)
                figures[f"frame_webgl{version}_ms"] = min(page.run(FRAMES, 60) for _ in range(3))
            figures.update(lighthouse(server.url(f"?seed={CROWD_SEED}"), scratch))
    print(" ".join(f"{key}={value:.6g}" if isinstance(value, float) else f"{key}={value}"
                   for key, value in figures.items()))


if __name__ == "__main__":
    main()
