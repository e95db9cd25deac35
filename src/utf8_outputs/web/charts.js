// SVG charts, drawn to the width they get. Every value can be read without
// hovering: a chart is a slider over its items (arrow keys, PageUp/PageDown,
// Home, End), a tap or a pointer on it picks the nearest item, and the
// picked item's text shows under the chart, the latest at first.
const SVG = 'http://www.w3.org/2000/svg';
function svg(tag, attrs, text) {
  const e = document.createElementNS(SVG, tag);
  for (const k in attrs) e.setAttribute(k, attrs[k]);
  if (text !== undefined) e.textContent = text;
  return e;
}
const HEIGHT = 220, TOP = 12, BOTTOM = 44;
const percent = (r) => `${Math.round(r * 100)}%`;

// The plot area of a chart in `target`, with room for the axis labels.
function frame(target, left, right, width = Math.max(target.clientWidth, 200)) {
  const root = svg('svg', { width, height: HEIGHT });
  const plot = { left, top: TOP, width: width - left - right, height: HEIGHT - TOP - BOTTOM, root };
  plot.bottom = plot.top + plot.height;
  root.append(svg('line', { class: 'axis', x1: left, y1: plot.bottom, x2: left + plot.width, y2: plot.bottom }));
  return plot;
}
const label = (plot, x, y, text, anchor = 'start', cls) =>
  plot.root.append(svg('text', { x, y, 'text-anchor': anchor, ...(cls ? { class: cls } : {}) }, text));

// A win-rate axis on the right that fits the rates (5% steps, 50% always in
// view) with the 50% line marked; returns y of a rate.
function rateAxis(plot, rates) {
  let lo = 0.5, hi = 0.5;
  for (const r of rates) { lo = Math.min(lo, r); hi = Math.max(hi, r); }
  lo = Math.max(0, Math.floor((lo - 0.02) * 20) / 20);
  hi = Math.min(1, Math.ceil((hi + 0.02) * 20) / 20);
  const y = (r) => plot.top + (plot.height * (hi - r)) / (hi - lo);
  const x = plot.left + plot.width + 6;
  plot.root.append(svg('line', { class: 'even', x1: plot.left, y1: y(0.5), x2: plot.left + plot.width, y2: y(0.5) }));
  label(plot, x, y(0.5) + 5, '50%');
  if (y(0.5) - plot.top > 18) label(plot, x, plot.top + 12, percent(hi));
  if (plot.bottom - y(0.5) > 18) label(plot, x, plot.bottom, percent(lo));
  return y;
}

// Labels under the items at xs, as many as fit side by side.
function itemLabels(plot, xs, texts) {
  const widthOf = (s) => [...s].reduce((w, c) => w + (c.charCodeAt(0) > 0xff ? 14 : 8.5), 0) + 8;
  const widest = texts.reduce((w, s) => Math.max(w, widthOf(s)), 1);
  const every = Math.max(1, Math.ceil(texts.length / Math.max(1, Math.floor(plot.width / widest))));
  texts.forEach((s, k) => { if (k % every === 0) label(plot, xs[k], HEIGHT - 24, s, 'middle'); });
}

// Makes the chart a slider over items at xs (ascending), with a readout.
function explorable(target, plot, name, xs, textOf) {
  const { root } = plot, readout = el('p', '', 'readout');
  readout.setAttribute('aria-hidden', 'true');
  target.replaceChildren(root, readout);
  if (!xs.length) {
    root.setAttribute('role', 'img');
    root.setAttribute('aria-label', `${name}（データなし）`);
    return;
  }
  const cursor = svg('line', { class: 'cursor', y1: plot.top, y2: plot.bottom });
  root.append(cursor);
  const attrs = { role: 'slider', tabindex: '0', 'aria-label': name, 'aria-valuemin': '0', 'aria-valuemax': String(xs.length - 1) };
  for (const k in attrs) root.setAttribute(k, attrs[k]);
  const pick = (k) => {
    k = Math.max(0, Math.min(xs.length - 1, k));
    const text = textOf(k);
    root.setAttribute('aria-valuenow', String(k));
    root.setAttribute('aria-valuetext', text);
    cursor.setAttribute('x1', xs[k]);
    cursor.setAttribute('x2', xs[k]);
    readout.textContent = text;
    root.dataset.item = k;
  };
  const keys = { ArrowRight: 1, ArrowUp: 1, ArrowLeft: -1, ArrowDown: -1, PageUp: 10, PageDown: -10 };
  root.addEventListener('keydown', (e) => {
    const now = +root.dataset.item;
    const k = e.key === 'Home' ? 0 : e.key === 'End' ? xs.length - 1 : e.key in keys ? now + keys[e.key] : null;
    if (k === null) return;
    e.preventDefault();
    pick(k);
  });
  const nearest = (e) => {
    const x = e.clientX - root.getBoundingClientRect().left;
    let lo = 0, hi = xs.length - 1;
    while (lo < hi) { const mid = (lo + hi) >> 1; if (xs[mid] < x) lo = mid + 1; else hi = mid; }
    return lo > 0 && x - xs[lo - 1] < xs[lo] - x ? lo - 1 : lo;
  };
  root.addEventListener('pointerdown', (e) => pick(nearest(e)));
  root.addEventListener('pointermove', (e) => { if (e.pointerType === 'mouse') pick(nearest(e)); });
  pick(xs.length - 1);
}

// Bars of match counts and a line of win rates over labelled buckets:
// items of { label, full, n, w, l } (full names the bucket in the readout).
function barChart(target, name, items, width) {
  const most = items.reduce((m, b) => Math.max(m, b.n), 1);
  const plot = frame(target, 16 + 9 * grouped(most).length, 48, width);
  const step = plot.width / Math.max(1, items.length);
  const xs = items.map((_, k) => plot.left + k * step + step / 2);
  const rates = items.filter((b) => b.w + b.l > 0).map((b) => b.w / (b.w + b.l));
  const y = rateAxis(plot, rates);
  let path = '';
  items.forEach((b, k) => {
    const h = (b.n / most) * plot.height;
    plot.root.append(svg('rect', { class: 'count', x: xs[k] - step * 0.4, y: plot.bottom - h, width: Math.max(1, step * 0.8), height: h }));
    if (b.w + b.l > 0) path += `${path ? 'L' : 'M'}${xs[k]},${y(b.w / (b.w + b.l))}`;
  });
  plot.root.append(svg('path', { class: 'halo', d: path || 'M0,0' }), svg('path', { class: 'rate', d: path || 'M0,0' }));
  itemLabels(plot, xs, items.map((b) => b.label));
  label(plot, plot.left - 6, plot.top + 12, grouped(most), 'end');
  label(plot, plot.left, HEIGHT - 4, '棒: 試合数');
  label(plot, plot.left + 110, HEIGHT - 4, '線: 勝率', 'start', 'key-rate');
  explorable(target, plot, name, xs, (k) => {
    const b = items[k];
    return `${b.full}: ${grouped(b.n)}試合 ${record(b.w, b.l)} 勝率${b.w + b.l ? rate3(b.w, b.l) : '---'}`;
  });
}
