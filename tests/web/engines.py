# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""The three browser engines the page is tested in, behind one small face: Chromium through
chromedriver, WebKitGTK through WebKitWebDriver and MiniBrowser under Xvfb, and Firefox over
WebDriver BiDi through puppeteer-core (firefox_bridge.js). Each gives the page tests a driver with
selenium's get, refresh, title, execute_script, find_element and get_screenshot_as_png, and the
few things the tests need beyond them."""
import atexit
import base64
import glob
import json
import os
import subprocess
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options as ChromeOptions
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

HERE = os.path.dirname(os.path.abspath(__file__))

# Selenium's key characters by the names puppeteer gives the same keys.
PUPPETEER_KEYS = {Keys.ARROW_UP: "ArrowUp", Keys.ARROW_DOWN: "ArrowDown",
                  Keys.ARROW_LEFT: "ArrowLeft", Keys.ARROW_RIGHT: "ArrowRight", Keys.TAB: "Tab",
                  Keys.ENTER: "Enter", Keys.SPACE: " ", Keys.ESCAPE: "Escape",
                  Keys.PAGE_DOWN: "PageDown", Keys.END: "End", Keys.SHIFT: "Shift"}


class Selenium:
    """What chromedriver and WebKitWebDriver share: keys and clicks as WebDriver actions."""

    def keys(self, *keys):
        webdriver.ActionChains(self.driver).send_keys(*keys).perform()

    def shift_tab(self):
        webdriver.ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(
            Keys.SHIFT).perform()

    def click_at(self, element, dx, dy):
        """A click this far from an element's centre."""
        webdriver.ActionChains(self.driver).move_to_element_with_offset(element, dx, dy).click(
            ).perform()

    def quit(self):
        self.driver.quit()


class Chromium(Selenium):
    name = "chromium"
    ratios = True  # any devicePixelRatio
    touch = True
    preloads = True
    console = True
    pick_folders = True

    def __init__(self, width, height, ratio, scrollbars=False, coarse=False):
        options = ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                         "--no-first-run", "--disable-background-networking",
                         "--disable-component-update", "--disable-sync",
                         "--window-size=%d,%d" % (width, height),
                         "--force-device-scale-factor=%s" % ratio):
            options.add_argument(argument)
        if not scrollbars:
            options.add_argument("--hide-scrollbars")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=ChromeService("/usr/bin/chromedriver"),
                                       options=options)
        if coarse:
            self.emulate(width, height, ratio)

    def emulate(self, width, height, ratio, insets=None):
        """A phone or tablet, before the page loads."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": True})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                    {"enabled": True, "maxTouchPoints": 5})
        if insets:
            top, right, bottom, left = insets
            self.driver.execute_cdp_cmd("Emulation.setSafeAreaInsetsOverride", {"insets": {
                "top": top, "right": right, "bottom": bottom, "left": left}})

    def fingers(self, kind, *points):
        """One touch event with every finger it names: (id, x, y) in CSS pixels."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"x": x, "y": y, "id": id} for id, x, y in points]})

    def tap(self, x, y):
        self.fingers("touchStart", (1, x, y))
        self.fingers("touchEnd")

    def preload(self, source):
        return self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                           {"source": source})["identifier"]

    def unpreload(self, identifier):
        self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument",
                                    {"identifier": identifier})

    def errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser")
                if entry["level"] == "SEVERE"]


class WebKit(Selenium):
    """MiniBrowser on a private X server: WebKitGTK, the engine of Safari."""
    name = "webkit"
    ratios = False
    touch = False  # its driver's touch actions come as a mouse's pointer events
    preloads = False
    console = False
    pick_folders = False
    display = None

    def __init__(self, width, height, ratio, scrollbars=False, coarse=False):
        from selenium.webdriver.webkitgtk.options import Options
        if WebKit.display is None:
            WebKit.display = subprocess.Popen(["Xvfb", ":87", "-screen", "0", "2000x1400x24",
                                               "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
            atexit.register(lambda: (WebKit.display.kill(), WebKit.display.wait()))
            time.sleep(1)
        os.environ["DISPLAY"] = ":87"
        options = Options()
        options.binary_location = glob.glob("/usr/lib/*/webkit2gtk-4.*/MiniBrowser")[0]
        options.add_argument("--automation")
        # Selenium 4.8's class still takes the driver's path by name.
        self.driver = webdriver.WebKitGTK(options=options,
                                          executable_path="/usr/bin/WebKitWebDriver")
        self.driver.set_window_rect(0, 0, width, height)
        # The window's frame takes part of its size; make the viewport what was asked for.
        inner = self.driver.execute_script("return [innerWidth, innerHeight]")
        self.driver.set_window_rect(0, 0, 2 * width - inner[0], 2 * height - inner[1])

    def errors(self):
        return []  # its driver keeps the console to itself


class FirefoxElement:
    def __init__(self, page, selector):
        self.page = page
        self.selector = selector

    def _run(self, body):
        return self.page.execute_script("const e = arguments[0];" + body, self)

    @property
    def rect(self):
        return self._run("const r = e.getBoundingClientRect();"
                         "return {x: r.x, y: r.y, width: r.width, height: r.height}")

    @property
    def text(self):
        return self._run("return e.innerText.trim()")

    def get_attribute(self, name):
        # As selenium: a boolean attribute present reads "true".
        return self._run("return e.hasAttribute(arguments[1]) ? (e.getAttribute(arguments[1]) ||"
                         " 'true') : null".replace("arguments[1]", json.dumps(name)))

    def is_enabled(self):
        return self._run("return !e.disabled")

    def is_displayed(self):
        return self._run("const r = e.getBoundingClientRect();"
                         "return r.width > 0 && r.height > 0 &&"
                         " getComputedStyle(e).visibility !== 'hidden'")

    def click(self):
        rect = self.rect
        self.page.call("click", x=rect["x"] + rect["width"] / 2, y=rect["y"] + rect["height"] / 2)


class FirefoxFrames:
    """selenium's switch_to, for the frames that the page tests enter."""

    def __init__(self, firefox):
        self.firefox = firefox

    def frame(self, index):
        self.firefox.call("frame", index=index)

    def default_content(self):
        self.firefox.call("frame", index=None)


class Firefox:
    """Firefox ESR, headless, through firefox_bridge.js."""
    name = "firefox"
    ratios = True
    touch = True
    preloads = True
    console = True
    pick_folders = False

    def __init__(self, width, height, ratio, scrollbars=False, coarse=False):
        self.process = subprocess.Popen(["node", os.path.join(HERE, "firefox_bridge.js")],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                        cwd=HERE)
        self.driver = self
        self.switch_to = FirefoxFrames(self)
        self.held = set()
        self.call("launch", width=width, height=height, ratio=ratio, coarse=coarse,
                  classicScrollbars=scrollbars)

    def call(self, op, **args):
        self.process.stdin.write(json.dumps({"op": op, "args": args}) + "\n")
        self.process.stdin.flush()
        answer = json.loads(self.process.stdout.readline())
        if "error" in answer:
            raise RuntimeError("Firefox: " + answer["error"])
        return answer["value"]

    # selenium's face
    def get(self, url):
        self.call("goto", url=url)

    def refresh(self):
        self.call("reload")

    @property
    def title(self):
        return self.call("title")

    def execute_script(self, script, *args):
        passed = [{"__element": a.selector} if isinstance(a, FirefoxElement) else a for a in args]
        return self.call("evaluate", body=script, args=passed)

    def find_element(self, by, value):
        selector = {By.ID: "#" + value, By.CSS_SELECTOR: value, By.TAG_NAME: value}[by]
        return FirefoxElement(self, selector)

    def get_screenshot_as_png(self):
        return base64.b64decode(self.call("screenshot"))

    # beyond it
    def keys(self, *keys):
        for key in keys:
            self.call("press", key=PUPPETEER_KEYS.get(key, key))

    def shift_tab(self):
        self.call("keyDown", key="Shift")
        self.call("press", key="Tab")
        self.call("keyUp", key="Shift")

    def click_at(self, element, dx, dy):
        rect = element.rect
        self.call("click", x=rect["x"] + rect["width"] / 2 + dx,
                  y=rect["y"] + rect["height"] / 2 + dy)

    def emulate(self, width, height, ratio, insets=None):
        pass  # launched as a touch screen of that size

    def fingers(self, kind, *points):
        """As Chromium's touch events, one touch at a time: BiDi has a source per finger."""
        if kind == "touchStart":
            for id, x, y in points:
                if id not in self.held:
                    self.call("touchStart", id=id, x=x, y=y)
                    self.held.add(id)
        elif kind == "touchMove":
            for id, x, y in points:
                self.call("touchMove", id=id, x=x, y=y)
        else:
            # Chromium ends the fingers it is not told of; so does this.
            ending = {id for id, _, _ in points} if points else set(self.held)
            for id in ending:
                self.call("touchEnd", id=id)
            self.held -= ending

    def tap(self, x, y):
        self.call("tap", x=x, y=y)

    def preload(self, source):
        return self.call("preload", source=source)

    def unpreload(self, identifier):
        self.call("unpreload", identifier=identifier)

    def errors(self):
        return self.call("errors")

    def quit(self):
        self.call("close")
        self.process.wait()


ENGINES = {engine.name: engine for engine in (Chromium, Firefox, WebKit)}
