// One opponent over the period: the record against them, the last ten
// results, the head-to-head win rate over time, their rating and grade at
// each meeting, and every meeting, newest first, in a list that sorts by
// date, result, grade or rating. Meeting cells follow vslog.html: the
// rating only where the max chain is not 0, no weekday for an undated log.
const MARKS = ['中', '勝', '負', '切'];
const RESULT_ORDER = [-1, 2, 1, 0]; // undecided, lost, won, disconnected: a win sorts highest
const MEETING_KEYS = {
  date: (i) => i,
  result: (i) => RESULT_ORDER[result[i]] ?? NaN,
  grade: (i) => grade[i],
  rating: (i) => (maxChain[i] ? rating[i] : NaN),
};
const meetings = { opponent: -1, list: [], shown: [], sortBy: 'date', descending: true };
const markMeetingSort = sortHeads($('meeting-heads'), (col) => {
  meetings.descending = col === meetings.sortBy ? !meetings.descending : true;
  meetings.sortBy = col;
  sortMeetings();
  saveState();
});
const meetingList = virtualRows($('meetings-scroller'), $('meetings'), 9, meetingRow);

function opponentView(o) {
  meetings.opponent = o;
  $('opponent-title').textContent = names[o];
  const list = meetingsOf(o), w = per.wins[o], l = per.losses[o];
  cards($('opponent-figures'), [
    ['対戦数', grouped(per.meetings[o])], ['勝敗', record(w, l)], ['勝率', rate3(w, l)],
    ['現在の連続', streakText(per.streak[o]) || 'なし'],
    ['初対戦', isoOf(per.firstMet[o]) || '---'], ['最終対戦', isoOf(latestOf(o, day)) || '---'],
    ['偏差値', per.place[o] ? per.deviation[o].toFixed(3) : '---'], ['順位', per.place[o] ? `${grouped(per.place[o])}位` : '---'],
  ]);
  $('last-ten').replaceChildren(...list.slice(-10).map((i) => el('li', MARKS[result[i]] ?? '?', result[i] === WON ? 'won' : result[i] === LOST ? 'lost' : '')));
  headToHeadChart(list);
  ratingChart(list);
  meetings.list = list;
  sortMeetings();
}

function sortMeetings() {
  markMeetingSort(meetings.sortBy, meetings.descending);
  const key = MEETING_KEYS[meetings.sortBy], sign = meetings.descending ? -1 : 1;
  const keys = new Map(meetings.list.map((i) => [i, Number.isNaN(key(i)) ? Infinity : sign * key(i)]));
  meetings.shown = [...meetings.list].sort((a, b) => keys.get(a) - keys.get(b) || b - a);
  $('meetings-table').setAttribute('aria-rowcount', String(meetings.shown.length + 1));
  meetingList.count = meetings.shown.length;
  $('meetings-scroller').scrollTop = 0;
  meetingList.draw();
}
function meetingRow(k) {
  const i = meetings.shown[k], r = result[i], tr = el('tr');
  tr.setAttribute('aria-rowindex', String(k + 2));
  const cells = [
    isoOf(day[i]), weekdayName(day[i]), clock(start[i]), r ? clock(start[i] + duration[i]) : '',
    RESULTS[r] ?? '', `${ownGames[i]}－${opponentGames[i]}`, gradeName(grade[i]),
    maxChain[i] ? grouped(rating[i]) : '---', `${grouped(shownWins[i])}－${grouped(shownLosses[i])}`,
  ];
  cells.forEach((c, n) => tr.append(el('td', c, n === 4 ? (r === WON ? 'won' : r === LOST ? 'lost' : '') : '')));
  return tr;
}

const whenOf = (i) => (day[i] >= 1 ? `${isoOf(day[i])} ${clock(start[i])}` : `日付なし ${clock(start[i])}`);

// The player's win rate over the last 20 decided meetings, at each one.
function headToHeadChart(list) {
  const decided = list.filter((i) => result[i] === WON || result[i] === LOST);
  const plot = frame($('h2h-chart'), 16, 48), n = decided.length;
  const xs = decided.map((_, k) => plot.left + (n > 1 ? (k * plot.width) / (n - 1) : plot.width / 2));
  const wins = new Int32Array(n), span = (k) => Math.min(k + 1, 20);
  for (let k = 0, w = 0; k < n; k++) {
    if (result[decided[k]] === WON) w++;
    if (k >= 20 && result[decided[k - 20]] === WON) w--;
    wins[k] = w;
  }
  const rate = (k) => wins[k] / span(k);
  const y = rateAxis(plot, Array.from(wins, (_, k) => rate(k)));
  const path = xs.map((x, k) => `${k ? 'L' : 'M'}${x},${y(rate(k))}`).join('') || 'M0,0';
  plot.root.append(svg('path', { class: 'rate', d: path }));
  if (n) {
    label(plot, plot.left, HEIGHT - 24, isoOf(day[decided[0]]));
    label(plot, plot.left + plot.width, HEIGHT - 24, isoOf(day[decided[n - 1]]), 'end');
  }
  label(plot, plot.left, HEIGHT - 4, '線: 直近20戦の勝率', 'start', 'key-rate');
  explorable($('h2h-chart'), plot, $('h2h-title').textContent, xs, (k) =>
    `${whenOf(decided[k])} ${RESULTS[result[decided[k]]]}: 直近${span(k)}戦 ${record(wins[k], span(k) - wins[k])} 勝率${rate3(wins[k], span(k) - wins[k])}`);
}

// Rating (where the max chain is not 0) and grade at each dated meeting.
function ratingChart(list) {
  const dated = list.filter((i) => day[i] >= 1), rated = dated.filter((i) => maxChain[i]);
  const plot = frame($('opponent-chart'), 56, 56);
  let xs = [];
  if (dated.length) {
    const d0 = day[dated[0]], d1 = Math.max(d0 + 1, day[dated[dated.length - 1]]);
    const xOf = (i) => plot.left + ((day[i] - d0) / (d1 - d0)) * plot.width;
    xs = dated.map(xOf);
    // Loops, not spread arguments: one opponent may have met the player
    // more times than a call takes arguments.
    let r0 = Infinity, r1 = -Infinity;
    for (const i of rated) { r0 = Math.min(r0, rating[i]); r1 = Math.max(r1, rating[i]); }
    r1 = Math.max(r1, r0 + 1);
    const line = (items, yOf) => items.map((i, k) => `${k ? 'L' : 'M'}${xOf(i)},${yOf(i)}`).join('') || 'M0,0';
    plot.root.append(svg('path', { class: 'rate', d: line(rated, (i) => plot.top + plot.height * (1 - (rating[i] - r0) / (r1 - r0))) }));
    const graded = dated.filter((i) => grade[i] >= 0 && grade[i] < GRADES.length - 1);
    plot.root.append(svg('path', { class: 'grade', d: line(graded, (i) => plot.top + plot.height * (1 - grade[i] / (GRADES.length - 2))) }));
    if (rated.length) {
      label(plot, plot.left - 6, plot.top + 12, grouped(r1), 'end');
      label(plot, plot.left - 6, plot.bottom, grouped(r0), 'end');
    }
    label(plot, plot.left + plot.width + 6, plot.top + 12, GRADES[GRADES.length - 2]);
    label(plot, plot.left + plot.width + 6, plot.bottom, GRADES[0]);
    label(plot, plot.left, HEIGHT - 24, isoOf(d0));
    label(plot, plot.left + plot.width, HEIGHT - 24, isoOf(day[dated[dated.length - 1]]), 'end');
  }
  label(plot, plot.left, HEIGHT - 4, '実線: レート', 'start', 'key-rate');
  label(plot, plot.left + 120, HEIGHT - 4, '破線: 段位', 'start', 'key-grade');
  explorable($('opponent-chart'), plot, $('rating-title').textContent, xs, (k) => {
    const i = dated[k];
    return `${whenOf(i)}: レート${maxChain[i] ? grouped(rating[i]) : '---'} ${gradeName(grade[i])}`;
  });
}
