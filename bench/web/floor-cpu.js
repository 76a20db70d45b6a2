// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT
// The floor of the page's CPU while playing: two 16 x 16 squares 15 columns apart, as the
// benchmark's cars, sliding 4 pixels every 50 ms, on a canvas as large on the screen as the
// game's (?width=&height= in CSS pixels).
"use strict";
const canvas = document.getElementById("playfield");
const size = new URLSearchParams(location.search);
if (size.has("width")) {
  canvas.style.width = size.get("width") + "px";
  canvas.style.height = size.get("height") + "px";
}
const context = canvas.getContext("2d");
context.fillStyle = "#555";
context.fillRect(0, 0, canvas.width, canvas.height);
let y = 16;
let step = 4;
setInterval(() => {
  context.fillStyle = "#555";
  context.fillRect(32, y, 16, 16);
  context.fillRect(272, y, 16, 16);
  y += step;
  if (y <= 16 || y >= 208) step = -step;
  context.fillStyle = "#2b5be0";
  context.fillRect(32, y, 16, 16);
  context.fillStyle = "#e02b2b";
  context.fillRect(272, y, 16, 16);
}, 50);
