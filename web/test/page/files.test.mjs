// Open and Save keep a file's bytes: UTF-8 and Windows-1250, through the
// File System Access API, through the file input and a download, and by
// dropping a file on the page.

import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launch, open, press, programText } from './harness.mjs';

const cp1250 = { ř: 0xf8, í: 0xed, š: 0x9a, ž: 0x9e, ť: 0x9d, č: 0xe8, ý: 0xfd, ů: 0xf9, ň: 0xf2 };
const windows1250 = (text) => Buffer.from([...text].map((c) => cp1250[c] ?? c.charCodeAt(0)));
const files = [
  { name: 'grusse.cv', bytes: Buffer.from('// Grüße, 3 €\r\nSET 1\r\nOUTPUT\r\n', 'utf8'), shown: '// Grüße, 3 €' },
  { name: 'kun.cv', bytes: windows1250('// Příliš žluťoučký kůň\r\nSET 1\r\nOUTPUT'), shown: '// Příliš žluťoučký kůň' },
];

let session;
let dir;
before(async () => {
  session = await launch();
  dir = mkdtempSync(join(tmpdir(), 'corvane-files-'));
});
after(async () => {
  await session.close();
  rmSync(dir, { recursive: true, force: true });
});

async function caption(page) {
  return page.$eval('h1', (e) => e.textContent);
}

// Stand-ins for the browser's pickers: the test hands the bytes to open and
// reads back what Save wrote.
function fakePickers() {
  window.written = {};
  const handle = (name) => ({
    name,
    kind: 'file',
    getFile: async () => new File([new Uint8Array(window.toOpen)], name),
    createWritable: async () => {
      const parts = [];
      return {
        write: async (data) => parts.push(...new Uint8Array(data instanceof Blob ? await data.arrayBuffer() : data)),
        close: async () => (window.written[name] = parts),
      };
    },
  });
  window.showOpenFilePicker = async () => [handle(window.toOpenName)];
  window.showSaveFilePicker = async (options) => handle(options.suggestedName);
}

test('Open and Save through the file system access keep the bytes', async () => {
  const page = await open(session, { before: fakePickers });
  for (const file of files) {
    await page.evaluate((name, bytes) => Object.assign(window, { toOpenName: name, toOpen: bytes }), file.name, [...file.bytes]);
    await press(page, 'Open');
    await page.waitForFunction((n) => document.querySelector('h1').textContent === `${n} - Corvane 1.4.beta`, {}, file.name);
    assert.equal((await programText(page)).split('\n')[0], file.shown);
    await page.keyboard.down('Control');
    await page.keyboard.press('s');
    await page.keyboard.up('Control');
    await page.waitForFunction((n) => window.written[n], {}, file.name);
    assert.deepEqual(Buffer.from(await page.evaluate((n) => window.written[n], file.name)), file.bytes, file.name);
    assert.equal(await page.$eval('#modified', (e) => e.hidden), true);
  }
  await page.close();
});

test('without file system access: the file input, a dropped file and a download keep the bytes', async () => {
  const page = await open(session, { before: () => Object.assign(window, { showOpenFilePicker: undefined, showSaveFilePicker: undefined }) });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: dir });
  const [typed, dropped] = files;

  writeFileSync(join(dir, typed.name), typed.bytes);
  const [chooser] = await Promise.all([page.waitForFileChooser(), press(page, 'Open')]);
  await chooser.accept([join(dir, typed.name)]);
  await page.waitForFunction((n) => document.querySelector('h1').textContent.startsWith(n), {}, typed.name);
  rmSync(join(dir, typed.name));

  await page.evaluate((name, bytes) => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(bytes)], name));
    for (const type of ['dragenter', 'dragover', 'drop']) window.dispatchEvent(new DragEvent(type, { dataTransfer: data, bubbles: true, cancelable: true }));
  }, dropped.name, [...dropped.bytes]);
  await page.waitForFunction((n) => document.querySelector('h1').textContent.startsWith(n), {}, dropped.name);
  assert.equal((await programText(page)).split('\n')[0], dropped.shown);
  assert.equal(await caption(page), `${dropped.name} - Corvane 1.4.beta`);

  await press(page, 'Save');
  const path = join(dir, dropped.name);
  for (let i = 0; i < 100 && !readdirSync(dir).includes(dropped.name); ++i) await new Promise((r) => setTimeout(r, 50));
  assert.deepEqual(readFileSync(path), dropped.bytes);
  await page.close();
});
