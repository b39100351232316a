// Decodes the PNG screenshots Chromium takes (8-bit RGB or RGBA, not
// interlaced) into RGBA pixels, and counts pixels by colour.
'use strict';

const zlib = require('zlib');

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

function paeth(left, up, upLeft) {
  const estimate = left + up - upLeft;
  const toLeft = Math.abs(estimate - left);
  const toUp = Math.abs(estimate - up);
  const toUpLeft = Math.abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return left;
  return toUp <= toUpLeft ? up : upLeft;
}

// Returns { width, height, rgba } with four bytes a pixel.
function decodePng(buffer) {
  if (!buffer.subarray(0, 8).equals(SIGNATURE)) throw new Error('not a PNG file');
  let width = 0;
  let height = 0;
  let channels = 0;
  const compressed = [];
  for (let at = 8; at < buffer.length;) {
    const length = buffer.readUInt32BE(at);
    const type = buffer.toString('latin1', at + 4, at + 8);
    const body = buffer.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colourType, , , interlace] = body.subarray(8, 13);
      if (depth !== 8 || interlace !== 0 || (colourType !== 2 && colourType !== 6)) {
        throw new Error(`unsupported PNG (depth ${depth}, colour type ${colourType}, interlace ${interlace})`);
      }
      channels = colourType === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      compressed.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(compressed));
  const stride = width * channels;
  if (raw.length !== height * (stride + 1)) throw new Error('truncated PNG data');

  const rows = Buffer.alloc(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const left = x >= channels ? rows[y * stride + x - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const upLeft = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let value = line[x];
      if (filter === 1) value += left;
      else if (filter === 2) value += up;
      else if (filter === 3) value += (left + up) >> 1;
      else if (filter === 4) value += paeth(left, up, upLeft);
      else if (filter !== 0) throw new Error(`bad PNG filter ${filter}`);
      rows[y * stride + x] = value & 0xff;
    }
  }
  if (channels === 4) return { width, height, rgba: rows };
  const rgba = Buffer.alloc(width * height * 4, 0xff);
  for (let i = 0; i < width * height; i++) rows.copy(rgba, i * 4, i * 3, i * 3 + 3);
  return { width, height, rgba };
}

// Pixels in region { x, y, w, h } within `tolerance` (RGB distance) of `colour`.
function countColour(image, region, colour, tolerance = 45) {
  let count = 0;
  for (let y = region.y; y < Math.min(region.y + region.h, image.height); y++) {
    for (let x = region.x; x < Math.min(region.x + region.w, image.width); x++) {
      const at = (y * image.width + x) * 4;
      const dr = image.rgba[at] - colour[0];
      const dg = image.rgba[at + 1] - colour[1];
      const db = image.rgba[at + 2] - colour[2];
      if (dr * dr + dg * dg + db * db <= tolerance * tolerance) count++;
    }
  }
  return count;
}

// Pixels of `colour` in the region of one image but not the other, or the
// other way round: how much two renderings of the same region differ.
function colourMaskDifference(a, b, region, colour) {
  const pixel = (image, x, y) => countColour(image, { x, y, w: 1, h: 1 }, colour) === 1;
  let differing = 0;
  for (let y = region.y; y < region.y + region.h; y++) {
    for (let x = region.x; x < region.x + region.w; x++) {
      if (pixel(a, x, y) !== pixel(b, x, y)) differing++;
    }
  }
  return differing;
}

module.exports = { decodePng, countColour, colourMaskDifference };
