// A .cv file's bytes through the worker's decode and encode come back byte for
// byte, as the desktop reads and saves them.
import assert from 'node:assert/strict';
import { readdirSync } from 'node:fs';
import { test } from 'node:test';
import { Worker, read } from './support.mjs';

const worker = await Worker.create();

async function decode(bytes) {
  const answer = worker.next('decoded');
  worker.send({ kind: 'decode', id: 1, bytes: Uint8Array.from(bytes) });
  return answer;
}

async function encode(text, encoding, bom) {
  const answer = worker.next('encoded');
  worker.send({ kind: 'encode', id: 2, text, encoding, bom });
  return answer;
}

async function roundTrip(bytes) {
  const { text, encoding, bom } = await decode(bytes);
  return { text, encoding, bom, bytes: Buffer.from((await encode(text, encoding, bom)).bytes) };
}

const bytes = (...parts) => Buffer.concat(parts.map((p) => (typeof p === 'string' ? Buffer.from(p, 'utf8') : Buffer.from(p))));

test('bytes that round-trip', async (t) => {
  const table = [
    ['UTF-8', bytes('SET 1 // čaj\r\nOUTPUT\r\n'), 'utf8', false, 'SET 1 // čaj\r\nOUTPUT\r\n'],
    ['UTF-8 with a byte-order mark', bytes([0xef, 0xbb, 0xbf], 'OUTPUT\r\n'), 'utf8', true, 'OUTPUT\r\n'],
    ['a character beyond 16 bits', bytes('// 𝄞\r\n'), 'utf8', false, '// 𝄞\r\n'],
    ['Windows-1250', bytes('// ', [0x9a, 0xe8, 0xf8], '\r\n'), 'windows1250', false, '// ščř\r\n'],
    ['a byte Windows-1250 leaves unassigned', bytes([0x81, 0x0d, 0x0a]), 'windows1250', false, '\u0081\r\n'],
    ['no final line end', bytes('EXIT'), 'utf8', false, 'EXIT'],
    ['nothing', bytes(), 'utf8', false, ''],
  ];
  for (const [name, file, encoding, bom, text] of table)
    await t.test(name, async () => {
      assert.deepEqual(await roundTrip(file), { text, encoding, bom, bytes: file });
    });
});

test('every program file round-trips', async () => {
  for (const dir of ['examples', 'tests/programs'])
    for (const f of readdirSync(new URL(`../../../${dir}`, import.meta.url)).filter((f) => f.endsWith('.cv'))) {
      if (f === 'lone_line_ends.cv') continue;
      const file = read(`${dir}/${f}`);
      assert.deepEqual((await roundTrip(file)).bytes, file, f);
    }
});

test('saving writes CR LF and falls back to UTF-8 as the desktop does', async () => {
  assert.deepEqual(await roundTrip(bytes('A\nB\rC\r\n')), {
    text: 'A\r\nB\r\nC\r\n', encoding: 'utf8', bom: false, bytes: bytes('A\r\nB\r\nC\r\n'),
  });
  // The editor's own line ends are LF.
  assert.deepEqual(Buffer.from((await encode('SET 1\nOUTPUT\n', 'utf8', false)).bytes), bytes('SET 1\r\nOUTPUT\r\n'));
  // "€" and "š" are Windows-1250's; "ж" is not.
  const kept = await encode('€ š\n', 'windows1250', false);
  assert.deepEqual([Buffer.from(kept.bytes), kept.encoding], [bytes([0x80, 0x20, 0x9a, 0x0d, 0x0a]), 'windows1250']);
  const fallen = await encode('ж\n', 'windows1250', false);
  assert.deepEqual([Buffer.from(fallen.bytes), fallen.encoding], [bytes('ж\r\n'), 'utf8']);
});
