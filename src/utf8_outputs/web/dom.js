// Small DOM helpers. Names are only ever set as text, never as markup.
function el(tag, text, cls) {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  if (cls) e.className = cls;
  return e;
}

// Figure cards: [label, value, change?, note?]; a change is [text, direction]
// with direction above 0 for a rise, below for a fall. A card with a long
// value takes two columns of a phone's two.
function cards(target, list) {
  target.replaceChildren(...list.map(([label, value, change, note]) => {
    const div = el('div'), dd = el('dd');
    const text = `${value instanceof Node ? value.textContent : value}${change ? change[0] : ''}${note ?? ''}`;
    if (text.length > 11) div.className = 'wide';
    dd.append(value instanceof Node ? value : el('span', value, 'value'));
    if (change) dd.append(el('span', change[0], `change ${change[1] > 0 ? 'up' : change[1] < 0 ? 'down' : 'same'}`));
    if (note) dd.append(el('span', note, 'of'));
    div.append(el('dt', label), dd);
    return div;
  }));
}
// A change with its sign, as personal.html shows it: +, - or ±.
const signed = (x, text) => `(${x > 0 ? '+' : x < 0 ? '-' : '±'}${text})`;

// Sortable column heads: a button in each th that has data-col. The heads
// stay in place (focus stays on the pressed one); aria-sort tells the order.
function sortHeads(row, onSort) {
  const heads = [...row.closest('thead').querySelectorAll('th[data-col]')];
  for (const th of heads) th.querySelector('button').addEventListener('click', () => onSort(th.dataset.col));
  return (col, descending) => {
    for (const th of heads) {
      th.setAttribute('aria-sort', th.dataset.col !== col ? 'none' : descending ? 'descending' : 'ascending');
    }
  };
}
