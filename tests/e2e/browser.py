# Drives the browser version as a person would, in headless Chromium (WebGL on SwiftShader):
# serves a folder on the loopback address, opens the page, clicks, types and taps (WebDriver, and
# Chrome's DevTools for touches), reads the console and takes screenshots of the canvas as numpy
# arrays.

import io
import math
import os
import re
import socket
import subprocess
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

import harness as h

# SwiftShader's WebGL, and none of the browser's own traffic to the outside.
FLAGS = ["--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--disable-quic", "--disable-default-apps", "--mute-audio",
         "--autoplay-policy=user-gesture-required"]
VIEWPORT = (1024, 600)  # the canvas then is 1024 by 512, as the desktop's window


class Site:
    # Python's http.server on a free loopback port, serving a folder of links to the given files
    # and folders; a context manager.

    def __init__(self, folder, links):
        self.folder = Path(folder)
        self.folder.mkdir(parents=True, exist_ok=True)
        for name, target in links.items():
            link = self.folder / name
            if link.is_symlink() or link.exists():
                link.unlink()
            link.symlink_to(Path(target).resolve())
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        self.server = subprocess.Popen(
            ["/usr/bin/python3", "-m", "http.server", str(self.port), "--bind", "127.0.0.1",
             "--directory", str(self.folder)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        h.wait_for(self._listening, 20, 0.05)

    def _listening(self):
        with socket.socket() as client:
            return client.connect_ex(("127.0.0.1", self.port)) == 0

    def url(self, query=""):
        return f"http://127.0.0.1:{self.port}/index.html{query}"

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.server.kill()
        self.server.wait()


class Browser:
    # One headless Chromium with a profile of its own; a context manager.

    def __init__(self, scratch, flags=()):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in FLAGS + list(flags) + [f"--window-size={VIEWPORT[0]},{VIEWPORT[1] + 200}",
                             f"--user-data-dir={tempfile.mkdtemp(prefix='profile-', dir=scratch)}"]:
            options.add_argument(flag)
        if os.geteuid() == 0:
            options.add_argument("--no-sandbox")  # Chromium's sandbox refuses to run as root
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.set_script_timeout(600)

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.driver.quit()

    def open(self, url, size=VIEWPORT, touch=False):
        # The page at this size in CSS pixels, whatever the window around it takes; with touch, a
        # touch screen's coarse pointer.
        page = Page(self.driver)
        page.resize(*size, mobile=touch)
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                    {"enabled": touch, "maxTouchPoints": 5})
        self.driver.get(url)
        return page


class Page:
    # The page as loaded: its state, console lines, canvas, and the person's input.

    def __init__(self, driver):
        self.driver, self.printed, self.errors = driver, [], []

    @property
    def lines(self):
        # What the program printed up to now, as a program's output is read as it comes.
        self.read_console()
        return self.printed

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def resize(self, width, height, mobile=False):
        # The page's size in CSS pixels, as a window's or a phone's turned.
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})

    def state(self):
        return self.js("return page.state.phase")

    def wait_state(self, phase, timeout):
        return h.wait_for(lambda: self.state() == phase, timeout, 0.05)

    def read_console(self):
        # Lines the page logged since the last read: what the program printed, and errors apart.
        for entry in self.driver.get_log("browser"):
            text = re.sub(r'^\S+ \d+:\d+ ', "", entry["message"])
            if text.startswith('"') and text.endswith('"'):
                text = text[1:-1]
            (self.errors if entry["level"] == "SEVERE" else self.printed).append(text)

    def wait_line(self, pattern, timeout, start=0):
        deadline = time.monotonic() + timeout
        while True:
            found = next(filter(None, map(re.compile(pattern).search, self.lines[start:])), None)
            if found or time.monotonic() > deadline:
                return found
            time.sleep(0.1)

    def canvas(self):
        return self.driver.find_element("id", "canvas")

    def shot(self):
        # The canvas as shown, rows from the top, as an array of RGB.
        png = self.canvas().screenshot_as_png
        return h.picture(io.BytesIO(png))

    def wait_shot(self, condition, timeout, interval=0.1):
        return h.wait_shot(self.shot, condition, timeout, interval)

    def _page_point(self, x, y):
        # The page's point (from its top left) over the middle of the canvas's pixel (x, y).
        return self.js(
            "const c = document.getElementById('canvas'), b = c.getBoundingClientRect();"
            "return [b.left + (arguments[0] + 0.5) * b.width / c.width,"
            "        b.top + (arguments[1] + 0.5) * b.height / c.height];", x, y)

    def _at(self, x, y):
        # Canvas pixel (x, y) as an offset from the canvas's middle, in whole page pixels: the
        # pixel the point lies in, left or right of the middle alike.
        box = self.canvas().rect
        px, py = self._page_point(x, y)
        return ActionChains(self.driver).move_to_element_with_offset(
            self.canvas(), math.floor(px - box["x"] - box["width"] / 2),
            math.floor(py - box["y"] - box["height"] / 2))

    def move(self, x, y):
        self._at(x, y).perform()

    def click(self, x, y, button=1):
        chain = self._at(x, y)
        (chain.click() if button == 1 else chain.context_click()).perform()

    def key(self, key):
        named = {"Escape": Keys.ESCAPE, "Enter": Keys.ENTER, "Tab": Keys.TAB,
                 "ArrowLeft": Keys.ARROW_LEFT, "ArrowRight": Keys.ARROW_RIGHT,
                 "ArrowUp": Keys.ARROW_UP, "ArrowDown": Keys.ARROW_DOWN}
        ActionChains(self.driver).send_keys(named.get(key, key)).perform()

    def type_character(self, character):
        # A key that gives this character, as a keyboard layout's key does, through Chrome's input.
        for kind in ("keyDown", "keyUp"):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                "type": kind, "key": character, **({"text": character} if kind == "keyDown" else {})})

    def stall(self, seconds):
        # The page's thread kept busy, as a slow phone's long frame or a hidden tab stalls it.
        self.js(
            "const end = performance.now() + arguments[0]; while (performance.now() < end) {}",
            seconds * 1000)

    def loaded(self):
        # Every file the page loaded so far: [path on the site, bytes transferred].
        return self.js(
            "return performance.getEntriesByType('resource').map((e) => "
            "[new URL(e.name).pathname.slice(1), e.transferSize])")

    def text(self, element):
        return self.driver.find_element("id", element).text

    def tap(self, x, y):
        # A finger down and up at canvas pixel (x, y), through Chrome's own touch input.
        px, py = self._page_point(x, y)
        point = {"x": px, "y": py}
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchStart", "touchPoints": [point]})
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchEnd", "touchPoints": []})

    def sounding(self, channels):
        # Whether any of the sound output's channels plays now.
        return self.js(
            "return arguments[0].some((channel) => Module.sound.playing(channel))", list(channels))

    def played(self, channels):
        # Whether any of the channels was given a sound to play, sounding still or not.
        return self.js(
            "return arguments[0].some((channel) => Module.sound.channels[channel])", list(channels))

    def silent_for_good(self):
        # No playback nor music left, and the sound output closed.
        return self.js(
            "const s = Module.sound; return s.closed && !s.music && s.context.state === 'closed' &&"
            " !s.channels.some((c, i) => s.playing(i))")

    def run(self, script, *arguments):
        # An asynchronous script: its last argument is the callback with the result.
        return self.driver.execute_async_script(script, *arguments)
