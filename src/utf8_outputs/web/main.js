// The views, addressed by the # part so that Back works, and what the
// controls do. Runs last.
function show() {
  const { view, opponent } = parseHash();
  viewing.view = view;
  viewing.opponent = opponent;
  for (const id of ['overview', 'opponents', 'opponent']) $(`view-${id}`).hidden = id !== view;
  const mark = (id, on) => (on ? $(id).setAttribute('aria-current', 'page') : $(id).removeAttribute('aria-current'));
  mark('nav-overview', view === 'overview');
  mark('nav-opponents', view !== 'overview');
  if (view === 'overview') overview();
  if (view === 'opponents' && table.stale) sortOpponents();
  else if (view === 'opponents') drawRows();
  if (view === 'opponent') opponentView(opponent);
  return view;
}
// The list is sorted again when it is next shown.
function refresh() {
  tally();
  table.stale = true;
  show();
  saveState();
}

window.addEventListener('hashchange', () => {
  const left = viewing.view === 'opponent' ? viewing.opponent : -1;
  const view = show();
  const row = view === 'opponents' && left >= 0 ? table.shown.indexOf(left) : -1;
  // Back from one opponent: the list at that opponent's row.
  if (row >= 0) moveTo(row);
  else $(`${view}-title`).focus();
  saveState();
});
document.addEventListener('keydown', (e) => {
  if (e.key === 'Escape' && viewing.view === 'opponent') location.hash = '#opponents';
});
$('from').addEventListener('change', () => { periodFromFields(); refresh(); });
$('to').addEventListener('change', () => { periodFromFields(); refresh(); });
for (const b of document.querySelectorAll('[data-period]')) {
  b.disabled = b.dataset.period === 'all' ? false : b.dataset.period === 'session' ? !M : !(lastDay >= 1);
  b.addEventListener('click', () => { quickPeriod(b.dataset.period); refresh(); });
}
$('search').addEventListener('input', () => { filterOpponents(); saveState(); });
// Scrolling redraws once a frame at most.
const onScroll = (draw) => {
  let pending = false;
  return () => {
    saveStateSoon();
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => { pending = false; draw(); });
  };
};
$('scroller').addEventListener('scroll', onScroll(drawRows));
$('meetings-scroller').addEventListener('scroll', onScroll(() => meetingList.draw()));
window.addEventListener('scroll', saveStateSoon);
let resizeTimer = 0;
window.addEventListener('resize', () => {
  clearTimeout(resizeTimer);
  resizeTimer = setTimeout(show, 150);
});

history.scrollRestoration = 'manual';
if (firstDay <= lastDay) {
  for (const id of ['from', 'to']) { $(id).min = isoOf(firstDay); $(id).max = isoOf(lastDay); }
}
const positions = restoreState(parseHash().params);
tally();
table.stale = true;
show();
takePositions(positions);
saveState();
followLive();
setTimeout(() => { nameRank(0); foldedNames(); }, 0);
