// Every opponent met in the period, one row each: the player's record against
// them, and their own figures as their latest match showed them (the latest
// rating follows ranking.html: 0 shows as ---). Only the rows on screen
// exist. One name at a time takes Tab (a roving tab stop that follows the row
// index); the arrow keys, PageUp, PageDown, Home and End move it, and it
// stays on its row across re-renders.
const latestOf = (o, col) => (per.latest[o] < 0 ? NaN : col[per.latest[o]]);
const decidedRate = (o) => (per.wins[o] + per.losses[o] ? per.wins[o] / (per.wins[o] + per.losses[o]) : NaN);
// Made after the first view is up, or when first needed: each name's place
// in code unit order, and the names folded for search.
let nameRanks = null;
function nameRank(o) {
  if (!nameRanks) {
    const order = Array.from({ length: N }, (_, k) => k).sort((a, b) => (names[a] < names[b] ? -1 : names[a] > names[b] ? 1 : a - b));
    nameRanks = new Int32Array(N);
    order.forEach((o2, k) => { nameRanks[o2] = k; });
  }
  return nameRanks[o];
}
const foldedNames = () => table.folded || (table.folded = names.map(fold));
// Per column (the cells follow the heads' order): sort key (NaN sorts last
// either way), cell text, and whether the first press sorts ascending.
const COLUMNS = {
  name: { key: nameRank, text: null, ascending: true },
  meetings: { key: (o) => per.meetings[o], text: (o) => grouped(per.meetings[o]) },
  wins: { key: (o) => per.wins[o], text: (o) => grouped(per.wins[o]) },
  losses: { key: (o) => per.losses[o], text: (o) => grouped(per.losses[o]) },
  rate: { key: decidedRate, text: (o) => (isNaN(decidedRate(o)) ? '---' : rate3(per.wins[o], per.losses[o])) },
  streak: { key: (o) => per.streak[o], text: (o) => streakText(per.streak[o]) },
  first: { key: (o) => per.firstMet[o] || NaN, text: (o) => isoOf(per.firstMet[o]) },
  last: { key: (o) => latestOf(o, day) || NaN, text: (o) => isoOf(latestOf(o, day)) },
  grade: { key: (o) => latestOf(o, grade), text: (o) => gradeName(latestOf(o, grade)) },
  rating: { key: (o) => latestOf(o, rating) || NaN, text: (o) => (latestOf(o, rating) ? grouped(latestOf(o, rating)) : '---') },
  record: { key: (o) => latestOf(o, shownWins), text: (o) => `${grouped(latestOf(o, shownWins))}－${grouped(latestOf(o, shownLosses))}` },
  deviation: { key: (o) => (per.place[o] ? per.deviation[o] : NaN), text: (o) => (per.place[o] ? per.deviation[o].toFixed(3) : '') },
  place: { key: (o) => per.place[o] || NaN, text: (o) => (per.place[o] ? `${grouped(per.place[o])}位` : ''), ascending: true },
};
const columnIds = [...document.querySelectorAll('#table thead th[data-col]')].map((th) => th.dataset.col);
const table = { sortBy: 'meetings', descending: true, order: [], shown: [], active: 0, folded: null, stale: true };
const markSort = sortHeads($('heads'), (col) => {
  table.descending = col === table.sortBy ? !table.descending : !COLUMNS[col].ascending;
  table.sortBy = col;
  sortOpponents();
  saveState();
});
const rowList = virtualRows($('scroller'), $('rows'), columnIds.length, opponentRow);

function sortOpponents() {
  table.stale = false;
  markSort(table.sortBy, table.descending);
  const key = COLUMNS[table.sortBy].key, sign = table.descending ? -1 : 1;
  const keys = new Float64Array(N), order = [];
  for (let o = 0; o < N; o++) {
    if (!per.meetings[o]) continue;
    const k = key(o);
    keys[o] = Number.isNaN(k) ? Infinity : sign * k;
    order.push(o);
  }
  order.sort((a, b) => keys[a] - keys[b] || a - b);
  table.order = order;
  filterOpponents();
}
function filterOpponents() {
  const q = fold($('search').value);
  const folded = q ? foldedNames() : null;
  table.shown = q ? table.order.filter((o) => folded[o].includes(q)) : table.order;
  $('shown').textContent = `${grouped(table.shown.length)}人`;
  $('table').setAttribute('aria-rowcount', String(table.shown.length + 2));
  rowList.count = table.shown.length;
  table.active = 0;
  $('scroller').scrollTop = 0;
  drawRows();
}
// Draws the rows on screen. A focused name stays focused on its row (or the
// nearest one drawn); an unfocused tab stop scrolled away moves into view.
function drawRows() {
  const focused = $('rows').contains(document.activeElement);
  rowList.draw();
  if (!rowList.count) return;
  if (focused) table.active = Math.max(rowList.from, Math.min(rowList.to - 1, table.active));
  else if (!rowList.rowOf(table.active)) table.active = rowList.seen;
  const link = rowList.rowOf(table.active)?.querySelector('a');
  if (!link) return;
  link.tabIndex = 0;
  if (focused) link.focus({ preventScroll: true });
}
function opponentRow(k) {
  const o = table.shown[k], tr = el('tr');
  tr.setAttribute('aria-rowindex', String(k + 3));
  for (const id of columnIds) {
    if (id === 'name') {
      const th = el('th'), a = el('a', names[o]);
      th.scope = 'row';
      a.href = `#opponent-${o}`;
      a.tabIndex = k === table.active ? 0 : -1;
      a.dataset.row = k;
      th.append(a);
      tr.append(th);
    } else {
      tr.append(el('td', COLUMNS[id].text(o)));
    }
  }
  return tr;
}
// Puts the tab stop on row k, brings it into view and focuses it.
function moveTo(k) {
  table.active = Math.max(0, Math.min(table.shown.length - 1, k));
  rowList.reveal(table.active);
  rowList.draw();
  rowList.rowOf(table.active)?.querySelector('a').focus({ preventScroll: true });
}
$('rows').addEventListener('keydown', (e) => {
  const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: rowList.page(), PageUp: -rowList.page() };
  const k = e.key === 'Home' ? 0 : e.key === 'End' ? table.shown.length - 1 : e.key in moves ? table.active + moves[e.key] : null;
  if (k === null || e.altKey || e.ctrlKey || e.metaKey) return;
  e.preventDefault();
  moveTo(k);
});
$('rows').addEventListener('focusin', (e) => {
  if (e.target.dataset.row === undefined || +e.target.dataset.row === table.active) return;
  rowList.rowOf(table.active)?.querySelector('a').setAttribute('tabindex', '-1');
  table.active = +e.target.dataset.row;
  e.target.tabIndex = 0;
});
