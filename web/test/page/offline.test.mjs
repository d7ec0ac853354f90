// The site served from a sub-path by a plain static server: Chromium finds
// it installable; after the first visit it loads and runs with the network
// cut; a new version published on the server replaces the cached one on the
// next visit, and the student's work stays through all of it.

import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { hostSite, importTs, launch, open, output, press, programText, ready, typeProgram, waitState } from './harness.mjs';

let session;
let host;
before(async () => {
  session = await launch();
  host = await hostSite({ prefix: 'school/corvane' });
});
after(async () => {
  host?.close();
  await session.close();
});

const program = 'SET 6\nMUL 7\nOUTPUT';

async function reloadAndRun(page, offline) {
  await page.setOfflineMode(offline);
  await page.reload();
  await ready(page);
  assert.equal(await programText(page), program);
  await press(page, 'Run');
  await waitState(page, 'finished');
  assert.equal(await output(page), '42 ');
}

const cacheNames = (page) => page.evaluate(() => caches.keys());

test('installable from a sub-path; offline after one visit; a new version replaces the cached one; the work stays', async () => {
  const page = await open(session, { url: host.url });
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 20000 });
  const cdp = await page.createCDPSession();
  assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  const manifest = JSON.parse(readFileSync(join(host.dir, 'manifest.webmanifest'), 'utf8'));
  assert.equal(manifest.display, 'standalone');
  for (const icon of manifest.icons) {
    const png = readFileSync(join(host.dir, icon.src));
    assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, icon.sizes, icon.src);
  }
  await typeProgram(page, program);
  await new Promise((r) => setTimeout(r, 700));
  await reloadAndRun(page, true);
  const [first] = await cacheNames(page);

  // A new version on the server: the next visit shows it, and the cache then
  // holds it alone, for the visit after that without a network.
  const index = join(host.dir, 'index.html');
  writeFileSync(index, readFileSync(index, 'utf8').replace('<title>', '<meta name="version" content="new">\n<title>'));
  const worker = join(host.dir, 'sw.js');
  writeFileSync(worker, readFileSync(worker, 'utf8').replace(/"[0-9a-f]{16}"/, '"0000000000000001"'));
  await reloadAndRun(page, false);
  assert.equal(await page.$eval('meta[name="version"]', (m) => m.content), 'new');
  await page.waitForFunction((old) => caches.keys().then((names) => names.length === 1 && names[0] !== old), { timeout: 20000 }, first);
  assert.deepEqual(await cacheNames(page), ['corvane-0000000000000001']);
  await reloadAndRun(page, true);
  assert.equal(await page.$eval('meta[name="version"]', (m) => m.content), 'new');

  // Offline still, an assignment link opens and its suite runs.
  const { linkFragment } = await importTs('src/page/links.ts');
  const suite = '[[case]]\nname = "answer"\noutput = "42"\n';
  await page.goto(host.url + linkFragment({ kind: 'assignment', title: 'Offline', task: '', name: 'a.cv', program, suite }));
  await page.waitForFunction(() => document.querySelector('#assignment h2').textContent === 'Offline');
  await press(page, 'Check');
  await page.waitForFunction(() => document.getElementById('check-summary').textContent === '1 of 1 passed, 1 of 1 points');
  await page.setOfflineMode(false);
  await page.close();
});
