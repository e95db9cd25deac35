// The colour of a one-pixel PNG, as Chromium's screenshot of a 1x1 clip gives
// it. With a single pixel no row filter changes the bytes.
import zlib from 'node:zlib';

export function onePixel(png) {
  const idat = [];
  for (let at = 8; at < png.length; at += 12 + png.readUInt32BE(at)) {
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') idat.push(png.subarray(at + 8, at + 8 + png.readUInt32BE(at)));
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  return { r: raw[1], g: raw[2], b: raw[3] };
}
