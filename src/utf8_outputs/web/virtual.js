// A table body that holds only the rows on screen (and a few around them),
// between two spacer rows that keep the scroll height, so that tens of
// thousands of rows cost what one screen costs. Rows share one height,
// measured on the first draw. makeRow(k) builds row k of `columns` cells.
function virtualRows(scroller, body, columns, makeRow) {
  const spacer = () => {
    const tr = el('tr', undefined, 'spacer'), td = el('td');
    tr.setAttribute('aria-hidden', 'true');
    td.colSpan = columns;
    tr.append(td);
    return tr;
  };
  const above = spacer(), below = spacer();
  const list = { count: 0, height: 0, from: 0, to: 0, seen: 0 }; // seen: the first row in view
  const head = () => body.closest('table').tHead.getBoundingClientRect().height;
  // Where row 0 starts (the top of the spacer above), in the scroller's content.
  const bodyTop = () => body.getBoundingClientRect().top - scroller.getBoundingClientRect().top -
    scroller.clientTop +
    scroller.scrollTop;
  list.draw = () => {
    const h = list.height || 36;
    const view = Math.ceil((scroller.clientHeight || 600) / h) + 10;
    const seen = Math.floor((scroller.scrollTop + head() - bodyTop()) / h);
    const from = Math.max(0, Math.min(seen - 5, list.count - view));
    const to = Math.min(list.count, from + view);
    list.from = from;
    list.to = to;
    list.seen = Math.max(0, Math.min(seen, list.count - 1));
    above.firstChild.style.height = `${from * h}px`;
    below.firstChild.style.height = `${(list.count - to) * h}px`;
    const rows = [above];
    for (let k = from; k < to; k++) rows.push(makeRow(k));
    rows.push(below);
    body.replaceChildren(...rows);
    // Measured once the table is on screen (a hidden one measures 0).
    if (!list.height && to > from && rows[1].getBoundingClientRect().height) {
      list.height = rows[1].getBoundingClientRect().height;
      if (list.height !== h) list.draw();
    }
  };
  list.rowOf = (k) => (k >= list.from && k < list.to ? body.children[k - list.from + 1] : null);
  // Scrolls as little as brings row k whole into view, below the sticky heads.
  list.reveal = (k) => {
    const h = list.height || 36, top = bodyTop() + k * h;
    if (top < scroller.scrollTop + head()) scroller.scrollTop = top - head();
    else if (top + h > scroller.scrollTop + scroller.clientHeight) scroller.scrollTop = top + h - scroller.clientHeight;
  };
  // Rows that fit on the screen, for PageUp and PageDown.
  list.page = () => Math.max(1, Math.floor((scroller.clientHeight - head()) / (list.height || 36)) - 1);
  return list;
}
