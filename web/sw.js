// Keeps every file of the site in a cache of its own, so that after one visit
// the game loads with no network. The build writes its own version into the
// cache's name: a new build installs a new cache and removes the old one, so
// files of two builds are never mixed.
'use strict';

const CACHE = 'zap207-@VERSION@';
// What the game needs to start, and the small icon the page shows; the
// browser fetches the large ones itself when the app is installed.
const FILES = ['./', 'zap207.js', 'zap207.wasm', 'zap207.data', 'manifest.webmanifest', 'icons/192/zap207.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    // Asked again, so a stale copy is never kept; a file the page has just
    // loaded comes back as "not modified" instead of being downloaded twice.
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith('zap207-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page itself by any of its names; everything else by its address.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  const asked = request.mode === 'navigate' ? './' : request;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(asked, { ignoreSearch: true }))
    .then((cached) => cached || fetch(request)));
});
