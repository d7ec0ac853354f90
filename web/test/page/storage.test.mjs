// Nothing typed is lost: a reload restores the program, its name and the
// input; F5 does not reload over unsaved work; a replaced program waits under
// Recent.

import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launch, open, press, programText, typeInput, typeProgram } from './harness.mjs';

let session;
before(async () => (session = await launch()));
after(() => session.close());

test('a reload restores the work; F5 keeps it; New puts it under Recent', async () => {
  const page = await open(session);
  await typeProgram(page, 'SET 41\nADD 1\nOUTPUT');
  await typeInput(page, '5 6');
  await page.waitForFunction(() => localStorage.getItem('corvane.document')?.includes('5 6'));
  await page.reload();
  await page.waitForSelector('html[data-ready]');
  assert.equal(await programText(page), 'SET 41\nADD 1\nOUTPUT');
  assert.equal(await page.$eval('aria/Input values[role="textbox"]', (e) => e.value), '5 6');
  assert.equal(await page.$eval('h1', (e) => e.textContent), 'Untitled - Corvane 1.4.beta');
  assert.equal(await page.$eval('#modified', (e) => e.hidden), false);

  await page.evaluate(() => (window.stillHere = true));
  await page.focus('.cm-content');
  await page.keyboard.press('F5');
  await new Promise((r) => setTimeout(r, 300));
  assert.equal(await page.evaluate(() => window.stillHere), true);
  assert.match(await page.$eval('#notice', (e) => e.textContent), /not reloaded/);

  await press(page, 'New');
  assert.equal(await programText(page), '');
  await press(page, 'Recent');
  await (await page.waitForSelector('dialog[open] button::-p-text(SET 41)')).click();
  assert.equal(await programText(page), 'SET 41\nADD 1\nOUTPUT');
  await page.close();
});

test('two tabs on one program: the work of each is kept, under Recent if not in the editor', async () => {
  const settle = () => new Promise((r) => setTimeout(r, 700));
  const recent = async (page) => {
    await press(page, 'Recent');
    const listed = await page.$$eval('dialog[open] button', (buttons) => buttons.map((x) => x.textContent).join('|'));
    await page.keyboard.press('Escape');
    return listed;
  };
  const a = await open(session);
  await typeProgram(a, 'SET 1 // tab a');
  await settle();
  const b = await open(session);
  await typeProgram(b, 'SET 2 // tab b');
  await settle();
  await a.bringToFront();
  await typeProgram(a, 'SET 3 // tab a again');
  await settle();
  await b.bringToFront();
  assert.match(await recent(b), /SET 1 \/\/ tab a/);
  await a.bringToFront();
  assert.match(await recent(a), /SET 2 \/\/ tab b/);
  await a.close();
  await b.close();
});
