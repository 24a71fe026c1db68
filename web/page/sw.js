// Keeps the page for use offline when it is served from a web server: the page
// is one file, so one cache entry is enough. Whatever the query, and whether the
// page is reached as the folder ("/") or as index.html, it is kept and found
// under one key, the folder's index.html. The network is asked first, so that a
// newer page replaces the kept one whenever the server can be reached.
const CACHE = 'kelvor-page';
const PAGE = new URL('index.html', self.registration.scope).href;

// The page's own address, in any of its spellings.
function isPage(url) {
  const u = new URL(url);
  u.search = '';
  u.hash = '';
  return u.href === PAGE || u.href === self.registration.scope;
}

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.add(PAGE)).catch(() => {})
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET' || !isPage(event.request.url))
    return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(CACHE).then((cache) => cache.put(PAGE, copy)));
    }
    return response;
  }).catch(() => caches.match(PAGE)));
});
