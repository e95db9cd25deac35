// Builds a data folder, runs the program on it and says where the report is;
// and the system Chromium, with no network or background services, in tabs
// that record console errors, uncaught script errors and files that fail to load.
// Base data: a generator sample, else a copy of a corpus, else nothing. On top
// go two logs written here, so that the suite knows its opponents itself:
// ranked opponents (plus an unranked filler with a long match list), and a day
// of opponents whose names hold every Shift_JIS double-byte code, each pair
// once, valid or not.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

const repoRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..', '..');

// From run.sh: the program, the generator (optional), else a corpus to copy.
export const inputs = {
  program: process.env.LEDGERWISE_PROGRAM,
  generator: process.env.LEDGERWISE_GENERATOR || '',
  corpus: process.env.LEDGERWISE_CORPUS ||
    path.join(repoRoot, 'tests', 'conformance', 'edge-101', 'data'),
  seed: Number(process.env.LEDGERWISE_SEED || 2),
};

// Ranked whatever the base holds (50 shown matches or more); at most 15 bytes.
const TARGETS = [
  { name: '観測者みどり', grade: '５だん', wins: 160, losses: 40 },
  { name: 'Vantage_K9', grade: '３だん', wins: 140, losses: 60 },
  { name: '</script>"<b>', grade: '２だん', wins: 90, losses: 60 },
  // Its rate ties with ＪＸﾚﾅ's, which is listed first.
  { name: '&amp;&lt;!', grade: '１きゅう', wins: 60, losses: 60 },
];
const FILLER = { name: 'しんがり', grade: '７きゅう', wins: 10, losses: 12 };
// Met once in a log without a date and once in a dated one, whose rating of 0
// is its latest; its name mixes full-width letters and half-width katakana.
const UNDATED = { name: 'ＪＸﾚﾅ', grade: '２きゅう', wins: 30, losses: 30, rating: 0 };
const ROUNDS = 13; // matches per target; the player wins match n when n % 5 < 3
const FILLER_MATCHES = 40; // the player wins every other one

const pad2 = (n) => String(n).padStart(2, '0');
const clock = (s) =>
  `[${pad2(Math.floor(s / 3600))}:${pad2(Math.floor(s / 60) % 60)}:${pad2(s % 60)}]`;
const cp932 = (text) => spawnSync('iconv', ['-f', 'UTF-8', '-t', 'CP932'], { input: text }).stdout;

function matchLines(o, second, won) {
  return [
    `${clock(second)}${o.name}(${o.grade} ${o.wins}勝${o.losses}敗 レート${o.rating ?? 1500} 最大7連鎖 切断率3%)` +
      'と対戦を開始しました',
    `${clock(second + 110)}リプレイをオートセーブしました`,
    `${clock(second + 200)}リプレイをオートセーブしました`,
    `${clock(second + 270)}${o.name}さんに${won ? '勝ちました' : '負けました'}`,
  ];
}

// The first line closes a match left open by the previous file.
function handMadeLog() {
  const lines = ['[09:59:00]ログアウトしました', ...matchLines(UNDATED, 9 * 3600, true)];
  let second = 10 * 3600, n = 0;
  for (let round = 0; round < ROUNDS; round++) {
    for (const t of TARGETS) lines.push(...matchLines(t, (second += 300), n++ % 5 < 3));
  }
  for (let i = 0; i < FILLER_MATCHES; i++) {
    lines.push(...matchLines(FILLER, (second += 300), i % 2 === 0));
  }
  return cp932(lines.join('\r\n') + '\r\n');
}

// Names of seven pairs; each match ends at once with a logout. The first
// starts at a time of day below zero, which the clock shows as 00:00:00. The
// last match of all, against the first target at 00:59, is still going on.
function allCodesLog() {
  const pairs = [], parts = [];
  for (let lead = 0x81; lead <= 0xfc; lead++) {
    if (lead >= 0xa0 && lead < 0xe0) continue;
    for (let trail = 0x40; trail <= 0xfc; trail++) if (trail !== 0x7f) pairs.push(lead, trail);
  }
  const start = cp932('(１きゅう 1勝1敗 レート1000 切断率0%)と対戦を開始しました\r\n');
  const logout = cp932('ログアウトしました\r\n');
  for (let k = 0; k * 14 < pairs.length; k++) {
    const time = Buffer.from(k ? clock(k * 2) : '[-9:00:00]');
    parts.push(time, Buffer.from(pairs.slice(k * 14, k * 14 + 14)), start,
      Buffer.from(clock(k * 2 + 1)), logout);
  }
  parts.push(cp932(`${matchLines(TARGETS[0], 3540, true)[0]}\r\n`));
  return Buffer.concat(parts);
}

// The next date after every dated log there.
function nextLogName(dir) {
  const days = fs.readdirSync(dir).map((e) => /^(\d{8})\.log$/i.exec(e)?.[1])
    .filter((d) => d && d < '9000');
  const latest = days.sort().pop() ?? '20050503';
  const d = new Date(Date.UTC(+latest.slice(0, 4), +latest.slice(4, 6) - 1, +latest.slice(6) + 1));
  return `${d.getUTCFullYear()}${pad2(d.getUTCMonth() + 1)}${pad2(d.getUTCDate())}.log`;
}

function run(cmd, args, what) {
  const r = spawnSync(cmd, args, { encoding: 'latin1', timeout: 120000 });
  if (r.error || r.status !== 0) {
    throw new Error(`${what} failed: ${r.error?.message ?? r.status}\n${r.stdout}\n${r.stderr}`);
  }
}

export function prepareReport({ program, generator, corpus, seed, addOwnLogs = true }) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ledgerwise-browser-'));
  const dataDir = path.join(work, 'data');
  // Four weeks from 20 December: the year changes on the way.
  if (generator) run(generator, ['--out', dataDir, '--seed', String(seed), '--start', '20041220'], 'log generator');
  else if (corpus && fs.existsSync(corpus)) fs.cpSync(corpus, dataDir, { recursive: true });
  else fs.mkdirSync(dataDir, { recursive: true });
  fs.chmodSync(dataDir, 0o755);
  let handMadeDay = '';
  if (addOwnLogs) {
    handMadeDay = nextLogName(dataDir);
    fs.writeFileSync(path.join(dataDir, handMadeDay), handMadeLog());
    fs.writeFileSync(path.join(dataDir, nextLogName(dataDir)), allCodesLog());
    // Listed first, before any match can be left open.
    fs.writeFileSync(path.join(dataDir, '0-memo.log'),
      cp932(matchLines({ ...UNDATED, rating: 1200 }, 8 * 3600, false).join('\r\n')));
  }
  run(program, ['--no-wait', dataDir], 'ledgerwise');
  const analyzeDir = path.join(dataDir, 'analyze');
  const iso = (name) => name.replace(/^(\d{4})(\d\d)(\d\d)\.log$/, '$1-$2-$3');
  const lastDay = addOwnLogs ? iso(fs.readdirSync(dataDir).filter((e) => /^\d{8}\.log$/.test(e)).sort().pop()) : '';
  return { work, analyzeDir, handMadeDay: iso(handMadeDay), lastDay };
}

export async function launch() {
  const browser = await chromium.launch({
    executablePath: process.env.LEDGERWISE_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  const context = await browser.newContext({ locale: 'ja-JP' });
  return { context, close: () => browser.close() };
}

export async function openTab(context, viewport = { width: 1000, height: 700 }, colorScheme = 'light') {
  const page = await context.newPage();
  await page.setViewportSize(viewport);
  await page.emulateMedia({ colorScheme });
  const problems = [];
  page.on('console', (m) => m.type() === 'error' && problems.push(`console error: ${m.text()}`));
  page.on('pageerror', (err) => problems.push(`page error: ${err.message}`));
  page.on('requestfailed', (req) => problems.push(`request failed: ${req.url()}`));
  return { page, problems };
}

export const PHONE = { width: 390, height: 844 };
export const fileUrl = (dir, file) => pathToFileURL(path.join(dir, file)).href;

// dashboard.html of a report, drawn; a clock of the test's own when asked.
export async function openDashboard(browser, dir, hash = '', { viewport, colorScheme, clock } = {}) {
  const tab = await openTab(browser.context, viewport, colorScheme);
  if (clock) await tab.page.clock.install();
  await tab.page.goto(fileUrl(dir, 'dashboard.html') + hash);
  await tab.page.waitForSelector('#heads th', { state: 'attached' });
  return tab;
}

// The report and the browser a test file shares: made before its first test,
// taken away after its last (LEDGERWISE_KEEP keeps the report).
export let report, browser;
export function shareReport() {
  before(async () => {
    report = prepareReport(inputs);
    browser = await launch();
  });
  after(async () => {
    await browser?.close();
    if (report && !process.env.LEDGERWISE_KEEP) fs.rmSync(report.work, { recursive: true, force: true });
  });
}

// The dashboard of the shared report (or of options.dir) in a tab handed to
// `use`; then a console or script error fails the test, save those that
// options.expected matches.
export async function inDashboard(hash, options, use) {
  const { page, problems } = await openDashboard(browser, options.dir ?? report.analyzeDir, hash, options);
  await use(page);
  assert.deepEqual(problems.filter((p) => !options.expected?.test(p)), []);
  await page.close();
}

// Figure cards by label: the value and the change beside it.
export const cardsOf = (page, id) => page.$$eval(`#${id} div`, (ds) => Object.fromEntries(ds.map((d) =>
  [d.querySelector('dt').textContent,
    { value: d.querySelector('dd > :first-child').textContent, change: d.querySelector('.change')?.textContent }])));
