// Shift_JIS encoder for test logs, built from the browser's own (WHATWG)
// decoder: a name that survives encode -> decode here is exactly what the
// browser shows for it. The first byte pair met for a character is its form.
let table = null;

function buildTable() {
  const decoder = new TextDecoder('shift_jis', { fatal: true });
  const map = new Map();
  for (const [lead, trail] of allPairs()) {
    try {
      const ch = decoder.decode(Uint8Array.of(lead, trail));
      if (!map.has(ch)) map.set(ch, [lead, trail]);
    } catch { /* no character */ }
  }
  for (let b = 0xa1; b <= 0xdf; b++) map.set(decoder.decode(Uint8Array.of(b)), [b]);
  return map;
}

// Every lead and trail byte pair of the double-byte range.
export function* allPairs() {
  for (let lead = 0x81; lead <= 0xfc; lead++) {
    if (lead >= 0xa0 && lead < 0xe0) continue;
    for (let trail = 0x40; trail <= 0xfc; trail++) if (trail !== 0x7f) yield [lead, trail];
  }
}

export function encodeShiftJis(text) {
  table ??= buildTable();
  const out = [];
  for (const ch of text) {
    const code = ch.codePointAt(0);
    const bytes = code < 0x80 ? [code] : table.get(ch);
    if (!bytes) throw new Error(`character ${JSON.stringify(ch)} has no Shift_JIS form`);
    out.push(...bytes);
  }
  return Buffer.from(out);
}
