# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""The page's figures in headless Chromium, each beside its floor: the download, the start, the
start from the offline worker's cache, the CPU while both cars drive on the desktop and on a
phone, the latency of a touch, and the memory of a level of 253 huge tiles.

Usage: web_bench.py WEB-FOLDER [--brief]
"""
import glob
import gzip
import os
import shutil
import statistics
import struct
import subprocess
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


# The cars 15 columns apart, each with a lane of its own, as the floor draws its squares: with
# the cars side by side, one put of their bounding box would cost what two small ones do.
CARS = b"17\r\n8\r\ndown\r\n2\r\n8\r\ndown\r\n"


def site():
    root = tempfile.mkdtemp(prefix="vornak-bench-")
    shutil.copytree(FOLDER, root, dirs_exist_ok=True)
    for name in os.listdir(os.path.join(HERE, "web")):
        shutil.copy(os.path.join(HERE, "web", name), root)
    with open(os.path.join(root, "Cars.txt"), "wb") as cars:
        cars.write(CARS)
    # The worker's list carries each file's hash; it is made anew for the changed level.
    subprocess.run([sys.executable, os.path.join(HERE, "..", "packaging", "web", "make-worker.py"),
                    root, os.path.join(HERE, "..", "window", "web", "page", "service-worker.js")],
                   check=True)
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


def paired(these, those):
    """Two series of times in ms, run by run: their medians and the ratios of the pairs."""
    ratios = [a / b for a, b in zip(these, those)]
    return "%.1f ms against %.1f ms: ratio %.2f (min %.2f, max %.2f)" % (
        statistics.median(these), statistics.median(those), statistics.median(ratios),
        min(ratios), max(ratios))


def start(driver, url):
    runs = 3 if BRIEF else 11
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    game, floor = [], []
    for _ in range(runs + 1):  # the first pair warms up
        game.append(first_frame(driver, url))
        floor.append(first_frame(driver, url + "floor-start.html"))
    print("web start, navigation to the first drawn frame over 127.0.0.1 (median of %d): "
          "the page against the floor, %s" % (runs, paired(game[1:], floor[1:])))


def task_seconds(driver):
    metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return next(m["value"] for m in metrics if m["name"] == "TaskDuration")


def cpu(driver, url, where):
    """Both cars drive up and down; the floor's canvas stands at the game's size on the screen."""
    seconds, rounds = (2, 1) if BRIEF else (10, 5)
    driver.execute_cdp_cmd("Performance.enable", {})
    pairs = []
    for _ in range(rounds):
        figures = []
        driver.get(url)
        time.sleep(2)  # past the start, to the steady state
        size = driver.execute_script(
            "const r = document.getElementById('playfield').getBoundingClientRect();"
            "return [r.width, r.height]")
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
        driver.get(url + "floor-cpu.html?width=%s&height=%s" % tuple(size))
        time.sleep(2)
        before = task_seconds(driver)
        time.sleep(seconds)
        figures.append(task_seconds(driver) - before)
        pairs.append(figures)
    ratios = [game / floor for game, floor in pairs]
    print("web CPU while both cars drive for %d s, %s (TaskDuration): page %.3f s, floor %.3f s, "
          "median ratio %.2f; rounds %s" % (
              seconds, where, statistics.median(p[0] for p in pairs),
              statistics.median(p[1] for p in pairs), statistics.median(ratios),
              " ".join("%.2f" % r for r in ratios)))


def touch_latency(chromium, url):
    """From a touch's timeStamp to the program having stored the request, for taps on the pads."""
    taps = 40 if BRIEF else 400
    driver = chromium.driver
    driver.get(url)
    time.sleep(1.5)
    driver.execute_script("""
        window.latencies = [];
        window.deliveries = [];
        let stamp = 0;
        window.addEventListener('pointerdown', (event) => {
            stamp = event.timeStamp;
            deliveries.push(performance.now() - stamp);
        }, true);
        // The program's first call of an export binds it anew; the setter takes that binding.
        let touch = Module._vornak_touch;
        const timed = (...args) => {
            touch(...args);
            if (args[1] === 0) latencies.push(performance.now() - stamp);
        };
        Object.defineProperty(Module, '_vornak_touch', {
            get: () => timed, set: (bound) => { touch = bound; }});""")
    centres = driver.execute_script("""
        return ['up', 'down'].map((d) => {
            const r = document.querySelector('[aria-label="Car 1 ' + d + '"]').getBoundingClientRect();
            return [r.x + r.width / 2, r.y + r.height / 2]; });""")
    stored = 0
    for tap in range(taps):
        x, y = centres[tap % 2]
        chromium.fingers("touchStart", (1, x, y))
        stored += driver.execute_script("return UTF8ToString(Module._vornak_car_request(1))") == (
            "up", "down")[tap % 2]
        chromium.fingers("touchEnd")
    latencies = driver.execute_script("return latencies")
    deliveries = driver.execute_script("return deliveries")
    own = sorted(whole - delivered for whole, delivered in zip(latencies, deliveries))
    latencies, deliveries = sorted(latencies), sorted(deliveries)
    if stored != taps or len(latencies) != taps:
        raise RuntimeError("%d of %d taps stored, %d timed" % (stored, taps, len(latencies)))
    print("web touch latency, from the touch event's timeStamp to the request stored, %d taps on "
          "the phone: median %.2f ms, 95th percentile %.2f ms, max %.2f ms; of that, the "
          "browser's delivery to the page's first listener: median %.2f ms, 95th percentile "
          "%.2f ms; the page's own part: median %.2f ms, 95th percentile %.2f ms" % (
              taps, statistics.median(latencies), latencies[int(0.95 * taps) - 1], latencies[-1],
              statistics.median(deliveries), deliveries[int(0.95 * taps) - 1],
              statistics.median(own), own[int(0.95 * taps) - 1]))


def offline_start(driver, url):
    """The first drawn frame from the worker's cache beside the same start from the network."""
    runs = 3 if BRIEF else 11
    driver.get(url)
    for _ in range(200):
        if driver.execute_script("return !document.getElementById('offline-ready').hidden"):
            break
        time.sleep(0.1)
    else:
        raise RuntimeError("the worker never got ready")
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    online, offline = [], []
    for _ in range(runs + 1):  # the first pair warms up
        driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        online.append(first_frame(driver, url))
        driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": False})
        offline.append(first_frame(driver, url))
        if not driver.execute_script("return navigator.serviceWorker.controller !== null"):
            raise RuntimeError("the worker does not control the page")
    print("web offline start, first drawn frame (median of %d, alternating): from the worker's "
          "cache against the network, %s" % (runs, paired(offline[1:], online[1:])))


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


def large_pictures(driver):
    """One 4096 x 4096 tile on all 300 cells, and car 1 facing down at that size too: the first
    frame, and the page's work while car 1 drives, each move start setting its picture anew."""
    if not shutil.which("convert"):
        print("web large pictures: skipped, ImageMagick's convert makes the car and is missing")
        return
    root = tempfile.mkdtemp(prefix="vornak-large-")
    for name in os.listdir(FOLDER):
        if name.endswith((".html", ".js", ".wasm", ".css", ".gif")) or name in (
                "BlocksMap.txt", "Cars.txt"):
            shutil.copy(os.path.join(FOLDER, name), root)
    with open(os.path.join(root, "TilesMap.txt"), "wb") as tiles:
        tiles.write(b"g" * 300)
    with open(os.path.join(root, "Tileg.bmp"), "wb") as tile:
        tile.write(bmp(4096, 4096, 24))
    subprocess.run(["convert", "-size", "4096x4096", "xc:#e02b2b",
                    os.path.join(root, "Car1down.gif")], check=True)
    server = serve.server(root, 0)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        driver.execute_cdp_cmd("Performance.enable", {})
        started = time.monotonic()
        driver.get("http://127.0.0.1:%d/" % server.server_address[1])
        from selenium.common.exceptions import TimeoutException
        while time.monotonic() - started < 300:
            try:
                if driver.execute_script(
                        "return performance.getEntriesByName('vornak-first-frame').length > 0"
                        " || !document.getElementById('message').hidden"):
                    break
            except TimeoutException:
                pass  # the tab is busy decoding; a blocked tab is what this measures
            time.sleep(0.05)
        first = time.monotonic() - started
        message = driver.execute_script("return document.getElementById('message').hidden ? '' :"
                                        " document.getElementById('message-text').textContent")
        if message:
            print("web large pictures: refused: " + message)
            return
        driver.execute_script("""
            document.getElementById('run').click();
            let down = true;
            setInterval(() => {
                document.getElementById('keys').dispatchEvent(new KeyboardEvent('keydown',
                    {key: down ? 'ArrowDown' : 'ArrowUp', bubbles: true}));
                down = !down;
            }, 1000);""")
        before = task_seconds(driver)
        time.sleep(4)
        busy = task_seconds(driver) - before
        print("web large pictures, 300 cells of one 4096 x 4096 tile and a 4096 x 4096 car: "
              "%.1f s to the first frame; while car 1 drives, the page is busy %.0f %% of the "
              "time" % (first, 100 * busy / 4))
    finally:
        server.shutdown()
        shutil.rmtree(root)


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
        cpu(driver, url, "desktop 800 x 600")
        memory(driver, root)
        if not BRIEF:
            large_pictures(driver)
    finally:
        driver.quit()
    phone = engines.Chromium(844, 390, 3, coarse=True)
    try:
        cpu(phone.driver, url, "phone sideways 844 x 390 at devicePixelRatio 3")
        touch_latency(phone, url)
    finally:
        phone.quit()
    # A fresh origin for the worker, so that no other figure is taken through it.
    worker_server = serve.server(root, 0)
    threading.Thread(target=worker_server.serve_forever, daemon=True).start()
    desktop = engines.Chromium(800, 600, 1).driver
    try:
        offline_start(desktop, "http://localhost:%d/" % worker_server.server_address[1])
    finally:
        desktop.quit()
        worker_server.shutdown()
        server.shutdown()
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
