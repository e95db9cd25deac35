// Reads the colour of a one-pixel PNG, as Chromium's screenshot of a 1x1 clip
// gives it. With a single pixel every PNG row filter leaves the bytes as they
// are (there is no left or upper neighbour), so no unfiltering is needed.

import zlib from 'node:zlib';

export function onePixel(png) {
  if (png.readUInt32BE(0) !== 0x89504e47) throw new Error('not a PNG');
  let offset = 8;
  let width, height, bitDepth, colourType;
  const idat = [];
  while (offset < png.length) {
    const length = png.readUInt32BE(offset);
    const type = png.toString('latin1', offset + 4, offset + 8);
    const data = png.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      bitDepth = data[8];
      colourType = data[9];
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    offset += 12 + length;
  }
  if (width !== 1 || height !== 1) throw new Error(`expected a 1x1 PNG, got ${width}x${height}`);
  if (bitDepth !== 8 || (colourType !== 2 && colourType !== 6)) {
    throw new Error(`unsupported PNG: depth ${bitDepth}, colour type ${colourType}`);
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  return { r: raw[1], g: raw[2], b: raw[3] };
}
