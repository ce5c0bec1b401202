#!/usr/bin/env python3
"""The web build in headless Chromium over WebDriver (plain HTTP and JSON): started from its button, the page
shows demo-capture's frames of part one; Space moves it to part two as in the capture run, 9 lifts the limiter
above 50 frames per second, q ends it; the sound plays without gaps and the console shows no error.

    web_test.py SITE_DIR DEMO_CAPTURE
"""

import contextlib
import functools
import http.server
import json
import subprocess
import sys
import threading
import time
from urllib import error, request

SETTLE_SECONDS = 3        # the demo runs this long before the first look
PART_ONE_FRAMES = 1000    # the first frames, all of part one (which lasts 1001)
KEY_LATENCY_FRAMES = 100  # Space acts within this many frames of the last frame seen before it
CHROMIUM_FLAGS = """--headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-sync
    --disable-background-networking --disable-component-update --disable-dev-shm-usage --window-size=1000,700
    --autoplay-policy=no-user-gesture-required""".split()

# FNV-1a 64 of the canvas as demo-capture hashes a frame (each pixel 0x00RRGGBB, little-endian) and how
# many pixels are not black; then counts presents, and every sound buffer the page schedules: whether it
# holds any sound, and whether it starts later than the previous one ends (the stream ran dry).
WATCH_PAGE = """
window.novuRead = () => {
  const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 256, 256).data;
  const fnv = (h, b) => BigInt.asUintN(64, (h ^ BigInt(b)) * 0x100000001b3n);
  let hash = 0xcbf29ce484222325n, lit = 0;
  for (let i = 0; i < d.length; i += 4) {
    hash = [d[i + 2], d[i + 1], d[i], 0].reduce(fnv, hash);
    if (d[i] | d[i + 1] | d[i + 2]) ++lit;
  }
  return {hash: hash.toString(16).padStart(16, '0'), lit: lit};
};
window.novuSeen = {presents: 0, buffers: 0, loud: 0, gaps: 0, audio: ''};
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function(...a) { ++novuSeen.presents; return put.apply(this, a); };
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function(when) {
  if (novuSeen.buffers++ && Math.abs(when - novuSeen.end) > 1e-3) ++novuSeen.gaps;
  novuSeen.end = when + this.buffer.duration;
  if (this.buffer.getChannelData(0).some((v) => v != 0)) ++novuSeen.loud;
  novuSeen.audio = this.context.state;
  return start.apply(this, arguments);
};
"""


class WebDriver:
    def __init__(self, port):
        self.base, self.session = f"http://127.0.0.1:{port}", None

    # Paths are the session's once there is one.
    def __call__(self, method, path, body=None):
        url = self.base + (f"/session/{self.session}" if self.session else "") + path
        data = None if body is None else json.dumps(body).encode()
        try:
            with request.urlopen(request.Request(url, data, {"Content-Type": "application/json"}, method=method),
                                 timeout=60) as response:
                return json.load(response)["value"]
        except error.HTTPError as e:
            raise RuntimeError(f"{method} {path}: {e.read().decode(errors='replace')[:300]}") from None

    def run(self, script, *args):
        return self("POST", "/execute/sync", {"script": script, "args": list(args)})

    # Held for a few frames: the demo reads one key slot per frame, which a release in the same
    # frame empties again, as with a real keyboard.
    def press(self, key):
        actions = [dict(type="keyDown", value=key), dict(type="pause", duration=100), dict(type="keyUp", value=key)]
        self("POST", "/actions", {"actions": [{"type": "key", "id": "keyboard", "actions": actions}]})

    def wait_for(self, script, seconds, *args):
        end = time.monotonic() + seconds
        while not (value := self.run(script, *args)) and time.monotonic() < end:
            time.sleep(0.05)
        return value


def capture_hashes(capture, frames, *keys):
    out = subprocess.check_output([capture, "--frames", str(frames), "--hashes", "-", *keys], text=True)
    return [line.split()[1] for line in out.splitlines()]


def check_page(browser, page, capture, report):
    part_one = capture_hashes(capture, PART_ONE_FRAMES)
    browser("POST", "/url", {"url": page})
    if not report("the page loads and offers its start button",
                  browser.wait_for("return !document.getElementById('start').disabled", 20)):
        return
    browser.run(WATCH_PAGE)
    button, = browser("POST", "/element", {"using": "css selector", "value": "#start"}).values()
    browser("POST", f"/element/{button}/click", {})
    time.sleep(SETTLE_SECONDS)

    seen = browser.run("return novuRead()")
    frame = part_one.index(seen["hash"]) if seen["hash"] in part_one else -1
    report(f"the canvas shows frame {frame} of part one, {seen['lit']} pixels lit", frame >= 0 and seen["lit"])

    browser.press(" ")
    changed = browser.wait_for("const s = novuRead(); return !arguments[0].includes(s.hash) && s", 5, part_one)
    pressed = next((a for a in (range(frame, frame + KEY_LATENCY_FRAMES) if changed and frame >= 0 else [])
                    if changed["hash"] in capture_hashes(capture, a + 300, "--keys", f"{a}:space")), -1)
    report(f"Space moves the demo to part two (pressed after frame {pressed})", pressed >= 0)

    sound = browser.run("return novuSeen")
    report(f"sound plays: {sound['buffers']} buffers, {sound['loud']} not silent, {sound['gaps']} gaps, "
           f"context {sound['audio']}", sound["loud"] and not sound["gaps"] and sound["audio"] == "running")

    browser.press("9")
    time.sleep(0.5)
    before, start = browser.run("return novuSeen.presents"), time.monotonic()
    time.sleep(3)
    fps = (browser.run("return novuSeen.presents") - before) / (time.monotonic() - start)
    report(f"with the limiter off the demo runs at {fps:.0f} frames per second", fps > 55)

    browser.press("q")
    ended = "return document.getElementById('note').textContent.startsWith('The end')"
    report("q ends the demo", browser.wait_for(ended, 10))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    results = []

    def report(what, ok):
        results.append(bool(ok))
        print(f"{'ok  ' if ok else 'FAIL'} {what}", flush=True)
        return ok

    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=sys.argv[1]))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    # chromedriver picks a free port and says which once it listens.
    driver = subprocess.Popen(["chromedriver", "--port=0"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              text=True)
    ready = next((line for line in driver.stdout if "started successfully on port" in line), None)
    if not ready:
        sys.exit("web: chromedriver did not start")
    browser = WebDriver(ready.split()[-1].rstrip("."))
    # A session has a fresh profile of its own, which ending it removes.
    capabilities = {"browserName": "chrome", "goog:loggingPrefs": {"browser": "ALL"},
                    "goog:chromeOptions": {"binary": "/usr/bin/chromium", "args": CHROMIUM_FLAGS}}
    try:
        browser.session = browser("POST", "/session", {"capabilities": {"alwaysMatch": capabilities}})["sessionId"]
        check_page(browser, f"http://127.0.0.1:{server.server_address[1]}/index.html", sys.argv[2], report)
        errors = [e["message"] for e in browser("POST", "/se/log", {"type": "browser"}) if e["level"] == "SEVERE"]
        report("the console shows no error" + "".join("\n     " + e for e in errors), not errors)
    except RuntimeError as e:
        report(f"WebDriver: {e}", False)
    finally:
        with contextlib.suppress(OSError, RuntimeError):
            browser.session and browser("DELETE", "")
        driver.terminate()
        driver.wait()
        server.shutdown()
    failed = results.count(False)
    print(f"web: {len(results) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
