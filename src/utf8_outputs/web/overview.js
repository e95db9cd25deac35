// The overview: the player's record over the period with the changes of the
// latest session beside it as personal.html shows them, the streaks, and
// charts per day, week or month, per hour and per weekday. A live page shows
// the current session and the current opponent first.
function overview() {
  if (!overviewTotals) tallyOverview();
  const t = { ...totals, ...overviewTotals }, s = standing;
  const rateChange = winRateChange(t), move = s.place - s.previousPlace;
  const fixed = (x) => Math.abs(x).toFixed(3);
  cards($('figures'), [
    ['勝敗', record(t.wins, t.losses), [`(${record(t.recentWins, t.recentLosses)})`, t.recentWins - t.recentLosses]],
    ['勝率', rate3(t.wins, t.losses), [signed(rateChange, fixed(rateChange)), rateChange]],
    ['対戦数', grouped(t.meetings)],
    ['切断', grouped(t.disconnects)],
    ['取得ゲーム', record(t.gamesWon, t.gamesLost)],
    ['総試合時間', playTime(t.seconds), [signed(t.recentSeconds, clock(t.recentSeconds)), t.recentSeconds]],
    ['フルゲーム（第3ゲーム）', record(t.fullWins, t.fullLosses)],
    ['勝率偏差値', s.deviation.toFixed(3), [signed(s.deviationChange, fixed(s.deviationChange)), s.deviationChange]],
    s.place ? ['ランキング', `${grouped(s.place)}位`, [signed(move, grouped(Math.abs(move))), -move], `${grouped(s.ranked + 1)}人中`]
      : ['ランキング', '規定試合数未満'],
    ['現在の連続', streakText(t.streak) || 'なし'],
    ['最長の連勝', `${grouped(t.longestWins)}連勝`],
    ['最長の連敗', `${grouped(t.longestLosses)}連敗`],
  ]);
  // Widths read once, before any chart changes the layout.
  const widths = ['trend', 'hours', 'weekdays'].map((id) => Math.max($(id).clientWidth, 200));
  const trend = periodBuckets(t);
  $('trend-title').textContent = `${trend.unit}ごとの試合数と勝率`;
  barChart($('trend'), $('trend-title').textContent, trend.items, widths[0]);
  const hours = [...t.hours.n].map((n, h) => ({ label: String(h), full: `${h}時台`, n, w: t.hours.w[h], l: t.hours.l[h] }));
  barChart($('hours'), $('hours-title').textContent, hours, widths[1]);
  const weekdays = WEEKDAYS.map((label, k) => ({ label, full: `${label}曜日`, n: t.weekdays.n[k], w: t.weekdays.w[k], l: t.weekdays.l[k] }));
  barChart($('weekdays'), $('weekdays-title').textContent, weekdays, widths[2]);
  liveNow();
}

// Days, weeks (from Sunday) or months, whichever gives a readable number of
// bars; labels carry the year when the period spans more than one.
function periodBuckets(t) {
  const span = t.days.n.length - 1, d0 = t.firstDay;
  if (span < 0) return { unit: '日', items: [] };
  const unit = span <= 62 ? '日' : span <= 730 ? '週' : '月';
  const years = dateOf(d0).y !== dateOf(d0 + span).y;
  const keyOf = (n) => {
    if (unit === '日') return n;
    if (unit === '週') return n - weekdayOf(n);
    const d = dateOf(n);
    return d.y * 12 + d.m - 1;
  };
  const bucketOf = (k) => {
    if (unit === '月') {
      const y = Math.floor(k / 12), m = (k % 12) + 1;
      return { label: `${y}/${pad(m)}`, full: `${y}年${m}月` };
    }
    const d = dateOf(k), text = years ? `${d.y}/${d.m}/${d.d}` : `${d.m}/${d.d}`;
    return { label: text, full: unit === '日' ? `${isoOf(k)}（${weekdayName(k)}）` : `${isoOf(k)}からの週` };
  };
  const items = [];
  let last = null;
  for (let n = d0; n <= d0 + span; n++) {
    const k = keyOf(n);
    if (k !== last) {
      items.push({ ...bucketOf(k), n: 0, w: 0, l: 0 });
      last = k;
    }
    const b = items[items.length - 1];
    b.n += t.days.n[n - d0]; b.w += t.days.w[n - d0]; b.l += t.days.l[n - d0];
  }
  return { unit, items };
}

// While live: the latest session whatever the period, and the opponent of
// the latest match with the record against them over everything.
function liveNow() {
  const box = $('live-now');
  box.hidden = !data.live || latestMatch < 0;
  if (box.hidden) return;
  let w = 0, l = 0, seconds = 0;
  for (let i = cutoff.place; i < M; i++) {
    if (result[i] === WON) w++; else if (result[i] === LOST) l++;
    seconds += duration[i];
  }
  cards($('session-figures'), [
    ['勝敗', record(w, l)], ['勝率', rate3(w, l)], ['対戦数', grouped(M - cutoff.place)],
    ['試合時間', playTime(seconds)], ['開始', `${isoOf(cutoff.day)} ${clock(cutoff.second)}`],
  ]);
  const i = latestMatch, o = opponentOf[i];
  let ow = 0, ol = 0, streak = 0;
  for (const j of meetingsOf(o, 0, M)) {
    if (result[j] === WON) { ow++; streak = streak > 0 ? streak + 1 : 1; }
    if (result[j] === LOST) { ol++; streak = streak < 0 ? streak - 1 : -1; }
  }
  const link = el('a', names[o], 'value');
  link.href = `#opponent-${o}`;
  cards($('current-opponent'), [
    ['相手', link], ['状態', result[i] === UNDECIDED ? '対戦中' : RESULTS[result[i]]],
    ['通算', record(ow, ol), null, `勝率${rate3(ow, ol)}`], ['現在の連続', streakText(streak) || 'なし'],
    ['段位・レート', `${gradeName(grade[i])} ${maxChain[i] ? grouped(rating[i]) : '---'}`],
  ]);
}
