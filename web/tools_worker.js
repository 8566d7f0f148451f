'use strict';
// One run of a tool, in a worker of its own so that the page never freezes: the tool's main()
// called with the form's options on the files in memory, its messages and its progress through
// the input sent back as it goes, then its outputs. The page ends the worker after each run.
/* global createVantrelBatch, createVantrelSchedule */

// Progress: how far the tool has read its input (it may read it more than once).
function watchReading(fs, path, size) {
  const read = fs.read;
  let last = 0;
  fs.read = function (stream, ...rest) {
    const n = read.call(this, stream, ...rest);
    if (stream.path === path && size > 0) {
      const now = Date.now();
      if (now - last > 100) {
        last = now;
        postMessage({kind: 'progress', share: Math.min(stream.position / size, 1)});
      }
    }
    return n;
  };
}

// A growing byte buffer for standard output.
class Bytes {
  constructor() {
    this.bytes = new Uint8Array(1 << 16);
    this.length = 0;
  }
  add(byte) {
    if (byte === null) return;  // a flush
    if (this.length === this.bytes.length) {
      const more = new Uint8Array(this.bytes.length * 2);
      more.set(this.bytes);
      this.bytes = more;
    }
    this.bytes[this.length++] = byte & 0xff;
  }
  taken() {
    return this.bytes.slice(0, this.length);
  }
}

self.onmessage = async (event) => {
  const job = event.data;
  importScripts(job.tool === 'batch' ? 'vantrel-batch.js' : 'vantrel-schedule.js');
  const create = job.tool === 'batch' ? createVantrelBatch : createVantrelSchedule;
  const stdout = new Bytes();
  const module = await create({
    locateFile: (path) => path,
    stdout: (byte) => stdout.add(byte),  // bytes as written, whatever their encoding
    printErr: (line) => postMessage({kind: 'message', line}),
  });
  const fs = module.FS;
  // The run's working folder, as the tool's messages and report name it.
  fs.mkdirTree(job.folder + '/reference');
  fs.chdir(job.folder);
  for (const [name, bytes] of Object.entries(job.reference)) fs.writeFile('reference/' + name, bytes);
  for (const [name, bytes] of Object.entries(job.files)) fs.writeFile(name, bytes);
  watchReading(fs, job.folder + '/' + job.input, job.files[job.input].length);
  let status;
  try {
    status = module.callMain(job.args);
  } catch (e) {
    status = typeof e.status === 'number' ? e.status : 2;
    if (typeof e.status !== 'number') postMessage({kind: 'message', line: 'stopped: ' + e});
  }
  const outputs = {};
  for (const name of job.outputs) {
    try {
      outputs[name] = fs.readFile(name);
    } catch (e) {
      // not written: the messages say why
    }
  }
  if (job.stdoutName !== null && stdout.length > 0) outputs[job.stdoutName] = stdout.taken();
  postMessage({kind: 'done', status, outputs}, Object.values(outputs).map((b) => b.buffer));
};
