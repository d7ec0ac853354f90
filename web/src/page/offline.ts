// The service worker (sw.js, written by the build) that keeps the site for
// offline use. Where there is none (file://, an old browser, a private
// window that refuses it) the page works as before, online.

export function registerOffline(): void {
  if (!('serviceWorker' in navigator) || location.protocol === 'file:') return;
  const register = () => navigator.serviceWorker.register('sw.js').catch(() => undefined);
  if (document.readyState === 'complete') void register();
  else window.addEventListener('load', () => void register(), { once: true });
}
