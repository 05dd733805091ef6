// Throngwick's offline copy: every file of this build the page loads, kept once it has been
// loaded, so that the page opens again without the server. The build writes this file with the
// build's hash and each file's SHA-256; a new build is a new worker with a cache of its own, which
// takes over once no page of the last build is open (or at once when a page starting asks it to)
// and deletes the older caches. A file the server sends that is not of this build is
// refused, so a page never mixes files of two builds.
"use strict";

const build = "@BUILD@";
const files = @FILES@;
const cacheName = `throngwick-${build}`;
const shell = ["index.html", "page.css", "page.js", "sound.js", "manifest.json", "files.json"];

self.addEventListener("install", (event) => {
  // Asked of the server anew, not of the browser's own cache, which may hold an older build's.
  event.waitUntil(caches.open(cacheName).then((cache) =>
    cache.addAll(shell.map((name) => new Request(name, { cache: "no-cache" })))));
});

// The page asks a waiting worker to take over before it loads anything large.
self.addEventListener("message", (event) => {
  if (event.data === "take over") self.skipWaiting();
});

self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith("throngwick-") && name !== cacheName) await caches.delete(name);
    await self.clients.claim();
  })());
});

function hex(buffer) {
  return [...new Uint8Array(buffer)].map((byte) => byte.toString(16).padStart(2, "0")).join("");
}

// The file from the cache, else from the server if it is this build's, kept for next time.
async function fromBuild(name) {
  const cache = await caches.open(cacheName);
  const kept = await cache.match(name);
  if (kept) return kept;
  const response = await fetch(name, { cache: "no-cache" });
  if (!response.ok || name === "files.json") return response;
  const bytes = await response.arrayBuffer();
  if (hex(await crypto.subtle.digest("SHA-256", bytes)) !== files[name])
    return new Response(null, { status: 409, statusText: "of a newer version: reload the page" });
  const fresh = new Response(bytes, { headers: response.headers });
  await cache.put(name, fresh.clone());
  return fresh;
}

self.addEventListener("fetch", (event) => {
  const request = event.request;
  const url = new URL(request.url);
  const scope = new URL(self.registration.scope);
  if (request.method !== "GET" || url.origin !== scope.origin ||
      !url.pathname.startsWith(scope.pathname)) return;
  let name = decodeURIComponent(url.pathname.slice(scope.pathname.length));
  if (request.mode === "navigate" && name === "") name = "index.html";
  // Recordings and whatever else is not of the site come from the server as they are.
  if (name in files || shell.includes(name)) event.respondWith(fromBuild(name));
});
