// dashboard.html as markup: the Nu HTML checker finds no error (and no
// warning) in the page of any test corpus; axe-core finds no WCAG 2.1 AA violation in light and
// dark, on a desktop and a phone, on the overview, the list and one
// opponent; text keeps 4.5:1 and chart marks and control borders 3:1.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

import { PHONE, inDashboard, inputs, prepareReport, report, shareReport } from './lib/fixture.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(import.meta.url);
shareReport();

test('the Nu HTML checker finds no error in the dashboard of any test corpus', { timeout: 180000 }, () => {
  const corpora = path.join(here, '..', 'conformance');
  const pages = [path.join(report.analyzeDir, 'dashboard.html')];
  for (const corpus of fs.readdirSync(corpora).filter((c) => fs.existsSync(path.join(corpora, c, 'data')))) {
    const made = prepareReport({ ...inputs, generator: '', corpus: path.join(corpora, corpus, 'data'), addOwnLogs: false });
    pages.push(path.join(made.analyzeDir, 'dashboard.html'));
  }
  const vnu = path.join(path.dirname(require.resolve('vnu-jar')), 'build', 'dist', 'vnu.jar');
  const run = spawnSync('java', ['-jar', vnu, '--exit-zero-always', '--format', 'json', ...pages],
    { encoding: 'utf8', maxBuffer: 1 << 26 });
  assert.equal(run.status, 0, run.error?.message ?? run.stderr);
  // Warnings count as errors (an empty heading is one); plain information does not.
  const errors = JSON.parse(run.stderr).messages.filter((m) => m.type !== 'info' || m.subType === 'warning')
    .map((m) => `${m.url}:${m.lastLine}: ${m.subType ?? m.type} ${m.message}`);
  assert.deepEqual(errors, []);
  assert.equal(pages.length, 8);
  for (const page of pages.slice(1)) fs.rmSync(path.dirname(path.dirname(path.dirname(page))), { recursive: true, force: true });
});

test('axe-core finds no WCAG 2.1 AA violation', { timeout: 180000 }, async () => {
  const axe = require.resolve('axe-core/axe.min.js');
  for (const colorScheme of ['light', 'dark']) {
    for (const viewport of [{ width: 1280, height: 900 }, PHONE]) {
      for (const hash of ['', '#opponents', '#opponent-1']) {
        await inDashboard(hash, { viewport, colorScheme }, async (page) => {
          await page.addScriptTag({ path: axe });
          const found = await page.evaluate(async () => (await window.axe.run(document, {
            runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] },
          })).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).slice(0, 3).join(', ')}`));
          assert.deepEqual(found, [], `${colorScheme} ${viewport.width}px ${hash || '#overview'}`);
        });
      }
    }
  }
});

// Relative luminance contrast of two #rrggbb colours.
function contrast(a, b) {
  const lum = (hex) => {
    const [r, g, bl] = [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16) / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const [hi, lo] = [lum(a), lum(b)].sort((x, y) => y - x);
  return (hi + 0.05) / (lo + 0.05);
}

test('text keeps 4.5:1, chart marks and control borders 3:1, in both themes', async () => {
  const text = ['fg', 'muted', 'accent', 'win', 'loss', 'rate'], marks = ['bar', 'rate', 'grade', 'control'];
  for (const colorScheme of ['light', 'dark']) {
    await inDashboard('', { colorScheme }, async (page) => {
      const c = await page.evaluate(() => Object.fromEntries(['bg', 'panel', 'fg', 'muted', 'accent', 'win', 'loss', 'rate', 'bar', 'grade', 'control']
        .map((k) => [k, getComputedStyle(document.documentElement).getPropertyValue(`--${k}`).trim()])));
      const low = [];
      for (const [list, grounds, least] of [[text, ['bg', 'panel'], 4.5], [['bg'], ['accent', 'win', 'loss'], 4.5], [marks, ['bg'], 3]]) {
        for (const f of list) for (const g of grounds) if (contrast(c[f], c[g]) < least) low.push(`${f} on ${g}: ${contrast(c[f], c[g]).toFixed(2)}`);
      }
      assert.deepEqual(low, [], colorScheme);
    });
  }
});
