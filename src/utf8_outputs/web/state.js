// What the player is looking at, kept in the address's # part after the view
// (#overview, #opponents, #opponent-N): sort, search, period, the meetings'
// sort, the row and the scroll positions. Replaced in place as they change
// (no history entry), and read once at load, so that a reload (the live
// page's or the player's own) comes back to the same place.
const viewing = { view: 'overview', opponent: -1 };
const QUICK = ['day', 'session', '7', '30', 'year'];

function parseHash() {
  const [view, query = ''] = location.hash.slice(1).split('?');
  const m = /^opponent-(\d+)$/.exec(view);
  const opponent = m && +m[1] < N ? +m[1] : -1;
  return { view: opponent >= 0 ? 'opponent' : view === 'opponents' ? 'opponents' : 'overview', opponent, params: new URLSearchParams(query) };
}
const viewScroller = () => (viewing.view === 'opponents' ? $('scroller') : viewing.view === 'opponent' ? $('meetings-scroller') : null);

function saveState() {
  const p = new URLSearchParams();
  const order = (col, descending) => `${col}.${descending ? 'd' : 'a'}`;
  if (table.sortBy !== 'meetings' || !table.descending) p.set('sort', order(table.sortBy, table.descending));
  if ($('search').value) p.set('q', $('search').value);
  if (QUICK.includes(period.kind)) p.set('period', period.kind);
  if (period.kind === 'custom' && period.from !== null) p.set('from', isoOf(period.from));
  if (period.kind === 'custom' && period.to !== null) p.set('to', isoOf(period.to));
  if (meetings.sortBy !== 'date' || !meetings.descending) p.set('meetings', order(meetings.sortBy, meetings.descending));
  if (viewing.view === 'opponents' && table.active) p.set('row', table.active);
  if (viewScroller()?.scrollTop) p.set('top', Math.round(viewScroller().scrollTop));
  if (window.scrollY) p.set('y', Math.round(window.scrollY));
  const view = viewing.view === 'opponent' ? `opponent-${viewing.opponent}` : viewing.view;
  const hash = `#${view}${p.toString() ? `?${p}` : ''}`;
  if (location.hash !== hash) history.replaceState(history.state, '', hash);
}
let saveTimer = 0;
function saveStateSoon() {
  clearTimeout(saveTimer);
  saveTimer = setTimeout(saveState, 300);
}

// Sort, search and period from the address; returns the positions to take
// once the view is drawn.
function restoreState(p) {
  const order = (text, columns) => {
    const [col, way] = (text || '').split('.');
    return col in columns && (way === 'a' || way === 'd') ? [col, way === 'd'] : null;
  };
  const sort = order(p.get('sort'), COLUMNS), meetingSort = order(p.get('meetings'), MEETING_KEYS);
  if (sort) [table.sortBy, table.descending] = sort;
  if (meetingSort) [meetings.sortBy, meetings.descending] = meetingSort;
  $('search').value = p.get('q') || '';
  if (QUICK.includes(p.get('period'))) quickPeriod(p.get('period'));
  else if (p.has('from') || p.has('to')) setPeriod('custom', dayOf(p.get('from') || ''), dayOf(p.get('to') || ''));
  else setPeriod('all', null, null);
  return { row: +p.get('row') || 0, top: +p.get('top') || 0, y: +p.get('y') || 0 };
}
function takePositions({ row, top, y }) {
  if (viewing.view === 'opponents') {
    table.active = Math.min(row, Math.max(0, table.shown.length - 1));
    $('scroller').scrollTop = top;
    drawRows();
  } else if (viewing.view === 'opponent') {
    $('meetings-scroller').scrollTop = top;
    meetingList.draw();
  }
  window.scrollTo(0, y);
}
