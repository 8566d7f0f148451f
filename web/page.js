'use strict';
// The window's page: the start of a session as the program's (the three reference files in its
// working directory, the user's own where chosen, kept in this browser's storage and never
// sent anywhere), message boxes as modal dialogs, the trace lines kept and downloadable, and
// "Exit" ending the session with an offer to start again.
/* global createVantrel, DialogView, VantrelStore */

const REFERENCE_FILES = ['Soil_WRC.csv', 'fao-crop_databse.csv', 'Soil_texture_default.csv'];
const TRACE_FILE = 'fort.99';
const FOLDER = '/session';
const FONT = '12px "Liberation Sans"';

const page = {
  module: null,
  view: null,
  store: new VantrelStore(),
  messages: [],  // waiting message boxes: [text, caption]
  ended: false,
};

// What the program calls (web_dialog_view.cpp): the window, message boxes and the end.
window.vantrelPage = {
  show(description, shown) {
    return page.view.show(description, shown);
  },
  refresh(state) {
    page.view.refresh(state);
  },
  close() {
    page.view.close();
  },
  message(text, caption) {
    page.messages.push([text, caption]);
    if (page.messages.length === 1) showMessage();
  },
  quit() {
    page.ended = true;
    saveTrace();
    // Called from inside the session's last routine: it ends once that has returned.
    setTimeout(() => call('vantrel_end'), 0);
    document.body.dataset.session = 'ended';
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },
  // The session's trace lines as the file holds them (for a download or a check).
  traceText() {
    return readTrace();
  },
};

// One message box at a time, each modal: the page takes no other input until it is closed.
function showMessage() {
  const [text, caption] = page.messages[0];
  const box = document.getElementById('message');
  box.querySelector('.message-caption').textContent = caption;
  box.querySelector('.message-text').textContent = text;
  box.showModal();
  box.querySelector('button').focus();
}

function closeMessage() {
  document.getElementById('message').close();
  page.messages.shift();
  if (page.messages.length > 0) showMessage();
}

// An entry point of the module with a text argument, the text in the module's heap (a long
// paste does not fit on its stack).
function callWithText(name, id, text) {
  const m = page.module;
  const size = m.lengthBytesUTF8(text) + 1;
  const at = m._malloc(size);
  m.stringToUTF8(text, at, size);
  try {
    m.ccall(name, null, ['number', 'number'], [id, at]);
  } finally {
    m._free(at);
  }
}

function call(name, ...numbers) {
  return page.module.ccall(name, 'number', numbers.map(() => 'number'), numbers);
}

const notifications = {
  clicked: (id) => call('vantrel_clicked', id),
  edited: (id, text) => callWithText('vantrel_edited', id, text),
  selected: (id, entry) => call('vantrel_selected', id, entry),
  focus: (id, gained) => call('vantrel_focus', id, gained),
  scroll(id, action, thumb) {
    const m = page.module;
    m.ccall('vantrel_scroll', null, ['number', 'string', 'number'], [id, action, thumb]);
  },
};

// The dialog font's measures, as the desktop views take them: the advance of the 52 letters
// and the line height.
function measureFont() {
  const context = document.createElement('canvas').getContext('2d');
  context.font = FONT;
  const letters = context.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
  return [letters.width,
    Math.ceil(letters.fontBoundingBoxAscent + letters.fontBoundingBoxDescent)];
}

function readTrace() {
  const fs = page.module.FS;
  try {
    return fs.readFile(FOLDER + '/' + TRACE_FILE, {encoding: 'utf8'});
  } catch (e) {
    return '';
  }
}

function saveTrace() {
  if (page.module === null) return;
  const fs = page.module.FS;
  try {
    page.store.put(TRACE_FILE, fs.readFile(FOLDER + '/' + TRACE_FILE));
  } catch (e) {
    // no trace lines yet
  }
  showTraceLink();
}

function showTraceLink() {
  const link = document.getElementById('trace');
  const text = page.module === null ? '' : readTrace();
  link.hidden = text === '';
  if (link.href !== '') URL.revokeObjectURL(link.href);
  link.href = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
}

// The files of the session's working directory: the user's own where kept, else the bundled.
async function referenceFiles() {
  const files = new Map();
  for (const name of REFERENCE_FILES) {
    const file = await page.store.referenceFile(name);
    if (file !== null) files.set(name, file);
  }
  return files;
}

function describeFiles(files) {
  const own = REFERENCE_FILES.filter((n) => files.has(n) && files.get(n).own);
  document.getElementById('files').textContent = own.length === 0
    ? 'Reference files: the bundled ones.'
    : 'Reference files: your own ' + own.join(', ') + (own.length < 3 ? '; the bundled others.' : '.');
  document.getElementById('forget').hidden = own.length === 0;
}

async function start() {
  page.ended = false;
  document.getElementById('ended').hidden = true;
  const files = await referenceFiles();
  describeFiles(files);
  const fs = page.module.FS;
  for (const name of fs.readdir(FOLDER)) {
    if (name !== '.' && name !== '..') fs.unlink(FOLDER + '/' + name);
  }
  for (const [name, file] of files) fs.writeFile(FOLDER + '/' + name, file.bytes);
  const trace = await page.store.get(TRACE_FILE);
  if (trace !== undefined) fs.writeFile(FOLDER + '/' + TRACE_FILE, trace);
  const outcome = call('vantrel_start');
  if (outcome !== 0) {
    call('vantrel_end');
    document.getElementById('stopped').hidden = false;
  } else {
    document.getElementById('stopped').hidden = true;
  }
  document.body.dataset.session = outcome === 0 ? 'running' : 'stopped';
  showTraceLink();
  fitToPage();
}

// A window wider than the page is scaled down to fit it, never up.
function fitToPage() {
  const win = document.querySelector('.dialog');
  if (win === null) return;
  win.style.transform = '';
  const room = document.documentElement.clientWidth - 16;
  const scale = Math.min(1, room / win.offsetWidth);
  win.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
}

// The user's own reference files, by their names; kept for the next visit.
async function chooseFiles(list) {
  const unknown = [];
  for (const file of list) {
    if (!REFERENCE_FILES.includes(file.name)) {
      unknown.push(file.name);
      continue;
    }
    await page.store.put(file.name, new Uint8Array(await file.arrayBuffer()));
  }
  if (unknown.length > 0) {
    window.vantrelPage.message('Not a reference file: ' + unknown.join(', ') +
      '. The files are read by their names: ' + REFERENCE_FILES.join(', ') + '.', 'Vantrel');
  }
  restart();
}

function restart() {
  saveTrace();
  call('vantrel_end');
  page.view.close();
  start();
}

async function main() {
  const font = new FontFace('Liberation Sans', 'url(LiberationSans-Regular.ttf)');
  document.fonts.add(await font.load());
  page.view = new DialogView(document.getElementById('window'), notifications);
  page.module = await createVantrel({locateFile: (path) => path});
  page.module.FS.mkdir(FOLDER);
  page.module.FS.chdir(FOLDER);
  const [width, height] = measureFont();
  page.module.ccall('vantrel_font', null, ['number', 'number'], [width, height]);
  document.getElementById('message').querySelector('button').addEventListener('click', closeMessage);
  document.getElementById('message').addEventListener('cancel', (event) => {
    event.preventDefault();
    closeMessage();
  });
  document.getElementById('again').addEventListener('click', () => restart());
  document.getElementById('choose').addEventListener('change', (event) => {
    chooseFiles(Array.from(event.target.files));
    event.target.value = '';
  });
  document.getElementById('forget').addEventListener('click', async () => {
    for (const name of REFERENCE_FILES) await page.store.remove(name);
    restart();
  });
  document.getElementById('clear-trace').addEventListener('click', async () => {
    await page.store.remove(TRACE_FILE);
    try {
      page.module.FS.unlink(FOLDER + '/' + TRACE_FILE);
    } catch (e) {
      // nothing written yet
    }
    showTraceLink();
  });
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') saveTrace();
  });
  window.addEventListener('resize', fitToPage);
  await start();
  // How long from opening the page to a window that takes input (for the tests' figure).
  document.body.dataset.readyMs = String(Math.round(performance.now()));
  document.body.dataset.ready = 'true';
}

main();
