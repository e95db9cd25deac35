// Starting the system Chromium and watching pages for trouble.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const CHROMIUM = process.env.LEDGERWISE_CHROMIUM || '/usr/bin/chromium';

// No network, no background services: the report is a set of local files and
// nothing else should be able to make a run slow or flaky.
const ARGS = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

export const VIEWPORT = { width: 1000, height: 700 };

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ledgerwise-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: ARGS,
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

// A new tab that records everything a player would call "the page is broken"
// even when it still renders: console errors, uncaught script errors and
// files that fail to load.
export async function openTab(context) {
  const page = await context.newPage();
  const problems = [];
  page.on('console', (msg) => {
    if (msg.type() === 'error') problems.push(`console error: ${msg.text()} (${msg.location().url})`);
  });
  page.on('pageerror', (err) => problems.push(`page error: ${err.message}`));
  page.on('requestfailed', (req) => problems.push(`request failed: ${req.url()} ${req.failure()?.errorText ?? ''}`));
  return { page, problems };
}

export async function poll(probe, { timeout = 5000, interval = 50 } = {}) {
  const end = Date.now() + timeout;
  let last;
  for (;;) {
    last = await probe();
    if (last.ok || Date.now() > end) return last;
    await new Promise((r) => setTimeout(r, interval));
  }
}
