// The service worker: the whole site in a cache named by its build, so that
// after one visit the page loads and runs with the network off. Requests go
// to the network first while there is one (a deployed new version is what
// loads, and what the cache keeps); without a network, or when it hangs, the
// cache answers. A new build's worker takes over at once and drops the caches
// of the builds before. The student's work is in the page's storage, which
// no cache change touches.

// Written by the build (web/scripts/build.mjs).
declare const CORVANE_BUILD: string; // the hash of the site's files
declare const CORVANE_FILES: string[]; // every file of the site, relative to this worker

interface ExtendableEvent extends Event {
  waitUntil(work: Promise<unknown>): void;
}
interface FetchEvent extends ExtendableEvent {
  request: Request;
  respondWith(response: Promise<Response>): void;
}
interface WorkerScope {
  registration: { scope: string };
  skipWaiting(): Promise<void>;
  clients: { claim(): Promise<void> };
  addEventListener(type: 'install' | 'activate', listener: (event: ExtendableEvent) => void): void;
  addEventListener(type: 'fetch', listener: (event: FetchEvent) => void): void;
}

const scope = self as unknown as WorkerScope;
const prefix = 'corvane-';
const cacheName = prefix + CORVANE_BUILD;
// How long a hanging network is waited for before a cached copy answers.
const patienceMs = 5000;

scope.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(cacheName)
      .then((cache) => cache.addAll(CORVANE_FILES.map((file) => new Request(file, { cache: 'reload' }))))
      .then(() => scope.skipWaiting()),
  );
});

scope.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) => Promise.all(names.filter((n) => n.startsWith(prefix) && n !== cacheName).map((n) => caches.delete(n))))
      .then(() => scope.clients.claim()),
  );
});

scope.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(scope.registration.scope)) return;
  event.respondWith(networkFirst(request));
});

async function cached(request: Request): Promise<Response | undefined> {
  const cache = await caches.open(cacheName);
  const navigation = request.mode === 'navigate';
  // A page opened with a query or at its folder's address is index.html.
  return (await cache.match(request, { ignoreSearch: navigation })) ?? (navigation ? cache.match('index.html') : undefined);
}

async function networkFirst(request: Request): Promise<Response> {
  // Revalidated, never taken from the HTTP cache unasked: a host that lets
  // files be cached for minutes (GitHub Pages: 10) must not mix an old
  // script with a new page.
  const fromNetwork = fetch(new Request(request, { cache: 'no-cache' })).then(async (response) => {
    if (response.ok && response.type === 'basic') {
      const cache = await caches.open(cacheName);
      await cache.put(request, response.clone());
    }
    return response;
  });
  fromNetwork.catch(() => undefined); // a failure is answered below, or by the copy
  const copy = await cached(request);
  if (!copy) return fromNetwork;
  let timer = 0;
  const late = new Promise<Response>((resolve) => (timer = setTimeout(() => resolve(copy), patienceMs)));
  try {
    return await Promise.race([fromNetwork, late]);
  } catch {
    return copy;
  } finally {
    clearTimeout(timer);
  }
}
