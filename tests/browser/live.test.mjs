// A watching run's dashboard follows live.js beside it and reloads itself on
// a new generation, keeping what the player was looking at; a one-shot run's
// dashboard never asks for live.js. The page's clock is the test's: time
// moves only when the test says, and each step waits for what it caused.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';

import { browser, cardsOf, inDashboard, report, shareReport } from './lib/fixture.mjs';

shareReport();

const writeLive = (dir, generation, updated) => fs.writeFileSync(path.join(dir, 'live.js'),
  `ledgerwiseLive(${JSON.stringify({ generation, updated })});\r\n`);
// The report's dashboard as a watching run writes it: the live flag first in its data.
function writeDashboard(dir, generation) {
  const html = fs.readFileSync(path.join(report.analyzeDir, 'dashboard.html'), 'utf8');
  const live = html.replace('{"rules":', `{"live":{"generation":"${generation}"},\r\n"rules":`);
  assert.notEqual(live, html);
  fs.writeFileSync(path.join(dir, 'dashboard.html'), live);
}

test('a live dashboard shows the session first and reloads on a new generation, keeping its place', { timeout: 60000 }, async () => {
  const dir = fs.mkdtempSync(path.join(report.work, 'live-'));
  writeDashboard(dir, 'g1');
  writeLive(dir, 'g1', '2005-01-18 00:59:30');
  // The live.js missing for a moment below fails its load.
  await inDashboard('', { dir, clock: true, expected: /live\.js|ERR_FILE_NOT_FOUND/ }, async (page) => {
    await page.waitForFunction(() => document.getElementById('live-updated').textContent);
    assert.equal(await page.textContent('#live-badge'), 'ライブ2005-01-18 00:59:30 更新');
    const now = await cardsOf(page, 'current-opponent');
    assert.deepEqual([now['相手'].value, now['状態'].value], ['観測者みどり', '対戦中']);
    assert.equal((await cardsOf(page, 'session-figures'))['勝敗'].value, '4勝5敗');
    assert.equal(await page.$eval('#view-overview h2 + *', (e) => e.id), 'live-now');
    // What the player looks at: the list by wins, fewest first, over 30 days, searched, scrolled.
    await page.click('#nav-opponents');
    await page.click('button:text-is("30日間")');
    for (let k = 0; k < 2; k++) await page.click('#heads button:text-is("勝")');
    await page.fill('#search', '\uFFFD');
    await page.$eval('#scroller', (s) => { s.scrollTop = 720; });
    await page.evaluate(() => { window.before = true; });
    const place = () => page.evaluate(() => [location.hash.split('?')[0], document.querySelector('th[data-col="wins"]').ariaSort,
      document.querySelector('[aria-pressed="true"]').textContent, document.getElementById('search').value,
      document.getElementById('scroller').scrollTop, window.before === true]);
    const kept = await place();
    assert.ok(kept[4] > 700, 'the list too short to scroll');
    writeLive(dir, 'g1', '2005-01-18 00:59:40');
    await page.clock.runFor(3000);
    await page.waitForFunction(() => document.getElementById('live-updated').textContent.includes('00:59:40'));
    assert.deepEqual(await place(), kept, 'the same generation reloads nothing');
    assert.equal(await page.locator('script[src]').count(), 1, 'old script elements stay');
    // A file missing for a moment (the run replaces it) stops nothing.
    fs.rmSync(path.join(dir, 'live.js'));
    await Promise.all([page.waitForEvent('requestfailed'), page.clock.runFor(3000)]);
    writeDashboard(dir, 'g2');
    writeLive(dir, 'g2', '2005-01-18 01:05:00');
    await Promise.all([page.waitForEvent('load'), page.clock.runFor(3000)]);
    await page.waitForSelector('#rows tr:not(.spacer)');
    assert.deepEqual(await place(), [...kept.slice(0, 5), false]);
  });
});

test('a live dashboard reloads once for a generation that its file does not hold yet', { timeout: 60000 }, async () => {
  const dir = fs.mkdtempSync(path.join(report.work, 'live-'));
  writeDashboard(dir, 'g1');
  writeLive(dir, 'g2', '2005-01-18 01:05:00');
  const loads = [], counting = (r) => r.url().includes(dir) && r.url().includes('dashboard.html') && loads.push(r.url());
  browser.context.on('request', counting);
  await inDashboard('', { dir, clock: true }, async (page) => {
    // The first page looks once and reloads; the second looks again and again.
    for (let looks = 0; looks < 4; looks++) {
      await Promise.all([page.waitForEvent('requestfinished', (r) => r.url().includes('live.js')), page.clock.runFor(3000)]);
    }
    browser.context.off('request', counting);
    assert.equal(loads.length, 2);
  });
});

test('a one-shot dashboard never asks for live.js', async () => {
  fs.writeFileSync(path.join(report.analyzeDir, 'live.js'), 'ledgerwiseLive({"generation":"x","updated":"x"});');
  await inDashboard('', { clock: true }, async (page) => {
    const asked = [];
    page.on('request', (r) => r.url().includes('live.js') && asked.push(r.url()));
    await page.clock.runFor(60000);
    assert.deepEqual([await page.locator('script[src]').count(), await page.isHidden('#live-badge'), asked], [0, true, []]);
  });
});
