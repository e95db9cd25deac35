// The dashboard's script, joined from the files of src/utf8_outputs/web in the
// order the build lists them, inside one block. This part reads the data block
// the program wrote (src/utf8_outputs/dashboard_data.h) into one typed column
// per match field.
const $ = (id) => document.getElementById(id);
const data = JSON.parse($('lw-data').textContent);
const RULES = data.rules;
const GRADES = data.grades; // by grade number; the last names every other grade
const UNDECIDED = 0, WON = 1, LOST = 2, DISCONNECTED = 3;

// The compact number stream (src/utf8_outputs/compact_numbers.h), read from a
// list of strings one after the other; no number spans two of them.
const LETTERS = '0123456789ABCDEFGHIJKLMNOPQRSTUVabcdefghijklmnopqrstuvwxyzWXYZ-_';
const DIGIT = new Int8Array(128).fill(-1);
for (let k = 0; k < 64; k++) DIGIT[LETTERS.charCodeAt(k)] = k;
function numberReader(pieces) {
  let piece = 0, text = pieces[0] || '', at = 0;
  return () => {
    while (at >= text.length && piece + 1 < pieces.length) { text = pieces[++piece]; at = 0; }
    let z = 0, scale = 1, d;
    while ((d = DIGIT[text.charCodeAt(at++)]) >= 32) { z += (d - 32) * scale; scale *= 32; }
    z += d * scale;
    return z % 2 ? -(z + 1) / 2 : z / 2;
  };
}

const names = data.names;
const N = names.length;
// Matches come in the order of their start (day, then second of the day;
// equal starts in book order, so of two the later in the book counts as the
// later, as in the statistics pass): a match's number is its place in time.
const M = data.matchCount;
const column = () => new Int32Array(M);
const day = column(), start = column(), duration = column(), result = column();
const ownGames = column(), opponentGames = column(), grade = column(), maxChain = column();
const disconnectRate = column(), shownWins = column(), shownLosses = column(), rating = column();
const opponentOf = column();

// Day and start add up from the match before; the opponent's figures from
// the same opponent's match before.
(function decodeMatches() {
  const next = numberReader(data.m);
  const g = new Int32Array(N), c = new Int32Array(N), dr = new Int32Array(N);
  const w = new Int32Array(N), l = new Int32Array(N), r = new Int32Array(N);
  for (let i = 0, d = 0, s = 0; i < M; i++) {
    const o = opponentOf[i] = next();
    day[i] = d += next();
    start[i] = s += next();
    duration[i] = next();
    const outcome = next();
    if (outcome === 36) {
      result[i] = next(); ownGames[i] = next(); opponentGames[i] = next();
    } else {
      result[i] = outcome % 4; ownGames[i] = Math.floor(outcome / 4) % 3; opponentGames[i] = Math.floor(outcome / 12);
    }
    if (next()) { g[o] += next(); c[o] += next(); dr[o] += next(); }
    grade[i] = g[o]; maxChain[i] = c[o]; disconnectRate[i] = dr[o];
    shownWins[i] = w[o] += next();
    shownLosses[i] = l[o] += next();
    rating[i] = r[o] += next();
  }
})();

// Made when first needed, not to delay the first view: each opponent's
// matches, oldest first (byOpponent from first[o] up to first[o + 1]); the
// hour of each start as the clock shows it, and its weekday (-1 undated).
const lists = { first: null, byOpponent: null, hourOf: null, weekdayAt: null };
function opponentLists() {
  if (lists.first) return lists;
  const first = new Int32Array(N + 1), byOpponent = column();
  for (let i = 0; i < M; i++) first[opponentOf[i] + 1]++;
  for (let o = 0; o < N; o++) first[o + 1] += first[o];
  const next = first.slice(0, N);
  for (let i = 0; i < M; i++) byOpponent[next[opponentOf[i]]++] = i;
  return Object.assign(lists, { first, byOpponent });
}
function clockColumns() {
  if (lists.hourOf) return lists;
  const hourOf = new Uint8Array(M), weekdayAt = new Int8Array(M);
  for (let i = 0; i < M; i++) {
    hourOf[i] = start[i] > 0 ? Math.floor(start[i] / 3600) % 24 : 0;
    weekdayAt[i] = day[i] >= 1 ? day[i] % 7 : -1;
  }
  return Object.assign(lists, { hourOf, weekdayAt });
}

// The first match at or after the instant (d, s).
function placeOfInstant(d, s) {
  let lo = 0, hi = M;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (day[mid] < d || (day[mid] === d && start[mid] < s)) lo = mid + 1; else hi = mid;
  }
  return lo;
}
const latestMatch = M - 1;
// The recent period (the latest session): from this instant, the given
// seconds before the latest match's start, to the end.
const cutoff = (function () {
  if (latestMatch < 0) return { day: 0, second: 0, place: 0 };
  const s = start[latestMatch] - RULES.recentSeconds;
  const d = s >= 0 ? day[latestMatch] : day[latestMatch] - 1;
  const second = s >= 0 ? s : s + 86400;
  return { day: d, second, place: placeOfInstant(d, second) };
})();
let firstDay = Infinity;
const lastDay = latestMatch >= 0 && day[latestMatch] >= 1 ? day[latestMatch] : -Infinity;
for (let i = 0; i < M && firstDay === Infinity; i++) if (day[i] >= 1) firstDay = day[i];
