'use strict';
// The files the page keeps for the next visit (the user's reference files, the trace lines), in
// this browser's IndexedDB: they never leave the device. Where the browser keeps no storage (a
// private window may refuse it), they are kept for this visit only.

/* exported VantrelStore */
class VantrelStore {
  constructor() {
    this.memory = new Map();
    this.opened = new Promise((resolve) => {
      let request;
      try {
        request = indexedDB.open('vantrel', 1);
      } catch (e) {
        resolve(null);
        return;
      }
      request.onupgradeneeded = () => request.result.createObjectStore('files');
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    });
  }

  async transact(mode, work) {
    const db = await this.opened;
    if (db === null) return work(null);
    return new Promise((resolve) => {
      const request = work(db.transaction('files', mode).objectStore('files'));
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(undefined);
    });
  }

  get(name) {
    return this.transact('readonly', (files) =>
      files === null ? this.memory.get(name) : files.get(name));
  }

  put(name, bytes) {
    this.memory.set(name, bytes);
    return this.transact('readwrite', (files) => (files === null ? undefined : files.put(bytes, name)));
  }

  // A reference file as the session reads it: the user's own where kept, else the bundled one
  // of the folder (null when neither is there).
  async referenceFile(name) {
    const own = await this.get(name);
    if (own !== undefined) return {bytes: own, own: true};
    const response = await fetch('reference/' + name);
    return response.ok ? {bytes: new Uint8Array(await response.arrayBuffer()), own: false} : null;
  }

  remove(name) {
    this.memory.delete(name);
    return this.transact('readwrite', (files) => (files === null ? undefined : files.delete(name)));
  }
}
