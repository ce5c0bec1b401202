#!/usr/bin/env python3
"""The web build in headless Chromium, driven over WebDriver (plain HTTP and JSON).

Serves the page, starts the demo from its button, and checks: the canvas shows one of
demo-capture's frames of part one and is not black; Space moves the demo to part two (the
picture equals a frame of the capture run with Space pressed where the page pressed it); sound
is scheduled without gaps and is not silence; with the limiter off (9) the loop runs faster
than 50 frames per second while the page still answers; q ends the demo; and the browser's
console has no error.

    web_test.py SITE_DIR DEMO_CAPTURE
"""

import functools
import http.server
import json
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

SETTLE_SECONDS = 3        # the demo runs this long before the first look
PART_ONE_FRAMES = 1000    # the first frames, all of part one (which lasts 1001)
KEY_LATENCY_FRAMES = 100  # Space acts within this many frames of the last frame seen before it
FPS_SECONDS = 3
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-dev-shm-usage", "--autoplay-policy=no-user-gesture-required", "--window-size=1000,700",
]
ELEMENT = "element-6066-11e4-a52e-4f735466cecf"

# FNV-1a 64 of the canvas as demo-capture hashes a frame (each pixel 0x00RRGGBB, little-endian),
# in 16-bit limbs; and how many pixels are not black.
READ_CANVAS = """
window.novuRead = () => {
const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 256, 256).data;
let l0 = 0x2325, l1 = 0x8422, l2 = 0x9ce4, l3 = 0xcbf2, lit = 0;
const step = (b) => {
  l0 ^= b;
  const t0 = l0 * 0x1b3, t1 = l1 * 0x1b3 + (t0 >>> 16), t2 = l2 * 0x1b3 + l0 * 0x100 + (t1 >>> 16);
  const t3 = l3 * 0x1b3 + l1 * 0x100 + (t2 >>> 16);
  l0 = t0 & 0xffff; l1 = t1 & 0xffff; l2 = t2 & 0xffff; l3 = t3 & 0xffff;
};
for (let i = 0; i < d.length; i += 4) {
  step(d[i + 2]); step(d[i + 1]); step(d[i]); step(0);
  if (d[i] | d[i + 1] | d[i + 2]) ++lit;
}
const hex = (l) => l.toString(16).padStart(4, '0');
return {hash: hex(l3) + hex(l2) + hex(l1) + hex(l0), lit: lit};
};
"""

# Counts presents, and every sound buffer the page schedules: whether it holds any sound, and
# whether it starts later than the previous one ends (the stream ran dry).
WATCH_PAGE = """
window.novuSeen = {presents: 0, buffers: 0, loud: 0, gaps: 0, audio: ''};
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function() {
  ++novuSeen.presents;
  return put.apply(this, arguments);
};
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function(when) {
  if (novuSeen.buffers++ && Math.abs(when - novuSeen.end) > 1e-3) ++novuSeen.gaps;
  novuSeen.end = when + this.buffer.duration;
  if (this.buffer.getChannelData(0).some((v) => v != 0)) ++novuSeen.loud;
  novuSeen.audio = this.context.state;
  return start.apply(this, arguments);
};
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class WebDriver:
    def __init__(self, port):
        self.base = f"http://127.0.0.1:{port}"
        self.session = ""

    def call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as response:
                return json.load(response)["value"]
        except urllib.error.HTTPError as e:
            raise RuntimeError(f"{method} {path}: {e.read().decode(errors='replace')[:300]}") from None

    def open(self, profile):
        flags = CHROMIUM_FLAGS + [f"--user-data-dir={profile}"]
        capabilities = {"browserName": "chrome", "goog:loggingPrefs": {"browser": "ALL"},
                        "goog:chromeOptions": {"binary": "/usr/bin/chromium", "args": flags}}
        self.session = self.call("POST", "/session", {"capabilities": {"alwaysMatch": capabilities}})["sessionId"]

    def __call__(self, method, path, body=None):
        return self.call(method, f"/session/{self.session}{path}", body)

    def run(self, script, *args):
        return self("POST", "/execute/sync", {"script": script, "args": list(args)})

    # Held for a few frames: the demo reads one key slot per frame, which a release in the same
    # frame empties again, as with a real keyboard.
    def press(self, key):
        actions = [{"type": "keyDown", "value": key}, {"type": "pause", "duration": 100}, {"type": "keyUp", "value": key}]
        self("POST", "/actions", {"actions": [{"type": "key", "id": "keyboard", "actions": actions}]})

    def wait_for(self, script, seconds, *args):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            value = self.run(script, *args)
            if value:
                return value
            time.sleep(0.05)
        return None


def capture_hashes(capture, frames, keys=""):
    args = [capture, "--frames", str(frames), "--hashes", "-"] + (["--keys", keys] if keys else [])
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    return [line.split()[1] for line in out.splitlines()]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(site):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def check_page(browser, page, capture, report):
    part_one = capture_hashes(capture, PART_ONE_FRAMES)
    browser("POST", "/url", {"url": page})
    if not report("the page loads and offers its start button",
                  browser.wait_for("return !document.getElementById('start').disabled", 20)):
        return
    browser.run(WATCH_PAGE + READ_CANVAS)
    button = browser("POST", "/element", {"using": "css selector", "value": "#start"})[ELEMENT]
    browser("POST", f"/element/{button}/click", {})
    time.sleep(SETTLE_SECONDS)

    seen = browser.run("return novuRead()")
    frame = part_one.index(seen["hash"]) if seen["hash"] in part_one else -1
    report(f"the canvas shows frame {frame} of part one, {seen['lit']} pixels lit", frame >= 0 and seen["lit"] > 0)

    browser.press(" ")
    changed = browser.wait_for("const s = novuRead(); return !arguments[0].includes(s.hash) && s", 5, part_one)
    pressed = -1
    if changed and frame >= 0:
        for after in range(frame, frame + KEY_LATENCY_FRAMES):
            if changed["hash"] in capture_hashes(capture, after + 300, f"{after}:space"):
                pressed = after
                break
    report(f"Space moves the demo to part two (pressed after frame {pressed})", pressed >= 0)

    sound = browser.run("return novuSeen")
    report(f"sound plays: {sound['buffers']} buffers, {sound['loud']} not silent, {sound['gaps']} gaps, "
           f"context {sound['audio']}", sound["loud"] > 0 and sound["gaps"] == 0 and sound["audio"] == "running")

    browser.press("9")
    time.sleep(0.5)
    before, start = browser.run("return novuSeen.presents"), time.monotonic()
    time.sleep(FPS_SECONDS)
    fps = (browser.run("return novuSeen.presents") - before) / (time.monotonic() - start)
    report(f"with the limiter off the demo runs at {fps:.0f} frames per second", fps > 55)

    browser.press("q")
    report("q ends the demo", browser.wait_for("return document.getElementById('note').textContent.startsWith('The end')", 10))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    site, capture = sys.argv[1], sys.argv[2]
    results = []

    def report(what, ok):
        results.append(bool(ok))
        print(f"{'ok  ' if ok else 'FAIL'} {what}", flush=True)
        return ok

    server = serve(site)
    port = free_port()
    with tempfile.TemporaryDirectory() as profile:
        driver = subprocess.Popen(["chromedriver", f"--port={port}"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        browser = WebDriver(port)
        try:
            for _ in range(100):
                try:
                    browser.call("GET", "/status")
                    break
                except (OSError, RuntimeError):
                    time.sleep(0.1)
            browser.open(profile)
            check_page(browser, f"http://127.0.0.1:{server.server_address[1]}/index.html", capture, report)
            errors = [e["message"] for e in browser("POST", "/se/log", {"type": "browser"}) if e["level"] == "SEVERE"]
            report("the console shows no error" + "".join("\n     " + e for e in errors), not errors)
        except RuntimeError as e:
            report(f"WebDriver: {e}", False)
        finally:
            if browser.session:
                try:
                    browser("DELETE", "")
                except (OSError, RuntimeError):
                    pass
            driver.terminate()
            driver.wait()
            server.shutdown()
    failed = results.count(False)
    print(f"web: {len(results) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
