# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""The page in a real, headless Chromium, driven as a player would through chromedriver.

Usage: page_test.py WEB-FOLDER   (the folder that vornak-<version>-web.zip unpacks to)
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zlib

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(__file__))
import serve  # noqa: E402

FOLDER = (os.path.abspath(sys.argv.pop(1)) if __name__ == "__main__" and len(sys.argv) > 1
          else None)
PAGE_FILES = [name for name in os.listdir(FOLDER)
              if name.endswith((".html", ".js", ".wasm", ".css", ".png"))] if FOLDER else []
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
    tiles = [b for b in open(os.path.join(level, "TilesMap.txt"), "rb").read()
             if b not in (0, 10, 13)]
    for index, character in enumerate(tiles):
        width, height, raw = decoded_elsewhere(os.path.join(level, "Tile%s.bmp" % chr(character)))
        for y in range(min(height, 16)):
            for x in range(min(width, 16)):
                at = (y * width + x) * 4
                field[16 * (index // 20) + y][16 * (index % 20) + x] = tuple(raw[at:at + 3])
    cars = open(os.path.join(level, "Cars.txt")).read().split()
    for car in (2, 1):
        column, row, heading = cars[3 * (car - 1):3 * car]
        width, height, raw = decoded_elsewhere(os.path.join(level, "Car%d%s.gif" % (car, heading)))
        for y in range(height):
            for x in range(width):
                at = (y * width + x) * 4
                if raw[at + 3] == 255:
                    field[16 * (int(row) - 1) + y][16 * (int(column) - 1) + x] = tuple(raw[at:at + 3])
    return field


class Site:
    """The page's files with a level beside them, served on 127.0.0.1."""

    def __init__(self, level_files=None):
        self.root = tempfile.mkdtemp(prefix="vornak-web-")
        for name in PAGE_FILES:
            shutil.copy(os.path.join(FOLDER, name), self.root)
        shutil.copytree(os.path.join(FOLDER, "levels"), os.path.join(self.root, "levels"))
        for name in LEVEL_FILES if level_files is None else []:
            shutil.copy(os.path.join(FOLDER, name), self.root)
        for name, data in (level_files or {}).items():
            with open(os.path.join(self.root, name), "wb") as out:
                out.write(data)
        self.server = serve.server(self.root, 0)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]

    def close(self):
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.root)


def circuit_with(**changes):
    """The circuit's files, with some replaced (bytes) or left out (None)."""
    files = {name: open(os.path.join(FOLDER, name), "rb").read() for name in LEVEL_FILES}
    for name, data in changes.items():
        name = name.replace("_", ".").replace("Tile.space", "Tile ")
        if data is None:
            files.pop(name)
        else:
            files[name] = data
    return files


def browser(width=800, height=600, ratio=1):
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                     "--window-size=%d,%d" % (width, height),
                     "--force-device-scale-factor=%s" % ratio):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class PageTest(unittest.TestCase):
    width, height, ratio = 800, 600, 1

    @classmethod
    def setUpClass(cls):
        cls.site = Site()
        cls.driver = browser(cls.width, cls.height, cls.ratio)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.site.close()

    def open(self, query="", site=None):
        self.driver.get((site or self.site).url + query)
        self.wait_for(lambda: self.driver.execute_script(
            "return typeof Module !== 'undefined' && Module.calledRun === true"), "the program")
        time.sleep(0.3)

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
        data = self.driver.execute_script("""
            const c = document.getElementById('playfield');
            return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);""")
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
        webdriver.ActionChains(self.driver).send_keys(*keys).perform()


class DesktopSizedPage(PageTest):
    def test_title_and_game_area_at_zoom_1(self):
        self.open()
        self.assertEqual(self.driver.title, "Vornak")
        for id, size in (("game", (417, 241)), ("playfield", (417, 241)),
                         ("run", (81, 25)), ("keys", (81, 9))):
            rect = self.element(id).rect
            self.assertEqual((rect["width"], rect["height"]), size, id)
        self.assertEqual((self.element("run").rect["x"], self.element("run").rect["y"]), (328, 8))
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
        self.keys(Keys.TAB, Keys.TAB)
        self.assertEqual(self.active(), "keys", "Tab on the button hands the keys back")
        self.keys(Keys.TAB)
        webdriver.ActionChains(self.driver).move_to_element_with_offset(
            self.element("playfield"), -100, 0).click().perform()
        self.assertEqual(self.active(), "keys", "a click on the playfield gives the keys back")
        self.assertEqual(self.element("run").text, "Unpause", "without pressing the button")

    def test_bundled_maze_by_its_link_address(self):
        self.open("?level=maze")
        self.assertEqual(self.element("level-name").text, "maze")
        name, field = self.element("level-name").rect, self.element("playfield").rect
        self.assertGreaterEqual(name["x"], 320, "the name stands beside the playfield")
        self.assertLess(name["y"], field["height"])
        shown = self.canvas()
        expected = expected_playfield(os.path.join(FOLDER, "levels", "maze"))
        self.assertTrue(all(shown[y][x] == expected[y][x] for y in range(240) for x in range(320)))
        self.open("?level=..%2Fsecret")
        self.assertIn('no bundled level named "../secret"', self.element("message-text").text)

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
        self.wait_for(lambda: os.path.basename(folder) in self.element("level-name").text,
                      "the picked level")
        time.sleep(0.3)
        shown = self.canvas()
        expected = expected_playfield(level)
        self.assertTrue(all(shown[y][x] == expected[y][x] for y in range(240) for x in range(320)))
        self.assertEqual(self.driver.execute_script(
            "return performance.getEntriesByType('resource').length"), requests,
            "a picked folder is read in the page, and nothing is fetched")
        self.assertTrue(self.element("message").get_attribute("hidden"))
        shutil.rmtree(folder)


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
        # The map says the key at the W place types w, whatever the event says it typed.
        self.assertTrue(self.car_2_steers_by([("ц", "KeyW")]))
        self.assertTrue(self.driver.execute_script("return !!navigator.keyboard.getLayoutMap"))

    def test_without_one_latin_letters_by_what_they_type_and_others_by_place(self):
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "delete Keyboard.prototype.getLayoutMap"})
        try:
            self.assertFalse(self.car_2_steers_by([("z", "KeyW"), (";", "KeyW")]),
                             "a Latin z or punctuation at the W place steers nothing")
            self.assertTrue(self.car_2_steers_by([("ц", "KeyW")]), "Cyrillic by its place")
            self.assertTrue(self.car_2_steers_by([("w", "KeyZ")]), "a Latin w wherever it is")
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", script)


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
            self.assertTrue(any("Car1down.gif" in entry["message"]
                                for entry in self.driver.get_log("browser")
                                if entry["level"] == "SEVERE"))
            self.element("message-ok").click()
            self.assertTrue(box.get_attribute("hidden"))
            self.element("run").click()
            self.assertEqual(self.element("run").text, "Start!", "a stopped game stays stopped")
        finally:
            site.close()

    def test_a_tile_picture_whose_name_holds_a_space(self):
        tiles = open(os.path.join(FOLDER, "TilesMap.txt"), "rb").read()
        changed = tiles.replace(b"g", b" ", 1)  # the first grass cell, top left
        red = open(os.path.join(FOLDER, "Tilev.bmp"), "rb").read()
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
    """Each game pixel is an exact square of device pixels, car edges included."""
    width, height, ratio = 600, 400, 2

    def test_each_game_pixel_is_zoom_by_zoom_device_pixels(self):
        self.open()
        zoom = self.driver.execute_script(
            "return Math.round(document.getElementById('playfield').getBoundingClientRect()"
            ".width * devicePixelRatio / 417)")
        self.assertEqual(zoom, self.expected_zoom)
        self.element("run").click()
        self.keys(Keys.ARROW_UP, "w")
        time.sleep(0.33)  # the cars halfway between cells
        self.element("run").click()
        screen = decode_png(self.driver.get_screenshot_as_png())
        frame = self.canvas()
        wrong = [(x, y) for y in range(240 * zoom) for x in range(320 * zoom)
                 if screen[y][x] != frame[y // zoom][x // zoom]]
        self.assertEqual(wrong[:5], [], "%d device pixels differ" % len(wrong))


SharpPixels.expected_zoom = 2


class SharpPixelsAtOneAndAHalf(SharpPixels):
    width, height, ratio = 700, 560, 1.5
    expected_zoom = 2


class SharpPixelsAtOneAndAQuarter(SharpPixels):
    width, height, ratio = 1000, 700, 1.25
    expected_zoom = 2


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    failed = len(result.failures) + len(result.errors)
    print("web: %d passed, %d failed" % (result.testsRun - failed, failed))
    sys.exit(1 if failed else 0)
