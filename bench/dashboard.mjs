// The dashboard in Chromium on a generated report, at full speed and with the
// CPU slowed four times (a mid-range phone): time until the opponents table
// shows (the median of three loads, the first one cold), every sort, search
// keystrokes, a period change and opening the opponent met most often, each
// the slowest of three tries; renderer memory;
// and the overview read back against personal.html.
//   node bench/dashboard.mjs ANALYZE_DIR    (run from tests/browser's deps)
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, '..', 'tests', 'browser', 'package.json'));
const { chromium } = require('playwright-core');

const file = path.join(process.argv[2], 'dashboard.html');
const href = pathToFileURL(file).href;
const TRIES = 3;
const browser = await chromium.launch({
  executablePath: process.env.LEDGERWISE_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--headless', '--disable-gpu'],
});

// Resident memory of the largest renderer process of the browser started here,
// in MB: the page's own (an about:blank renderer may linger beside it).
function rendererMegabytes(ancestor) {
  const parent = new Map();
  const rss = new Map();
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1');
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'latin1').split(') ')[1].split(' ');
      parent.set(+pid, +stat[1]);
      if (cmd.includes('--type=renderer')) rss.set(+pid, +stat[21] * 4096 / 1e6);
    } catch { /* the process ended meanwhile */ }
  }
  const under = (pid) => { for (let p = pid; p > 1; p = parent.get(p) ?? 0) if (p === ancestor) return true; return false; };
  return Math.max(0, ...[...rss].filter(([pid]) => under(pid)).map(([, mb]) => mb));
}

// Runs `action` in the page and returns the milliseconds until it and the
// layout it causes are done; a navigation is done when the page's own
// hashchange handler has run.
const timed = (page, action, arg, navigates = false) => page.evaluate(async ([source, arg, navigates]) => {
  const act = new Function('arg', `return (${source})(arg);`);
  const handled = navigates && new Promise((r) => addEventListener('hashchange', r, { once: true }));
  const t = performance.now();
  act(arg);
  await handled;
  void document.body.offsetHeight;
  return performance.now() - t;
}, [action.toString(), arg, navigates]);

// Goes to a view and waits until the page has shown it.
const go = (page, hash) => page.evaluate((hash) => new Promise((r) => {
  if (location.hash === hash) return r();
  addEventListener('hashchange', r, { once: true });
  location.hash = hash;
}), hash);

async function slowest(page, action, args) {
  let worst = 0;
  for (const arg of args) {
    for (let k = 0; k < TRIES; k++) worst = Math.max(worst, await timed(page, action, arg));
  }
  return worst;
}

async function measure(rate) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  const shown = [];
  for (let k = 0; k < TRIES; k++) {
    await page.goto('about:blank');
    const t0 = Date.now();
    await page.goto(`${href}#opponents`);
    await page.waitForSelector('#rows tr:not(.spacer)');
    shown.push(Date.now() - t0);
  }
  const opponents = await page.$eval('#shown', (e) => e.textContent);
  // The list opens sorted by meetings, most first.
  const most = await page.$eval('#rows a', (a) => +a.hash.replace('#opponent-', ''));
  const heads = await page.$$eval('#table thead button', (bs) => bs.length);
  const sort = await slowest(page, (k) => document.querySelectorAll('#table thead button')[k].click(),
    [...Array(heads).keys()]);
  const search = await slowest(page, (q) => {
    const box = document.getElementById('search');
    box.value = q;
    box.dispatchEvent(new Event('input', { bubbles: true }));
  }, ['a', 'ab', 'abc', '']);
  // A period change on the list and on the overview, with its charts.
  const dates = await page.evaluate(() => {
    const f = document.getElementById('from');
    return [`${f.max.slice(0, 4)}-01-01`, f.min];
  });
  const setFrom = (iso) => {
    const from = document.getElementById('from');
    from.value = iso;
    from.dispatchEvent(new Event('change', { bubbles: true }));
  };
  let period = await slowest(page, setFrom, dates);
  await go(page, '#overview');
  period = Math.max(period, await slowest(page, setFrom, dates));
  let open = 0;
  for (let k = 0; k < TRIES; k++) {
    await go(page, '#opponents');
    open = Math.max(open, await timed(page, (o) => { location.hash = `#opponent-${o}`; }, most, true));
  }
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 1 });
  await new Promise((r) => setTimeout(r, 500));
  const memory = rendererMegabytes(process.pid);
  await page.close();
  return { shown, opponents, sort, search, period, open, memory };
}

const fast = await measure(1);
const slow = await measure(4);

// The whole data read back: the overview must give personal.html's figures.
const page = await browser.newPage();
await page.goto(href);
const ours = await page.$$eval('#figures div', (ds) => Object.fromEntries(ds.map((d) => [d.querySelector('dt').textContent, (d.querySelector('dd > .value') ?? d.querySelector('dd')).textContent])));
await page.goto(pathToFileURL(path.join(process.argv[2], 'personal.html')).href);
const theirs = await page.$$eval('td[bgcolor="#b2c1dd"] > font:first-child', (fs) => fs.map((f) => f.firstChild.textContent.replace('（', '').replace(/,/g, '')));
const plain = (s) => (s ?? '').replace(/,/g, '');
const same = JSON.stringify([ours['勝敗'], ours['勝率'], ours['勝率偏差値'], (ours['ランキング'] ?? ours['順位'] ?? '').split(' ')[0], ours['総試合時間']].map(plain)) === JSON.stringify(theirs);
await browser.close();

const ms = (x) => `${x.toFixed(0)} ms`.padStart(8);
const both = (label, a, b, goal) => console.log(`${label.padEnd(34)}${ms(a)} ${ms(b)}   ${goal}`);
console.log(`dashboard.html size               ${(fs.statSync(file).size / 1e6).toFixed(1)} MB (goal 25 MB); ${fast.opponents}`);
console.log(`${''.padEnd(34)}   CPU×1    CPU×4   goal at CPU×4`);
const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
both('opponents table shown after', median(fast.shown), median(slow.shown), `2000 ms (tries: ${fast.shown.join(', ')} / ${slow.shown.join(', ')} ms)`);
both(`slowest sort (${'each column'})`, fast.sort, slow.sort, '200 ms');
both('slowest search keystroke', fast.search, slow.search, '200 ms');
both('slowest period change', fast.period, slow.period, '200 ms');
both('opening the most met opponent', fast.open, slow.open, '200 ms');
console.log(`renderer memory                   ${fast.memory.toFixed(0)} MB (goal 500 MB)`);
console.log(`overview = personal.html          ${same ? 'yes' : `NO: ${theirs.join(' ')}`}`);
