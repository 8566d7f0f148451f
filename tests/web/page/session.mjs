// A session's commands (the lines vantrel-script reads) played on the page as a user's clicks
// and keys, the answers read off the page's elements in vantrel-script's words. A thumb is let
// go at its position as a scroll bar's thumb message carries it: the spinners have no room
// for a track to drag it on.
const SCROLL_KEYS = {pageup: 'PageUp', pagedown: 'PageDown', top: 'Home', bottom: 'End'};

const at = (id) => `.client [data-id="${id}"]`;

// The message boxes a command opened, each answered with OK, as vantrel-script writes them.
async function answerMessages(page) {
  const lines = [];
  for (;;) {
    const text = await page.evaluate(() => {
      const box = document.getElementById('message');
      return box.open ? box.querySelector('.message-text').textContent : null;
    });
    if (text === null) return lines;
    lines.push('message: ' + text.replaceAll('\n', ' '));
    await page.click('#message button');
  }
}

async function replaceText(page, selector, text) {
  await page.focus(selector);
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  if (text === '') await page.keyboard.press('Backspace');
  else await page.keyboard.sendCharacter(text);  // one input, as a paste gives
}

async function scroll(page, id, rest) {
  const [action, position] = rest.split(' ');
  if (action === 'up' || action === 'down') {
    await page.click(`${at(id)} .arrow.${action}`);
  } else if (action === 'thumb') {
    await page.$eval(at(id), (bar, p) =>
      bar.dispatchEvent(new CustomEvent('vantrel-thumb', {detail: {position: p}})), Number(position));
  } else {
    await page.focus(at(id));
    await page.keyboard.press(SCROLL_KEYS[action]);
  }
}

async function perform(page, name, id, rest) {
  switch (name) {
    case 'scroll':
      await scroll(page, id, rest);
      return [];
    case 'type': {
      const combo = await page.$(`${at(id)}.combo`);
      await replaceText(page, combo === null ? at(id) : `${at(id)} .edit`, rest);
      return [];
    }
    case 'choose':
      await page.click(`${at(id)} .drop`);
      await page.click(`${at(id)} li[data-entry="${rest}"]`);
      return [];
    case 'click': {
      const box = await page.$(`${at(id)} input[type=checkbox]`);
      await (box ?? await page.$(at(id))).click();
      return [];
    }
    case 'text':
      return [`${id}|${await page.$eval(at(id), (e) => e.dataset.value)}|`];
    case 'position':
      return [`${id} ${await page.$eval(at(id), (e) => e.getAttribute('aria-valuenow'))}`];
    case 'checked':
      return [`${id} ${await page.$eval(`${at(id)} input`, (e) => e.checked)}`];
    case 'entries':
      return [`${id} ${await page.$$eval(`${at(id)} li`, (items) => items.length)}`];
    default:
      throw new Error('unknown command ' + name);
  }
}

// Plays the session on the page; its output, line by line, until its end or "Exit".
export async function playSession(page, script) {
  const out = [];
  for (const raw of script.split('\n')) {
    const line = raw.replace(/\r$/, '');
    const trimmed = line.trim();
    if (trimmed === '' || trimmed.startsWith('#')) continue;
    const [name, id] = line.split(' ', 2);
    const rest = line.slice(name.length + id.length + 2);
    out.push(...await perform(page, name, id, rest));
    out.push(...await answerMessages(page));
    if (await page.evaluate(() => document.body.dataset.session === 'ended')) break;
  }
  return out.map((l) => l + '\n').join('');
}
