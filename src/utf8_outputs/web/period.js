// The period every figure follows, and the one pass over it that works out
// every figure. A period is one run of matches, lo up to hi: from the first
// match at or after its start (a day, or for the latest session an instant)
// to the last one on or before its last day. An end left open, or set at the
// earliest or latest date, takes in the matches of log files whose names
// give no date too.
const period = { kind: 'all', from: null, to: null, fromSecond: -Infinity, lo: 0, hi: M };

// The quick periods count back from the latest match.
function quickPeriod(kind) {
  const year = lastDay >= 1 ? dayOf(`${pad(dateOf(lastDay).y, 4)}-01-01`) : null;
  const from = { all: null, day: lastDay, 7: lastDay - 6, 30: lastDay - 29, year, session: cutoff.day }[kind];
  setPeriod(kind, from, null, kind === 'session' ? cutoff.second : -Infinity);
}
function setPeriod(kind, from, to, fromSecond = -Infinity) {
  const open = (d, edge, before) => (d === null || !Number.isFinite(d) || (before ? d <= edge : d >= edge) ? null : d);
  period.kind = kind;
  period.fromSecond = fromSecond;
  period.from = kind === 'session' ? from : open(from, firstDay, true);
  period.to = open(to, lastDay, false);
  period.lo = period.from === null ? 0 : placeOfInstant(period.from, fromSecond);
  period.hi = period.to === null ? M : placeOfInstant(period.to + 1, -Infinity);
  $('from').value = isoOf(period.from ?? firstDay);
  $('to').value = isoOf(period.to ?? lastDay);
  for (const b of document.querySelectorAll('[data-period]')) {
    b.setAttribute('aria-pressed', String(b.dataset.period === kind));
  }
}
function periodFromFields() {
  setPeriod('custom', dayOf($('from').value), dayOf($('to').value));
}

// Per opponent over the period: meetings, the player's wins and losses, the
// first dated meeting, the latest meeting (match index, -1 for none), the
// current run of wins (above 0) or losses (below 0); then the standing.
const per = {
  meetings: new Int32Array(N), wins: new Int32Array(N), losses: new Int32Array(N),
  firstMet: new Int32Array(N), latest: new Int32Array(N), streak: new Int32Array(N),
  rate: new Float64Array(N), deviation: new Float64Array(N), place: new Int32Array(N),
};
const buckets = (n) => ({ n: new Int32Array(n), w: new Int32Array(n), l: new Int32Array(n) });
let totals = null;   // the player's record over the period, and in its part of the latest session
let standing = null;
let overviewTotals = null; // the rest of the overview's figures, worked out when it is shown

function tally() {
  const { meetings, wins, losses, firstMet, latest, streak } = per;
  for (const a of [meetings, wins, losses, firstMet, streak]) a.fill(0);
  latest.fill(-1);
  const { lo, hi } = period;
  for (let i = lo; i < hi; i++) {
    const o = opponentOf[i], r = result[i];
    meetings[o]++;
    latest[o] = i;
    if (!firstMet[o] && day[i] >= 1) firstMet[o] = day[i];
    if (r === WON) { wins[o]++; streak[o] = streak[o] > 0 ? streak[o] + 1 : 1; }
    if (r === LOST) { losses[o]++; streak[o] = streak[o] < 0 ? streak[o] - 1 : -1; }
  }
  const t = { meetings: hi - lo, wins: 0, losses: 0, recentWins: 0, recentLosses: 0 };
  for (let o = 0; o < N; o++) { t.wins += wins[o]; t.losses += losses[o]; }
  for (let i = Math.max(lo, cutoff.place); i < hi; i++) {
    if (result[i] === WON) t.recentWins++;
    if (result[i] === LOST) t.recentLosses++;
  }
  totals = t;
  standing = rank();
  overviewTotals = null;
}

// Time, games, streaks, and counts per hour, weekday and day of the period.
function tallyOverview() {
  const { lo, hi } = period;
  let d0 = 0;
  for (let i = lo; i < hi && !d0; i++) if (day[i] >= 1) d0 = day[i];
  const t = {
    gamesWon: 0, gamesLost: 0, seconds: 0, recentSeconds: 0, fullWins: 0, fullLosses: 0, disconnects: 0,
    streak: 0, longestWins: 0, longestLosses: 0, hours: buckets(24), weekdays: buckets(7),
    firstDay: d0, days: buckets(d0 && hi > lo ? day[hi - 1] - d0 + 1 : 0),
  };
  const { hourOf, weekdayAt } = clockColumns();
  // The loop runs over every match of the period: the buckets' arrays are
  // held in locals, and counts are added without a branch on the result,
  // since wins and losses follow each other as no processor can guess.
  const [hn, hw, hl] = [t.hours.n, t.hours.w, t.hours.l];
  const [wn, ww, wl] = [t.weekdays.n, t.weekdays.w, t.weekdays.l];
  const [dn, dw, dl] = [t.days.n, t.days.w, t.days.l];
  let streak = 0, longestWins = 0, longestLosses = 0, seconds = 0, gamesWon = 0, gamesLost = 0;
  let fullWins = 0, fullLosses = 0, disconnects = 0;
  for (let i = lo; i < hi; i++) {
    const r = result[i], h = hourOf[i], wd = weekdayAt[i];
    const won = +(r === WON), lost = +(r === LOST);
    seconds += duration[i];
    hn[h]++;
    hw[h] += won;
    hl[h] += lost;
    if (wd >= 0) {
      const d = day[i] - d0;
      wn[wd]++; ww[wd] += won; wl[wd] += lost;
      dn[d]++; dw[d] += won; dl[d] += lost;
    }
    if (won) {
      streak = streak > 0 ? streak + 1 : 1;
      longestWins = Math.max(longestWins, streak);
    } else if (lost) {
      streak = streak < 0 ? streak - 1 : -1;
      longestLosses = Math.max(longestLosses, -streak);
    } else {
      disconnects += +(r === DISCONNECTED);
      continue;
    }
    const own = ownGames[i], theirs = opponentGames[i], full = +(own + theirs === 3);
    gamesWon += own;
    gamesLost += theirs;
    fullWins += full & won;
    fullLosses += full & lost;
  }
  for (let i = Math.max(lo, cutoff.place); i < hi; i++) t.recentSeconds += duration[i];
  Object.assign(t, { streak, longestWins, longestLosses, seconds, gamesWon, gamesLost, fullWins, fullLosses, disconnects });
  overviewTotals = t;
}

// Deviation scores and places over the period, worked out as the program's
// statistics pass does (single precision at the same points, ties in list
// order, the player's previous place among the places handed out), so that
// the whole period gives personal.html's figures. Places count from 1; 0 is
// none.
function rank() {
  const f = Math.fround, ranked = [];
  let sum = 0, squares = 0;
  for (let o = 0; o < N; o++) {
    const i = per.latest[o];
    per.place[o] = 0;
    if (i < 0 || shownWins[i] + shownLosses[i] < RULES.rankedShown) continue;
    per.rate[o] = f(shownWins[i] / (shownWins[i] + shownLosses[i]));
    sum = f(sum + per.rate[o]);
    ranked.push(o);
  }
  const mean = ranked.length ? f(sum / ranked.length) : 0;
  for (const o of ranked) squares = f(squares + (per.rate[o] - mean) ** 2);
  const spread = ranked.length ? f(Math.sqrt(f(squares / ranked.length))) : 0;
  const score = (r) => (spread === 0 ? 50 : f(50 + (10 * (r - mean)) / spread));
  sortByRate(ranked);
  const { wins, losses, recentWins, recentLosses } = totals;
  const decided = wins + losses, previousDecided = decided - recentWins - recentLosses;
  const isRanked = decided > RULES.rankedOwnAbove;
  const ownRate = isRanked ? f(wins / decided) : -1;
  const previousRate = isRanked && previousDecided > RULES.rankedOwnAbove ? f((wins - recentWins) / previousDecided) : 0;
  let next = 1, place = 0, previousPlace = 0;
  const notePrevious = (o) => {
    if (isRanked && !previousPlace && per.rate[o] < previousRate) previousPlace = next;
  };
  for (const o of ranked) {
    if (isRanked && !place && per.rate[o] < ownRate) { place = next; notePrevious(o); next++; }
    per.place[o] = next;
    per.deviation[o] = score(per.rate[o]);
    notePrevious(o);
    next++;
  }
  if (isRanked && !place) place = next;
  if (isRanked && !previousPlace) previousPlace = next;
  const deviation = isRanked ? score(ownRate) : 0;
  const deviationChange = !isRanked ? 0 : previousDecided > RULES.rankedOwnAbove ? f(deviation - score(previousRate)) : deviation;
  return { place, previousPlace, deviation, deviationChange, ranked: ranked.length };
}

// Opponents by rate, highest first, ties in list order. A rate is a single
// precision number, whose 32 bits map to a whole number that rises with it;
// that number and the opponent's pack exactly into one double, and the typed
// array sorts those without a comparator call each (on twenty thousand
// opponents a tenth of the time).
function sortByRate(ranked) {
  const SPAN = 2 ** 21;
  if (N > SPAN) { ranked.sort((a, b) => per.rate[b] - per.rate[a] || a - b); return; }
  const one = new Float32Array(1), bits = new Uint32Array(one.buffer), keys = new Float64Array(ranked.length);
  ranked.forEach((o, k) => {
    one[0] = per.rate[o] + 0;  // -0 as 0, as the comparison takes it
    const b = bits[0], rising = b >= 0x80000000 ? 0xffffffff - b : b + 0x80000000;
    keys[k] = (0xffffffff - rising) * SPAN + o;
  });
  keys.sort();
  keys.forEach((key, k) => { ranked[k] = key % SPAN; });
}

// The change of the win rate the recent period brought, as personal.html
// works it out: from nothing when every decided match is recent, and none
// under 0.001 either way.
function winRateChange(t) {
  const decided = t.wins + t.losses, recent = t.recentWins + t.recentLosses;
  if (decided === 0) return 0;
  const rate = Math.fround(t.wins / decided);
  if (decided === recent) return rate;
  const change = Math.fround(rate - (t.wins - t.recentWins) / (decided - recent));
  return Math.abs(change) < Math.fround(0.001) ? 0 : change;
}

// One opponent's matches from lo up to hi, oldest first.
function meetingsOf(o, lo = period.lo, hi = period.hi) {
  const { first, byOpponent } = opponentLists();
  return Array.from(byOpponent.subarray(first[o], first[o + 1])).filter((i) => i >= lo && i < hi);
}
