// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT
// The floor of the page's start: the same level files fetched, and the same 300 tiles drawn,
// with the browser's own decoders and no game at all.
"use strict";
(async () => {
  const bytes = async (name) => new Uint8Array(await (await fetch(name)).arrayBuffer());
  const tiles = await bytes("TilesMap.txt");
  await bytes("BlocksMap.txt");
  await bytes("Cars.txt");
  const context = document.getElementById("playfield").getContext("2d");
  const characters = Array.from(tiles).filter((b) => b !== 0 && b !== 10 && b !== 13);
  const names = [...new Set(characters)];
  const blobs = new Map(await Promise.all(names.map(async (c) =>
    [c, await (await fetch("Tile" + encodeURIComponent(String.fromCharCode(c)) + ".bmp")).blob()])));
  for (let k = 0; k < characters.length; ++k) {
    const picture = await createImageBitmap(blobs.get(characters[k]));
    context.drawImage(picture, 16 * (k % 20), 16 * Math.floor(k / 20));
  }
  for (const name of ["Car1down.gif", "Car2down.gif"]) {
    context.drawImage(await createImageBitmap(await (await fetch(name)).blob()), 16, 112);
  }
  performance.mark("vornak-first-frame");
})();
