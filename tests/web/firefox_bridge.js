// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Firefox for the page's tests, over WebDriver BiDi through puppeteer-core, which drives the
// Firefox installed here and downloads nothing. The Python tests send one JSON command a line
// on standard input and read one JSON answer a line.
"use strict";

const puppeteer = require("puppeteer-core");
const readline = require("readline");

let browser = null;
let page = null;
let errors = [];
const touches = new Map();
// The frame that scripts run in, and where its viewport stands on the page's, for clicks.
let scope = null;
let offset = {x: 0, y: 0};

async function launch({width, height, ratio, coarse, classicScrollbars}) {
  const prefs = {};
  if (coarse) prefs["ui.primaryPointerCapabilities"] = 1;
  if (classicScrollbars) prefs["widget.gtk.overlay-scrollbars.enabled"] = false;
  browser = await puppeteer.launch({browser: "firefox", executablePath: "/usr/bin/firefox-esr",
                                    headless: true, extraPrefsFirefox: prefs});
  page = await browser.newPage();
  await page.setViewport({width, height, deviceScaleFactor: ratio, hasTouch: Boolean(coarse)});
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(message.text());
  });
}

// Runs a script body as selenium's execute_script does: arguments[] in, its value out; an
// element argument is named by its selector.
function evaluate(body, args) {
  const source = "((args) => { const resolved = args.map((a) => a && a.__element ? " +
      "document.querySelector(a.__element) : a); return (function () {" + body +
      "\n}).apply(null, resolved); })(" + JSON.stringify(args) + ")";
  return (scope || page).evaluate(source);
}

async function enterFrame({index}) {
  if (index === null) {
    scope = null;
    offset = {x: 0, y: 0};
    return;
  }
  scope = page.mainFrame().childFrames()[index];
  offset = await (await scope.frameElement()).evaluate((frame) => {
    const box = frame.getBoundingClientRect();
    return {x: box.x + frame.clientLeft, y: box.y + frame.clientTop};
  });
}

const operations = {
  launch,
  goto: ({url}) => page.goto(url, {waitUntil: "load"}).then(() => null),
  reload: () => page.reload({waitUntil: "load"}).then(() => null),
  title: () => page.title(),
  evaluate: ({body, args}) => evaluate(body, args),
  click: async ({x, y}) => page.mouse.click(x + offset.x, y + offset.y),
  frame: enterFrame,
  keyDown: ({key}) => page.keyboard.down(key),
  keyUp: ({key}) => page.keyboard.up(key),
  press: ({key}) => page.keyboard.press(key),
  touchStart: async ({id, x, y}) => {
    touches.set(id, await page.touchscreen.touchStart(x, y));
  },
  touchMove: ({id, x, y}) => touches.get(id).move(x, y),
  // One action sequence, so that a loaded machine cannot stretch the tap past the 300 ms after
  // which Firefox no longer takes a touch for a click.
  tap: ({x, y}) => page.mainFrame().browsingContext.performActions([{
    type: "pointer", id: "tap", parameters: {pointerType: "touch"},
    actions: [{type: "pointerMove", x: Math.round(x), y: Math.round(y)},
              {type: "pointerDown", button: 0}, {type: "pause", duration: 60},
              {type: "pointerUp", button: 0}],
  }]).then(() => null),
  touchEnd: async ({id}) => {
    await touches.get(id).end();
    touches.delete(id);
  },
  preload: async ({source}) => (await page.evaluateOnNewDocument(source)).identifier,
  unpreload: ({identifier}) => page.removeScriptToEvaluateOnNewDocument(identifier),
  screenshot: () => page.screenshot({encoding: "base64"}),
  errors: () => {
    const seen = errors;
    errors = [];
    return seen;
  },
  close: () => browser.close(),
};

const lines = readline.createInterface({input: process.stdin});
lines.on("line", async (line) => {
  const {op, args} = JSON.parse(line);
  let answer;
  try {
    const value = await operations[op](args || {});
    answer = {value: value === undefined ? null : value};
  } catch (error) {
    answer = {error: String(error && error.stack || error)};
  }
  process.stdout.write(JSON.stringify(answer) + "\n");
  if (op === "close") process.exit(0);
});
