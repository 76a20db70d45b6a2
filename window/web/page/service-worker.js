// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Plays the page with no network after one visit. The build writes the list below from the
// zip's own files, each with its SHA-256, so that it can never drift from what is served, and
// names the cache by it, so that two builds never mix.
"use strict";

const Precache = [/* the build's list */];
const CacheName = "vornak-/* the list's hash */";
const Scope = new URL(self.registration.scope);

// Each file is fetched past the browser's cache and checked against its hash: a stale or broken
// copy fails the install, and the last build's cache stays in use.
self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CacheName);
    await cache.addAll(Precache.map(([path, sha256]) => new Request(path, {
      cache: "reload", integrity: "sha256-" + sha256})));
    await self.skipWaiting();
  })());
});

// The page takes the new files at its next start: a game under way has all it needs in memory.
self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith("vornak-") && name !== CacheName) await caches.delete(name);
    }
  })());
});

self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== "GET" || url.origin !== Scope.origin ||
      !url.pathname.startsWith(Scope.pathname)) {
    return;
  }
  event.respondWith((async () => {
    const cache = await caches.open(CacheName);
    let key = new URL(url.pathname, Scope);
    // ./, index.html and either with a query (?level=maze) are the one page.
    if (event.request.mode === "navigate" && key.href === Scope.href) key = new URL("index.html", Scope);
    const cached = await cache.match(key);
    if (cached) return cached;
    try {
      return await fetch(event.request);
    } catch (error) {
      // Offline, a file that is not in the list stays missing, as the server would say.
      return new Response("", {status: 404, statusText: "Not Found"});
    }
  })());
});
