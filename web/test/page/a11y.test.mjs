// axe-core finds no serious or critical violation in the editor (light and
// dark), a paused run and the guide; the keyboard leaves the editor.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { axeViolations, control, onePage, press, programText, typeInput, typeProgram, waitState } from './harness.mjs';

const { page } = await onePage();

test('the editor, a paused run and the guide pass axe, light and dark', async () => {
  await typeProgram(page, 'STACK s\n:top INPUT end // <BREAK>\nPUSH s\nSET bad\nGOTO top\n:end');
  await page.waitForSelector('#problem:not([hidden])');
  for (const dark of [false, true]) {
    const pressed = await page.$eval('#dark', (b) => b.getAttribute('aria-pressed') === 'true');
    if (pressed !== dark) await press(page, 'Dark');
    assert.deepEqual(await axeViolations(page), [], `editor, dark ${dark}`);
  }
  await typeProgram(page, 'STACK s\n:top INPUT end // <BREAK>\nPUSH s\nGOTO top\n:end');
  await typeInput(page, '1 2 3');
  await press(page, 'Trace');
  await waitState(page, 'paused at line 1');
  await press(page, 'Continue');
  await waitState(page, 'paused at line 2');
  await press(page, 'Next');
  await waitState(page, 'paused at line 3');
  assert.deepEqual(await axeViolations(page), [], 'paused run');
  await press(page, 'Stop');
  await press(page, 'Help');
  await control(page, 'Language Guide - Corvane 1.4.beta', 'dialog');
  assert.deepEqual(await axeViolations(page), [], 'guide');
  await page.keyboard.press('Escape');
});

test('Tab types a tab in the editor; Esc and Tab leave it', async () => {
  await typeProgram(page, 'SET 1');
  await page.keyboard.press('Tab');
  assert.equal(await programText(page), 'SET 1\t');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.closest('.cm-editor') === null), true);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'input');
});
