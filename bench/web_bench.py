# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""The page's figures in headless Chromium, each beside its floor: the download, the start, the
CPU while both cars drive, and the memory of a level of 253 huge tiles.

Usage: web_bench.py WEB-FOLDER [--brief]
"""
import glob
import gzip
import os
import shutil
import statistics
import struct
import sys
import tempfile
import threading
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
import engines  # noqa: E402
import serve  # noqa: E402

FOLDER = os.path.abspath(sys.argv[1])
BRIEF = "--brief" in sys.argv
HERE = os.path.dirname(os.path.abspath(__file__))


def download():
    files = [os.path.join(FOLDER, "index.html")] + sorted(
        glob.glob(os.path.join(FOLDER, "vornak-*.js")) + glob.glob(os.path.join(FOLDER, "*.wasm")))
    plain = sum(os.path.getsize(f) for f in files)
    packed = sum(len(gzip.compress(open(f, "rb").read(), 9)) for f in files)
    print("web download: %d bytes (%.0f KB) for %s; %d bytes (%.0f KB) gzipped" % (
        plain, plain / 1024, ", ".join(os.path.basename(f) for f in files), packed, packed / 1024))


def site():
    root = tempfile.mkdtemp(prefix="vornak-bench-")
    shutil.copytree(FOLDER, root, dirs_exist_ok=True)
    for name in os.listdir(os.path.join(HERE, "web")):
        shutil.copy(os.path.join(HERE, "web", name), root)
    server = serve.server(root, 0)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return root, server, "http://127.0.0.1:%d/" % server.server_address[1]


def first_frame(driver, url):
    driver.get("about:blank")
    driver.get(url)
    for _ in range(400):
        mark = driver.execute_script(
            "const m = performance.getEntriesByName('vornak-first-frame'); "
            "return m.length ? m[0].startTime : null")
        if mark is not None:
            return mark
        time.sleep(0.025)
    raise RuntimeError("no first frame at " + url)


def start(driver, url):
    runs = 3 if BRIEF else 11
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    game, floor = [], []
    for _ in range(runs + 1):  # the first pair warms up
        game.append(first_frame(driver, url))
        floor.append(first_frame(driver, url + "floor-start.html"))
    game, floor = game[1:], floor[1:]
    ratios = [a / b for a, b in zip(game, floor)]
    print("web start, navigation to the first drawn frame over 127.0.0.1 (median of %d): "
          "page %.1f ms, floor %.1f ms, ratio %.2f (min %.2f, max %.2f)" % (
              runs, statistics.median(game), statistics.median(floor),
              statistics.median(ratios), min(ratios), max(ratios)))


def task_seconds(driver):
    metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return next(m["value"] for m in metrics if m["name"] == "TaskDuration")


def cpu(driver, url):
    seconds, rounds = (2, 1) if BRIEF else (10, 3)
    driver.execute_cdp_cmd("Performance.enable", {})
    pairs = []
    for _ in range(rounds):
        figures = []
        for page in (url, url + "floor-cpu.html"):
            driver.get(page)
            time.sleep(2)  # past the start, to the steady state
            if page == url:
                driver.execute_script("""
                    document.getElementById('run').click();
                    let up = true;
                    const press = (key, code) => document.getElementById('keys').dispatchEvent(
                        new KeyboardEvent('keydown', {key, code, bubbles: true}));
                    setInterval(() => {
                        press(up ? 'ArrowUp' : 'ArrowDown');
                        press(up ? 'w' : 's', up ? 'KeyW' : 'KeyS');
                        up = !up;
                    }, 1000);""")
            before = task_seconds(driver)
            time.sleep(seconds)
            figures.append(task_seconds(driver) - before)
        pairs.append(figures)
    ratios = [game / floor for game, floor in pairs]
    print("web CPU while both cars drive for %d s (TaskDuration, %d rounds): page %.3f s, "
          "floor %.3f s, ratio %.2f (min %.2f, max %.2f)" % (
              seconds, rounds, statistics.median(p[0] for p in pairs),
              statistics.median(p[1] for p in pairs), statistics.median(ratios), min(ratios),
              max(ratios)))


def bmp(width, height, bits):
    """An uncompressed BMP of one colour: 24 bits, or 1 bit with a two-colour palette."""
    row = ((width * bits + 31) // 32) * 4
    palette = b"\x00\x80\x00\x00\xff\xff\xff\x00" if bits == 1 else b""
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + row * height, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, row * height, 2835, 2835,
                       2 if bits == 1 else 0, 0)
    return header + info + palette + b"\x00" * (row * height)


class HugeTiles(serve.Handler):
    picture = b""

    def do_GET(self):
        name = urllib.parse.unquote(urllib.parse.urlparse(self.path).path)
        if name.startswith("/Tile") and name.endswith(".bmp"):
            self.send_response(200)
            self.send_header("Content-Type", "image/bmp")
            self.send_header("Content-Length", str(len(self.picture)))
            self.end_headers()
            self.wfile.write(self.picture)
        elif name == "/TilesMap.txt":
            tiles = bytes(b for b in range(256) if b not in (0, 10, 13))
            body = (tiles + tiles[:300 - len(tiles)])[:300]
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            super().do_GET()


def memory(driver, root):
    import functools
    import http.server
    for bits in (24, 1):
        HugeTiles.picture = bmp(1024, 1024, bits)
        server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(HugeTiles, directory=root))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        driver.get("http://127.0.0.1:%d/" % server.server_address[1])
        for _ in range(600):
            state = driver.execute_script(
                "return [document.getElementById('message').hidden, "
                "performance.getEntriesByName('vornak-first-frame').length, "
                "document.getElementById('message-text').textContent, Module.HEAPU8 ? "
                "Module.HEAPU8.length : 0]")
            if not state[0] or state[1]:
                break
            time.sleep(0.1)
        outcome = "refused: " + state[2] if not state[0] else "played"
        print("web memory, 253 distinct tiles of 1024 x 1024 at %d bits (%d KB each): %s; "
              "the program's memory %d MiB, the tab alive" % (
                  bits, len(HugeTiles.picture) // 1024, outcome, state[3] // (1024 * 1024)))
        server.shutdown()
        server.server_close()


def main():
    download()
    root, server, url = site()
    driver = engines.Chromium(800, 600, 1).driver
    try:
        start(driver, url)
        cpu(driver, url)
        memory(driver, root)
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
