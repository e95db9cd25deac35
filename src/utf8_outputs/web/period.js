// The period every figure follows, and the one pass over it that works out
// every figure. In start order a period is one run of places, lo up to hi:
// from the first match at or after its start (a day, or for the latest
// session an instant) to the last one on or before its last day. An end left
// open, or set at the earliest or latest date, takes in the matches of log
// files whose names give no date too.
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
let totals = null;
let standing = null;

function tally() {
  for (const a of [per.meetings, per.wins, per.losses, per.firstMet, per.streak]) a.fill(0);
  per.latest.fill(-1);
  const { lo, hi } = period;
  let d0 = 0;
  for (let k = lo; k < hi && !d0; k++) if (day[byTime[k]] >= 1) d0 = day[byTime[k]];
  const t = {
    meetings: hi - lo, wins: 0, losses: 0, gamesWon: 0, gamesLost: 0, seconds: 0, fullWins: 0,
    fullLosses: 0, disconnects: 0, recentWins: 0, recentLosses: 0, recentSeconds: 0, streak: 0,
    longestWins: 0, longestLosses: 0, hours: buckets(24), weekdays: buckets(7),
    firstDay: d0, days: buckets(d0 && hi > lo ? day[byTime[hi - 1]] - d0 + 1 : 0),
  };
  for (let k = lo; k < hi; k++) {
    const i = byTime[k], o = opponentOf[i], r = result[i], recent = k >= cutoff.place;
    per.meetings[o]++;
    per.latest[o] = i;
    if (!per.firstMet[o] && day[i] >= 1) per.firstMet[o] = day[i];
    t.seconds += duration[i];
    if (recent) t.recentSeconds += duration[i];
    const h = start[i] > 0 ? Math.floor(start[i] / 3600) % 24 : 0; // as the clock shows it
    const wd = day[i] >= 1 ? weekdayOf(day[i]) : -1, d = day[i] - d0;
    t.hours.n[h]++;
    if (wd >= 0) { t.weekdays.n[wd]++; t.days.n[d]++; }
    if (r === WON) {
      per.wins[o]++; t.wins++; t.hours.w[h]++;
      if (wd >= 0) { t.weekdays.w[wd]++; t.days.w[d]++; }
      if (recent) t.recentWins++;
      if (ownGames[i] + opponentGames[i] === 3) t.fullWins++;
      per.streak[o] = per.streak[o] > 0 ? per.streak[o] + 1 : 1;
      t.streak = t.streak > 0 ? t.streak + 1 : 1;
      t.longestWins = Math.max(t.longestWins, t.streak);
    } else if (r === LOST) {
      per.losses[o]++; t.losses++; t.hours.l[h]++;
      if (wd >= 0) { t.weekdays.l[wd]++; t.days.l[d]++; }
      if (recent) t.recentLosses++;
      if (ownGames[i] + opponentGames[i] === 3) t.fullLosses++;
      per.streak[o] = per.streak[o] < 0 ? per.streak[o] - 1 : -1;
      t.streak = t.streak < 0 ? t.streak - 1 : -1;
      t.longestLosses = Math.max(t.longestLosses, -t.streak);
    } else if (r === DISCONNECTED) {
      t.disconnects++;
    }
    if (r === WON || r === LOST) { t.gamesWon += ownGames[i]; t.gamesLost += opponentGames[i]; }
  }
  totals = t;
  standing = rank();
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
  ranked.sort((a, b) => per.rate[b] - per.rate[a] || a - b);
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

// One opponent's matches whose places in start order lie in lo up to hi,
// oldest first.
function meetingsOf(o, lo = period.lo, hi = period.hi) {
  const list = [];
  for (let i = first[o]; i < first[o + 1]; i++) if (rankOf[i] >= lo && rankOf[i] < hi) list.push(i);
  return list.sort((a, b) => rankOf[a] - rankOf[b]);
}
