// Builds a data folder, runs the program on it and says where the report is.
//
// The base of the folder is, in order of preference, a sample made by the log
// generator, a copy of the edge conformance corpus, or nothing. On top of it
// goes a log written here, so that the opponents the link tests click on are
// known to the suite itself rather than read back from the program's output.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { encodeShiftJis } from './sjis.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
export const repoRoot = path.resolve(here, '..', '..', '..');

// Opponents whose links the ranking tests follow. Each has a shown record of
// 50 matches or more, so it is ranked whatever the base data holds. Names stay
// within 15 bytes of Shift_JIS, the longest name the program keeps.
export const LINK_TARGETS = [
  { kind: 'Japanese', name: '観測者みどり', grade: '５だん', wins: 160, losses: 40 },
  { kind: 'ASCII', name: 'Vantage_K9', grade: '３だん', wins: 140, losses: 60 },
  { kind: 'markup characters', name: 'R&D<"x">', grade: '２だん', wins: 90, losses: 60 },
  // Looks like an entity already: shows whether escaping is done once and
  // only once, which a browser makes visible and a byte diff hides easily.
  { kind: 'entity look-alike', name: '&amp;&lt;!', grade: '１きゅう', wins: 55, losses: 45 },
];

// One unranked opponent with a long match list, met after the targets. It
// keeps the targets' tables away from the end of vslog.html, where the page
// could not scroll far enough to bring a table's heading to the top.
const FILLER = { name: 'しんがり', grade: '７きゅう', wins: 10, losses: 12, matches: 40 };

const MATCHES_PER_TARGET = 13;

function pad2(n) {
  return String(n).padStart(2, '0');
}

function clock(seconds) {
  const h = Math.floor(seconds / 3600) % 24;
  const m = Math.floor(seconds / 60) % 60;
  const s = seconds % 60;
  return `[${pad2(h)}:${pad2(m)}:${pad2(s)}]`;
}

function matchLines(opponent, startSecond, won) {
  const head =
    `${opponent.name}(${opponent.grade} ${opponent.wins}勝${opponent.losses}敗 ` +
    `レート1500 最大12連鎖 切断率3%)と対戦を開始しました`;
  return [
    clock(startSecond) + head,
    clock(startSecond + 110) + 'リプレイをオートセーブしました',
    clock(startSecond + 200) + 'リプレイをオートセーブしました',
    clock(startSecond + 270) + `${opponent.name}さんに${won ? '勝ちました' : '負けました'}`,
  ];
}

// The log added to every data folder. More than 50 decided matches, so the
// player is ranked and has a highlighted row even on an otherwise empty base.
export function handMadeLog() {
  // A match left open at the end of the previous file would swallow the
  // first match here; a logout line closes it (and is ignored otherwise).
  const lines = ['[09:59:00]ログアウトしました'];
  let second = 10 * 3600;
  let n = 0;
  for (let round = 0; round < MATCHES_PER_TARGET; round++) {
    for (const target of LINK_TARGETS) {
      lines.push(...matchLines(target, second, n % 5 < 3));
      second += 300;
      n++;
    }
  }
  for (let i = 0; i < FILLER.matches; i++) {
    lines.push(...matchLines(FILLER, second, i % 2 === 0));
    second += 300;
  }
  if (second >= 24 * 3600) throw new Error('hand-made log does not fit in one day');
  return encodeShiftJis(lines.join('\r\n') + '\r\n');
}

// A date file name later than every dated log already there and never one
// that exists: the added matches then come last in date order, and the
// generator's or corpus's own files are left as they were.
function freshLogName(dir) {
  let latest = new Date(Date.UTC(2005, 4, 3));
  for (const entry of fs.readdirSync(dir)) {
    const m = /^(\d{4})(\d{2})(\d{2})\.log$/i.exec(entry);
    if (!m) continue;
    const d = new Date(Date.UTC(+m[1], +m[2] - 1, +m[3]));
    // Names such as 20051340.log are not calendar dates; skip them.
    const real = d.getUTCMonth() === +m[2] - 1 && d.getUTCDate() === +m[3];
    if (real && d > latest && +m[1] < 9000) latest = d;
  }
  for (let step = 1; ; step++) {
    const d = new Date(latest.getTime() + step * 86400000);
    const name =
      `${d.getUTCFullYear()}${pad2(d.getUTCMonth() + 1)}${pad2(d.getUTCDate())}.log`;
    if (!fs.existsSync(path.join(dir, name))) return name;
  }
}

function run(cmd, args, what) {
  const r = spawnSync(cmd, args, { encoding: 'latin1', timeout: 120000 });
  if (r.error) throw new Error(`${what}: ${r.error.message}`);
  if (r.status !== 0) {
    throw new Error(
      `${what} exited with ${r.status ?? r.signal}\n` +
        `stdout:\n${r.stdout}\nstderr:\n${r.stderr}`,
    );
  }
  return r;
}

function copyTree(from, to) {
  fs.cpSync(from, to, { recursive: true });
  // The shared corpus may be read-only; the copy must take the analyze folder.
  const makeWritable = (p) => {
    const st = fs.statSync(p);
    fs.chmodSync(p, st.mode | 0o200);
    if (st.isDirectory()) for (const e of fs.readdirSync(p)) makeWritable(path.join(p, e));
  };
  makeWritable(to);
}

export function prepareReport({ program, generator, corpus, seed, addHandMadeLog = true }) {
  if (!program) throw new Error('no program given (LEDGERWISE_PROGRAM or run.sh PROGRAM)');
  if (!fs.existsSync(program)) throw new Error(`program not found: ${program}`);

  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ledgerwise-browser-'));
  const dataDir = path.join(work, 'data');
  let base;
  if (generator) {
    if (!fs.existsSync(generator)) throw new Error(`generator not found: ${generator}`);
    run(generator, ['--out', dataDir, '--seed', String(seed)], 'log generator');
    base = `generator sample (seed ${seed})`;
  } else if (corpus && fs.existsSync(corpus)) {
    copyTree(corpus, dataDir);
    base = `copy of ${corpus}`;
  } else {
    fs.mkdirSync(dataDir, { recursive: true });
    base = 'hand-made log only';
  }

  let logName = '';
  if (addHandMadeLog) {
    logName = freshLogName(dataDir);
    fs.writeFileSync(path.join(dataDir, logName), handMadeLog());
  }

  run(program, ['--no-wait', dataDir], 'ledgerwise');
  const analyzeDir = path.join(dataDir, 'analyze');
  for (const page of ['index.html', 'menu.html', 'personal.html', 'observation.html', 'ranking.html', 'vslog.html']) {
    if (!fs.existsSync(path.join(analyzeDir, page))) throw new Error(`program wrote no ${page}`);
  }
  return { work, dataDir, analyzeDir, base, logName };
}
