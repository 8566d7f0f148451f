// The browser's edition in headless Chromium: the sessions give the desktop's control texts and
// trace lines byte for byte, the window is photographed at 1x and 2x, the page works offline
// once opened, and no request leaves its origin.
//   node run.mjs WEB_FOLDER DESKTOP_BUILD SOURCE_DIR OUT_DIR
import {execFileSync} from 'node:child_process';
import {copyFileSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {launch, openPage} from './browser.mjs';
import {serve} from './serve.mjs';
import {playSession} from './session.mjs';

const [folder, desktop, source, out] = process.argv.slice(2).map((p) => resolve(p));
const REFERENCE = ['Soil_WRC.csv', 'fao-crop_databse.csv', 'Soil_texture_default.csv'];
let failed = 0;

function check(name, ok, detail = '') {
  console.log(`${ok ? 'ok' : 'not ok'} - ${name}${ok || detail === '' ? '' : '\n' + detail}`);
  if (!ok) failed += 1;
}

// The first line where two texts part, for a failure's message.
function firstDifference(expected, actual) {
  const a = expected.split('\n');
  const b = actual.split('\n');
  for (let i = 0; i < Math.max(a.length, b.length); i++) {
    if (a[i] !== b[i]) return `  line ${i + 1}: expected ${JSON.stringify(a[i])}, got ${JSON.stringify(b[i])}`;
  }
  return '';
}

// A browser context of its own (its own storage) and a folder of its own, for one check.
async function inContext(browser, body) {
  const context = await browser.createBrowserContext();
  const work = mkdtempSync(join(tmpdir(), 'vantrel-page-'));
  try {
    return await body(context, work);
  } finally {
    await context.close();
    rmSync(work, {recursive: true, force: true});
  }
}

// vantrel-script on the session in a folder of its own with the bundled files.
function desktopSession(script) {
  const work = mkdtempSync(join(tmpdir(), 'vantrel-session-'));
  try {
    for (const name of REFERENCE) copyFileSync(join(source, 'reference', name), join(work, name));
    let stdout;
    try {
      stdout = execFileSync(join(desktop, 'src/app/vantrel-script'), [], {cwd: work, input: script});
    } catch (e) {
      stdout = e.stdout;  // "Exit" ends it with its quit code
    }
    let trace = '';
    try {
      trace = readFileSync(join(work, 'fort.99'), 'utf8');
    } catch {
      // no trace lines
    }
    return {output: stdout.toString(), trace};
  } finally {
    rmSync(work, {recursive: true, force: true});
  }
}

async function sessions(browser, server) {
  const files = readdirSync(join(source, 'docs/sessions')).filter((f) => f.endsWith('.txt'))
    .map((f) => join(source, 'docs/sessions', f));
  files.push(join(source, 'tests/windows/sessions/every_control.txt'));
  for (const file of files) {
    const script = readFileSync(file, 'utf8');
    const expected = desktopSession(script);
    const context = await browser.createBrowserContext();  // storage of its own: no old trace
    try {
      const {page, problems} = await openPage(context, server.origin + '/index.html');
      const output = await playSession(page, script);
      const trace = await page.evaluate(() => window.vantrelPage.traceText());
      const name = file.slice(source.length + 1);
      check(`${name}: control texts as the desktop's`, output === expected.output,
        firstDifference(expected.output, output));
      check(`${name}: trace lines as the desktop's`, trace === expected.trace,
        firstDifference(expected.trace, trace));
      check(`${name}: no page errors`, problems.length === 0, problems.join('\n'));
    } finally {
      await context.close();
    }
  }
}

async function screenshots(browser, server) {
  for (const scale of [1, 2]) {
    const context = await browser.createBrowserContext();
    try {
      const {page} = await openPage(context, server.origin + '/index.html', scale);
      const win = await page.$('.dialog');
      const path = join(out, `window-${scale}x.png`);
      await win.screenshot({path});
      const size = await page.$eval('.dialog', (e) => [e.offsetWidth, e.offsetHeight]);
      check(`the window at ${scale}x: ${size[0]} x ${size[1]} CSS pixels, in ${path}`,
        size[0] > 800 && size[1] > 600);
    } finally {
      await context.close();
    }
  }
}

// A tool's run on the tools page with the example, every output asked for, against the desktop
// tool's on the same command line in a folder laid out as the worker's.
// With `every` false, none: the tool's standard output.
async function tool(browser, server, which, every, stdoutName) {
  await inContext(browser, async (context, work) => {
    const {page, problems} = await openPage(context, `${server.origin}/tools.html?folder=${work}`);
    const elsewhere = [];
    page.on('request', (r) => {
      if (!r.url().startsWith(server.origin) && !r.url().startsWith('blob:')) elsewhere.push(r.url());
    });
    await page.click(`input[name=tool][value=${which}]`);
    await page.click('#use-example');
    for (const box of await page.$$(`.${which}-only input[name=out]`)) {
      if ((await box.evaluate((b) => b.checked)) !== every) await box.click();
    }
    await page.click('#run');
    await page.waitForFunction(() => document.body.dataset.state === 'done', {timeout: 120000});
    const args = JSON.parse(await page.evaluate(() => document.body.dataset.args));
    const outputs = await page.$$eval('#downloads a', (links) => Promise.all(links.map(async (a) =>
      [a.dataset.output, await (await fetch(a.href)).text()])));
    const status = Number(await page.evaluate(() => document.body.dataset.status));
    const shown = await page.$eval('#report', (f) => !f.hidden);

    mkdirSync(join(work, 'reference'));
    for (const name of [...REFERENCE, 'crop_coefficients.csv']) {
      copyFileSync(join(source, 'reference', name), join(work, 'reference', name));
    }
    for (const name of ['fields.csv', 'season.csv', 'weather.csv']) {
      copyFileSync(join(source, 'examples', name), join(work, name));
    }
    let stdout = '';
    let expectedStatus = 0;
    try {
      stdout = execFileSync(join(desktop, `src/${which}/vantrel-${which}`), args, {cwd: work, stdio: ['ignore', 'pipe', 'ignore']}).toString();
    } catch (e) {
      expectedStatus = e.status;
      stdout = e.stdout.toString();
    }
    check(`tools page, vantrel-${which}: exit status ${status} as the desktop's`, status === expectedStatus);
    const names = outputs.map(([name]) => name);
    check(`tools page, vantrel-${which}: outputs ${names.join(', ')}`, names.length === (every ? 4 : 1));
    for (const [name, text] of outputs) {
      const expected = name === stdoutName ? stdout : readFileSync(join(work, name), 'utf8');
      check(`tools page, vantrel-${which}: ${name} byte-identical to the desktop tool's`, text === expected,
        firstDifference(expected, text));
    }
    check(`tools page, vantrel-${which}: the report shown in the page`, shown === every);
    check(`tools page, vantrel-${which}: no page errors, no request off the origin`,
      problems.length === 0 && elsewhere.length === 0, [...problems, ...elsewhere].join('\n'));
  });
}

// A long run leaves the page free: while the worker computes, the page answers and its
// progress bar moves; the run ends with every profile in the results.
async function longRun(browser, server) {
  await inContext(browser, async (context, work) => {
    const rows = ['profile,horizon,thickness,sand,clay,stones,root_depth,tolerance'];
    const profiles = 20000;
    for (let p = 0; p < profiles; p++) {
      for (let h = 1; h <= 3; h++) {
        const sand = (p * 37 + h * 11) % 85 + 5;
        rows.push(`field-${p},${h},${15 + (p + h) % 40},${sand},${(p * 17 + h * 7) % (95 - sand)},` +
                  `${(p * h) % 30},${h === 1 ? 60 + p % 60 : ''},${h === 1 ? 50 : ''}`);
      }
    }
    const input = join(work, 'many.csv');
    writeFileSync(input, rows.join('\n') + '\n');
    const {page, problems} = await openPage(context, server.origin + '/tools.html');
    await (await page.$('#input')).uploadFile(input);
    for (const box of await page.$$('.batch-only input[name=out]')) {
      const wanted = (await box.evaluate((b) => b.value)) === '--results';
      if ((await box.evaluate((b) => b.checked)) !== wanted) await box.click();
    }
    await page.click('#run');
    const seen = new Set();
    let answers = 0;
    while ((await page.evaluate(() => document.body.dataset.state)) !== 'done') {
      answers += 1;  // the page answered while the run went on
      const value = await page.evaluate(() => document.getElementById('progress').value);
      if (value > 0 && value < 100) seen.add(value);
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
    const results = await page.$eval('#downloads a', async (a) => (await fetch(a.href)).text());
    const lines = results.split('\n').filter((l) => l !== '').length;
    check(`a long run (${profiles} profiles): the page answered ${answers} times while it ran, ` +
          `its progress at ${seen.size} points between 0 and 100 %`, answers > 5 && seen.size >= 2);
    check('a long run: every profile in the results', lines === profiles + 1, `  ${lines} lines`);
    check('a long run: no page errors', problems.length === 0, problems.join('\n'));
  });
}

// "Exit" ends the session and the page offers to start again; a damaged reference file of the
// user's gives the start-up message, is kept for the next visit, and the bundled set restores.
async function startUp(browser, server) {
  await inContext(browser, async (context, work) => {
    const {page, problems} = await openPage(context, server.origin + '/index.html');
    await page.click('.client [data-id="30001"]');
    await page.waitForFunction(() => document.body.dataset.session === 'ended');
    const ended = await page.$eval('#ended', (e) => !e.hidden && e.textContent.includes('ended'));
    await page.click('#again');
    await page.waitForFunction(() => document.body.dataset.session === 'running');
    const sand = await page.$eval('.client [data-id="1008"]', (e) => e.value);
    check('"Exit" ends the session; "Start again" gives a new one', ended && sand === '40.0',
      `  ended notice: ${ended}, sand: ${sand}`);

    const damaged = join(work, 'Soil_WRC.csv');
    // The bundled file with a letter where its first layer's density stands.
    const lines = readFileSync(join(source, 'reference/Soil_WRC.csv'), 'utf8').split('\n');
    lines[3] = lines[3].replace(/^[^,]*/, 'abc');
    writeFileSync(damaged, lines.join('\n'));
    const picker = await page.$('#choose');
    await picker.uploadFile(damaged);
    await page.waitForFunction(() => document.body.dataset.session === 'stopped');
    const message = await page.$eval('#message .message-text', (e) => e.textContent);
    await page.click('#message button');
    check('a damaged reference file of the user\'s gives the start-up message',
      message.startsWith('conversion error, unit 41, file Soil_WRC.csv, line 4, column 1: "abc"') &&
      message.includes('working directory'), '  ' + message);
    await page.reload({waitUntil: 'load'});
    await page.waitForFunction(() => document.body.dataset.ready === 'true');
    const kept = await page.evaluate(() => document.body.dataset.session);
    await page.click('#message button');
    check('the user\'s file is kept for the next visit', kept === 'stopped', '  session: ' + kept);
    await page.click('#forget');
    await page.waitForFunction(() => document.body.dataset.session === 'running');
    const note = await page.$eval('#files', (e) => e.textContent);
    check('"Use the bundled files" starts on the bundled set', note === 'Reference files: the bundled ones.',
      '  ' + note);
    check('start-up: no page errors', problems.length === 0, problems.join('\n'));
  });
}

// Opened once, the page starts again with the server gone; every request stays on its origin.
async function offline(browser, server) {
  const context = await browser.createBrowserContext();
  try {
    const {page} = await openPage(context, server.origin + '/index.html');
    const firstOpen = Number(await page.evaluate(() => document.body.dataset.readyMs));
    const elsewhere = [];
    page.on('request', (r) => {
      if (!r.url().startsWith(server.origin) && !r.url().startsWith('blob:')) elsewhere.push(r.url());
    });
    await page.waitForFunction(async () => {
      const registration = await navigator.serviceWorker.ready;
      return registration.active !== null && navigator.serviceWorker.controller !== null;
    }, {timeout: 30000}).catch(() => page.reload({waitUntil: 'load'}));
    await page.reload({waitUntil: 'load'});
    await page.waitForFunction(() => document.body.dataset.ready === 'true', {timeout: 30000});
    const cached = Number(await page.evaluate(() => document.body.dataset.readyMs));
    await server.close();
    await page.reload({waitUntil: 'load'});
    await page.waitForFunction(() => document.body.dataset.ready === 'true', {timeout: 30000});
    const running = await page.evaluate(() => document.body.dataset.session);
    console.log(`# opening the page to a usable window: ${firstOpen} ms on the first visit, ` +
                `${cached} ms from the service worker's copy`);
    check('the page starts again offline (its service worker keeps the folder)', running === 'running',
      `  session: ${running}`);
    check('no request leaves the page\'s origin', elsewhere.length === 0, elsewhere.join('\n'));
  } finally {
    await context.close();
  }
}

mkdirSync(out, {recursive: true});
const browser = await launch();
const server = await serve(folder);
try {
  await sessions(browser, server);
  await screenshots(browser, server);
  await tool(browser, server, 'batch', true, null);
  await tool(browser, server, 'schedule', true, null);
  await tool(browser, server, 'batch', false, 'results.csv');
  await tool(browser, server, 'schedule', false, 'totals.csv');
  await longRun(browser, server);
  await startUp(browser, server);
  await offline(browser, server);
} finally {
  await browser.close();
  await server.close().catch(() => {});
}
writeFileSync(join(out, 'result.txt'), failed === 0 ? 'passed\n' : `${failed} failed\n`);
process.exit(failed === 0 ? 0 : 1);
