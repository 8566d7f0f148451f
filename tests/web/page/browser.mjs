// Debian's Chromium, headless, with a profile of its own and none of its background traffic
// (on a closed network it would only be refused).
import puppeteer from 'puppeteer-core';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'vantrel-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-dev-shm-usage', '--font-render-hinting=none'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

// A page whose console errors and failed requests fail the test that reads them.
export async function openPage(browser, url, scale = 1) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push('page error: ' + e.message));
  page.on('console', (m) => { if (m.type() === 'error') problems.push('console: ' + m.text()); });
  page.on('requestfailed', (r) => problems.push('request failed: ' + r.url()));
  await page.setViewport({width: 1100, height: 820, deviceScaleFactor: scale});
  await page.goto(url, {waitUntil: 'load'});
  await page.waitForFunction(() => document.body.dataset.ready === 'true', {timeout: 30000});
  return {page, problems};
}
