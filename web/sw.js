// Keeps every file of the site in a cache of its own, so that after one visit
// the game loads with no network. The build writes its own version into the
// cache's name: a new build installs a new cache and removes the old one, so
// files of two builds are never mixed.
'use strict';

const CACHE = 'zap207-@VERSION@';
// What the game needs to start, and the small icon the page shows; the
// browser fetches the large ones itself when the app is installed.
const FILES = [
  './',
  'page.js',
  'zap207.js',
  'zap207.wasm',
  'zap207.data',
  'manifest.webmanifest',
  'icons/192/zap207.png',
];
// Each file's SHA-256 as the build wrote it, by its name in FILES. A cached
// copy that differs (a disk error, a write cut short) is never served.
const HASHES = JSON.parse('@HASHES@');

// The name in FILES that a request asks for, or null for any other file.
function fileOf(request) {
  if (request.mode === 'navigate') return './';
  const scope = new URL(self.registration.scope);
  const url = new URL(request.url);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return null;
  const name = url.pathname.substring(scope.pathname.length) || './';
  return FILES.includes(name) ? name : null;
}

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), (byte) => byte.toString(16).padStart(2, '0')).join('');
}

// Whether `response` holds the bytes the build wrote for `file`.
async function intact(file, response) {
  if (!response || !response.ok) return false;
  const body = await response.clone().arrayBuffer();
  return hex(await crypto.subtle.digest('SHA-256', body)) === HASHES[file];
}

// A copy of `file` from the network, put in the cache when it is the build's own.
async function fetchAndKeep(cache, file, request) {
  const response = await fetch(request);
  if (await intact(file, response)) await cache.put(file, response.clone());
  return response;
}

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      // Asked again, so a stale copy is never kept; a file the page has just
      // loaded comes back as "not modified" instead of being downloaded twice.
      .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'no-cache' }))))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names.filter((name) => name.startsWith('zap207-') && name !== CACHE).map((name) => caches.delete(name)),
        ),
      )
      .then(() => self.clients.claim()),
  );
});

// The cached copy when it is intact; otherwise the network's, which repairs
// the cache. With no network a damaged copy is still better than nothing.
async function answer(request, file) {
  const cache = await caches.open(CACHE);
  const cached = await cache.match(file, { ignoreSearch: true });
  if (await intact(file, cached)) return cached;
  try {
    return await fetchAndKeep(cache, file, request.mode === 'navigate' ? file : request);
  } catch (error) {
    if (cached) return cached;
    throw error;
  }
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const file = fileOf(request);
  if (file !== null) event.respondWith(answer(request, file));
});
