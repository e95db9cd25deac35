'use strict';
// The dashboard's script. Reads the data block the program wrote (see
// src/utf8_outputs/dashboard_data.h), and draws everything from it. Names are only
// ever set as text, never as markup.
(function () {
  const WEEKDAYS = ['日', '月', '火', '水', '木', '金', '土'];
  const GRADES = ['十級', '九級', '八級', '七級', '六級', '五級', '四級', '三級', '二級', '一級',
    '初段', '二段', '三段', '四段', '五段', '六段', '七段', '八段', '九段', '十段'];
  const RESULTS = ['', '勝ち', '負け', '切断'];
  const WON = 1, LOST = 2;
  const UNIX_EPOCH_DAY = 719163; // day number of 1970-01-01
  const PAGE_OF_MEETINGS = 200;

  const $ = (id) => document.getElementById(id);
  const data = JSON.parse($('lw-data').textContent);

  // ---- the compact number stream (src/utf8_outputs/compact_numbers.h) ----
  const LETTERS = '0123456789ABCDEFGHIJKLMNOPQRSTUVabcdefghijklmnopqrstuvwxyzWXYZ-_';
  const DIGIT = new Int8Array(128).fill(-1);
  for (let i = 0; i < 64; i++) DIGIT[LETTERS.charCodeAt(i)] = i;
  function reader(text) {
    let at = 0;
    return () => {
      let z = 0, scale = 1, d;
      while ((d = DIGIT[text.charCodeAt(at++)]) >= 32) { z += (d - 32) * scale; scale *= 32; }
      z += d * scale;
      return z % 2 ? -(z + 1) / 2 : z / 2;
    };
  }
  function column(text, n) {
    const next = reader(text), out = new Float64Array(n);
    for (let i = 0; i < n; i++) out[i] = next();
    return out;
  }

  const names = data.names;
  const N = names.length;
  const folded = names.map((s) => s.replace(/[A-Z]+/g, (c) => c.toLowerCase()));
  const count = column(data.count, N);
  const first = new Int32Array(N + 1);
  for (let o = 0; o < N; o++) first[o + 1] = first[o] + count[o];
  const M = first[N];
  const cols = Array.from({ length: 12 }, () => new Int32Array(M));
  const [day, start, dur, result, own, opp, grade, sw, sl, rating, chain] = cols;
  // One pass over the stream; differences add up within each opponent.
  (function decodeMatches() {
    let piece = 0, text = data.m[0] || '', at = 0;
    const next = () => {
      let z = 0, scale = 1, d;
      while ((d = DIGIT[text.charCodeAt(at++)]) >= 32) { z += (d - 32) * scale; scale *= 32; }
      z += d * scale;
      return z % 2 ? -(z + 1) / 2 : z / 2;
    };
    for (let o = 0; o < N; o++) {
      for (let i = first[o], end = first[o + 1]; i < end; i++) {
        if (at >= text.length) { text = data.m[++piece]; at = 0; }  // pieces end between matches
        const p = i > first[o] ? i - 1 : -1, was = (f) => (p < 0 ? 0 : f[p]);
        day[i] = was(day) + next();
        start[i] = next();
        dur[i] = next();
        const outcome = next();
        if (outcome === 36) { result[i] = next(); own[i] = next(); opp[i] = next(); }
        else { result[i] = outcome % 4; own[i] = Math.floor(outcome / 4) % 3; opp[i] = Math.floor(outcome / 12); }
        const moved = next();
        grade[i] = was(grade) + (moved ? next() : 0);
        chain[i] = was(chain) + (moved ? next() : 0);
        cols[11][i] = was(cols[11]) + (moved ? next() : 0);
        sw[i] = was(sw) + next();
        sl[i] = was(sl) + next();
        rating[i] = was(rating) + next();
      }
    }
  })();

  // ---- dates: day numbers count from 1 January of year 1 ----
  const pad = (n, w = 2) => String(n).padStart(w, '0');
  function dateOf(n) {
    const d = new Date((n - UNIX_EPOCH_DAY) * 864e5);
    return { y: d.getUTCFullYear(), m: d.getUTCMonth() + 1, d: d.getUTCDate() };
  }
  function isoOf(n) {
    if (n < 1) return '';
    const t = dateOf(n);
    return `${pad(t.y, 4)}-${pad(t.m)}-${pad(t.d)}`;
  }
  function dayOf(iso) {
    const m = /^(\d+)-(\d+)-(\d+)$/.exec(iso);
    if (!m) return null;
    const d = new Date(0);
    d.setUTCFullYear(+m[1], +m[2] - 1, +m[3]);
    return Math.round(d.getTime() / 864e5) + UNIX_EPOCH_DAY;
  }
  const weekdayOf = (n) => (n < 1 ? 0 : n % 7);
  function clock(s) {
    if (s <= 0) return '00:00:00';
    s %= 86400;
    return `${pad(Math.floor(s / 3600))}:${pad(Math.floor(s / 60) % 60)}:${pad(s % 60)}`;
  }
  function playTime(s) {
    const days = s > 0 ? Math.floor(s / 86400) : 0;
    return (days > 0 ? `${days}日` : '') + clock(s);
  }
  const rate3 = (w, l) => (w + l > 0 ? Math.fround(w / (w + l)).toFixed(3) : '0.000');
  const gradeName = (g) => GRADES[g] || '不明';

  let firstDay = Infinity, lastDay = -Infinity;
  for (let i = 0; i < M; i++) {
    if (day[i] >= 1) { firstDay = Math.min(firstDay, day[i]); lastDay = Math.max(lastDay, day[i]); }
  }

  // ---- the period: every figure follows it ----
  // An end left at the earliest or latest date takes in the matches of log
  // files whose names give no date too.
  const period = { from: -Infinity, to: Infinity };
  const inPeriod = (i) => day[i] >= period.from && day[i] <= period.to;
  function readPeriod() {
    const from = dayOf($('from').value), to = dayOf($('to').value);
    period.from = from === null || from <= firstDay ? -Infinity : from;
    period.to = to === null || to >= lastDay ? Infinity : to;
    refresh();
  }
  function wholePeriod() {
    $('from').value = isoOf(firstDay);
    $('to').value = isoOf(lastDay);
    readPeriod();
  }

  // ---- small DOM helpers: text only ----
  function el(tag, text, cls) {
    const e = document.createElement(tag);
    if (text !== undefined) e.textContent = text;
    if (cls) e.className = cls;
    return e;
  }
  function figures(target, list) {
    target.replaceChildren(...list.map(([label, value]) => {
      const div = el('div');
      div.append(el('dt', label), el('dd', value));
      return div;
    }));
  }

  // ---- SVG charts, drawn to the width they get ----
  const SVG = 'http://www.w3.org/2000/svg';
  function svg(tag, attrs, text) {
    const e = document.createElementNS(SVG, tag);
    for (const k in attrs) e.setAttribute(k, attrs[k]);
    if (text !== undefined) e.textContent = text;
    return e;
  }
  // Bars of match counts and a line of win rates over labelled buckets.
  function barChart(target, buckets, title) {
    const most = buckets.reduce((m, b) => Math.max(m, b.n), 1);
    // Room on the left for the largest count at 14px.
    const width = Math.max(target.clientWidth, 200), height = 220, left = 16 + 9 * String(most).length, right = 44;
    const top = 12, bottom = 44, plotW = width - left - right, plotH = height - top - bottom;
    const root = svg('svg', { width, height, role: 'img', 'aria-label': title });
    root.append(svg('line', { class: 'axis', x1: left, y1: top + plotH, x2: left + plotW, y2: top + plotH }));
    const step = plotW / Math.max(1, buckets.length);
    const labelEvery = Math.max(1, Math.ceil(buckets.length / Math.max(1, Math.floor(plotW / 56))));
    let path = '';
    buckets.forEach((b, k) => {
      const x = left + k * step, h = (b.n / most) * plotH;
      const bar = svg('rect', { class: 'count', x: x + step * 0.1, y: top + plotH - h, width: Math.max(1, step * 0.8), height: h });
      bar.append(svg('title', {}, `${b.label}: ${b.n}試合 勝率${rate3(b.w, b.l)}`));
      root.append(bar);
      if (b.w + b.l > 0) path += `${path ? 'L' : 'M'}${x + step / 2},${top + plotH * (1 - b.w / (b.w + b.l))}`;
      if (k % labelEvery === 0) root.append(svg('text', { x: x + step / 2, y: height - 24, 'text-anchor': 'middle' }, b.label));
    });
    root.append(svg('path', { class: 'rate', d: path || 'M0,0' }));
    root.append(svg('text', { x: left - 6, y: top + 12, 'text-anchor': 'end' }, String(most)));
    root.append(svg('text', { x: left + plotW + 6, y: top + 12 }, '100%'));
    root.append(svg('text', { x: left + plotW + 6, y: top + plotH }, '0%'));
    root.append(svg('text', { x: left, y: height - 4 }, '棒: 試合数'));
    root.append(svg('text', { class: 'key-rate', x: left + 110, y: height - 4 }, '線: 勝率'));
    target.replaceChildren(root);
  }

  // ---- overview ----
  function overview() {
    let w = 0, l = 0, meetings = 0, gw = 0, gl = 0, secs = 0, dw = 0, dl = 0, cut = 0;
    const hours = Array.from({ length: 24 }, (_, h) => ({ label: String(h), n: 0, w: 0, l: 0 }));
    const weekdays = WEEKDAYS.map((label) => ({ label, n: 0, w: 0, l: 0 }));
    const perDay = new Map();
    const add = (b, r) => { b.n++; if (r === WON) b.w++; else if (r === LOST) b.l++; };
    for (let i = 0; i < M; i++) {
      if (!inPeriod(i)) continue;
      const r = result[i];
      meetings++;
      secs += dur[i];
      if (r === WON || r === LOST) {
        if (r === WON) w++; else l++;
        gw += own[i]; gl += opp[i];
        if (own[i] + opp[i] === 3) { if (r === WON) dw++; else dl++; }
      } else if (r === 3) cut++;
      add(hours[start[i] > 0 ? Math.floor(start[i] / 3600) % 24 : 0], r);  // as the clock shows it
      if (day[i] >= 1) {
        add(weekdays[weekdayOf(day[i])], r);
        let b = perDay.get(day[i]);
        if (!b) perDay.set(day[i], (b = { n: 0, w: 0, l: 0 }));
        add(b, r);
      }
    }
    const s = per.standing;
    figures($('figures'), [
      ['勝敗', `${w}勝${l}敗`], ['勝率', rate3(w, l)], ['対戦数', `${meetings}`], ['切断', `${cut}`],
      ['取得ゲーム', `${gw}勝${gl}敗`], ['総試合時間', playTime(secs)],
      ['フルゲーム（第3ゲーム）', `${dw}勝${dl}敗`],
      ['勝率偏差値', s.deviation.toFixed(3)],
      ['ランキング', s.place > 0 ? `${s.place}位 / ${s.ranked + 1}` : '規定試合数未満'],
    ]);
    const trend = periodBuckets(perDay);
    $('trend-title').textContent = `${trend.unit}ごとの試合数と勝率`;
    barChart($('trend'), trend.buckets, $('trend-title').textContent);
    barChart($('hours'), hours, '時間帯別の試合数と勝率');
    barChart($('weekdays'), weekdays, '曜日別の試合数と勝率');
  }

  // Days, weeks or months, whichever gives a readable number of buckets.
  function periodBuckets(perDay) {
    const days = [...perDay.keys()].sort((a, b) => a - b);
    if (!days.length) return { unit: '日', buckets: [] };
    const span = days[days.length - 1] - days[0];
    const unit = span <= 62 ? '日' : span <= 730 ? '週' : '月';
    const keyOf = (n) => {
      if (unit === '日') return n;
      if (unit === '週') return n - weekdayOf(n);
      const t = dateOf(n);
      return t.y * 12 + t.m - 1;
    };
    const labelOf = (k) => {
      if (unit === '月') return `${Math.floor(k / 12)}/${pad((k % 12) + 1)}`;
      const t = dateOf(k);
      return `${t.m}/${t.d}`;
    };
    const stepOf = (k) => (unit === '日' ? k + 1 : unit === '週' ? k + 7 : k + 1);
    const map = new Map();
    for (const n of days) {
      const k = keyOf(n), src = perDay.get(n);
      const b = map.get(k) || { n: 0, w: 0, l: 0 };
      b.n += src.n; b.w += src.w; b.l += src.l;
      map.set(k, b);
    }
    const buckets = [];
    for (let k = keyOf(days[0]), end = keyOf(days[days.length - 1]); k <= end; k = stepOf(k)) {
      buckets.push({ label: labelOf(k), ...(map.get(k) || { n: 0, w: 0, l: 0 }) });
    }
    return { unit, buckets };
  }

  // ---- opponents: figures per opponent over the period ----
  const per = {
    meetings: new Int32Array(N), wins: new Int32Array(N), losses: new Int32Array(N), own: new Float64Array(N),
    firstMet: new Int32Array(N), lastMet: new Int32Array(N), latest: new Int32Array(N),
    rate: new Float64Array(N), dev: new Float64Array(N), place: new Int32Array(N), standing: null,
  };
  function opponentFigures() {
    for (let o = 0; o < N; o++) {
      let n = 0, w = 0, l = 0, lo = -1;
      for (let i = first[o]; i < first[o + 1]; i++) {
        if (!inPeriod(i)) continue;
        n++;
        if (result[i] === WON) w++; else if (result[i] === LOST) l++;
        if (lo < 0 || day[i] > day[lo] || (day[i] === day[lo] && start[i] >= start[lo])) lo = i;
      }
      per.meetings[o] = n; per.wins[o] = w; per.losses[o] = l;
      per.own[o] = w + l ? w / (w + l) : -1;
      per.latest[o] = lo;
      per.firstMet[o] = n ? firstMeeting(o) : 0;
      per.lastMet[o] = lo < 0 ? 0 : day[lo];
    }
    per.standing = standing();
  }

  // Deviation scores and places over the period, worked out as the program's
  // statistics pass does (single precision at the same points, ties in list
  // order), so that the whole period gives personal.html's figures. An
  // opponent is ranked by their latest shown record of 50 matches or more,
  // the player with more than 50 decided matches.
  function standing() {
    const f = Math.fround, ranked = [];
    let wins = 0, losses = 0, sum = 0, squares = 0;
    for (let o = 0; o < N; o++) {
      wins += per.wins[o]; losses += per.losses[o];
      const i = per.latest[o];
      per.place[o] = 0;
      if (i < 0 || sw[i] + sl[i] < 50) continue;
      per.rate[o] = f(sw[i] / (sw[i] + sl[i]));
      sum = f(sum + per.rate[o]);
      ranked.push(o);
    }
    const mean = ranked.length ? f(sum / ranked.length) : 0;
    for (const o of ranked) squares = f(squares + (per.rate[o] - mean) ** 2);
    const spread = ranked.length ? f(Math.sqrt(f(squares / ranked.length))) : 0;
    const score = (r) => (spread === 0 ? 50 : f(50 + (10 * (r - mean)) / spread));
    ranked.sort((a, b) => per.rate[b] - per.rate[a] || a - b);
    const own = wins + losses > 50 ? f(wins / (wins + losses)) : -1;
    let next = 1, place = 0;
    for (const o of ranked) {
      if (own >= 0 && !place && per.rate[o] < own) place = next++;
      per.place[o] = next++;
      per.dev[o] = score(per.rate[o]);
    }
    if (own >= 0 && !place) place = next;
    return { place, deviation: own >= 0 ? score(own) : 0, ranked: ranked.length };
  }
  function firstMeeting(o) {
    let best = Infinity;
    for (let i = first[o]; i < first[o + 1]; i++) if (inPeriod(i) && day[i] < best) best = day[i];
    return best === Infinity ? 0 : best;
  }
  const latestOf = (o, f, none) => (per.latest[o] < 0 ? none : f[per.latest[o]]);

  // Columns: heading, sort key, cell text.
  const COLUMNS = [
    ['名前', (o) => names[o], (o) => names[o]],
    ['対戦数', (o) => per.meetings[o], (o) => per.meetings[o]],
    ['勝', (o) => per.wins[o], (o) => per.wins[o]],
    ['敗', (o) => per.losses[o], (o) => per.losses[o]],
    ['勝率', (o) => per.own[o], (o) => (per.own[o] < 0 ? '---' : rate3(per.wins[o], per.losses[o]))],
    ['初対戦', (o) => per.firstMet[o], (o) => isoOf(per.firstMet[o])],
    ['最終対戦', (o) => per.lastMet[o], (o) => isoOf(per.lastMet[o])],
    ['段位', (o) => latestOf(o, grade, -1), (o) => (per.latest[o] < 0 ? '' : gradeName(grade[per.latest[o]]))],
    ['レート', (o) => latestOf(o, rating, -1), (o) => latestOf(o, rating, '')],
    ['戦績', (o) => latestOf(o, sw, -1), (o) => (per.latest[o] < 0 ? '' : `${sw[per.latest[o]]}－${sl[per.latest[o]]}`)],
    ['偏差値', (o) => (per.place[o] ? per.dev[o] : -Infinity), (o) => (per.place[o] ? per.dev[o].toFixed(3) : '')],
    ['順位', (o) => (per.place[o] || Infinity), (o) => (per.place[o] ? `${per.place[o]}位` : '')],
  ];
  const table = { sortBy: 1, descending: true, order: [], shown: [], rowHeight: 0 };

  function sortOpponents() {
    const key = COLUMNS[table.sortBy][1], sign = table.descending ? -1 : 1;
    const keys = new Array(N);
    for (let o = 0; o < N; o++) keys[o] = key(o);
    const order = Array.from({ length: N }, (_, o) => o);
    order.sort((a, b) => (keys[a] < keys[b] ? -sign : keys[a] > keys[b] ? sign : a - b));
    table.order = order;
    filterOpponents();
  }
  function filterOpponents() {
    const q = $('search').value.replace(/[A-Z]+/g, (c) => c.toLowerCase());
    table.shown = table.order.filter((o) => per.meetings[o] > 0 && (!q || folded[o].includes(q)));
    $('shown').textContent = `${table.shown.length}人`;
    $('scroller').scrollTop = 0;
    drawRows();
  }
  function drawHeads() {
    $('heads').replaceChildren(...COLUMNS.map(([label], k) => {
      const th = el('th');
      th.scope = 'col';
      if (k === table.sortBy) th.setAttribute('aria-sort', table.descending ? 'descending' : 'ascending');
      const b = el('button', label);
      b.type = 'button';
      b.addEventListener('click', () => {
        table.descending = k === table.sortBy ? !table.descending : k !== 0;
        table.sortBy = k;
        drawHeads();
        sortOpponents();
      });
      th.append(b);
      return th;
    }));
  }
  // Only the rows on screen exist; spacer rows keep the scroll height.
  function drawRows() {
    const scroller = $('scroller'), rows = $('rows');
    const h = table.rowHeight || 36;
    const view = Math.ceil((scroller.clientHeight || 600) / h) + 10;
    const from = Math.max(0, Math.floor(scroller.scrollTop / h) - 5);
    const to = Math.min(table.shown.length, from + view);
    const spacer = (px) => {
      const tr = el('tr', undefined, 'spacer'), td = el('td');
      td.colSpan = COLUMNS.length;
      td.style.height = `${px}px`;
      tr.append(td);
      return tr;
    };
    const list = [spacer(from * h)];
    for (let k = from; k < to; k++) list.push(opponentRow(table.shown[k]));
    list.push(spacer((table.shown.length - to) * h));
    rows.replaceChildren(...list);
    if (!table.rowHeight && to > from) {
      table.rowHeight = list[1].getBoundingClientRect().height || 36;
      if (table.rowHeight !== h) drawRows();
    }
  }
  function opponentRow(o) {
    const tr = el('tr');
    COLUMNS.forEach(([, , text], k) => {
      const td = el('td');
      if (k === 0) {
        const a = el('a', names[o]);
        a.href = `#opponent-${o}`;
        td.append(a);
      } else {
        td.textContent = text(o);
      }
      tr.append(td);
    });
    return tr;
  }

  // ---- one opponent ----
  let current = -1, meetingsShown = 0;
  function opponentView(o) {
    current = o;
    $('opponent-title').textContent = names[o];
    const w = per.wins[o], l = per.losses[o];
    figures($('opponent-figures'), [
      ['対戦数', `${per.meetings[o]}`], ['勝敗', `${w}勝${l}敗`], ['勝率', rate3(w, l)],
      ['初対戦', isoOf(per.firstMet[o])], ['最終対戦', isoOf(per.lastMet[o])],
      ['偏差値', per.place[o] ? per.dev[o].toFixed(3) : '---'], ['順位', per.place[o] ? `${per.place[o]}位` : '---'],
    ]);
    ratingChart(o);
    meetingsShown = 0;
    $('meetings').replaceChildren();
    moreMeetings();
  }
  function meetingList(o) {
    const list = [];
    for (let i = first[o]; i < first[o + 1]; i++) if (inPeriod(i)) list.push(i);
    return list;
  }
  function moreMeetings() {
    const list = meetingList(current), rows = [];
    const end = Math.min(list.length, meetingsShown + PAGE_OF_MEETINGS);
    for (let k = meetingsShown; k < end; k++) {
      const i = list[k], r = result[i], tr = el('tr');
      const cells = [
        day[i] >= 1 ? isoOf(day[i]) : '', WEEKDAYS[weekdayOf(day[i])], clock(start[i]),
        r ? clock(start[i] + dur[i]) : '', RESULTS[r], `${own[i]}－${opp[i]}`, gradeName(grade[i]),
        chain[i] ? rating[i] : '---', `${sw[i]}－${sl[i]}`,
      ];
      cells.forEach((c, k2) => tr.append(el('td', String(c), k2 === 4 ? (r === WON ? 'won' : r === LOST ? 'lost' : '') : '')));
      rows.push(tr);
    }
    $('meetings').append(...rows);
    meetingsShown = end;
    $('more').hidden = end >= list.length;
  }
  function ratingChart(o) {
    const target = $('opponent-chart');
    const list = meetingList(o).filter((i) => day[i] >= 1);
    const width = Math.max(target.clientWidth, 200), height = 220, left = 56, right = 56, top = 12, bottom = 44;
    const plotW = width - left - right, plotH = height - top - bottom;
    const root = svg('svg', { width, height, role: 'img', 'aria-label': '対戦時のレートと段位' });
    root.append(svg('line', { class: 'axis', x1: left, y1: top + plotH, x2: left + plotW, y2: top + plotH }));
    const rated = list.filter((i) => chain[i]);
    if (list.length) {
      const d0 = day[list[0]], d1 = Math.max(d0 + 1, day[list[list.length - 1]]);
      const xOf = (i) => left + ((day[i] - d0) / (d1 - d0)) * plotW;
      // Loops, not spread arguments: one opponent may have met the player
      // more times than a call takes arguments.
      let r0 = Infinity, r1 = -Infinity;
      for (const i of rated) { r0 = Math.min(r0, rating[i]); r1 = Math.max(r1, rating[i]); }
      r1 = Math.max(r1, r0 + 1);
      const line = (items, yOf) => items.map((i, k) => `${k ? 'L' : 'M'}${xOf(i)},${yOf(i)}`).join('') || 'M0,0';
      root.append(svg('path', { class: 'rate', d: line(rated, (i) => top + plotH * (1 - (rating[i] - r0) / (r1 - r0))) }));
      const graded = list.filter((i) => grade[i] >= 0 && grade[i] < 20);
      root.append(svg('path', { class: 'grade', d: line(graded, (i) => top + plotH * (1 - grade[i] / 19)) }));
      if (rated.length) {
        root.append(svg('text', { x: left - 6, y: top + 12, 'text-anchor': 'end' }, String(r1)));
        root.append(svg('text', { x: left - 6, y: top + plotH, 'text-anchor': 'end' }, String(r0)));
      }
      root.append(svg('text', { x: left + plotW + 6, y: top + 12 }, '十段'));
      root.append(svg('text', { x: left + plotW + 6, y: top + plotH }, '十級'));
      root.append(svg('text', { x: left, y: height - 24 }, isoOf(d0)));
      root.append(svg('text', { x: left + plotW, y: height - 24, 'text-anchor': 'end' }, isoOf(day[list[list.length - 1]])));
    }
    root.append(svg('text', { class: 'key-rate', x: left, y: height - 4 }, '実線: レート'));
    root.append(svg('text', { class: 'key-grade', x: left + 120, y: height - 4 }, '破線: 段位'));
    target.replaceChildren(root);
  }

  // ---- views, addressed by the fragment so Back works ----
  function show() {
    const m = /^#opponent-(\d+)$/.exec(location.hash);
    const view = m && +m[1] < N ? 'opponent' : location.hash === '#opponents' ? 'opponents' : 'overview';
    for (const id of ['overview', 'opponents', 'opponent']) $(`view-${id}`).hidden = id !== view;
    const mark = (id, on) => (on ? $(id).setAttribute('aria-current', 'page') : $(id).removeAttribute('aria-current'));
    mark('nav-overview', view === 'overview');
    mark('nav-opponents', view !== 'overview');
    if (view === 'overview') overview();
    if (view === 'opponents') drawRows();
    if (view === 'opponent') opponentView(+m[1]);
    return view;
  }
  function refresh() {
    opponentFigures();
    sortOpponents();
    show();
  }

  $('from').addEventListener('change', readPeriod);
  $('to').addEventListener('change', readPeriod);
  $('whole').addEventListener('click', wholePeriod);
  $('search').addEventListener('input', filterOpponents);
  let drawPending = false;
  $('scroller').addEventListener('scroll', () => {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(() => { drawPending = false; drawRows(); });
  });
  $('more').addEventListener('click', moreMeetings);
  window.addEventListener('hashchange', () => {
    const view = show();
    $(`${view}-title`).focus({ preventScroll: false });
  });
  let resizeTimer = 0;
  window.addEventListener('resize', () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(show, 150);
  });
  drawHeads();
  if (firstDay <= lastDay) {
    for (const id of ['from', 'to']) { $(id).min = isoOf(firstDay); $(id).max = isoOf(lastDay); }
    $('from').value = isoOf(firstDay);
    $('to').value = isoOf(lastDay);
  }
  refresh();
})();
