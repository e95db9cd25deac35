// The dashboard's script, joined from the files of src/utf8_outputs/web in the
// order the build lists them, inside one block. This part reads the data block
// the program wrote (src/utf8_outputs/dashboard_data.h) into one typed column
// per match field, and puts every match in the order of its start.
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
// Each opponent's matches are the indices first[o] up to first[o + 1].
const first = new Int32Array(N + 1);
{
  const count = numberReader([data.count]);
  for (let o = 0; o < N; o++) first[o + 1] = first[o] + count();
}
const M = first[N];
const column = () => new Int32Array(M);
const day = column(), start = column(), duration = column(), result = column();
const ownGames = column(), opponentGames = column(), grade = column(), maxChain = column();
const disconnectRate = column(), shownWins = column(), shownLosses = column(), rating = column();
const opponentOf = column();

// Days and the opponent's figures add up from the same opponent's previous match.
(function decodeMatches() {
  const next = numberReader(data.m);
  for (let o = 0; o < N; o++) {
    let d = 0, g = 0, c = 0, dr = 0, w = 0, l = 0, r = 0;
    for (let i = first[o], end = first[o + 1]; i < end; i++) {
      opponentOf[i] = o;
      day[i] = d += next();
      start[i] = next();
      duration[i] = next();
      const outcome = next();
      if (outcome === 36) {
        result[i] = next(); ownGames[i] = next(); opponentGames[i] = next();
      } else {
        result[i] = outcome % 4; ownGames[i] = Math.floor(outcome / 4) % 3; opponentGames[i] = Math.floor(outcome / 12);
      }
      if (next()) { g += next(); c += next(); dr += next(); }
      grade[i] = g; maxChain[i] = c; disconnectRate[i] = dr;
      shownWins[i] = w += next();
      shownLosses[i] = l += next();
      rating[i] = r += next();
    }
  }
})();

// Every match in the order of its start instant (day, then second of the
// day); equal instants keep book order, so of two the later in the book
// counts as the later, as in the statistics pass. rankOf is the inverse.
const byTime = (function chronological() {
  let order = new Int32Array(M).map((_, k) => k), spare = new Int32Array(M);
  // Stable counting passes, 16 bits of a key at a time, least significant first.
  const pass = (key, low, shift) => {
    const count = new Int32Array(65537);
    for (let k = 0; k < M; k++) count[(((key[order[k]] - low) / shift) & 0xffff) + 1]++;
    for (let b = 1; b < 65537; b++) count[b] += count[b - 1];
    for (let k = 0; k < M; k++) spare[count[((key[order[k]] - low) / shift) & 0xffff]++] = order[k];
    [order, spare] = [spare, order];
  };
  for (const key of [start, day]) {
    let low = Infinity, high = -Infinity;
    for (let i = 0; i < M; i++) { low = Math.min(low, key[i]); high = Math.max(high, key[i]); }
    pass(key, low, 1);
    if (high - low > 0xffff) pass(key, low, 65536);
  }
  return order;
})();
const rankOf = new Int32Array(M);
for (let k = 0; k < M; k++) rankOf[byTime[k]] = k;

// The first place in start order at or after the instant (d, s).
function placeOfInstant(d, s) {
  let lo = 0, hi = M;
  while (lo < hi) {
    const mid = (lo + hi) >> 1, i = byTime[mid];
    if (day[i] < d || (day[i] === d && start[i] < s)) lo = mid + 1; else hi = mid;
  }
  return lo;
}
const latestMatch = M ? byTime[M - 1] : -1;
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
for (let k = 0; k < M && firstDay === Infinity; k++) if (day[byTime[k]] >= 1) firstDay = day[byTime[k]];
