// Help, examples, Check and About: the guide at the keyword under the caret,
// its search and its examples, a bundled example with its test suite.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { control, onePage, output, press, programText, typeProgram, waitState } from './harness.mjs';

const { page } = await onePage();

test('Shift+F1 opens the guide at the keyword; search; an example loads and runs', async () => {
  await typeProgram(page, 'SET 1\nOUTPUT');
  await page.keyboard.down('Shift');
  await page.keyboard.press('F1');
  await page.keyboard.up('Shift');
  const guide = await control(page, 'Language Guide - Corvane 1.4.beta', 'dialog');
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'OUTPUT');
  // Help says what a browser cannot hide.
  assert.match(await guide.evaluate((d) => d.textContent), /a curious student can read it\. Grades are therefore given with corvane-run/);

  const search = await control(page, 'Search the guide', 'searchbox');
  await search.type('division by zero');
  await page.waitForFunction(() => /of \d+$/.test(document.getElementById('guide-found').textContent));
  await page.keyboard.press('F3');
  assert.match(await page.$eval('#guide-found', (e) => e.textContent), /^2 of \d+$/);
  await search.click({ count: 3 });
  await search.type('no such words here');
  await page.waitForFunction(() => document.getElementById('guide-found').textContent === 'Not found');

  await (await guide.$('button[data-load]')).click();
  assert.equal(await guide.evaluate((d) => d.open), false);
  assert.match(await programText(page), /^\/\/ Reads two numbers and prints their sum\./);
  assert.equal(await page.$eval('aria/Input values[role="textbox"]', (e) => e.value), '3 4');
  await page.keyboard.press('F9');
  await waitState(page, 'finished');
  assert.equal(await output(page), '7 ');
});

test('an example comes with its suite, which Check runs; About names the program', async () => {
  await press(page, 'Examples');
  await (await page.waitForSelector('dialog[open] button::-p-text(gcd.cv)')).click();
  await page.waitForFunction(() => document.querySelector('h1').textContent === 'gcd.cv - Corvane 1.4.beta');
  await page.keyboard.down('Control');
  await page.keyboard.press('F9');
  await page.keyboard.up('Control');
  await control(page, 'Check - gcd.cvtest', 'dialog');
  await page.waitForFunction(() => /passed/.test(document.getElementById('check-summary').textContent));
  assert.equal(await page.$$eval('#check-cases .fail', (cells) => cells.length), 0);
  await page.keyboard.press('Escape');

  await page.keyboard.press('F1');
  const about = await control(page, 'Corvane 1.4.beta', 'dialog');
  assert.match(await about.evaluate((d) => d.textContent), /A teaching environment for a stack machine/);
  await (await control(page, 'Ok')).click();
  assert.equal(await about.evaluate((d) => d.open), false);
});
