'use strict';
// The page works offline once opened and can be installed as an app: its service worker keeps
// every file of the folder. Pages opened from a file (no origin to serve them) run without it.
if ('serviceWorker' in navigator && window.isSecureContext) {
  navigator.serviceWorker.register('sw.js').then(
    () => { document.documentElement.dataset.offline = 'ready'; },
    () => { document.documentElement.dataset.offline = 'unavailable'; });
}
