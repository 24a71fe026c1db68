// Keeps the page for use offline when it is served from a web server: the page
// is one file, so caching it is enough. The network is asked first, so that a
// newer page replaces the kept one whenever the server can be reached.
const CACHE = 'kelvor-page';

// On install, keep the page that registered this worker, whatever its name.
self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const pages = await self.clients.matchAll({ includeUncontrolled: true, type: 'window' });
    const cache = await caches.open(CACHE);
    await Promise.all(pages.map((page) => {
      const url = new URL(page.url);
      url.search = '';
      return cache.add(url.href).catch(() => {});
    }));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET')
    return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok && new URL(event.request.url).origin === location.origin) {
      const copy = response.clone();
      caches.open(CACHE).then((cache) => cache.put(event.request, copy));
    }
    return response;
  }).catch(() => caches.match(event.request, { ignoreSearch: true })));
});
