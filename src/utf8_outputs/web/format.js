// Dates, times, numbers and names as the dashboard shows them. Day numbers
// count from 1 January of year 1; 0 means a log whose name gives no date.
const WEEKDAYS = ['日', '月', '火', '水', '木', '金', '土'];
const RESULTS = ['', '勝ち', '負け', '切断'];
const UNIX_EPOCH_DAY = 719163; // day number of 1970-01-01

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
const weekdayOf = (n) => n % 7;
const weekdayName = (n) => (n < 1 ? '' : WEEKDAYS[weekdayOf(n)]);
function clock(s) {
  if (s <= 0) return '00:00:00';
  s %= 86400;
  return `${pad(Math.floor(s / 3600))}:${pad(Math.floor(s / 60) % 60)}:${pad(s % 60)}`;
}
function playTime(s) {
  const days = s > 0 ? Math.floor(s / 86400) : 0;
  return (days > 0 ? `${grouped(days)}日` : '') + clock(s);
}
// Integers with digit grouping: 350,257.
const grouped = (n) => String(n).replace(/\B(?=(\d{3})+(?!\d))/g, ',');
const record = (w, l) => `${grouped(w)}勝${grouped(l)}敗`;
const rate3 = (w, l) => (w + l > 0 ? Math.fround(w / (w + l)).toFixed(3) : '0.000');
const gradeName = (g) => (g >= 0 && g < GRADES.length - 1 ? GRADES[g] : GRADES[GRADES.length - 1]);
// A run of wins (above 0) or losses (below 0).
const streakText = (s) => (s > 0 ? `${grouped(s)}連勝` : s < 0 ? `${grouped(-s)}連敗` : '');

// Search folds as a Japanese player types: Unicode compatibility forms
// (full-width letters and digits, half-width katakana), letter case, and
// hiragana to katakana.
function fold(text) {
  return text.normalize('NFKC').toLowerCase()
    .replace(/[\u3041-\u3096\u309d\u309e]/g, (c) => String.fromCharCode(c.charCodeAt(0) + 0x60));
}
