// Check in the page: two examples' suites against the example and a wrong
// program give corvane-run's verdicts; a failing case traces with its input
// in one action; Check leaves the program and the input alone, runs beside
// the student's runs and stops at once; axe finds no serious fault in the
// Check view.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { axeViolations, control, onePage, output, press, programText, typeInput, typeProgram, waitState } from './harness.mjs';

const examples = new URL('../../../examples/', import.meta.url);
const example = (name) => readFileSync(new URL(name, examples), 'utf8').replace(/\r\n/g, '\n');
const runner = process.env.CORVANE_RUN ?? new URL('../../../build/corvane-run', import.meta.url).pathname;

const { page } = await onePage();
const dir = mkdtempSync(join(tmpdir(), 'corvane-check-'));
after(() => rmSync(dir, { recursive: true, force: true }));

async function loadExample(name) {
  await press(page, 'Examples');
  await (await page.waitForSelector(`dialog[open] button::-p-text(${name}.cv)`)).click();
  await page.waitForFunction((n) => document.querySelector('h1').textContent.startsWith(`${n}.cv `), {}, name);
}

async function check(summary = / passed, /) {
  await page.keyboard.down('Control');
  await page.keyboard.press('F9');
  await page.keyboard.up('Control');
  await page.waitForFunction((p) => new RegExp(p).test(document.getElementById('check-summary').textContent), {}, summary.source);
}

// Each case as the Check view shows it: the option's words and the details.
async function shownCases() {
  const rows = await page.$$('#check-cases [role="option"]');
  const cases = [];
  for (const row of rows) {
    await row.click();
    cases.push({ row: await row.evaluate((e) => e.textContent), details: await page.$eval('aria/Case details', (e) => e.value) });
  }
  return cases;
}

function nativeReport(name, program) {
  const file = join(dir, `${name}.cv`);
  writeFileSync(file, program);
  const report = execFileSync(runner, ['--suite', new URL(`${name}.cvtest`, examples).pathname, '--format', 'json', '--exit-zero', file]);
  return JSON.parse(report).programs[0];
}

const programs = [
  ['sum', example('sum.cv')],
  ['sum', example('sum.cv').replace(/OUTPUT\n$/, 'ADD 1\n        OUTPUT\n')], // one too many
  ['sort', example('sort.cv')],
  ['sort', example('sort.cv').replace('PUSH spare ', 'PUSH spares')], // an unknown stack
];

test('Check gives corvane-run’s verdicts, points, steps and errors', async () => {
  for (const [name, program] of programs) {
    await loadExample(name);
    await typeProgram(page, program);
    await check();
    const native = nativeReport(name, program);
    const shown = await shownCases();
    assert.equal(await page.$eval('#check-summary', (e) => e.textContent), `${native.passed} of ${native.cases.length} passed, ${native.score} of ${native.max_score} points`);
    assert.equal(shown.length, native.cases.length);
    native.cases.forEach((c, i) => {
      const what = `${name}: ${c.name}`;
      assert.equal(shown[i].row, `${c.status === 'passed' ? 'PASS' : 'FAIL'} ${c.name} ${c.score}/${c.max_score}`, what);
      if (shown[i].details.includes('(a hidden case: its data is not shown)')) return assert.doesNotMatch(shown[i].details, /Input:/, what);
      assert.match(shown[i].details, new RegExp(`^Steps: +${c.steps}$`, 'm'), what);
      if (c.error) assert.match(shown[i].details, new RegExp(`^Error: +line ${c.error.line}, column ${c.error.col}: ${c.error.message.replace(/\./g, '\\.')}$`, 'm'), what);
    });
    await page.keyboard.press('Escape');
  }
  // The wrong sum's first case: its difference marked under the value.
  await loadExample('sum');
  await typeProgram(page, programs[1][1]);
  await check();
  assert.equal(
    await page.$eval('aria/Case details', (e) => e.value),
    ['Result:   failed: wrong output', 'Input:    1 2 3', 'Expected: 6', 'Actual:   7', '          ^ first difference', 'Steps:    19', ''].join('\n'),
  );
  assert.deepEqual(await axeViolations(page), [], 'Check view');
  await page.keyboard.press('Escape');
});

test('a failing case traces with its input in one action; the program and the input field stay', async () => {
  await typeInput(page, '7 8');
  const before = { program: await programText(page), earlier: await page.$eval('#earlier', (e) => e.options.length) };
  await check();
  // The hidden case cannot be traced: its data is not shown.
  await page.click('#check-cases [role="option"]:last-child');
  assert.equal(await page.$eval('aria/Trace[role="button"]', (b) => b.closest('dialog') !== null && b.disabled), true);
  await page.keyboard.press('Enter');
  assert.equal(await page.$eval('#check-dialog', (d) => d.open), true);

  await (await page.$('#check-cases [role="option"]:nth-child(2)')).click({ count: 2 });
  await waitState(page, 'paused at line 3');
  assert.equal(await page.$eval('#check-dialog', (d) => d.open), false);
  assert.equal(await page.$eval('#inputs', (e) => e.textContent.trim()), '-5 5 100 (0 of 3 read)');
  await page.keyboard.press('F9');
  await waitState(page, 'finished');
  assert.equal(await output(page), '101 ');
  assert.equal(await programText(page), before.program);
  assert.equal(await page.$eval('aria/Input values[role="textbox"]', (e) => e.value), '7 8');
  assert.equal(await page.$eval('#earlier', (e) => e.options.length), before.earlier);
  await control(page, 'Run');
});

test('a check runs beside the student’s runs, and its Stop ends even a long case at once', async () => {
  const drop = (name, text) =>
    page.evaluate((n, t) => {
      const data = new DataTransfer();
      data.items.add(new File([t], n));
      window.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, name, text);
  await drop('spin.cv', ':top GOTO top\r\n');
  await page.waitForFunction(() => document.querySelector('h1').textContent.startsWith('spin.cv'));
  await drop('spin.cvtest', '[[case]]\nname = "long"\noutput = "1"\nmax-steps = 1000000000000\ntimeout = 60\n');
  await page.waitForFunction(() => /Check will run/.test(document.getElementById('notice').textContent));
  await check(/^Checking \.\.\.$/);
  await page.keyboard.press('Escape');
  await press(page, 'Run');
  await waitState(page, 'running');
  await press(page, 'Break');
  await waitState(page, 'paused at line 1', 3000);
  await press(page, 'Stop');
  await check(/^Checking \.\.\.$/);
  await (await page.$('dialog[open] ::-p-aria(Stop[role="button"])')).click();
  await page.waitForFunction(() => document.getElementById('check-summary').textContent === 'Stopped: 0 cases run', { timeout: 1000 });
  await page.keyboard.press('Escape');
});
