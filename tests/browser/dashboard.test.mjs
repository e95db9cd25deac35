// dashboard.html in Chromium, used as a player uses it: its figures against
// personal.html, every name against vslog.html (the names hold every
// Shift_JIS double-byte code), the cells, search, the keyboard, one
// opponent's meetings, the period, the charts, a phone's screen and the
// address; every test also fails on a console or script error.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';

import { PHONE, browser, cardsOf, fileUrl, inDashboard, inputs, openTab, prepareReport, report, shareReport }
  from './lib/fixture.mjs';

shareReport();
const open = (hash, use, viewport = undefined) => inDashboard(hash, { viewport }, use);
const column = (page, k) => page.$$eval('#rows tr:not(.spacer)', (rows, k) => rows.map((r) => r.cells[k].textContent), k);
const rows = (page, id) => page.$$eval(`#${id} tr:not(.spacer)`, (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent)));
const readout = (page, chart) => page.textContent(`#${chart} .readout`);
const plain = (text) => (text ?? '').replace(/[,（）()]/g, '');
// A day number's neighbours as the date fields show them.
const isoPlus = (iso, days) => new Date(Date.parse(iso) + days * 864e5).toISOString().slice(0, 10);
async function openOpponent(page, name) {
  await page.fill('#search', name);
  await page.getByRole('link', { name, exact: true }).click();
  await page.waitForSelector('#view-opponent:not([hidden])');
}

test('the overview shows the figures of personal.html and their changes', () => open('', async (page) => {
  const shown = await cardsOf(page, 'figures');
  await page.goto(fileUrl(report.analyzeDir, 'personal.html'));
  const theirs = await page.$$eval('td[bgcolor="#b2c1dd"]', (tds) => tds.map((td) => {
    const [value, change] = td.querySelectorAll('font');
    return [value.firstChild.textContent, change?.textContent];
  }));
  const ours = ['勝敗', '勝率', '勝率偏差値', 'ランキング', '総試合時間'].map((k) => [shown[k].value, shown[k].change]);
  assert.deepEqual(ours.map((pair) => pair.map(plain)), theirs.map((pair) => pair.map(plain)));
  assert.match(shown['勝敗'].change, /\(4勝5敗\)/, 'the latest session: the last nine matches of the day before');
}));

test('every name reads as Chromium reads it in vslog.html', () => open('', async (page) => {
  // As the HTML parser reads text: CR LF and lone CR become LF.
  const ours = await page.evaluate(() => JSON.parse(document.getElementById('lw-data').textContent)
    .names.map((n) => n.replace(/\r\n?/g, '\n')));
  await page.goto(fileUrl(report.analyzeDir, 'vslog.html'));
  const theirs = await page.$$eval('td[colspan="9"]', (tds) => tds.map((td) => td.textContent));
  assert.ok(ours.length > 1612 && ours.some((n) => n.includes('\uFFFD')), 'no all-codes opponents');
  assert.deepEqual(ours, theirs);
}));

test('cells: the earliest dated meeting, a latest rating of 0 as ---, undated rows, grouped digits', () => open('#opponents', async (page) => {
  await page.fill('#search', 'Vantage');
  assert.equal((await column(page, 9))[0], '1,500');
  await page.fill('#search', 'ＪＸﾚﾅ');
  const [row] = await rows(page, 'rows');
  assert.deepEqual([row[1], row[6], row[7], row[9]], ['2', report.handMadeDay, report.handMadeDay, '---']);
  await openOpponent(page, 'ＪＸﾚﾅ');
  assert.deepEqual((await rows(page, 'meetings')).pop(),
    ['', '', '08:00:00', '08:04:30', '負け', '0－2', '二級', '1,200', '30－30']);
}));

test('places as ranking.html gives them, a tie in list order', () => open('#opponents', async (page) => {
  await page.getByRole('button', { name: '順位' }).click();
  const ours = (await rows(page, 'rows')).filter((r) => r[12]).map((r) => [r[0], r[12].replace('位', '')]);
  await page.goto(fileUrl(report.analyzeDir, 'ranking.html'));
  const theirs = new Map(await page.$$eval('tr.a, tr.b', (trs) => trs.map((tr) => [tr.cells[1].textContent, tr.cells[0].textContent])));
  assert.ok(ours.length > 20 && ours.length === theirs.size, `${ours.length} places`);
  assert.deepEqual(ours, ours.map(([name]) => [name, theirs.get(name)]));
  const tie = ['ＪＸﾚﾅ', '&amp;&lt;!'].map((name) => +theirs.get(name));
  assert.ok(tie[0] < tie[1], `tie at places ${tie}`);
}, { width: 1000, height: 3000 }));

test('search folds width, case and kana; names stay text', () => open('#opponents', async (page) => {
  const queries = [['ｖＡＮＴＡＧＥ＿ｋ', 'Vantage_K9'], ['jx', 'ＪＸﾚﾅ'], ['レナ', 'ＪＸﾚﾅ'], ['ﾐﾄﾞﾘ', '観測者みどり'],
    ['</script>', '</script>"<b>'], ['&amp;', '&amp;&lt;!']];
  for (const [query, found] of queries) {
    await page.fill('#search', query);
    assert.deepEqual(await column(page, 0), [found], query);
  }
  assert.equal(await page.locator('#rows b, #rows script').count(), 0, 'a name became markup');
}));

test('the keyboard reaches every opponent, keeps its sort head and comes back with Escape', () => open('#opponents', async (page) => {
  const names = await page.evaluate(() => JSON.parse(document.getElementById('lw-data').textContent).names);
  const sorted = names.map((_, k) => k).sort((a, b) => (names[a] < names[b] ? -1 : names[a] > names[b] ? 1 : a - b)).map((k) => names[k]);
  const head = page.getByRole('button', { name: '名前' });
  await head.focus();
  await page.keyboard.press('Enter');
  assert.deepEqual(await page.evaluate(() => [document.activeElement.textContent, document.activeElement.parentNode.ariaSort]), ['名前', 'ascending']);
  const focused = () => page.evaluate(() => [document.activeElement.textContent,
    document.activeElement.closest('#rows tr') ? +document.activeElement.closest('tr').ariaRowIndex - 3 : -1]);
  await page.focus('#rows a[tabindex="0"]');
  for (let k = 1; k <= 45; k++) {
    await page.keyboard.press('ArrowDown');
    assert.deepEqual(await focused(), [sorted[k], k]);
  }
  for (let last = 45, now; last < sorted.length - 1; last = now) {
    await page.keyboard.press('PageDown');
    now = (await focused())[1];
    assert.ok(now > last + 5 || now === sorted.length - 1, `PageDown from row ${last} reached ${now}`);
    assert.deepEqual(await focused(), [sorted[now], now]);
  }
  await page.keyboard.press('Tab');
  assert.equal((await focused())[1], -1, 'Tab leaves the list');
  await page.keyboard.press('Shift+Tab');
  assert.deepEqual(await focused(), [sorted[sorted.length - 1], sorted.length - 1]);
  await page.keyboard.press('Home');
  assert.deepEqual(await focused(), [sorted[0], 0]);
  for (const key of ['End', 'PageUp', 'ArrowUp']) await page.keyboard.press(key);
  const [name, k] = await focused();
  await page.keyboard.press('Enter');
  await page.waitForSelector('#view-opponent:not([hidden])');
  assert.equal(await page.textContent('#opponent-title'), name);
  await page.keyboard.press('Escape');
  await page.waitForSelector('#view-opponents:not([hidden])');
  assert.deepEqual(await focused(), [name, k]);
}));

test('one opponent: meetings newest first, virtualised and sortable; head-to-head rate and the last ten', () => open('#opponents', async (page) => {
  await openOpponent(page, 'しんがり');
  const latest = [report.handMadeDay, '17:40:00', '17:44:30', '負け', '0－2', '七級', '1,500', '10－12'];
  const first = async () => { const [r] = await rows(page, 'meetings'); return [r[0], ...r.slice(2)]; };
  assert.deepEqual(await first(), latest);
  assert.equal(await page.getAttribute('#meetings-table', 'aria-rowcount'), '41');
  assert.ok((await rows(page, 'meetings')).length < 40, 'every meeting drawn');
  await page.$eval('#meetings-scroller', (s) => { s.scrollTop = s.scrollHeight; });
  await page.waitForFunction(() => document.querySelector('#meetings tr:nth-last-child(2)').cells[2].textContent === '14:25:00');
  const sortBy = (label) => page.click(`#meeting-heads button:text-is("${label}")`);
  await sortBy('結果');
  assert.deepEqual((await first()).slice(1, 4), ['17:35:00', '17:39:30', '勝ち']);
  await sortBy('結果');
  assert.deepEqual((await first()).slice(1, 4), ['17:40:00', '17:44:30', '負け']);
  assert.equal(await page.getAttribute('#meeting-heads th[data-col="result"]', 'aria-sort'), 'ascending');
  assert.deepEqual(await page.$$eval('#last-ten li', (lis) => lis.map((li) => li.textContent).join('')), '勝負勝負勝負勝負勝負');
  assert.match(await readout(page, 'h2h-chart'), /17:40:00 負け: 直近20戦 10勝10敗 勝率0\.500$/);
  await page.getByRole('slider', { name: '直近20戦の勝率の推移' }).focus();
  await page.keyboard.press('Home');
  assert.match(await readout(page, 'h2h-chart'), /14:25:00 勝ち: 直近1戦 1勝0敗 勝率1\.000$/);
  await page.click('#back');
  await openOpponent(page, 'Vantage_K9');
  assert.deepEqual(await page.$$eval('#last-ten li', (lis) => lis.map((li) => li.textContent).join('')), '負勝勝勝負負勝勝勝負');
}));

test('the period: date fields, quick periods, the latest session, streaks', () => open('', async (page) => {
  const figures = async () => Object.fromEntries(Object.entries(await cardsOf(page, 'figures')).map(([k, v]) => [k, v.value]));
  await page.fill('#from', report.handMadeDay);
  await page.fill('#to', report.handMadeDay);
  const day = await figures();
  assert.deepEqual(['勝敗', '対戦数', '現在の連続', '最長の連勝', '最長の連敗'].map((k) => day[k]),
    ['53勝40敗', '93', '1連敗', '4連勝', '2連敗']);
  await page.click('#nav-opponents');
  await page.waitForSelector('#view-opponents:not([hidden])');
  assert.equal(await page.textContent('#shown'), '6人');
  await page.fill('#search', '観測者');
  assert.equal((await column(page, 5))[0], '2連敗');
  await page.click('#nav-overview');
  const { lastDay } = report, year = `${lastDay.slice(0, 4)}-01-01`;
  const quick = [['最新セッション', report.handMadeDay, '4勝5敗', '1,622', '1連敗'], ['最終日', lastDay, '0勝0敗', '1,613', 'なし'],
    ['7日間', isoPlus(lastDay, -6)], ['その年', year], ['全期間', '2004-12-20']];
  for (const [label, from, record, meetings, streak] of quick) {
    await page.click(`button:text-is("${label}")`);
    assert.deepEqual([await page.inputValue('#from'), await page.inputValue('#to')], [from, lastDay], label);
    assert.equal(await page.getAttribute(`button:text-is("${label}")`, 'aria-pressed'), 'true');
    const shown = await figures();
    if (record) assert.deepEqual([shown['勝敗'], shown['対戦数'], shown['現在の連続']], [record, meetings, streak], label);
  }
}));

test('charts: values on focus and tap, every weekday, years on the axis, a win-rate axis fitted round 50%', () => open('', async (page) => {
  const labels = (chart) => page.$$eval(`#${chart} text`, (ts) => ts.map((t) => t.textContent));
  assert.ok((await labels('trend')).some((t) => /^2004\/12\/\d+$/.test(t)), 'no year on a period over two');
  for (const day of '日月火水木金土') assert.ok((await labels('weekdays')).includes(day), day);
  await page.fill('#from', report.handMadeDay);
  await page.fill('#to', report.handMadeDay);
  const md = report.handMadeDay.slice(5).replace(/^0|(?<=-)0/g, '').replace('-', '/');
  assert.ok((await labels('trend')).includes(md), `${md} in one year`);
  assert.deepEqual((await labels('trend')).filter((t) => t.endsWith('%')), ['50%', '60%', '45%']);
  const weekday = new Date(report.handMadeDay).getUTCDay();
  const expected = (k) => `${'日月火水木金土'[k]}曜日: ${k === weekday ? '93試合 53勝40敗 勝率0.570' : '0試合 0勝0敗 勝率---'}`;
  await page.getByRole('slider', { name: '曜日別の試合数と勝率' }).focus();
  await page.keyboard.press('Home');
  assert.equal(await readout(page, 'weekdays'), expected(0));
  await page.keyboard.press('ArrowRight');
  assert.equal(await readout(page, 'weekdays'), expected(1));
  // A finger on a bar, and a mouse over one.
  const bar = await page.locator('#weekdays rect.count').nth(weekday).boundingBox();
  await page.dispatchEvent('#weekdays svg', 'pointerdown', { pointerType: 'touch', clientX: bar.x + bar.width / 2, clientY: bar.y + bar.height / 2 });
  assert.equal(await readout(page, 'weekdays'), expected(weekday));
  const other = await page.locator('#weekdays rect.count').nth((weekday + 3) % 7).boundingBox();
  await page.mouse.move(other.x + other.width / 2, other.y - 5);
  assert.equal(await readout(page, 'weekdays'), expected((weekday + 3) % 7));
}, PHONE));

test('a phone screen: no sideways scrolling, no text under 14px, the names stay put, no card wraps a number', async () => {
  for (const [hash, viewport] of [['', PHONE], ['#opponents', PHONE], ['#opponent-0', PHONE], ['', { width: 1280, height: 900 }]]) {
    await open(hash, async (page) => {
      const seen = await page.evaluate(() => {
        const small = [...document.querySelectorAll('body *')].filter((e) =>
          [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim()) &&
          e.getClientRects().length && parseFloat(getComputedStyle(e).fontSize) < 14);
        const wrapped = [...document.querySelectorAll('.figures .value')].filter((v) => v.getClientRects().length > 1 ||
          v.getBoundingClientRect().right > v.closest('div').getBoundingClientRect().right);
        const viewport = !!document.querySelector('meta[name=viewport]');
        const wide = document.documentElement.scrollWidth > innerWidth;
        return { wide, small: small.map((e) => e.localName), wrapped: wrapped.map((e) => e.textContent), viewport };
      });
      assert.deepEqual(seen, { wide: false, small: [], wrapped: [], viewport: true }, hash);
    }, viewport);
  }
  await open('#opponents', async (page) => {
    const lefts = () => page.$eval('#rows tr:not(.spacer)', (tr) => [tr.cells[0], tr.cells[1]].map((c) => Math.round(c.getBoundingClientRect().left)));
    const frames = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    await frames();
    const before = await lefts();
    await page.$eval('#scroller', (s) => { s.scrollLeft = 200; });
    await frames();
    const moved = await lefts();
    assert.deepEqual([moved[0], before[1] - moved[1]], [before[0], 200]);
  }, PHONE);
});

// Made when the test runs: the report exists only then.
const address = () => `#opponents?sort=losses.a&q=${encodeURIComponent('ミドリ')}&from=${report.handMadeDay}&to=${report.handMadeDay}`;
test('the address keeps the view, sort, search and period', () => open(address(), async (page) => {
  assert.deepEqual([await page.getAttribute('#heads th[data-col="losses"]', 'aria-sort'), await page.inputValue('#search'),
    await page.inputValue('#from'), await page.inputValue('#to'), await column(page, 0)],
  ['ascending', 'ミドリ', report.handMadeDay, report.handMadeDay, ['観測者みどり']]);
  assert.equal(decodeURIComponent(await page.evaluate(() => location.hash)), decodeURIComponent(address()));
}));

// The README's pictures: the dashboard on a desktop and a phone, light and
// dark, and the four pages in the frameset.
const shots = process.env.LEDGERWISE_SCREENSHOTS;
test('screenshots', { skip: !shots && 'LEDGERWISE_SCREENSHOTS is not set' }, async () => {
  const plain = prepareReport({ ...inputs, generator: process.env.LEDGERWISE_CORPUS ? '' : inputs.generator, addOwnLogs: false });
  for (const colorScheme of ['light', 'dark']) {
    for (const [name, viewport, hash] of [['desktop', { width: 1200, height: 900 }, ''], ['phone', PHONE, '#opponents']]) {
      await inDashboard(hash, { dir: plain.analyzeDir, viewport, colorScheme },
        (page) => page.screenshot({ path: path.join(shots, `dashboard-${name}-${colorScheme}.png`) }));
    }
  }
  const { page } = await openTab(browser.context);
  await page.goto(fileUrl(plain.analyzeDir, 'index.html'));
  for (const name of ['personal', 'observation', 'ranking', 'vslog']) {
    await page.frame({ name: 'RIGHT_FRAME' }).goto(fileUrl(plain.analyzeDir, `${name}.html`));
    await page.screenshot({ path: path.join(shots, `${name}.png`) });
  }
  await page.close();
  fs.rmSync(plain.work, { recursive: true, force: true });
});
