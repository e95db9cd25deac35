// dashboard.html in Chromium: its figures against personal.html, every name
// against vslog.html (the names hold every Shift_JIS double-byte code), the
// opponents table, one opponent, the period, a phone's screen, and a clean
// console throughout.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { inputs, launch, openTab, prepareReport } from './lib/fixture.mjs';

const PHONE = { width: 390, height: 844 };
let report, browser;

before(async () => {
  report = prepareReport(inputs);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (!process.env.LEDGERWISE_KEEP) fs.rmSync(report.work, { recursive: true, force: true });
});

const url = (file, dir = report.analyzeDir) => pathToFileURL(path.join(dir, file)).href;
async function open(hash = '', viewport = undefined, dir = undefined) {
  const tab = await openTab(browser.context, viewport);
  await tab.page.goto(url('dashboard.html', dir) + hash);
  await tab.page.waitForSelector('#heads th', { state: 'attached' });
  return tab;
}
const figures = (page, id) => page.$$eval(`#${id} div`,
  (ds) => Object.fromEntries(ds.map((d) => [d.firstChild.textContent, d.lastChild.textContent])));
const column = (page, k) => page.$$eval('#rows tr:not(.spacer)',
  (rows, k) => rows.map((r) => r.cells[k].textContent), k);

test('the overview shows the figures of personal.html', async () => {
  const { page, problems } = await open();
  const shown = await figures(page, 'figures');
  await page.goto(url('personal.html'));
  const personal = await page.$$eval('td[bgcolor="#b2c1dd"] > font:first-child',
    (fs) => fs.map((f) => f.firstChild.textContent.replace('（', '')));
  const own = [shown['勝敗'], shown['勝率'], shown['勝率偏差値'], shown['ランキング'].split(' ')[0],
    shown['総試合時間']];
  assert.deepEqual(own, personal);
  assert.deepEqual(problems, []);
  await page.close();
});

test('every name reads as Chromium reads it in vslog.html', async () => {
  const { page, problems } = await open();
  // As the HTML parser reads text: CR LF and lone CR become LF.
  const ours = await page.evaluate(() => JSON.parse(document.getElementById('lw-data').textContent)
    .names.map((n) => n.replace(/\r\n?/g, '\n')));
  await page.goto(url('vslog.html'));
  const theirs = await page.$$eval('td[colspan="9"]', (tds) => tds.map((td) => td.textContent));
  assert.ok(ours.length > 1612 && ours.some((n) => n.includes('\uFFFD')), 'no all-codes opponents');
  assert.deepEqual(ours, theirs);
  assert.deepEqual(problems, []);
  await page.close();
});

test('search, sort and one opponent', async () => {
  const { page, problems } = await open('#opponents');
  const queries = [['vANTAGE_k', 'Vantage_K9'], ['観測者', '観測者みどり'], ['</script>', '</script>"<b>']];
  for (const [query, found] of queries) {
    await page.fill('#search', query);
    assert.deepEqual(await column(page, 0), [found], query);
  }
  assert.equal(await page.locator('#rows b, #rows script').count(), 0, 'a name became markup');
  await page.fill('#search', '');
  const sorted = async (k, compare) => {
    const cells = await column(page, k);
    assert.ok(cells.length > 10);
    cells.slice(1).forEach((c, k) => assert.ok(compare(cells[k], c), `${cells[k]} before ${c}`));
  };
  await page.getByRole('button', { name: '名前' }).click();
  await sorted(0, (a, b) => a <= b);
  await page.getByRole('button', { name: '名前' }).press('Enter');
  await sorted(0, (a, b) => a >= b);
  await page.getByRole('button', { name: '勝', exact: true }).click();
  await sorted(2, (a, b) => +a >= +b);
  await page.fill('#search', 'Vantage');
  await page.getByRole('link', { name: 'Vantage_K9' }).click();
  await page.waitForSelector('#view-opponent:not([hidden])');
  assert.equal(await page.textContent('#opponent-title'), 'Vantage_K9');
  const one = await figures(page, 'opponent-figures');
  assert.deepEqual([one['対戦数'], one['勝敗']], ['13', '8勝5敗']);
  assert.equal(await page.locator('#meetings tr').count(), 13);
  const meeting = await page.$eval('#meetings tr', (tr) => [...tr.cells].map((c) => c.textContent));
  assert.deepEqual([meeting[0], ...meeting.slice(2)],
    [report.handMadeDay, '10:10:00', '10:14:30', '勝ち', '2－0', '三段', '1500', '140－60']);
  assert.deepEqual(problems, []);
  await page.close();
});

test('the period drives the figures and the table', async () => {
  const { page, problems } = await open();
  await page.fill('#from', report.handMadeDay);
  await page.fill('#to', report.handMadeDay);
  const shown = await figures(page, 'figures');
  assert.deepEqual([shown['勝敗'], shown['対戦数']], ['52勝40敗', '92']);
  await page.click('#nav-opponents');
  await page.waitForSelector('#view-opponents:not([hidden])');
  assert.equal(await page.textContent('#shown'), '5人');
  await page.click('#whole');
  assert.notEqual(await page.textContent('#shown'), '5人');
  assert.deepEqual(problems, []);
  await page.close();
});

test('a phone screen: no sideways scrolling, no text under 14px', async () => {
  for (const hash of ['', '#opponents', '#opponent-0']) {
    const { page, problems } = await open(hash, PHONE);
    const seen = await page.evaluate(() => {
      const small = [...document.querySelectorAll('body *')].filter((e) =>
        [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim()) &&
        e.getClientRects().length && parseFloat(getComputedStyle(e).fontSize) < 14);
      const viewport = !!document.querySelector('meta[name=viewport]');
      const wide = document.documentElement.scrollWidth > innerWidth;
      return { wide, small: small.map((e) => e.localName), viewport };
    });
    assert.deepEqual(seen, { wide: false, small: [], viewport: true }, hash);
    assert.deepEqual(problems, []);
    await page.close();
  }
});

// The README's pictures: the dashboard, and the four pages in the frameset.
const shots = process.env.LEDGERWISE_SCREENSHOTS;
test('screenshots', { skip: !shots && 'LEDGERWISE_SCREENSHOTS is not set' }, async () => {
  const plain = prepareReport({ ...inputs, addOwnLogs: false });
  const desktop = { width: 1200, height: 900 };
  for (const [file, viewport, hash] of
    [['dashboard-desktop.png', desktop, ''], ['dashboard-phone.png', PHONE, '#opponents']]) {
    const { page } = await open(hash, viewport, plain.analyzeDir);
    await page.screenshot({ path: path.join(shots, file) });
    await page.close();
  }
  const { page } = await openTab(browser.context);
  await page.goto(url('index.html', plain.analyzeDir));
  for (const name of ['personal', 'observation', 'ranking', 'vslog']) {
    await page.frame({ name: 'RIGHT_FRAME' }).goto(url(`${name}.html`, plain.analyzeDir));
    await page.screenshot({ path: path.join(shots, `${name}.png`) });
  }
  await page.close();
  fs.rmSync(plain.work, { recursive: true, force: true });
});
