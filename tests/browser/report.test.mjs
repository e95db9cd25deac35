// The six pages as a player uses them, for what byte comparisons cannot see:
// the frames and their links (a link escaped differently from its anchor
// only fails once a browser follows it), the player's row colour on screen,
// and a clean console. Inputs: see README.md.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { launch, openTab } from './lib/browser.mjs';
import { TARGETS, inputs, prepareReport } from './lib/fixture.mjs';
import { onePixel } from './lib/png.mjs';

const TITLES = { 'personal.html': '個人戦績', 'observation.html': '定点観測データ', 'ranking.html': 'ランキング', 'vslog.html': '対戦ログ' };
let report, browser;

before(async () => {
  report = prepareReport(inputs);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (!process.env.LEDGERWISE_KEEP) fs.rmSync(report.work, { recursive: true, force: true });
});

async function openReport() {
  const tab = await openTab(browser.context);
  await tab.page.goto(pathToFileURL(path.join(report.analyzeDir, 'index.html')).href);
  const right = tab.page.frame({ name: 'RIGHT_FRAME' }), left = tab.page.frame({ name: 'LEFT_FRAME' });
  assert.ok(left && right, 'no LEFT_FRAME or RIGHT_FRAME');
  return { ...tab, left, right };
}
const fileOf = (frame) => new URL(frame.url()).pathname.split('/').pop();

// Clicks a link and waits until the right frame has loaded `file` again.
async function intoRightFrame(view, link, file) {
  const loaded = view.page.waitForEvent('framenavigated', { predicate: (f) => f === view.right && fileOf(f) === file, timeout: 10000 });
  await link.click();
  await loaded;
  await view.right.waitForLoadState('load');
  assert.equal(fileOf(view.left), 'menu.html', `opening ${file} replaced the menu`);
}

test('each menu link loads its page, decoded, into the right frame', async () => {
  const view = await openReport();
  assert.equal(fileOf(view.right), 'personal.html');
  for (const file of ['observation.html', 'ranking.html', 'vslog.html', 'personal.html']) {
    await intoRightFrame(view, view.left.getByRole('link', { name: TITLES[file], exact: true }), file);
    assert.equal(await view.right.title(), TITLES[file]);
    assert.equal(await view.right.evaluate(() => document.characterSet), 'Shift_JIS');
  }
  assert.deepEqual(view.problems, []);
  await view.page.close();
});

for (const target of TARGETS) {
  test(`the ranking link of ${JSON.stringify(target.name)} scrolls to that opponent's table`, async () => {
    const view = await openReport();
    await intoRightFrame(view, view.left.getByRole('link', { name: 'ランキング', exact: true }), 'ranking.html');
    await intoRightFrame(view, view.right.getByRole('link', { name: target.name, exact: true }), 'vslog.html');
    // The first table heading on screen is the target's, at the top.
    await view.right.waitForFunction((name) => {
      const h = [...document.querySelectorAll('td[colspan="9"]')].find((td) => td.getBoundingClientRect().bottom > 0);
      return scrollY > 0 && h?.textContent === name && h.getBoundingClientRect().top <= 60;
    }, target.name, { timeout: 5000 });
    assert.deepEqual(view.problems, []);
    await view.page.close();
  });
}

test("the player's row shows #ff6e00 on screen", async () => {
  const view = await openReport();
  await intoRightFrame(view, view.left.getByRole('link', { name: 'ランキング', exact: true }), 'ranking.html');
  const cell = view.right.locator('tr.c td').nth(1);
  assert.equal((await cell.textContent()).trim(), '自分');
  await cell.scrollIntoViewIfNeeded();
  const box = await cell.boundingBox();
  const clip = { x: Math.floor(box.x + 3), y: Math.floor(box.y + box.height / 2), width: 1, height: 1 };
  const { r, g, b } = onePixel(await view.page.screenshot({ clip }));
  assert.ok(Math.abs(r - 0xff) + Math.abs(g - 0x6e) + Math.abs(b) <= 8, `row colour ${[r, g, b]}`);
  await view.page.close();
});

test('no page logs an error', async () => {
  const tab = await openTab(browser.context);
  for (const file of ['index.html', 'menu.html', ...Object.keys(TITLES)]) {
    await tab.page.goto(pathToFileURL(path.join(report.analyzeDir, file)).href);
    await tab.page.waitForTimeout(100);
    assert.deepEqual(tab.problems, [], file);
  }
  await tab.page.close();
});
