// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The page around the game: what only the browser can do. It fetches a level's files, or reads
// them from a folder the player picks, and hands them and every event to the program, which
// makes every decision and writes every message.
"use strict";

const LevelFileNames = ["TilesMap.txt", "BlocksMap.txt", "Cars.txt"];
const LetterCodes = Array.from({length: 26}, (_, i) => "Key" + String.fromCharCode(65 + i));

// Ends a level's loading once the program has said why.
class Stopped extends Error {}

const VornakPage = {
  layoutMap: null,

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

  closeMessage() {
    document.getElementById("message").hidden = true;
    const below = document.getElementById("below");
    below.scrollIntoView({block: "nearest"});
    below.querySelector("a").focus({preventScroll: true});
  },

  // The file's bytes into the program's memory, or false when it said no.
  put(name, bytes) {
    const pointer = Module._malloc(Math.max(bytes.length, 1));
    Module.HEAPU8.set(bytes, pointer);
    try {
      return this.call("vornak_put_file", "number", ["string", "number", "number"],
                       [name, pointer, bytes.length]) === 1;
    } finally {
      Module._free(pointer);
    }
  },

  // Reads a response no further than what is left of the level's budget.
  async readBounded(name, body) {
    const left = Module._vornak_bytes_left();
    const reader = body.getReader();
    const chunks = [];
    let size = 0;
    for (;;) {
      const {done, value} = await reader.read();
      if (done) break;
      size += value.length;
      if (size > left) {
        reader.cancel();
        this.call("vornak_too_large", null, ["string"], [name]);
        throw new Stopped();
      }
      chunks.push(value);
    }
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  },

  async fetchInto(folder, name) {
    const url = folder + this.call("vornak_url_of", "string", ["string"], [name]);
    let response;
    try {
      response = await fetch(url, {cache: "no-cache"});
    } catch (error) {
      this.call("vornak_put_unreadable", null, ["string", "number", "string"], [name, 0, ""]);
      return;
    }
    if (response.status === 404) return;  // missing, which only the game's open may mind
    if (!response.ok) {
      this.call("vornak_put_unreadable", null, ["string", "number", "string"],
                [name, response.status, response.statusText]);
      return;
    }
    if (!this.put(name, await this.readBounded(name, response.body))) throw new Stopped();
  },

  picturesToFetch() {
    return this.call("vornak_pictures_to_fetch", "string", [], []).split("\n").filter(Boolean);
  },

  begin(displayName) {
    document.getElementById("level-name").textContent = displayName;
    Module._vornak_begin_level();
  },

  start() {
    this.call("vornak_start", "number", [], []);
    this.keysFocused(document.activeElement === document.getElementById("keys"));
  },

  async playFromServer(folder, displayName) {
    this.begin(displayName);
    try {
      for (const name of LevelFileNames) await this.fetchInto(folder, name);
      await Promise.all(this.picturesToFetch().map((name) => this.fetchInto(folder, name)));
    } catch (error) {
      if (error instanceof Stopped) return;
      throw error;
    }
    this.start();
  },

  // files: the files directly in the folder, by name. Nothing leaves the page.
  async playFromFiles(files, displayName) {
    this.begin(displayName);
    const putFile = async (name) => {
      const file = files.get(name);
      if (file === undefined) return true;
      if (file.size > Module._vornak_bytes_left()) {
        this.call("vornak_too_large", null, ["string"], [name]);
        return false;
      }
      return this.put(name, new Uint8Array(await file.arrayBuffer()));
    };
    for (const name of LevelFileNames) {
      if (!(await putFile(name))) return;
    }
    for (const name of this.picturesToFetch()) {
      if (!(await putFile(name))) return;
    }
    this.start();
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
    this.call("vornak_viewport", "number", ["number", "number", "number"],
              [document.documentElement.clientWidth, window.innerHeight, ratio]);
    // A move to a screen of another ratio says nothing to "resize"; this query does.
    matchMedia("(resolution: " + ratio + "dppx)").addEventListener(
        "change", () => this.viewport(), {once: true});
  },

  keysFocused(steering) {
    Module._vornak_keys_focus(steering ? 1 : 0);
  },

  onKeyDown(event) {
    const keys = document.getElementById("keys");
    const run = document.getElementById("run");
    let active = document.activeElement;
    if ((active === null || active === document.body) && Module._vornak_playing()) {
      keys.focus({preventScroll: true});
      active = keys;
    }
    if (active === keys) {
      if (event.key === "Tab") return;  // on to the button, next in the tab order
      const typed = this.layoutMap ? this.layoutMap.get(event.code) || "" : "";
      const consumed = this.call(
          "vornak_key_down", "number",
          ["string", "string", "string", "number", "number", "number"],
          [event.code, event.key, typed, event.shiftKey, event.ctrlKey, event.altKey]);
      if (consumed) event.preventDefault();
      this.readLayout();  // the player may have switched layouts; the next key sees it
    } else if (active === run) {
      if (event.key === "Tab" && !event.shiftKey) {
        event.preventDefault();
        Module._vornak_click_outside_controls();
      } else if (event.key === "Enter" && event.repeat) {
        event.preventDefault();
      } else if (event.key !== " " &&
                 this.call("vornak_scrolls_the_page", "number", ["string"], [event.key])) {
        event.preventDefault();
      }
    }
  },

  // Links, the picker and the message keep their clicks; anywhere else gives the keys back.
  onMouseDown(event) {
    const target = event.target;
    if (!(target instanceof Element) || event.button !== 0) return;
    if (target.closest("a, button, input, label, select, textarea, #message")) return;
    if (!Module._vornak_playing()) return;
    event.preventDefault();
    Module._vornak_click_outside_controls();
  },

  wire() {
    const keys = document.getElementById("keys");
    document.addEventListener("keydown", (event) => this.onKeyDown(event), true);
    document.addEventListener("mousedown", (event) => this.onMouseDown(event), true);
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
      if (event.target.files.length > 0) this.pickedFolder(event.target.files);
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
      if (entry && entry.isDirectory) this.droppedFolder(entry);
    });
    window.addEventListener("resize", () => this.viewport());
  },

  run() {
    this.wire();
    this.viewport();
    const name = new URLSearchParams(location.search).get("level") || "";
    // "" when there is no such level, which the program has said.
    const folder = this.call("vornak_level_folder", "string", ["string"], [name]);
    if (folder !== "") this.readLayout().then(() => this.playFromServer(folder, name || "circuit"));
  },
};

var Module = {
  onRuntimeInitialized: () => VornakPage.run(),
};

// Opened as a file, the page can fetch neither its program nor its level: say how to serve it
// rather than show an empty area.
document.addEventListener("DOMContentLoaded", () => {
  if (location.protocol === "file:") {
    document.getElementById("served-from-file").hidden = false;
    document.getElementById("game").hidden = true;
  }
});
