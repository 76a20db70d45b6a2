# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""The page in a real browser, driven as a player would: headless Chromium, Firefox or
WebKitGTK (engines.py). A test that an engine cannot run says why, by name.

Usage: page_test.py WEB-FOLDER [ENGINE] [TEST ...]   (the folder that vornak-<version>-web.zip
unpacks to; ENGINE chromium, firefox or webkit, chromium by default)
"""
import base64
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse
import zlib

from selenium.common.exceptions import TimeoutException
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(__file__))
import engines  # noqa: E402
import serve  # noqa: E402

FOLDER = (os.path.abspath(sys.argv.pop(1)) if __name__ == "__main__" and len(sys.argv) > 1
          else None)
ENGINE = engines.ENGINES[sys.argv.pop(1) if len(sys.argv) > 1 and sys.argv[1] in engines.ENGINES
                         else "chromium"]


def needs(capability, why):
    """Skips a test, by name and with the reason, in an engine that lacks what it needs."""
    def wrap(test):
        def run(self, *args):
            if not getattr(ENGINE, capability):
                self.skipTest("%s: %s" % (ENGINE.name, why))
            return test(self, *args)
        run.__name__, run.__doc__ = test.__name__, test.__doc__
        return run
    return wrap


def only_chromium(why):
    def wrap(test):
        def run(self, *args):
            if ENGINE.name != "chromium":
                self.skipTest("%s: %s" % (ENGINE.name, why))
            return test(self, *args)
        run.__name__, run.__doc__ = test.__name__, test.__doc__
        return run
    return wrap
PAGE_FILES = [name for name in os.listdir(FOLDER)
              if name.endswith((".html", ".js", ".wasm", ".css", ".png", ".webmanifest"))
              ] if FOLDER else []
LEVEL_FILES = [name for name in os.listdir(FOLDER)
               if name.endswith((".txt", ".bmp", ".gif")) and not name.isupper()
               and name not in ("README.txt", "THIRD-PARTY.txt")] if FOLDER else []


def decode_png(data):
    """RGBA rows of an 8-bit, non-interlaced PNG, as Chromium's screenshots are."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert depth == 8 and colour in (2, 6)
    channels = 4 if colour == 6 else 3
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up = previous[x]
            corner = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = line
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, channels)])
    return rows


def read_bytes(path):
    with open(path, "rb") as source:
        return source.read()


def decoded_elsewhere(path):
    """A picture's RGBA pixels by ImageMagick, a decoder the page does not share."""
    size = subprocess.run(["identify", "-format", "%w %h\n", path + "[0]"], check=True,
                          capture_output=True, text=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgba:-"], check=True,
                         capture_output=True).stdout
    return width, height, raw


def expected_playfield(level):
    """The 320 x 240 playfield of a level as the game first shows it: tiles, car 2, car 1."""
    field = [[None] * 320 for _ in range(240)]
    tiles = [b for b in read_bytes(os.path.join(level, "TilesMap.txt")) if b not in (0, 10, 13)]
    for index, character in enumerate(tiles):
        width, height, raw = decoded_elsewhere(os.path.join(level, "Tile%s.bmp" % chr(character)))
        for y in range(min(height, 16)):
            for x in range(min(width, 16)):
                at = (y * width + x) * 4
                field[16 * (index // 20) + y][16 * (index % 20) + x] = tuple(raw[at:at + 3])
    cars = read_bytes(os.path.join(level, "Cars.txt")).decode().split()
    for car in (2, 1):
        column, row, heading = cars[3 * (car - 1):3 * car]
        width, height, raw = decoded_elsewhere(os.path.join(level, "Car%d%s.gif" % (car, heading)))
        for y in range(height):
            for x in range(width):
                at = (y * width + x) * 4
                if raw[at + 3] == 255:
                    field[16 * (int(row) - 1) + y][16 * (int(column) - 1) + x] = tuple(raw[at:at + 3])
    return field


class MisbehavingHandler(serve.Handler):
    """Serves some files slowly, breaks them off mid-body, or sends them on elsewhere."""
    behaviour = {}

    def handle(self):
        try:
            super().handle()
        except (ConnectionResetError, BrokenPipeError):
            pass  # the page aborted a fetch it no longer needs

    def do_GET(self):
        kind, value = self.behaviour.get(urllib.parse.unquote(self.path.split("?")[0][1:]),
                                         (None, None))
        if kind == "slow":
            time.sleep(value)
        elif kind == "broken":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"3\r\n5\r\n")
            self.wfile.flush()
            self.close_connection = True
            return
        elif kind == "redirect":
            self.send_response(302)
            self.send_header("Location", value)
            self.end_headers()
            return
        super().do_GET()


class Site:
    """The page's files with a level beside them, served on 127.0.0.1."""

    def __init__(self, level_files=None, behaviour=None):
        self.root = tempfile.mkdtemp(prefix="vornak-web-")
        for name in PAGE_FILES + ["README.txt"]:  # all that the offline worker precaches
            shutil.copy(os.path.join(FOLDER, name), self.root)
        shutil.copytree(os.path.join(FOLDER, "levels"), os.path.join(self.root, "levels"))
        for name in LEVEL_FILES if level_files is None else []:
            shutil.copy(os.path.join(FOLDER, name), self.root)
        for name, data in (level_files or {}).items():
            with open(os.path.join(self.root, name), "wb") as out:
                out.write(data)
        handler = type("Handler", (MisbehavingHandler,), {"behaviour": behaviour or {}})
        self.server = serve.server(self.root, 0, handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]

    def close(self):
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.root)


def circuit_with(**changes):
    """The circuit's files, with some replaced (bytes) or left out (None)."""
    files = {name: read_bytes(os.path.join(FOLDER, name)) for name in LEVEL_FILES}
    for name, data in changes.items():
        name = name.replace("_", ".").replace("Tile.space", "Tile ")
        if data is None:
            files.pop(name)
        else:
            files[name] = data
    return files


class PageTest(unittest.TestCase):
    width, height, ratio = 800, 600, 1
    scrollbars = False
    coarse = False

    @classmethod
    def setUpClass(cls):
        if cls.ratio != 1 and not ENGINE.ratios:
            raise unittest.SkipTest("%s: no other devicePixelRatio than 1" % ENGINE.name)
        cls.site = Site()
        cls.engine = ENGINE(cls.width, cls.height, cls.ratio, cls.scrollbars, cls.coarse)
        cls.driver = cls.engine.driver

    @classmethod
    def tearDownClass(cls):
        cls.engine.quit()
        cls.site.close()

    def preload(self, source):
        """A script run before the page's own at every load of this test."""
        identifier = self.engine.preload(source)
        self.addCleanup(self.engine.unpreload, identifier)

    worker = False  # whether the offline worker serves the page

    def open(self, query="", site=None):
        self.visit(site or self.site, query)
        self.wait_for_level()

    def visit(self, site, query=""):
        self.driver.get(site.url + query)

    def wait_for_level(self, frames=1):
        """Until the level's first frame is drawn, or a message says why it is not."""
        self.wait_for(lambda: self.driver.execute_script(
            "return performance.getEntriesByName('vornak-first-frame').length >= arguments[0]"
            " || !document.getElementById('message').hidden", frames), "the level or a message")

    def level_name(self):
        return self.driver.execute_script(
            "return document.getElementById('level-name').textContent")

    def frames_drawn(self):
        return self.driver.execute_script(
            "return performance.getEntriesByName('vornak-first-frame').length")

    def message(self):
        """The message box's text, or None while it is closed."""
        return self.driver.execute_script(
            "const box = document.getElementById('message');"
            "return box.hidden ? null : document.getElementById('message-text').textContent")

    def wait_for(self, condition, what, seconds=10):
        try:
            WebDriverWait(self.driver, seconds, poll_frequency=0.05).until(lambda _: condition())
        except TimeoutException:
            self.fail("waited in vain for " + what)

    def element(self, id):
        return self.driver.find_element(By.ID, id)

    def active(self):
        return self.driver.execute_script("return document.activeElement.id")

    def canvas(self):
        """The playfield's own pixels, 417 x 241, as rows of (r, g, b)."""
        data = base64.b64decode(self.driver.execute_script("""
            const c = document.getElementById('playfield');
            const bytes = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let text = '';
            for (let at = 0; at < bytes.length; at += 8192) {
                text += String.fromCharCode.apply(null, bytes.subarray(at, at + 8192));
            }
            return btoa(text);"""))
        return [[tuple(data[(y * 417 + x) * 4:(y * 417 + x) * 4 + 3]) for x in range(417)]
                for y in range(241)]

    def car_box(self, car, pixels=None):
        """Where a car stands, by its colour, in the left four columns (no red kerb there)."""
        pixels = pixels or self.canvas()
        red = car == 1
        points = [(x, y) for y in range(240) for x in range(64)
                  if (pixels[y][x][0] > 180 and pixels[y][x][2] < 90) == red
                  and (pixels[y][x][2] > 180 and pixels[y][x][0] < 90) != red]
        self.assertTrue(points, "car %d is nowhere to be seen" % car)
        return min(y for _, y in points)

    def keys(self, *keys):
        self.engine.keys(*keys)


class DesktopSizedPage(PageTest):
    def test_title_and_game_area_at_zoom_1(self):
        self.open()
        self.assertEqual(self.driver.title, "Vornak")
        for id, size in (("playfield", (417, 241)), ("run", (81, 25)), ("keys", (81, 9))):
            rect = self.element(id).rect
            self.assertEqual((rect["width"], rect["height"]), size, id)
        left = self.element("playfield").rect["x"]
        width = self.driver.execute_script("return document.documentElement.clientWidth")
        self.assertEqual(left, (width - 417) // 2, "centred across the window")
        self.assertEqual((self.element("run").rect["x"] - left, self.element("run").rect["y"]),
                         (328, 8))
        self.assertFalse(self.element("pad1").is_displayed(), "no touch controls on a desktop")
        self.assertEqual(self.element("run").text, "Start!")
        self.assertEqual(self.active(), "keys", "the keys steer from the start, without a click")

    def test_level_drawn_as_another_decoder_draws_it(self):
        self.open()
        shown = self.canvas()
        expected = expected_playfield(FOLDER)
        wrong = [(x, y) for y in range(240) for x in range(320) if shown[y][x] != expected[y][x]]
        self.assertEqual(wrong[:5], [], "%d pixels differ" % len(wrong))
        for car in (1, 2):
            self.assertEqual(self.car_box(car, shown), self.car_box(car, expected))

    def test_start_then_arrows_and_w_pause_and_unpause(self):
        self.open()
        start = self.car_box(1)
        self.keys(Keys.ARROW_UP)
        time.sleep(0.3)
        self.assertEqual(self.car_box(1), start, "nothing moves before Start!")
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Pause")
        self.assertEqual(self.active(), "keys")
        self.keys("w")
        self.wait_for(lambda: self.car_box(1) < start - 12 and self.car_box(2) < start - 12,
                      "both cars to drive")
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Unpause")
        paused = (self.car_box(1), self.car_box(2))
        time.sleep(0.4)
        self.assertEqual((self.car_box(1), self.car_box(2)), paused, "a pause freezes the cars")
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Pause")
        self.wait_for(lambda: self.car_box(1) < paused[0], "car 1 to drive on")

    def test_tab_then_enter_or_space_presses_the_button_and_the_keys_come_back(self):
        self.open()
        for key, caption in ((Keys.ENTER, "Pause"), (Keys.SPACE, "Unpause")):
            self.keys(Keys.TAB)
            self.assertEqual(self.active(), "run")
            self.keys(key)
            self.assertEqual(self.element("run").text, caption)
            self.assertEqual(self.active(), "keys")
        self.keys(Keys.TAB)
        self.engine.click_at(self.element("playfield"), -100, 0)
        self.assertEqual(self.active(), "keys", "a click on the playfield gives the keys back")
        self.assertEqual(self.element("run").text, "Unpause", "without pressing the button")

    def test_tab_reaches_the_links_but_hands_the_keys_back_while_the_clock_runs(self):
        self.open()
        link = "return document.activeElement.closest('#below') !== null"
        self.engine.shift_tab()
        self.assertTrue(self.driver.execute_script(link), "Shift+Tab from the keys")
        self.element("keys").click()
        self.keys(Keys.TAB, Keys.TAB)
        self.assertTrue(self.driver.execute_script(link), "Tab on the button, clock stopped")
        self.element("run").click()
        self.keys(Keys.TAB, Keys.TAB)
        self.assertEqual(self.active(), "keys", "while the clock runs, Tab gives the keys back")

    def test_only_unmodified_keys_keep_the_browser_from_acting_yet_all_reach_the_game(self):
        self.open()
        press = """return !document.activeElement.dispatchEvent(new KeyboardEvent('keydown',
            {key: arguments[0], code: arguments[0], altKey: arguments[1], ctrlKey: arguments[2],
             metaKey: arguments[3], bubbles: true, cancelable: true}))"""
        for on in ("keys", "run"):
            self.driver.execute_script("document.getElementById(arguments[0]).focus()", on)
            self.assertTrue(self.driver.execute_script(press, "ArrowLeft", False, False, False), on)
            for modifiers in ((True, False, False), (False, True, False), (False, False, True)):
                for key in ("ArrowLeft", "ArrowRight", "Home"):
                    self.assertFalse(self.driver.execute_script(press, key, *modifiers),
                                     "%s %s on %s" % (key, modifiers, on))
        self.element("keys").click()
        start = self.car_box(1)
        self.element("run").click()
        self.driver.execute_script(press, "ArrowUp", False, False, True)
        self.wait_for(lambda: self.car_box(1) < start, "Meta+Up to steer car 1 all the same")

    def test_the_text_below_can_be_selected_while_a_game_plays(self):
        self.open()
        self.element("run").click()
        down = """return !arguments[0].dispatchEvent(new MouseEvent('mousedown',
            {button: 0, bubbles: true, cancelable: true}))"""
        self.assertFalse(self.driver.execute_script(down, self.driver.find_element(By.TAG_NAME, "h1")))
        self.assertTrue(self.driver.execute_script(down, self.element("playfield")))

    def test_bundled_maze_by_its_link_address(self):
        self.open("?level=maze")
        self.assertEqual(self.level_name(), "maze")
        name, field = self.element("level-name").rect, self.element("playfield").rect
        self.assertGreaterEqual(name["x"], 320, "the name stands beside the playfield")
        self.assertLess(name["y"], field["height"])
        shown = self.canvas()
        expected = expected_playfield(os.path.join(FOLDER, "levels", "maze"))
        self.assertTrue(all(shown[y][x] == expected[y][x] for y in range(240) for x in range(320)))
        self.open("?level=..%2Fsecret")
        self.assertIn('no bundled level named "../secret"', self.element("message-text").text)

    @needs("pick_folders", "its driver cannot pick a folder")
    def test_a_folder_from_the_picker(self):
        folder = tempfile.mkdtemp(prefix="vornak-own-")
        level = os.path.join(FOLDER, "levels", "oval")
        for name in os.listdir(level):
            shutil.copy(os.path.join(level, name), folder)
        os.makedirs(os.path.join(folder, "sub"))
        with open(os.path.join(folder, "sub", "Cars.txt"), "w") as out:
            out.write("junk\n")  # a subfolder's file must not count
        self.open()
        requests = self.driver.execute_script("return performance.getEntriesByType('resource').length")
        self.element("folder").send_keys(folder)
        self.wait_for_level(2)
        self.assertEqual(self.level_name(), os.path.basename(folder))
        shown = self.canvas()
        expected = expected_playfield(level)
        self.assertTrue(all(shown[y][x] == expected[y][x] for y in range(240) for x in range(320)))
        self.assertEqual(self.driver.execute_script(
            "return performance.getEntriesByType('resource').length"), requests,
            "a picked folder is read in the page, and nothing is fetched")
        self.assertTrue(self.element("message").get_attribute("hidden"))
        shutil.rmtree(folder)


class OneLoadAtATime(PageTest):
    """A new level replaces the one still loading or playing, as a fresh window would."""

    def folder_of(self, files):
        folder = tempfile.mkdtemp(prefix="vornak-own-")
        self.addCleanup(shutil.rmtree, folder)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
        return folder

    def pick(self, folder):
        self.element("folder").send_keys(folder)

    @needs("pick_folders", "its driver cannot pick a folder")
    def test_a_folder_picked_while_the_server_still_sends_the_circuit(self):
        site = Site(behaviour={"Tileg.bmp": ("slow", 1.5)})
        self.addCleanup(site.close)
        self.visit(site)
        self.wait_for(lambda: self.driver.execute_script(
            "return typeof Module !== 'undefined' && Module.calledRun === true"), "the program")
        if not self.worker:  # the worker's copy of the circuit comes at once
            self.assertEqual(self.level_name(), "Loading\u2026")
            self.assertFalse(self.element("run").is_enabled(), "no button while the level loads")
        oval = os.path.join(FOLDER, "levels", "oval")
        blue = read_bytes(os.path.join(FOLDER, "Tilev.bmp"))  # any grass other than the circuit's
        folder = self.folder_of({**{name: read_bytes(os.path.join(oval, name))
                                    for name in os.listdir(oval)}, "Tileg.bmp": blue})
        self.pick(folder)
        self.wait_for_level()
        time.sleep(2)  # the circuit's grass has come by now, and must change nothing
        # From the worker's cache the circuit may have been drawn before the pick.
        self.assertEqual(self.frames_drawn(), 1 + (self.worker and self.frames_drawn() == 2),
                         "one game started, the oval's, after the circuit's at most")
        self.assertIsNone(self.message())
        shown, expected = self.canvas(), expected_playfield(folder)
        self.assertTrue(all(shown[y][x] == expected[y][x] for y in range(240) for x in range(320)))
        self.assertTrue(self.element("run").is_enabled())

    @needs("pick_folders", "its driver cannot pick a folder")
    def test_a_new_level_starts_with_start_and_a_clear_playfield(self):
        self.open()
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Pause")
        self.pick(self.folder_of(circuit_with()))
        self.wait_for_level(2)
        self.assertEqual(self.element("run").text, "Start!")
        self.element("run").click()
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Unpause")
        self.pick(self.folder_of(circuit_with(Cars_txt=None)))
        self.wait_for(lambda: self.message() is not None, "the broken level's message")
        self.assertIn("Cars.txt", self.message())
        self.assertIn("choose another level", self.message())
        self.assertEqual(self.element("run").text, "Start!")
        self.assertFalse(self.element("run").is_enabled(), "a failed level has no button")
        shown = self.canvas()
        self.assertEqual({shown[y][x] for y in range(241) for x in range(417)}, {(240, 240, 240)},
                         "nothing of the last level stays")
        self.element("message-ok").click()
        self.pick(self.folder_of(circuit_with()))
        self.wait_for_level(3)
        self.assertIsNone(self.message(), "a level that plays closes the message")
        self.assertEqual(self.active(), "keys")

    def test_the_budget_holds_across_fetches_and_one_message_names_the_file(self):
        big = b"x" * (30 * 1024 * 1024)
        site = Site(circuit_with(Car1up_gif=big, Car1left_gif=big, Car2up_gif=big,
                                 Car2left_gif=big))
        self.addCleanup(site.close)
        self.engine.errors()  # what earlier tests logged
        self.open(site=site)
        time.sleep(0.5)
        text = self.message()
        self.assertRegex(text or "", r"^Car\d(up|left)\.gif does not fit")
        if ENGINE.console:
            shown = [entry for entry in self.engine.errors() if "Vornak: " in entry]
            self.assertEqual(len(shown), 1, shown)
        self.assertFalse(self.element("run").is_enabled())

    def test_escape_closes_a_message_and_the_keys_go_to_the_links(self):
        self.open("?level=nowhere")
        self.assertIn("no bundled level", self.message())
        self.keys(Keys.ESCAPE)
        self.assertIsNone(self.message())
        self.assertTrue(self.driver.execute_script(
            "return document.activeElement.closest('#below') !== null"))

    @needs("pick_folders", "its driver cannot pick a folder")
    def test_an_empty_folder_says_what_a_level_folder_needs(self):
        self.open()
        self.pick(self.folder_of({}))
        self.wait_for(lambda: self.message() is not None, "a message")
        self.assertIn("A level folder holds TilesMap.txt", self.message())


class OneLoadAtATimeWithTheWorker(OneLoadAtATime):
    """The same, with the offline worker serving the page and the circuit from its cache."""
    worker = True
    controlled = set()

    def visit(self, site, query=""):
        if site.url not in self.controlled:
            self.driver.get(site.url)
            self.wait_for(lambda: self.driver.execute_script(
                "return !document.getElementById('offline-ready').hidden"), "the worker", 30)
            self.controlled.add(site.url)
        self.driver.get(site.url + query)
        self.assertTrue(self.driver.execute_script(
            "return navigator.serviceWorker.controller !== null"), "the worker serves the page")

    test_the_budget_holds_across_fetches_and_one_message_names_the_file = None  # not its files


class FilesThatCannotBeRead(PageTest):
    def failure_of(self, **behaviour):
        site = Site(behaviour={name.replace("_", "."): what for name, what in behaviour.items()})
        self.addCleanup(site.close)
        self.open(site=site)
        self.assertIsNotNone(self.message())
        return self.message()

    def test_a_transfer_that_breaks_off_names_the_file(self):
        self.assertRegex(self.failure_of(Cars_txt=("broken", None)),
                         r"^Cars\.txt cannot be read: the transfer broke off")

    def test_a_redirect_the_policy_blocks_is_said_to_be_blocked(self):
        port = self.site.server.server_address[1]
        self.assertIn("Cars.txt cannot be read: it was sent to an address this page may not read",
                      self.failure_of(Cars_txt=("redirect", "http://localhost:%d/Cars.txt" % port)))


class ProgramThatCannotLoad(PageTest):
    def test_a_missing_program_is_said_in_plain_words(self):
        for missing in (".wasm", ".js"):
            site = Site()
            self.addCleanup(site.close)
            program = [name for name in PAGE_FILES
                       if name.startswith("vornak-0") or name.startswith("vornak-1")]
            for name in program:
                if name.endswith(missing):
                    os.remove(os.path.join(site.root, name))
            self.driver.get(site.url)
            self.wait_for(lambda: self.message() is not None, "a message for " + missing)
            self.assertIn("program could not be loaded", self.message())
            self.assertFalse(self.element("run").is_enabled())


class ResizedOften(PageTest):
    @needs("preloads", "no script runs before the page's own")
    def test_one_listener_for_the_screens_ratio_however_often_the_window_resizes(self):
        self.preload("""window.ratioListeners = 0;
                const add = MediaQueryList.prototype.addEventListener;
                const remove = MediaQueryList.prototype.removeEventListener;
                const ratio = (list) => list.media.includes('resolution') ? 1 : 0;
                MediaQueryList.prototype.addEventListener = function (...a) {
                    window.ratioListeners += ratio(this); return add.apply(this, a); };
                MediaQueryList.prototype.removeEventListener = function (...a) {
                    window.ratioListeners -= ratio(this); return remove.apply(this, a); };""")
        self.open()
        self.driver.execute_script(
            "for (let i = 0; i < 200; ++i) dispatchEvent(new Event('resize'))")
        self.assertEqual(self.driver.execute_script("return window.ratioListeners"), 1)


class ClassicScrollbars(PageTest):
    width, height = 1262, 943
    scrollbars = True

    def test_the_game_fits_beside_a_classic_scrollbar(self):
        self.open()
        if ENGINE.name == "webkit":
            self.skipTest("webkit: its scrollbars lie over the page and take no room")
        self.assertGreater(self.driver.execute_script(
            "return innerWidth - document.documentElement.clientWidth"), 0, "no classic scrollbar")
        self.assertLessEqual(*self.driver.execute_script(
            "const root = document.documentElement; return [root.scrollWidth, root.clientWidth]"))


class Touch(PageTest):
    """A phone or tablet, emulated before the page loads: the screen, its ratio and touch."""
    width, height, ratio = 844, 390, 3
    coarse = True
    insets = None

    @classmethod
    def setUpClass(cls):
        if not ENGINE.touch:
            raise unittest.SkipTest("%s: its driver's touches come as a mouse's, with no "
                                    "touchstart and a fine pointer" % ENGINE.name)
        if cls.insets and ENGINE.name != "chromium":
            raise unittest.SkipTest("%s: no safe-area insets to emulate" % ENGINE.name)
        super().setUpClass()
        cls.engine.emulate(cls.width, cls.height, cls.ratio, cls.insets)

    def fingers(self, kind, *points):
        """One touch event: (id, x, y) for each finger it names, in CSS pixels."""
        self.engine.fingers(kind, *points)

    def centre(self, label):
        rect = self.driver.execute_script(
            "return document.querySelector('[aria-label=\"' + arguments[0] + '\"]')"
            ".getBoundingClientRect().toJSON()", label)
        return rect["x"] + rect["width"] / 2, rect["y"] + rect["height"] / 2

    def requests(self):
        return tuple(self.driver.execute_script(
            "return [1, 2].map((car) => Module.ccall('vornak_car_request', 'string', "
            "['number'], [car]))"))

    def swipe(self, id, start, steps):
        x, y = start
        self.fingers("touchStart", (id, x, y))
        for dx, dy in steps:
            x, y = x + dx, y + dy
            self.fingers("touchMove", (id, x, y))
        self.fingers("touchEnd")

    def zoom(self):
        return round(self.driver.execute_script(
            "return document.getElementById('playfield').getBoundingClientRect().width") *
            self.ratio / 417)

    def layout_fits(self):
        """The game and both pads on the screen less its insets, with no scroll."""
        boxes = self.driver.execute_script("""
            return ['playfield', 'pad1', 'pad2', 'run'].map(
                (id) => document.getElementById(id).getBoundingClientRect().toJSON())""")
        top, right, bottom, left = self.insets or (0, 0, 0, 0)
        for box in boxes:
            self.assertGreaterEqual(box["left"], left - 0.01, box)
            self.assertGreaterEqual(box["top"], top - 0.01, box)
            self.assertLessEqual(box["right"], self.width - right + 0.01, box)
            self.assertLessEqual(box["bottom"], self.height - bottom + 0.01, box)
        field, run = boxes[0], boxes[3]
        self.assertGreaterEqual(run["left"], field["left"] + field["width"] * 320 / 417 - 0.01,
                                "the button's box covers no cell")
        self.assertGreaterEqual(min(run["width"], run["height"]), 44)


class PhoneSideways(Touch):
    expected_zoom = 4

    def test_every_arrow_presses_on_touch_down_and_keeps_the_keys(self):
        self.open()
        self.assertEqual(self.zoom(), self.expected_zoom)
        self.layout_fits()
        for car, keys in ((1, ("up", "down", "left", "right")), (2, ("up", "down", "left", "right"))):
            for direction in keys:
                label = "Car %d %s" % (car, direction)
                size = self.driver.execute_script(
                    "const e = document.querySelector('[aria-label=\"' + arguments[0] + '\"]');"
                    "return [e.getBoundingClientRect().width, e.getBoundingClientRect().height,"
                    " e.tabIndex]", label)
                self.assertGreaterEqual(min(size[:2]), 44 - 6, label)  # the cell less its margin
                self.assertEqual(size[2], -1, "not in the tab order")
                x, y = self.centre(label)
                self.fingers("touchStart", (1, x, y))
                self.assertEqual(self.requests()[car - 1], direction, "on the way down: " + label)
                self.fingers("touchEnd")
                self.assertEqual(self.active(), "keys")

    def test_two_fingers_at_once_and_one_that_comes_while_another_is_held(self):
        self.open()
        up1, left2 = self.centre("Car 1 up"), self.centre("Car 2 left")
        self.fingers("touchStart", (1, *up1), (2, *left2))
        self.assertEqual(self.requests(), ("up", "left"))
        self.fingers("touchEnd", (2, *left2))
        self.fingers("touchStart", (1, *up1), (3, *self.centre("Car 2 down")))
        self.assertEqual(self.requests(), ("up", "down"))
        self.fingers("touchEnd")

    def test_swipes_steer_the_car_of_their_half_and_a_thumb_rolls_on_its_pad(self):
        self.open()
        self.element("run").click()
        middle = self.width / 2
        self.swipe(1, (middle + 60, 200), [(0, -12), (0, -14)])
        self.swipe(2, (middle - 60, 200), [(-30, 4)])
        self.assertEqual(self.requests(), ("up", "left"))
        self.swipe(1, (middle + 30, 150), [(0, 30), (-40, 0), (-40, 0)])
        self.assertEqual(self.requests(), ("left", "left"), "across the midline, still car 1")
        x, y = self.centre("Car 1 up")
        self.fingers("touchStart", (1, x, y))
        self.fingers("touchMove", (1, *self.centre("Car 1 right")))
        self.assertEqual(self.requests()[0], "right", "rolled from up onto right")
        self.fingers("touchCancel")
        self.assertEqual(self.element("run").text, "Pause")
        self.assertEqual(self.active(), "keys")

    def test_a_tap_presses_the_button_and_touches_steer_afterwards(self):
        self.open()
        self.engine.tap(*self.centre("Start, pause or resume"))
        self.wait_for(lambda: self.element("run").text == "Pause", "the tap to press the button")
        self.fingers("touchStart", (1, *self.centre("Car 2 right")))
        self.fingers("touchEnd")
        self.assertEqual(self.requests()[1], "right")

    def test_pinch_long_press_and_drag_move_nothing(self):
        self.open()
        self.driver.execute_script(
            "window.contextMenus = 0; addEventListener('contextmenu', (e) => {"
            " if (!e.defaultPrevented) ++window.contextMenus; })")
        y = 200
        self.fingers("touchStart", (1, 380, y), (2, 460, y))
        for step in range(1, 8):
            self.fingers("touchMove", (1, 380 - 20 * step, y), (2, 460 + 20 * step, y))
        self.fingers("touchEnd")
        self.fingers("touchStart", (1, 300, 150))
        time.sleep(1.2)
        self.fingers("touchEnd")
        self.swipe(1, (300, 300), [(0, -40)] * 5 + [(0, 50)] * 5)
        self.swipe(1, (300, 50), [(0, 60)] * 5)  # a pull down from the top
        time.sleep(0.3)
        self.assertEqual(self.driver.execute_script(
            "return [visualViewport.scale, scrollX, scrollY, String(getSelection()),"
            " window.contextMenus]"), [1, 0, 0, "", 0])
        style = self.driver.execute_script("""
            const s = getComputedStyle(document.getElementById('game'));
            return [s.touchAction, s.overscrollBehaviorY, s.userSelect,
                    s.webkitTouchCallout || 'none'];""")
        self.assertEqual(style, ["none", "none", "none", "none"])
        self.assertTrue(self.driver.execute_script(
            "const e = new Event('gesturestart', {cancelable: true, bubbles: true});"
            "document.getElementById('game').dispatchEvent(e); return e.defaultPrevented"))


class PhoneSidewaysWithANotch(PhoneSideways):
    insets = (0, 47, 21, 47)
    expected_zoom = 3

    def test_every_arrow_presses_on_touch_down_and_keeps_the_keys(self):
        self.open()
        self.assertEqual(self.zoom(), self.expected_zoom)
        self.layout_fits()


for name in ("two_fingers_at_once_and_one_that_comes_while_another_is_held",
             "swipes_steer_the_car_of_their_half_and_a_thumb_rolls_on_its_pad",
             "a_tap_presses_the_button_and_touches_steer_afterwards",
             "pinch_long_press_and_drag_move_nothing"):
    setattr(PhoneSidewaysWithANotch, "test_" + name, None)  # the layout is what differs


class PhoneUpright(Touch):
    width, height = 390, 844

    def test_the_pads_stand_under_the_game_and_all_fits(self):
        self.open()
        self.assertEqual(self.zoom(), 2)
        self.layout_fits()
        pads = [self.driver.execute_script(
            "return document.getElementById(arguments[0]).getBoundingClientRect().toJSON()", id)
            for id in ("pad1", "pad2", "playfield")]
        self.assertGreaterEqual(pads[0]["top"], pads[2]["bottom"])
        self.assertLess(pads[1]["right"], pads[0]["left"] + 0.01, "car 2's on the left")
        self.assertTrue(self.driver.find_element(By.CSS_SELECTOR, ".touch-help").is_displayed())
        self.assertFalse(self.driver.find_element(By.CSS_SELECTOR, ".keys-help").is_displayed())


class Tablet(Touch):
    width, height, ratio = 1024, 768, 2

    def test_the_tablet_layout_fits(self):
        self.open()
        self.assertEqual(self.zoom(), 3)
        self.layout_fits()


class PadsPressedByAMouse(PageTest):
    """A mouse presses a pad's arrows as a finger does, in every engine; the touch layout is
    asked for here as a coarse pointer would."""

    def test_every_arrow_as_mouse_presses(self):
        self.open()
        self.driver.execute_script(
            "Module.ccall('vornak_viewport', 'number', Array(8).fill('number'),"
            " [document.documentElement.clientWidth, innerHeight, devicePixelRatio, 0, 0, 0, 0, 1])")
        for car in (1, 2):
            for direction in ("up", "down", "left", "right"):
                arrow = self.driver.find_element(
                    By.CSS_SELECTOR, '[aria-label="Car %d %s"]' % (car, direction))
                arrow.click()
                self.assertEqual(Touch.requests(self)[car - 1], direction)
                self.assertEqual(self.active(), "keys")


class DesktopTouchedOnce(PageTest):
    """A desktop without a coarse pointer shows no controls until a touch has ended."""

    @needs("touch", "its driver's touches come as a mouse's")
    def test_the_controls_appear_when_the_first_touch_ends(self):
        self.open()
        pad = "return getComputedStyle(document.getElementById('pad1')).display"
        self.assertEqual(self.driver.execute_script(pad), "none")
        self.engine.fingers("touchStart", (1, 100, 100))
        time.sleep(0.1)
        self.assertEqual(self.driver.execute_script(pad), "none", "never while a finger is down")
        self.engine.fingers("touchEnd")
        self.wait_for(lambda: self.driver.execute_script(pad) == "grid", "the pads")


class Gamepads(PageTest):
    """Stand-in pads before the page loads; the page's polling and rules are its own."""

    def setUp(self):
        if not ENGINE.preloads:
            self.skipTest("%s: no script runs before the page's own" % ENGINE.name)
        self.preload("""
                window.pads = [];
                window.rafCalls = 0;
                const raf = requestAnimationFrame;
                window.requestAnimationFrame = (f) => { ++window.rafCalls; return raf(f); };
                window.pad = (index, pressed, axes, mapping) => {
                    window.pads[index] = {index, mapping: mapping || 'standard',
                        axes: axes || [0, 0],
                        buttons: Array.from({length: 17}, (_, b) => ({pressed: pressed.includes(b)}))};
                };
                navigator.getGamepads = () => {
                    if (window.padsForbidden) throw new DOMException('blocked', 'SecurityError');
                    return window.pads;
                };""")

    def requests(self):
        return Touch.requests(self)

    def test_two_pads_steer_both_cars_and_start_presses_the_button(self):
        self.open()
        self.driver.execute_script("pad(0, [12]); pad(1, [], [-0.8, 0.2]);"
                                   "dispatchEvent(new Event('gamepadconnected'))")
        self.wait_for(lambda: self.requests() == ("up", "left"), "both pads to steer")
        self.driver.execute_script("pad(0, [9])")
        self.wait_for(lambda: self.element("run").text == "Pause", "Start to press the button")
        self.driver.execute_script("pads.length = 0; dispatchEvent(new Event('gamepaddisconnected'))")
        time.sleep(0.3)
        frames = self.driver.execute_script("return rafCalls")
        time.sleep(0.5)
        self.assertEqual(self.driver.execute_script("return rafCalls"), frames,
                         "no polling without a pad")

    def test_a_policy_that_forbids_pads_leaves_a_page_that_plays(self):
        self.preload("window.padsForbidden = true")
        self.open()
        self.assertIsNone(self.message())
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Pause")


class ServedByItsOwnProcess:
    """The whole web folder served by serve.py in a process of its own, which a test can stop."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="vornak-offline-")
        shutil.rmtree(self.root)
        shutil.copytree(FOLDER, self.root)
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        self.url = "http://127.0.0.1:%d/" % self.port
        self.process = None
        self.start()

    def start(self):
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(os.path.dirname(__file__), "serve.py"), self.root,
             str(self.port)], stdout=subprocess.PIPE)
        self.process.stdout.readline()  # its address: it listens

    def stop(self):
        self.process.kill()
        self.process.wait()
        self.process.stdout.close()

    def close(self):
        self.stop()
        shutil.rmtree(self.root)


class Offline(PageTest):
    def served(self):
        site = ServedByItsOwnProcess()
        self.addCleanup(site.close)
        return site

    def controlled_visit(self, site):
        """Visits until the worker has installed and controls the page."""
        self.driver.get(site.url)
        self.wait_for_level()
        self.wait_for(lambda: self.driver.execute_script(
            "return navigator.serviceWorker.controller !== null ||"
            " !document.getElementById('offline-ready').hidden"), "the worker", 20)
        self.driver.refresh()
        self.wait_for_level()
        self.assertTrue(self.driver.execute_script(
            "return navigator.serviceWorker.controller !== null"))

    @only_chromium("installability is Chromium's own DevTools verdict")
    def test_installable(self):
        site = self.served()
        self.driver.get(site.url)
        self.wait_for_level()
        self.wait_for(lambda: not self.element("offline-ready").get_attribute("hidden"),
                      "the quiet word that it plays offline", 20)
        self.assertEqual(self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {}),
                         {"installabilityErrors": []})
        manifest = self.driver.execute_cdp_cmd("Page.getAppManifest", {})
        self.assertEqual(manifest["errors"], [])
        self.assertTrue(manifest["url"].endswith("/manifest.webmanifest"))

    def test_plays_with_the_server_stopped_after_one_visit(self):
        site = self.served()
        self.controlled_visit(site)
        site.stop()
        self.driver.refresh()
        self.wait_for_level()
        self.assertIsNone(self.message())
        start = self.car_box(1)
        self.element("run").click()
        self.keys(Keys.ARROW_UP)
        self.wait_for(lambda: self.car_box(1) < start, "car 1 to drive offline")
        self.driver.get(site.url + "?level=maze")
        self.wait_for_level()
        self.assertIsNone(self.message())
        self.assertEqual(self.level_name(), "maze")
        self.assertEqual(self.driver.execute_script(
            "return fetch('THIRD-PARTY.txt').then((r) => r.status)"), 404,
            "offline, a file not in the list stays missing")
        self.driver.get(site.url + "?level=nowhere")
        self.wait_for_level()
        self.assertIn("no bundled level", self.message() or "")

    def test_the_next_build_takes_over_at_the_next_start(self):
        site = self.served()
        self.controlled_visit(site)
        old = self.driver.execute_script("return caches.keys()")
        self.assertEqual(len(old), 1)
        tiles = os.path.join(site.root, "TilesMap.txt")
        with open(tiles, "r+b") as level:
            changed = level.read().replace(b"g", b".", 1)
            level.seek(0)
            level.write(changed)
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "..", "..",
                        "packaging", "web", "make-worker.py"), site.root,
                        os.path.join(os.path.dirname(__file__), "..", "..", "window", "web",
                                     "page", "service-worker.js")], check=True)
        self.driver.refresh()
        self.wait_for_level()
        self.wait_for(lambda: (lambda keys: len(keys) == 1 and keys != old)(
            self.driver.execute_script("return caches.keys()")), "the new cache alone", 20)
        self.driver.refresh()
        self.wait_for_level()
        shown, expected = self.canvas(), expected_playfield(site.root)
        self.assertTrue(all(shown[y][x] == expected[y][x] for y in range(16) for x in range(320)),
                        "the new build's level")


class ZipsForGameHosts(unittest.TestCase):
    """Both zips upload to game hosts as they are: few files, short paths, and the host one with
    the page at its top."""

    def test_both_zips_fit_game_hosts(self):
        import zipfile
        build = os.path.dirname(os.path.dirname(FOLDER))
        name = os.path.basename(FOLDER)
        for zip_name, index in ((name + ".zip", name + "/index.html"),
                                (name + "-host.zip", "index.html")):
            with zipfile.ZipFile(os.path.join(build, zip_name)) as archive:
                names = archive.namelist()
            self.assertIn(index, names, zip_name)
            self.assertLessEqual(len(names), 1000, zip_name)
            self.assertLessEqual(max(len(path) for path in names), 240, zip_name)
            self.assertIn("service-worker.js", {path.split("/")[-1] for path in names})


class InAFrame(PageTest):
    """The game in an <iframe> of another origin, as a game host shows it: a host page on
    localhost framing the game from 127.0.0.1."""
    width, height = 1000, 700

    def frame(self, allow):
        folder = tempfile.mkdtemp(prefix="vornak-host-")
        self.addCleanup(shutil.rmtree, folder)
        with open(os.path.join(folder, "index.html"), "w") as page:
            page.write('<!DOCTYPE html><iframe src="%s" width="900" height="600"%s></iframe>' % (
                self.site.url, ' allow="%s"' % allow if allow else ""))
        host = serve.server(folder, 0)
        threading.Thread(target=host.serve_forever, daemon=True).start()
        self.addCleanup(host.server_close)
        self.addCleanup(host.shutdown)
        self.driver.get("http://localhost:%d/" % host.server_address[1])
        self.driver.switch_to.frame(0)
        self.addCleanup(self.driver.switch_to.default_content)
        self.wait_for_level()
        self.assertIsNone(self.message())
        self.element("run").click()
        self.keys(Keys.ARROW_UP)
        self.assertEqual(Touch.requests(self)[0], "up", "keys steer after a click")
        time.sleep(0.3)
        # What the engine has at all: Firefox and WebKit have no layout map.
        self.has = self.driver.execute_script(
            "return [true, 'wakeLock' in navigator,"
            " Boolean(navigator.keyboard && navigator.keyboard.getLayoutMap)]")
        return self.driver.execute_script(
            "return [document.fullscreenEnabled, VornakPage.wakeLock !== null,"
            " VornakPage.layoutMap !== null]")

    def test_without_allow_keys_and_pads_play_and_the_rest_is_absent_quietly(self):
        self.engine.errors()
        self.assertEqual(self.frame(None), [False, False, False])
        self.assertEqual([entry for entry in self.engine.errors() if "Vornak" in entry], [])

    def test_with_allow_full_screen_the_wake_lock_and_the_layout_map_work(self):
        self.assertEqual(self.frame("fullscreen; screen-wake-lock; gamepad; keyboard-map"),
                         self.has)


class Idle(PageTest):
    """Paused, the page costs nothing: no timer, interval or animation frame of its own runs,
    and the screen may sleep."""

    @needs("preloads", "no script runs before the page's own")
    def test_ten_seconds_paused_run_nothing_and_hold_no_wake_lock(self):
        self.preload("""
            window.callbacksRun = 0;
            for (const name of ['setTimeout', 'setInterval', 'requestAnimationFrame']) {
                const original = window[name];
                window[name] = (callback, ...rest) => original((...a) => {
                    ++window.callbacksRun; return callback(...a); }, ...rest);
            }""")
        self.open()
        self.element("run").click()
        time.sleep(0.3)
        self.assertGreater(self.driver.execute_script("return callbacksRun"), 0, "the clock ran")
        running_lock = self.driver.execute_script("return VornakPage.wakeLock !== null")
        self.element("run").click()
        self.assertEqual(self.element("run").text, "Unpause")
        time.sleep(0.2)
        self.driver.execute_script("callbacksRun = 0")
        time.sleep(10)
        self.assertEqual(self.driver.execute_script(
            "return [callbacksRun, VornakPage.wakeLock === null]"), [0, True])
        if ENGINE.name == "chromium":
            self.assertTrue(running_lock, "the screen was kept awake while the clock ran")



class OpenedAsAFile(PageTest):
    def test_says_how_to_serve_it_rather_than_show_nothing(self):
        self.driver.get("file://" + os.path.join(FOLDER, "index.html"))
        time.sleep(0.5)
        notice = self.element("served-from-file")
        self.assertTrue(notice.is_displayed())
        self.assertIn("web server", notice.text)
        self.assertFalse(self.element("game").is_displayed())


class KeyboardLayouts(PageTest):
    def press(self, key, code):
        self.driver.execute_script(
            "document.activeElement.dispatchEvent(new KeyboardEvent('keydown', "
            "{key: arguments[0], code: arguments[1], bubbles: true, cancelable: true}))",
            key, code)

    def car_2_steers_by(self, presses):
        self.open()
        start = self.car_box(2)
        self.element("run").click()
        for key, code in presses:
            self.press(key, code)
        time.sleep(0.4)
        return self.car_box(2) < start

    def test_with_a_layout_map_letters_follow_the_layout(self):
        self.open()
        if not self.driver.execute_script("return !!(navigator.keyboard && navigator.keyboard.getLayoutMap)"):
            self.skipTest("%s: no keyboard layout map" % ENGINE.name)
        # The map says the key at the W place types w, whatever the event says it typed.
        self.assertTrue(self.car_2_steers_by([("ц", "KeyW")]))
        self.assertTrue(self.driver.execute_script("return !!navigator.keyboard.getLayoutMap"))

    def test_without_one_latin_letters_by_what_they_type_and_others_by_place(self):
        if self.driver.execute_script("return !!(navigator.keyboard && navigator.keyboard.getLayoutMap)"):
            if not ENGINE.preloads:
                self.skipTest("%s: no script runs before the page's own" % ENGINE.name)
            self.preload("delete Keyboard.prototype.getLayoutMap")
        self.assertFalse(self.car_2_steers_by([("z", "KeyW"), (";", "KeyW")]),
                         "a Latin z or punctuation at the W place steers nothing")
        self.assertTrue(self.car_2_steers_by([("ц", "KeyW")]), "Cyrillic by its place")
        self.assertTrue(self.car_2_steers_by([("w", "KeyZ")]), "a Latin w wherever it is")


class BrokenLevels(PageTest):
    def test_a_missing_car_picture_names_the_file_and_stops_the_game(self):
        site = Site(circuit_with(Car1down_gif=None))
        try:
            self.open(site=site)
            box = self.element("message")
            self.assertFalse(box.get_attribute("hidden"))
            self.assertEqual(box.get_attribute("role"), "alertdialog")
            self.assertEqual(self.active(), "message-ok")
            text = self.element("message-text").text
            self.assertIn("Car1down.gif", text)
            self.assertIn("missing", text)
            self.assertNotIn("vornak-levelcheck", text, "the desktop's pointer to the checker")
            self.assertRegex(text, r"What the level checker finds:\n\S*:\d+:\d+: error: ",
                             "the checker's findings follow the failure")
            if ENGINE.console:
                self.assertTrue(any("Car1down.gif" in entry for entry in self.engine.errors()))
            self.element("message-ok").click()
            self.assertTrue(box.get_attribute("hidden"))
            self.element("run").click()
            self.assertEqual(self.element("run").text, "Start!", "a stopped game stays stopped")
        finally:
            site.close()

    def test_a_heading_with_a_nul_is_shown_escaped_and_whole(self):
        site = Site(circuit_with(Cars_txt=b"2\r\n8\r\ndown\r\n3\r\n8\r\ndo\x00wn\r\n"))
        self.addCleanup(site.close)
        self.open(site=site)
        text = self.driver.execute_script(
            "return document.getElementById('message-text').textContent")
        self.assertNotIn("\0", text)
        self.assertIn('car 2\'s first picture "Car2do\\x00wn.gif", which it names, is missing',
                      text)
        self.assertIn('Cars.txt:6:1: error: "Car2do\\x00wn.gif" is missing\nCars.txt:6:1: warning:'
                      ' car 2\'s heading "do\\x00wn" is not up', text, "the checker's findings whole")

    def test_a_tile_picture_whose_name_holds_a_space(self):
        tiles = read_bytes(os.path.join(FOLDER, "TilesMap.txt"))
        changed = tiles.replace(b"g", b" ", 1)  # the first grass cell, top left
        red = read_bytes(os.path.join(FOLDER, "Tilev.bmp"))
        site = Site(circuit_with(TilesMap_txt=changed, Tile_space_bmp=red))
        try:
            self.open(site=site)
            self.assertTrue(self.element("message").get_attribute("hidden"),
                            self.element("message-text").text)
            index = [b for b in changed if b not in (10, 13, 0)].index(32)
            x, y = 16 * (index % 20), 16 * (index // 20)
            expected = expected_playfield(site.root)
            shown = self.canvas()
            self.assertTrue(all(shown[y + j][x + i] == expected[y + j][x + i]
                                for j in range(16) for i in range(16)))
        finally:
            site.close()


class SmallViewport(PageTest):
    width, height = 420, 200

    def test_the_arrow_keys_never_scroll_the_page(self):
        self.open()
        self.assertGreater(self.driver.execute_script(
            "return document.documentElement.scrollHeight - innerHeight"), 100)
        self.keys(*[Keys.ARROW_DOWN] * 5, Keys.SPACE, Keys.PAGE_DOWN, Keys.END)
        time.sleep(0.2)
        self.assertEqual(self.driver.execute_script("return scrollY"), 0)
        self.keys(Keys.TAB, Keys.ARROW_DOWN, Keys.ARROW_DOWN)
        time.sleep(0.2)
        self.assertEqual(self.driver.execute_script("return scrollY"), 0)


class SharpPixels(PageTest):
    """Each game pixel is an exact square of device pixels, car edges included, wherever the
    centred game stands, at the largest whole zoom that fits."""
    width, height, ratio = 600, 400, 2

    def test_each_game_pixel_is_zoom_by_zoom_device_pixels(self):
        self.open()
        zoom, left, fits = self.driver.execute_script(
            "const r = document.getElementById('playfield').getBoundingClientRect();"
            "const root = document.documentElement, ratio = devicePixelRatio;"
            "return [Math.round(r.width * ratio / 417), r.left * ratio,"
            " Math.min(root.clientWidth * ratio / 417, root.clientHeight * ratio / 241)]")
        self.assertEqual(zoom, max(1, int(fits)))
        self.assertGreater(zoom, 1)
        # Layout keeps 1/64 of a CSS pixel; anything finer is rounding, not a seam.
        self.assertAlmostEqual(left, round(left), delta=0.01, msg="on a whole device pixel")
        left = round(left)
        self.element("run").click()
        self.keys(Keys.ARROW_UP, "w")
        time.sleep(0.33)  # the cars halfway between cells
        self.element("run").click()
        screen = decode_png(self.driver.get_screenshot_as_png())
        frame = self.canvas()
        wrong = [(x, y) for y in range(240 * zoom) for x in range(320 * zoom)
                 if screen[y][left + x] != frame[y // zoom][x // zoom]]
        self.assertEqual(wrong[:5], [], "%d device pixels differ" % len(wrong))


class SharpPixelsAtOne(SharpPixels):
    width, height, ratio = 1000, 700, 1


class SharpPixelsAtOneAndAQuarter(SharpPixels):
    width, height, ratio = 1000, 700, 1.25


class SharpPixelsAtOneAndAHalf(SharpPixels):
    width, height, ratio = 700, 560, 1.5


class SharpPixelsAtTwoAndFiveEighths(SharpPixels):
    width, height, ratio = 600, 400, 2.625


class SharpPixelsAtThree(SharpPixels):
    width, height, ratio = 700, 400, 3


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    failed = len(result.failures) + len(result.errors)
    skipped = len(result.skipped)
    print("web (%s): %d passed, %d failed, %d skipped" % (
        ENGINE.name, result.testsRun - failed - skipped, failed, skipped))
    sys.exit(1 if failed else 0)
