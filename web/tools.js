'use strict';
// The tools page: the command line's options as form fields, the run in a worker (the page
// stays responsive and shows how far the input is read), the outputs offered as downloads and
// the HTML report shown in the page. Files are read in the browser only.
/* global VantrelStore */

const REFERENCE_FILES = ['Soil_WRC.csv', 'fao-crop_databse.csv', 'Soil_texture_default.csv',
  'crop_coefficients.csv'];
const EXAMPLES = {batch: 'fields.csv', schedule: 'season.csv'};
const store = new VantrelStore();
let worker = null;
const links = [];

const $ = (id) => document.getElementById(id);
const tool = () => document.querySelector('input[name=tool]:checked').value;

async function bytesOf(file) {
  return new Uint8Array(await file.arrayBuffer());
}

async function fetched(path) {
  const response = await fetch(path);
  if (!response.ok) throw new Error(path + ': ' + response.status);
  return new Uint8Array(await response.arrayBuffer());
}

// The reference files as the window's page keeps them: the user's own, else the bundled.
async function referenceFiles() {
  const files = {};
  const own = [];
  for (const name of REFERENCE_FILES) {
    const file = await store.referenceFile(name);
    if (file === null) throw new Error('reference/' + name + ': not in the folder');
    if (file.own) own.push(name);
    files[name] = file.bytes;
  }
  $('reference-note').textContent = own.length === 0 ? 'the bundled ones' : 'your own ' + own.join(', ');
  return files;
}

// The command line the form says, and the files it names.
async function job() {
  const which = tool();
  const files = {};
  let input;
  if ($('use-example').checked) {
    input = EXAMPLES[which];
    files[input] = await fetched('examples/' + input);
  } else if ($('input').files.length > 0) {
    input = $('input').files[0].name;
    files[input] = await bytesOf($('input').files[0]);
  } else {
    throw new Error('Choose a profiles file, or the example.');
  }
  const args = ['--data', 'reference'];
  const value = (id, option) => {
    if ($(id).value !== '') args.push(option, $(id).value);
  };
  value('fc-suction', '--fc-suction');
  value('units', '--units');
  if (which === 'batch') {
    args.push('--jobs', '1', '--quiet');  // one thread; the page shows the progress itself
    if ($('csv-standard').checked) args.push('--csv-standard');
  } else {
    const weather = $('use-example').checked ? 'weather.csv' : $('weather').files[0]?.name;
    if (weather === undefined) throw new Error('Choose a weather file (--weather).');
    files[weather] = $('use-example').checked ? await fetched('examples/weather.csv')
      : await bytesOf($('weather').files[0]);
    args.push('--weather', weather);
    for (const [id, option] of [['irrigations', '--irrigations'], ['crop-stages', '--crop-stages']]) {
      if ($(id).files.length > 0) {
        files[$(id).files[0].name] = await bytesOf($(id).files[0]);
        args.push(option, $(id).files[0].name);
      }
    }
    value('today', '--today');
    value('latitude', '--latitude');
    value('elevation', '--elevation');
    if ($('kc-as-table').checked) args.push('--kc-as-table');
    args.push('--jobs', '1', '--quiet');
  }
  const outputs = [];
  for (const box of document.querySelectorAll(`.${which}-only input[name=out]:checked`)) {
    args.push(box.value, box.dataset.file);
    outputs.push(box.dataset.file);
  }
  // Without an output named, the tool writes its table to standard output, as on a terminal.
  const stdoutName = outputs.length === 0 ? (which === 'batch' ? 'results.csv' : 'totals.csv') : null;
  args.push(input);
  // The run's folder in memory; a test may name it (?folder=) to match a desktop run's paths.
  const folder = new URLSearchParams(location.search).get('folder') ?? '/run';
  return {tool: which, args, files, input, outputs, stdoutName, folder,
    reference: await referenceFiles()};
}

function showProgress(share, text) {
  $('progress-box').hidden = false;
  if (share === null) $('progress').removeAttribute('value');
  else $('progress').value = Math.round(share * 100);
  $('progress-text').textContent = text;
}

function offer(outputs) {
  for (const url of links.splice(0)) URL.revokeObjectURL(url);
  $('downloads').replaceChildren();
  $('report').hidden = true;
  for (const [name, bytes] of Object.entries(outputs)) {
    const type = name.endsWith('.html') ? 'text/html' : name.endsWith('.json') ? 'application/json' : 'text/csv';
    const url = URL.createObjectURL(new Blob([bytes], {type}));
    links.push(url);
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    a.textContent = `${name} (${bytes.length.toLocaleString()} bytes)`;
    a.dataset.output = name;
    const li = document.createElement('li');
    li.appendChild(a);
    $('downloads').appendChild(li);
    if (name.endsWith('.html')) {
      $('report').src = url;
      $('report').hidden = false;
    }
  }
}

function finish(status) {
  worker.terminate();
  worker = null;
  $('run').disabled = false;
  $('stop').hidden = true;
  $('progress-box').hidden = true;
  const words = {0: 'every profile done', 1: 'some profiles failed (see the messages)',
    2: 'the run did not start: see the messages'};
  $('status').textContent = `Exit status ${status}: ${words[status] ?? 'stopped'}.`;
  document.body.dataset.status = String(status);
  document.body.dataset.state = 'done';
}

async function run(event) {
  event.preventDefault();
  $('result').hidden = false;
  $('log').textContent = '';
  $('status').textContent = '';
  document.body.dataset.state = 'running';
  let work;
  try {
    work = await job();
  } catch (e) {
    $('log').textContent = e.message;
    document.body.dataset.state = 'done';
    return;
  }
  $('run').disabled = true;
  $('stop').hidden = false;
  showProgress(null, 'starting…');
  document.body.dataset.args = JSON.stringify(work.args);  // the command line, as run
  worker = new Worker('tools_worker.js');
  worker.onmessage = (message) => {
    const m = message.data;
    if (m.kind === 'progress') showProgress(m.share, `reading the input: ${Math.round(m.share * 100)} %`);
    if (m.kind === 'message') $('log').textContent += m.line + '\n';
    if (m.kind === 'done') {
      offer(m.outputs);
      finish(m.status);
    }
  };
  worker.onerror = (e) => {
    $('log').textContent += 'stopped: ' + e.message + '\n';
    finish(-1);
  };
  worker.postMessage(work, Object.values(work.files).map((b) => b.buffer));
}

function chooseTool() {
  document.body.dataset.tool = tool();
  $('example-name').textContent = EXAMPLES[tool()] + (tool() === 'schedule' ? ' with weather.csv' : '');
}

document.querySelectorAll('input[name=tool]').forEach((r) => r.addEventListener('change', chooseTool));
$('tool-form').addEventListener('submit', run);
$('stop').addEventListener('click', () => {
  $('log').textContent += 'stopped by the user\n';
  finish(-1);
});
chooseTool();
referenceFiles().then(() => { document.body.dataset.ready = 'true'; });
