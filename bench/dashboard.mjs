// The dashboard in Chromium on a generated report: time until the opponents
// table shows, renderer memory, and the time of a sort and of a search.
//   node bench/dashboard.mjs ANALYZE_DIR    (run from tests/browser's deps)
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, '..', 'tests', 'browser', 'package.json'));
const { chromium } = require('playwright-core');

const file = path.join(process.argv[2], 'dashboard.html');
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

const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
const t0 = Date.now();
await page.goto(pathToFileURL(file).href + '#opponents');
await page.waitForSelector('#rows tr:not(.spacer)');
const shown = Date.now() - t0;
const opponents = await page.$eval('#shown', (e) => e.textContent);
const measure = (action) => page.evaluate(action);
const sort = await measure(() => {
  const t = performance.now();
  document.querySelectorAll('#heads button')[0].click();
  void document.body.offsetHeight;
  return performance.now() - t;
});
const search = await measure(() => {
  const t = performance.now();
  const box = document.getElementById('search');
  box.value = 'a';
  box.dispatchEvent(new Event('input'));
  void document.body.offsetHeight;
  return performance.now() - t;
});
await new Promise((r) => setTimeout(r, 500));
const memory = rendererMegabytes(process.pid);
// The whole data read back: the overview must give personal.html's figures.
await page.goto(pathToFileURL(file).href);
const ours = await page.$$eval('#figures div', (ds) => Object.fromEntries(ds.map((d) => [d.firstChild.textContent, d.lastChild.textContent])));
await page.goto(pathToFileURL(path.join(process.argv[2], 'personal.html')).href);
const theirs = await page.$$eval('td[bgcolor="#b2c1dd"] > font:first-child', (fs) => fs.map((f) => f.firstChild.textContent.replace('（', '')));
const same = JSON.stringify([ours['勝敗'], ours['勝率'], ours['勝率偏差値'], ours['ランキング'].split(' ')[0], ours['総試合時間']]) === JSON.stringify(theirs);
await browser.close();

console.log(`dashboard.html size          ${(fs.statSync(file).size / 1e6).toFixed(1)} MB (goal 25 MB)`);
console.log(`opponents table shown after  ${shown} ms (goal 2000 ms; ${opponents})`);
console.log(`renderer memory              ${memory.toFixed(0)} MB (goal 500 MB)`);
console.log(`sort by name                 ${sort.toFixed(0)} ms (goal 300 ms)`);
console.log(`search for "a"               ${search.toFixed(0)} ms (goal 300 ms)`);
console.log(`overview = personal.html     ${same ? 'yes' : `NO: ${theirs.join(' ')}`}`);
