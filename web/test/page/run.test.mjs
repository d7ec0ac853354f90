// A student's runs, driven by keys and clicks: run with input, trace with Next
// and Back through INPUT and OUTPUT, breakpoints from the gutter, Run To
// Cursor, Break and Stop in an endless loop, errors in the program and in the
// input.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { control, onePage, output, press, programText, typeInput, typeProgram, waitState } from './harness.mjs';

const { page } = await onePage();

const sum = '// Reads two numbers and prints their sum.\nINPUT end\nPUSH\nINPUT end\nADD\nOUTPUT\n:end';

test('a program and its input run to the output; the input is remembered', async () => {
  await typeProgram(page, sum);
  await typeInput(page, '3 4');
  await press(page, 'Run');
  assert.equal(await waitState(page, 'finished'), 'finished');
  assert.equal(await output(page), '7 ');
  const earlier = await (await control(page, 'Earlier inputs', 'combobox')).evaluate((e) => [...e.options].map((o) => o.value));
  assert.ok(earlier.includes('3 4'));
  // Enter in the input field runs again.
  await typeInput(page, '10 -3');
  await page.keyboard.press('Enter');
  await waitState(page, 'finished');
  assert.equal(await output(page), '7 ');
});

test('Trace, Next and Back step through INPUT and OUTPUT with keys alone', async () => {
  await typeProgram(page, ':next INPUT end\nOUTPUT\nGOTO next\n:end');
  await typeInput(page, '10 -3');
  await page.focus('.cm-content');
  const machine = async () => [await page.$eval('#wr', (e) => e.textContent), await page.$eval('#next-input', (e) => e.textContent), await output(page)];
  await page.keyboard.press('F8');
  assert.equal(await waitState(page, 'paused at line 1'), 'paused at line 1');
  assert.deepEqual(await machine(), ['WR: 0 (0x00000000)', 'In: 10', '']);
  await page.keyboard.press('F8');
  await waitState(page, 'paused at line 2');
  assert.deepEqual(await machine(), ['WR: 10 (0x0000000A)', 'In: -3', '']);
  await page.keyboard.press('F8');
  await waitState(page, 'paused at line 3');
  assert.equal(await output(page), '10 ');
  await page.keyboard.press('F8');
  await waitState(page, 'paused at line 1');
  await page.keyboard.press('F8');
  await waitState(page, 'paused at line 2');
  assert.deepEqual(await machine(), ['WR: -3 (0xFFFFFFFD)', 'In: EMPTY', '10 ']);
  // Back: the pause one command earlier, the output as it was then.
  await page.keyboard.press('F7');
  await waitState(page, 'paused at line 1');
  assert.deepEqual(await machine(), ['WR: 10 (0x0000000A)', 'In: -3', '10 ']);
  await page.keyboard.press('F7');
  await waitState(page, 'paused at line 3');
  await page.keyboard.press('F7');
  await waitState(page, 'paused at line 2');
  assert.deepEqual(await machine(), ['WR: 10 (0x0000000A)', 'In: -3', '']);
  assert.match(await page.$eval('#steps', (e) => e.textContent), /^1$/);
  // The paused line is banded in the editor.
  assert.equal(await page.$eval('.cv-paused', (e) => e.textContent), 'OUTPUT');
  await page.keyboard.press('F9');
  await waitState(page, 'finished');
  assert.equal(await output(page), '10 -3 ');
  assert.equal(await page.$('.cv-paused'), null);
});

test('breakpoints from the gutter and Ctrl+B are one undoable edit each; Run To Cursor pauses at the caret', async () => {
  // Enter keeps no indentation, as on the desktop: the text arrives as typed.
  const program = 'SET 1\n\tSET 2\nSET 3\nOUTPUT';
  await typeProgram(page, program);
  const numbers = await page.$$('.cm-lineNumbers .cm-gutterElement');
  // The first element is the gutter's spacer.
  await numbers[3].click();
  assert.equal(await programText(page), 'SET 1\n\tSET 2\nSET 3 // <BREAK>\nOUTPUT');
  await page.keyboard.press('F9');
  await waitState(page, 'paused at line 3');
  await page.keyboard.press('F9');
  await waitState(page, 'finished');
  assert.equal(await output(page), '3 ');
  await page.focus('.cm-content');
  await page.keyboard.down('Control');
  await page.keyboard.press('z');
  await page.keyboard.up('Control');
  assert.equal(await programText(page), program);
  // Ctrl+B on the caret's line, then Run To Cursor from the second line.
  await page.click('.cm-line:nth-child(4)');
  await page.keyboard.down('Control');
  await page.keyboard.press('b');
  await page.keyboard.up('Control');
  assert.equal(await programText(page), 'SET 1\n\tSET 2\nSET 3\nOUTPUT // <BREAK>');
  await page.click('.cm-line:nth-child(2)');
  await page.keyboard.press('F4');
  await waitState(page, 'paused at line 2');
  // A breakpoint set during the pause acts at once.
  await numbers[3].click();
  await press(page, 'Continue');
  await waitState(page, 'paused at line 3');
  await press(page, 'Continue');
  await waitState(page, 'paused at line 4');
  await press(page, 'Stop');
  await waitState(page, 'stopped');
  assert.equal(await output(page), '');
});

test('every stack is shown in full: the values below the first thousand on demand', async () => {
  await typeProgram(page, 'SET 1500\n:loop PUSH\nSUB 1\nIF ZERO GOTO end\nGOTO loop\n:end OUTPUT // <BREAK>');
  await page.keyboard.press('F9');
  await waitState(page, 'paused at line 6');
  const stack = () => page.$eval('aria/Stacks', (e) => e.querySelector('li').textContent);
  assert.match(await stack(), /^Primary Stack: 1,2,3,.*,1000Show more \(500 below\)$/);
  await press(page, 'Show more (500 below)');
  await page.waitForFunction(() => document.querySelector('#stacks li').textContent.endsWith(',1500'));
  assert.equal((await stack()).split(',').length, 1500);
  await press(page, 'Stop');
  await waitState(page, 'stopped');
});

test('Break and Stop act in an endless loop, and the page stays responsive', async () => {
  await typeProgram(page, ':top ADD 1\nGOTO top');
  await page.keyboard.press('F9');
  await waitState(page, 'running');
  await new Promise((r) => setTimeout(r, 300));
  // The page answers while the machine runs.
  assert.equal(await page.evaluate(() => 1 + 1), 2);
  await press(page, 'Break');
  assert.match(await waitState(page, /^paused at line [12]$/), /paused/);
  const steps = Number(await page.$eval('#steps', (e) => e.textContent));
  assert.ok(steps > 1000, `steps ${steps}`);
  await press(page, 'Continue');
  await waitState(page, 'running');
  await page.keyboard.down('Control');
  await page.keyboard.press('F2');
  await page.keyboard.up('Control');
  assert.equal(await waitState(page, 'stopped'), 'stopped');
  assert.ok(await page.$eval('aria/Run[role="button"]', (b) => !b.disabled));
});

test('an endless printing loop ends at the output limit, its last values shown', async () => {
  await typeProgram(page, ':top OUTPUT\nGOTO top');
  await page.keyboard.press('F9');
  assert.equal(await waitState(page, /^Output limit/, 120000), 'Output limit reached: the run was stopped after 16777216 values ...');
  assert.match(await output(page), /^… (0 )+$/);
});

test('a parse error selects its character; a bad input character is selected in the input field', async () => {
  await typeProgram(page, 'SET 1\nPUSH 5\nOUTPUT');
  // The live check names it, with the guide's explanation.
  await page.waitForSelector('#problem:not([hidden])');
  assert.match(await page.$eval('#problem', (e) => e.textContent), /^Line 2: Illegal stack identificator \.\.\.What it means\./);
  assert.equal(await page.$eval('.cv-error-word', (e) => e.textContent), '5');
  await press(page, 'Run');
  assert.equal(await waitState(page, 'Illegal stack identificator ...'), 'Illegal stack identificator ...');
  assert.equal(await page.evaluate(() => document.getSelection().toString()), '5');

  await typeProgram(page, 'INPUT end\n:end');
  await typeInput(page, '12 x3');
  await press(page, 'Run');
  assert.equal(await waitState(page, 'Unrecognized character ...'), 'Unrecognized character ...');
  const input = await control(page, 'Input values', 'textbox');
  assert.deepEqual(await input.evaluate((e) => [document.activeElement === e, e.selectionStart, e.selectionEnd, e.getAttribute('aria-invalid')]), [true, 3, 4, 'true']);
});
