// The system Chromium, with no network or background services, and tabs that
// record what a player would call a broken page: console errors, uncaught
// script errors and files that fail to load.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const VIEWPORT = { width: 1000, height: 700 };

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ledgerwise-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.LEDGERWISE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    viewport: VIEWPORT,
    locale: 'ja-JP',
  });
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

export async function openTab(context, viewport = VIEWPORT) {
  const page = await context.newPage();
  await page.setViewportSize(viewport);
  const problems = [];
  page.on('console', (m) => m.type() === 'error' && problems.push(`console error: ${m.text()}`));
  page.on('pageerror', (err) => problems.push(`page error: ${err.message}`));
  page.on('requestfailed', (req) => problems.push(`request failed: ${req.url()}`));
  return { page, problems };
}
