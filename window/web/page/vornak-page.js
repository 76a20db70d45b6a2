// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The page around the game: what only the browser can do. It fetches a level's files, or reads
// them from a folder the player picks, and hands them and every event to the program, which
// makes every decision and writes every message.
"use strict";

const LevelFileNames = ["TilesMap.txt", "BlocksMap.txt", "Cars.txt"];
const LetterCodes = Array.from({length: 26}, (_, i) => "Key" + String.fromCharCode(65 + i));
// Why a file cannot be read, in the program's numbering.
const Unreadable = {noAnswer: 0, serverStatus: 1, brokenTransfer: 2, blocked: 3, pickedFile: 4};

// Ends a level's loading once the program has said why, or once a newer load replaced it.
class Stopped extends Error {}

const VornakPage = {
  layoutMap: null,
  // The one load that counts: its number in the program, and what aborts its fetches.
  load: null,
  ratioQuery: null,
  violations: 0,
  // Pointers followed from a press on the game area to their end.
  pointers: new Set(),
  padsPolled: false,
  clockRunning: false,
  wakeLock: null,

  call(name, returns, types, args) {
    return Module.ccall(name, returns, types, args);
  },

  showMessage(text) {
    console.error("Vornak: " + text);
    const box = document.getElementById("message");
    document.getElementById("message-text").textContent = text;
    box.hidden = false;
    document.getElementById("message-ok").focus();
  },

  // The keys go back to the cars where a game plays, and to the links where none does.
  closeMessage() {
    document.getElementById("message").hidden = true;
    if (Module._vornak_playing()) {
      document.getElementById("keys").focus({preventScroll: true});
      return;
    }
    const below = document.getElementById("below");
    below.scrollIntoView({block: "nearest"});
    below.querySelector("a").focus({preventScroll: true});
  },

  // The program could not be had: nothing of the game can run, so the page alone says so.
  programFailed() {
    if (this.programFailedShown) return;
    this.programFailedShown = true;
    document.getElementById("run").disabled = true;
    this.showMessage("The game's program could not be loaded, so the game cannot start. Reload " +
                     "the page; if that does not help, the site is missing some of the game's " +
                     "files, or something between you and it blocks them.");
  },

  // A load that a newer one has not replaced; whatever arrives for another is dropped.
  check(load) {
    if (load !== this.load) throw new Stopped();
  },

  // The file's bytes into the program's memory; a refusal or a newer load stops this one.
  put(load, name, bytes) {
    this.check(load);
    const pointer = Module._malloc(Math.max(bytes.length, 1));
    Module.HEAPU8.set(bytes, pointer);
    try {
      if (this.call("vornak_put_file", "number", ["number", "string", "number", "number"],
                    [load.attempt, name, pointer, bytes.length]) !== 1) throw new Stopped();
    } finally {
      Module._free(pointer);
    }
  },

  // Counts bytes against the level's budget as they come, across all its fetches together.
  reserve(load, name, size) {
    this.check(load);
    if (this.call("vornak_reserve", "number", ["number", "string", "number"],
                  [load.attempt, name, size]) !== 1) throw new Stopped();
  },

  unreadable(load, name, cause, status, detail) {
    this.check(load);
    this.call("vornak_put_unreadable", null, ["number", "string", "number", "number", "string"],
              [load.attempt, name, cause, status, detail]);
  },

  // A response's bytes, or null when the transfer broke off, which the program was told. Some
  // browsers end a body cut short as if it were whole; its length then says otherwise.
  async readBody(load, name, response) {
    const announced = response.headers.get("Content-Encoding") ? null
        : response.headers.get("Content-Length");
    const reader = response.body.getReader();
    const chunks = [];
    let size = 0;
    for (;;) {
      let part;
      try {
        part = await reader.read();
      } catch (error) {
        this.unreadable(load, name, Unreadable.brokenTransfer, 0, String(error.message || error));
        return null;
      }
      if (part.done) {
        if (announced !== null && Number(announced) !== size) {
          this.unreadable(load, name, Unreadable.brokenTransfer, 0,
                          size + " of " + announced + " bytes");
          return null;
        }
        break;
      }
      try {
        this.reserve(load, name, part.value.length);
      } catch (stopped) {
        reader.cancel();
        throw stopped;
      }
      chunks.push(part.value);
      size += part.value.length;
    }
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  },

  async fetchInto(load, folder, name) {
    const url = folder + this.call("vornak_url_of", "string", ["string"], [name]);
    const violationsBefore = this.violations;
    let response;
    try {
      response = await fetch(url, {cache: "no-cache", signal: load.aborts.signal});
    } catch (error) {
      this.check(load);
      // The policy reports a blocked request on its own, around the time the fetch fails.
      await new Promise((resolve) => setTimeout(resolve, 50));
      const cause = this.violations > violationsBefore ? Unreadable.blocked : Unreadable.noAnswer;
      this.unreadable(load, name, cause, 0, "");
      return;
    }
    this.check(load);
    if (response.status === 404) return;  // missing, which only the game's open may mind
    if (!response.ok) {
      this.unreadable(load, name, Unreadable.serverStatus, response.status, response.statusText);
      return;
    }
    const bytes = await this.readBody(load, name, response);
    if (bytes !== null) this.put(load, name, bytes);
  },

  picturesToFetch() {
    return this.call("vornak_pictures_to_fetch", "string", [], []).split("\n").filter(Boolean);
  },

  // A new load replaces any other: its fetches are aborted and its files dropped.
  begin(displayName) {
    if (this.load) this.load.aborts.abort();
    const attempt = this.call("vornak_begin_level", "number", ["string"], [displayName]);
    this.load = {attempt, aborts: new AbortController()};
    return this.load;
  },

  start(load) {
    this.check(load);
    this.call("vornak_start", "number", ["number"], [load.attempt]);
    this.keysFocused(document.activeElement === document.getElementById("keys"));
  },

  // Runs one load to its start; a stop ends it quietly, since whoever stopped it has spoken.
  async play(load, steps) {
    try {
      await steps();
      this.start(load);
    } catch (error) {
      load.aborts.abort();
      if (!(error instanceof Stopped)) throw error;
    }
  },

  playFromServer(folder, displayName) {
    const load = this.begin(displayName);
    return this.play(load, async () => {
      for (const name of LevelFileNames) await this.fetchInto(load, folder, name);
      await Promise.all(this.picturesToFetch().map((name) => this.fetchInto(load, folder, name)));
    });
  },

  // files: the files directly in the folder, by name. Nothing leaves the page.
  playFromFiles(files, displayName) {
    if (files.size === 0) {
      this.call("vornak_not_a_level_folder", null, ["number"], [0]);
      return Promise.resolve();
    }
    const load = this.begin(displayName);
    const putFile = async (name) => {
      const file = files.get(name);
      if (file === undefined) return;
      this.reserve(load, name, file.size);
      let bytes;
      try {
        bytes = new Uint8Array(await file.arrayBuffer());
      } catch (error) {
        this.unreadable(load, name, Unreadable.pickedFile, 0, error.name || "");
        return;
      }
      this.put(load, name, bytes);
    };
    return this.play(load, async () => {
      for (const name of LevelFileNames) await putFile(name);
      for (const name of this.picturesToFetch()) await putFile(name);
    });
  },

  // The picker lists a folder's subfolders too; only the files directly in it count.
  pickedFolder(list) {
    const files = new Map();
    let folder = "";
    for (const file of list) {
      const parts = file.webkitRelativePath.split("/");
      if (parts.length === 2) {
        files.set(parts[1], file);
        folder = parts[0];
      }
    }
    this.playFromFiles(files, folder);
  },

  async droppedFolder(entry) {
    const files = new Map();
    const reader = entry.createReader();
    for (;;) {
      const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (batch.length === 0) break;
      for (const child of batch) {
        if (child.isFile) {
          files.set(child.name, await new Promise((resolve, reject) => child.file(resolve, reject)));
        }
      }
    }
    this.playFromFiles(files, entry.name);
  },

  async readLayout() {
    if (!navigator.keyboard || !navigator.keyboard.getLayoutMap) {
      this.call("vornak_layout", null, ["string"], [""]);
      return;
    }
    try {
      this.layoutMap = await navigator.keyboard.getLayoutMap();
      this.call("vornak_layout", null, ["string"],
                [LetterCodes.map((code) => this.layoutMap.get(code) || "").join("\n")]);
    } catch (error) {
      this.call("vornak_layout", null, ["string"], [""]);
    }
  },

  viewport() {
    const ratio = window.devicePixelRatio || 1;
    // The root's client box leaves out classic scrollbars, which innerWidth and innerHeight hold;
    // the probe is the dynamic viewport, less the browser's bars, with the safe-area insets.
    const root = document.documentElement;
    const probe = document.getElementById("viewport-probe");
    const inset = getComputedStyle(probe);
    const height = Math.min(root.clientHeight, probe.getBoundingClientRect().height);
    this.call("vornak_viewport", "number", Array(8).fill("number"),
              [root.clientWidth, height, ratio, parseFloat(inset.paddingTop) || 0,
               parseFloat(inset.paddingRight) || 0, parseFloat(inset.paddingBottom) || 0,
               parseFloat(inset.paddingLeft) || 0, matchMedia("(pointer: coarse)").matches]);
    // A move to a screen of another ratio says nothing to "resize"; a query on the ratio does.
    if (this.ratioQuery === null || this.ratioQuery.ratio !== ratio) {
      if (this.ratioQuery) this.ratioQuery.list.removeEventListener("change", this.ratioQuery.changed);
      const list = matchMedia("(resolution: " + ratio + "dppx)");
      const changed = () => this.viewport();
      list.addEventListener("change", changed);
      this.ratioQuery = {ratio, list, changed};
    }
  },

  // The program chose the touch layout, or the desktop's.
  touchLayout(touch) {
    document.body.classList.toggle("touch", touch);
    document.getElementById("fullscreen-line").hidden = !(touch && document.fullscreenEnabled);
  },

  // Touches anywhere on the game area but the button, and a mouse pressing a pad's arrow, go to
  // the program as points; it decides what they press.
  onPointer(event, phase) {
    const touch = event.pointerType !== "mouse";
    if (phase === 0) {
      if (!(event.target instanceof Element) || event.target.closest("#run, #message")) return;
      if (!touch && (event.button !== 0 || !event.target.closest(".arrow"))) return;
      event.preventDefault();  // no focus moves, and no mouse events follow
      this.pointers.add(event.pointerId);
    } else if (!this.pointers.has(event.pointerId)) {
      return;
    }
    if (phase >= 2) this.pointers.delete(event.pointerId);
    const box = document.getElementById("game").getBoundingClientRect();
    Module._vornak_touch(event.pointerId, phase, event.clientX - box.left,
                         event.clientY - box.top, touch ? 1 : 0);
  },

  // A permissions policy may forbid the pads; then there are none.
  gamepads() {
    try {
      return navigator.getGamepads ? Array.from(navigator.getGamepads()).filter(Boolean) : [];
    } catch (error) {
      return [];
    }
  },

  // Once per animation frame while a pad is connected, and not at all otherwise.
  pollGamepads() {
    const pads = this.gamepads();
    for (const pad of pads) {
      if (pad.index > 1) continue;
      let buttons = 0;
      for (const button of [9, 12, 13, 14, 15]) {
        if (pad.buttons[button] && pad.buttons[button].pressed) buttons |= 1 << button;
      }
      Module._vornak_gamepad(pad.index, pad.mapping === "standard" ? 1 : 0, buttons,
                             pad.axes[0] || 0, pad.axes[1] || 0);
    }
    this.padsPolled = pads.length > 0;
    if (this.padsPolled) requestAnimationFrame(() => this.pollGamepads());
  },

  startGamepads() {
    if (!this.padsPolled && this.gamepads().length > 0) {
      this.padsPolled = true;
      requestAnimationFrame(() => this.pollGamepads());
    }
  },

  // The screen stays awake while the clock runs, and is asked again on coming back into view.
  clockChanged(running) {
    this.clockRunning = running;
    this.holdWakeLock();
  },

  async holdWakeLock() {
    const wanted = this.clockRunning && document.visibilityState === "visible";
    if (!wanted && this.wakeLock) {
      const lock = this.wakeLock;
      this.wakeLock = null;
      lock.release().catch(() => {});
    } else if (wanted && !this.wakeLock && navigator.wakeLock) {
      try {
        const lock = await navigator.wakeLock.request("screen");
        lock.addEventListener("release", () => {
          if (this.wakeLock === lock) this.wakeLock = null;
        });
        this.wakeLock = lock;
        if (!this.clockRunning) this.holdWakeLock();  // paused while it was asked for
      } catch (error) {
        // Refused (no permission, a hidden page, an iframe without it): the game plays on.
      }
    }
  },

  // After one visit the page plays with no network; without a worker it works as it is.
  async registerWorker() {
    try {
      if (!("serviceWorker" in navigator)) return;
      const hadWorker = navigator.serviceWorker.controller !== null;
      const registration = await navigator.serviceWorker.register("service-worker.js");
      // The worker may be past installing, or even active, by the time the promise resolves.
      const worker = registration.installing || registration.waiting || registration.active;
      if (hadWorker || !worker) return;
      const ready = () => {
        if (worker.state === "activated") document.getElementById("offline-ready").hidden = false;
      };
      worker.addEventListener("statechange", ready);
      ready();
    } catch (error) {
      // A sandboxed frame, a private window or a refusal: no offline play, and nothing else lost.
    }
  },

  async fullScreen() {
    try {
      await document.documentElement.requestFullscreen();
      if (screen.orientation && screen.orientation.lock) {
        await screen.orientation.lock("landscape").catch(() => {});
      }
    } catch (error) {
      // Refused: the page stays as it is.
    }
  },

  keysFocused(steering) {
    Module._vornak_keys_focus(steering ? 1 : 0);
  },

  onKeyDown(event) {
    const keys = document.getElementById("keys");
    const run = document.getElementById("run");
    const message = document.getElementById("message");
    if (!message.hidden) {
      if (event.key === "Escape") {
        event.preventDefault();
        this.closeMessage();
      }
      return;
    }
    let active = document.activeElement;
    if ((active === null || active === document.body) && Module._vornak_playing()) {
      keys.focus({preventScroll: true});
      active = keys;
    }
    if (active === keys) {
      if (event.key === "Tab") {
        // Tab goes on to the button, next in the tab order; Shift+Tab back out to the links.
        if (event.shiftKey) {
          event.preventDefault();
          document.querySelector("#below a").focus();
        }
        return;
      }
      const typed = this.layoutMap ? this.layoutMap.get(event.code) || "" : "";
      const consumed = this.call(
          "vornak_key_down", "number",
          ["string", "string", "string", "number", "number", "number", "number"],
          [event.code, event.key, typed, event.shiftKey, event.ctrlKey, event.altKey,
           event.metaKey]);
      if (consumed) event.preventDefault();
      this.readLayout();  // the player may have switched layouts; the next key sees it
    } else if (active === run) {
      if (event.key === "Tab" && !event.shiftKey) {
        // While the clock runs the keys come back, as after any press; else on to the links.
        if (Module._vornak_clock_running()) {
          event.preventDefault();
          Module._vornak_click_outside_controls();
        }
      } else if (event.key === "Enter" && event.repeat) {
        event.preventDefault();
      } else if (event.key !== " " &&
                 this.call("vornak_prevents_browser_action", "number",
                           ["string", "number", "number", "number"],
                           [event.key, event.ctrlKey, event.altKey, event.metaKey])) {
        event.preventDefault();
      }
    }
  },

  // A click on the game area but the button gives the keys back; the text below keeps its
  // clicks, so that it can be selected.
  onMouseDown(event) {
    const target = event.target;
    if (!(target instanceof Element) || event.button !== 0) return;
    if (!target.closest("#game") || target.closest("button, a, input, label")) return;
    if (!Module._vornak_playing()) return;
    event.preventDefault();
    Module._vornak_click_outside_controls();
  },

  wire() {
    const keys = document.getElementById("keys");
    document.addEventListener("keydown", (event) => this.onKeyDown(event), true);
    document.addEventListener("mousedown", (event) => this.onMouseDown(event), true);
    document.addEventListener("securitypolicyviolation", () => ++this.violations);
    keys.addEventListener("focus", () => this.keysFocused(true));
    keys.addEventListener("blur", () => this.keysFocused(false));
    window.addEventListener("focus", () => {
      if (document.activeElement === null || document.activeElement === document.body) {
        Module._vornak_page_focus();
      }
    });
    document.getElementById("run").addEventListener("click", () => Module._vornak_run_click());
    document.getElementById("message-ok").addEventListener("click", () => this.closeMessage());
    document.getElementById("folder").addEventListener("change", (event) => {
      const list = event.target.files;
      if (list.length > 0) {
        this.pickedFolder(list);
      } else {
        this.call("vornak_not_a_level_folder", null, ["number"], [0]);
      }
      event.target.value = "";
    });
    document.addEventListener("dragover", (event) => {
      event.preventDefault();
      document.body.classList.add("dropping");
    });
    document.addEventListener("dragleave", () => document.body.classList.remove("dropping"));
    document.addEventListener("drop", (event) => {
      event.preventDefault();
      document.body.classList.remove("dropping");
      const item = event.dataTransfer.items[0];
      const entry = item && item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
      if (entry && entry.isDirectory) {
        this.droppedFolder(entry);
      } else if (entry) {
        this.call("vornak_not_a_level_folder", null, ["number"], [1]);
      }
    });
    window.addEventListener("resize", () => this.viewport());
    matchMedia("(pointer: coarse)").addEventListener("change", () => this.viewport());
    const game = document.getElementById("game");
    const phases = {pointerdown: 0, pointermove: 1, pointerup: 2, pointercancel: 3};
    for (const [type, phase] of Object.entries(phases)) {
      game.addEventListener(type, (event) => this.onPointer(event, phase));
    }
    game.addEventListener("contextmenu", (event) => event.preventDefault());
    // iOS Safari zooms on a pinch whatever the viewport says; its gesture events can stop it.
    for (const type of ["gesturestart", "gesturechange", "gestureend"]) {
      document.addEventListener(type, (event) => event.preventDefault());
    }
    window.addEventListener("gamepadconnected", () => this.startGamepads());
    window.addEventListener("gamepaddisconnected",
                            (event) => Module._vornak_gamepad_gone(event.gamepad.index));
    document.addEventListener("visibilitychange", () => this.holdWakeLock());
    document.getElementById("fullscreen").addEventListener("click", () => this.fullScreen());
  },

  run() {
    this.wire();
    this.viewport();
    this.startGamepads();
    const name = new URLSearchParams(location.search).get("level") || "";
    // "" when there is no such level, which the program has said.
    const folder = this.call("vornak_level_folder", "string", ["string"], [name]);
    const level = folder === "" ? Promise.resolve()
        : this.readLayout().then(() => this.playFromServer(folder, name || "circuit"));
    // The worker's own fetches wait for the level's, which the player is waiting for.
    level.finally(() => this.registerWorker());
  },
};

var Module = {
  onRuntimeInitialized: () => VornakPage.run(),
  onAbort: () => VornakPage.programFailed(),
};

// A program script that cannot be fetched never calls onAbort. Its error event may come before
// this script runs, so the page's load, which waits for every script, looks as well.
document.getElementById("program").addEventListener("error", () => VornakPage.programFailed());
window.addEventListener("load", () => {
  if (typeof Module.ccall !== "function") VornakPage.programFailed();
});

// Opened as a file, the page can fetch neither its program nor its level: say how to serve it
// rather than show an empty area.
document.addEventListener("DOMContentLoaded", () => {
  if (location.protocol === "file:") {
    document.getElementById("served-from-file").hidden = false;
    document.getElementById("game").hidden = true;
  }
});
