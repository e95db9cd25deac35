// Shift_JIS encoder for writing test logs from plain JavaScript strings.
//
// The browser and the program agree on Shift_JIS through the WHATWG decoder,
// so the reverse table is built from that same decoder: a name that survives
// encode -> decode here is exactly what the browser will show for it.

let table = null;

function buildTable() {
  const decoder = new TextDecoder('shift_jis', { fatal: true });
  const map = new Map();
  const isLead = (b) => (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
  for (let lead = 0x81; lead <= 0xfc; lead++) {
    if (!isLead(lead)) continue;
    for (let trail = 0x40; trail <= 0xfc; trail++) {
      if (trail === 0x7f) continue;
      let ch;
      try {
        ch = decoder.decode(Uint8Array.of(lead, trail));
      } catch {
        continue;
      }
      // Several byte pairs can decode to the same character (vendor
      // duplicates); the first one met is the canonical form.
      if (ch.length >= 1 && !map.has(ch)) map.set(ch, [lead, trail]);
    }
  }
  // Half-width katakana are single bytes.
  for (let b = 0xa1; b <= 0xdf; b++) {
    const ch = decoder.decode(Uint8Array.of(b));
    if (!map.has(ch)) map.set(ch, [b]);
  }
  return map;
}

export function encodeShiftJis(text) {
  table ??= buildTable();
  const out = [];
  for (const ch of text) {
    const code = ch.codePointAt(0);
    if (code < 0x80) {
      out.push(code);
      continue;
    }
    const bytes = table.get(ch);
    if (!bytes) throw new Error(`character ${JSON.stringify(ch)} has no Shift_JIS form`);
    out.push(...bytes);
  }
  return Buffer.from(out);
}

export function decodeShiftJis(bytes) {
  return new TextDecoder('shift_jis').decode(bytes);
}
