// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT
// The floor of the page's CPU while playing: two 16 x 16 squares sliding 4 pixels every 50 ms.
"use strict";
const context = document.getElementById("playfield").getContext("2d");
context.fillStyle = "#555";
context.fillRect(0, 0, 417, 241);
let y = 16;
let step = 4;
setInterval(() => {
  context.fillStyle = "#555";
  context.fillRect(16, y, 32, 16);
  y += step;
  if (y <= 16 || y >= 208) step = -step;
  context.fillStyle = "#e02b2b";
  context.fillRect(16, y, 16, 16);
  context.fillStyle = "#2b5be0";
  context.fillRect(32, y, 16, 16);
}, 50);
