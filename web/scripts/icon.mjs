// The application icon at any size, as a PNG, for the web app manifest (192
// and 512 px, which src/gui/icons lacks). The shapes are those that
// src/gui/icons/make-icons.sh draws at 256 px, scaled and drawn here with
// 4x4 samples per pixel, so that the build needs no image tool.

import { deflateSync } from 'node:zlib';

// In make-icons.sh's 256 px coordinates, drawn in this order; `corner` is
// ImageMagick's corner size (twice the radius).
const shapes = [
  { colour: [0x1d, 0x35, 0x57], box: [8, 8, 247, 247], corner: 44 },
  { colour: [0x27, 0x4b, 0x7a], box: [20, 20, 235, 235], corner: 36 },
  { colour: [0xf1, 0xfa, 0xee], box: [56, 180, 200, 212], corner: 8 },
  { colour: [0xa8, 0xda, 0xdc], box: [56, 136, 200, 168], corner: 8 },
  { colour: [0xf1, 0xfa, 0xee], box: [56, 92, 200, 124], corner: 8 },
  { colour: [0xf4, 0xa2, 0x61], box: [84, 36, 172, 68], corner: 8 },
  { colour: [0xf4, 0xa2, 0x61], triangle: [112, 68, 144, 68, 128, 84] },
];

function insideBox([x0, y0, x1, y1], r, x, y) {
  if (x < x0 || x > x1 || y < y0 || y > y1) return false;
  const dx = Math.max(x0 + r - x, 0, x - (x1 - r));
  const dy = Math.max(y0 + r - y, 0, y - (y1 - r));
  return dx * dx + dy * dy <= r * r;
}

function insideTriangle([ax, ay, bx, by, cx, cy], x, y) {
  const side = (px, py, qx, qy) => (qx - px) * (y - py) - (qy - py) * (x - px);
  const s = [side(ax, ay, bx, by), side(bx, by, cx, cy), side(cx, cy, ax, ay)];
  return s.every((v) => v >= 0) || s.every((v) => v <= 0);
}

function colourAt(x, y) {
  for (let i = shapes.length - 1; i >= 0; --i) {
    const shape = shapes[i];
    if (shape.triangle ? insideTriangle(shape.triangle, x, y) : insideBox(shape.box, shape.corner / 2, x, y)) return shape.colour;
  }
  return null;
}

// RGBA rows, each behind PNG's filter byte 0.
function pixels(size) {
  const samples = 4;
  const scale = 256 / size;
  const rows = Buffer.alloc(size * (size * 4 + 1));
  for (let py = 0; py < size; ++py) {
    const row = py * (size * 4 + 1);
    for (let px = 0; px < size; ++px) {
      const sum = [0, 0, 0, 0];
      for (let sy = 0; sy < samples; ++sy)
        for (let sx = 0; sx < samples; ++sx) {
          const colour = colourAt((px + (sx + 0.5) / samples) * scale, (py + (sy + 0.5) / samples) * scale);
          if (!colour) continue;
          for (let c = 0; c < 3; ++c) sum[c] += colour[c];
          ++sum[3];
        }
      const at = row + 1 + px * 4;
      // Straight (not premultiplied) alpha: the covered samples' mean colour.
      for (let c = 0; c < 3; ++c) rows[at + c] = sum[3] ? Math.round(sum[c] / sum[3]) : 0;
      rows[at + 3] = Math.round((255 * sum[3]) / (samples * samples));
    }
  }
  return rows;
}

// PNG's CRC-32 (zlib.crc32 is newer than Debian 12's Node).
const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

export function iconPng(size) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 6, 0, 0, 0], 8); // 8 bits, RGBA, deflate, filter set 0, no interlace
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('IDAT', deflateSync(pixels(size), { level: 9 })),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}
