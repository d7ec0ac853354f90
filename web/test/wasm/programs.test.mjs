// Every example and test program, and every example's suite: the module
// answers as corvane-run does (output, steps, errors and their places,
// verdicts).
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { Worker, read, runNative } from './support.mjs';

const worker = await Worker.create();

const programs = [
  ...readdirSync(new URL('../../../examples', import.meta.url)).map((f) => `examples/${f}`),
  ...readdirSync(new URL('../../../tests/programs', import.meta.url)).map((f) => `tests/programs/${f}`),
].filter((f) => f.endsWith('.cv'));

function inputOf(file) {
  const name = file.replace(/^.*\//, '').replace(/\.cv$/, '');
  for (const dir of ['tests/programs/examples', 'tests/programs'])
    if (existsSync(`${dir}/${name}.in`)) return read(`${dir}/${name}.in`).toString().trim();
  return '';
}

// What the page holds after opening the file.
function editorText(file) {
  return worker.engine.decode(read(file)).text;
}

// corvane-run's "FILE:LINE:COL: MESSAGE" as the protocol's error.
function nativeError(err, file) {
  const m = err.match(/^(.*?):(\d+):(\d+): (.*)$/m);
  assert.ok(m, `no error in ${err}`);
  assert.equal(m[1], file);
  return { line: Number(m[2]), column: Number(m[3]), message: m[4] };
}

for (const file of programs) {
  test(`run ${file}`, async () => {
    const input = inputOf(file);
    const native = runNative(['--steps', '--input', input, file]);
    const text = editorText(file);
    // corvane-run has no breakpoints: a "<BREAK>" line's pause is continued.
    let { event, output } = await worker.settle({ kind: 'start', text, input, mode: 'run', cursorLine: 0 });
    while (event.kind === 'paused') {
      const more = await worker.settle({ kind: 'continue' });
      ({ event } = more);
      output += more.output;
    }
    assert.equal(output === '' ? '' : `${output}\n`, native.out);
    assert.equal(`steps: ${event.steps}`, native.err.match(/^steps: \d+$/m)?.[0]);
    const checked = worker.engine.check(text);
    if (native.code === 0) {
      assert.equal(event.ending, 'finished');
      assert.equal(checked, null);
      return;
    }
    assert.equal(event.ending, 'failed');
    const expected = nativeError(native.err, file);
    const { line, column, message, key } = event.error;
    assert.deepEqual({ line, column, message }, expected);
    assert.equal(event.message, message);
    assert.equal(key, message); // no message of these shows a number
    // A parse or link error is the live check's too; a run error is not.
    const runError = ['Division by zero ...', 'Stack is empty! Cannot read value ...'].includes(message);
    assert.deepEqual(checked, runError ? null : event.error);
  });
}

// The fields of corvane-run's JSON report, in the protocol's names.
function nativeCase(c) {
  return {
    name: c.name,
    passed: c.status === 'passed',
    reason: c.reason ?? '',
    points: c.score,
    maxPoints: c.max_score,
    steps: c.steps,
    output: c.output,
    expected: c.expected,
    error: c.error && { line: c.error.line, column: c.error.col, message: c.error.message },
  };
}

// A timed-out case's steps are as many as the machine managed.
function comparable(c) {
  return c.reason === 'timeout' ? { ...c, steps: 0 } : c;
}

async function checkSuite(suiteFile, suiteText, programFile) {
  const native = JSON.parse(runNative(['--suite', suiteFile, '--format', 'json', programFile]).out);
  const id = Math.random();
  worker.send({ kind: 'suite', id, suite: suiteText, suiteName: suiteFile, program: editorText(programFile) });
  const done = await worker.next('suiteDone', 'suiteError');
  assert.equal(done.kind, 'suiteDone', done.message);
  const cases = worker.events.filter((e) => e.kind === 'case' && e.id === id).map((e) => e.result);
  const mine = cases.map(({ error, hidden, input, outputCut, outcome, compare, errorLine, ...r }) => ({
    ...r,
    error: error && { line: error.line, column: error.column, message: error.message },
  }));
  assert.deepEqual(mine.map(comparable), native.programs[0].cases.map(nativeCase).map(comparable));
  const passed = cases.filter((c) => c.passed).length;
  assert.equal(done.summary, `${passed} of ${cases.length} passed, ${native.programs[0].score} of ${native.programs[0].max_score} points`);
}

for (const suite of programs.filter((f) => f.startsWith('examples/'))) {
  const suiteFile = suite.replace(/\.cv$/, '.cvtest');
  test(`suite ${suiteFile}`, () => checkSuite(suiteFile, read(suiteFile).toString(), suite));
}

// Every verdict and comparison a suite can ask for.
test('suite verdicts', async () => {
  const dir = mkdtempSync(path.join(tmpdir(), 'corvane-wasm-'));
  const program = path.join(dir, 'verdicts.cv');
  const suite = path.join(dir, 'verdicts.cvtest');
  writeFileSync(program, [':read INPUT end', 'IF ZERO GOTO zero', 'IF NEG GOTO spin', 'OUTPUT', 'GOTO read',
    ':zero DIV 0', ':spin GOTO spin', ':end', ''].join('\r\n'));
  const cases = [
    ['echo', '1 2 3', 'output = "1 2 3"'],
    ['wrong', '1 2', 'output = "2 1"'],
    ['division', '0', 'error = "Division by zero"\nline = 6'],
    ['wrong line', '0', 'error = "Division"\nline = 2'],
    ['no error', '5', 'error = "Division"'],
    ['spins', '-1', 'step-limit = true\nmax-steps = 1000'],
    ['spins for output', '-1', 'output = "1"\nmax-steps = 1000'],
    ['slow', '-1', 'output = ""\nmax-steps = 1000000000000\ntimeout = 0.2'],
    ['regex', '12 34', 'output = "^12 3[0-9] *$"\ncompare = "regex"'],
    ['contains', '1 2 3 4', 'output = "2 3"\ncompare = "contains"'],
    ['exact', '7', 'output = "7"\ncompare = "exact"'],
    ['hidden', '4', 'output = "4"\nhidden = true\npoints = 3'],
    ['bad input', '1 x', 'output = "1"'],
  ];
  const text = cases.map(([name, input, rest]) => `[[case]]\nname = "${name}"\ninput = "${input}"\n${rest}\n`).join('\n');
  writeFileSync(suite, text);
  try {
    await checkSuite(suite, text, program);
    // What the page needs to show each case as the Check window does.
    const shown = worker.events.filter((e) => e.kind === 'case').slice(-cases.length).map(({ result: r }) => [r.outcome, r.compare, r.errorLine]);
    assert.deepEqual(shown.slice(2, 6), [['error', 'values', 6], ['error', 'values', 2], ['error', 'values', 0], ['step-limit', 'values', 0]]);
    assert.deepEqual(shown.slice(8, 11).map((s) => s[1]), ['regex', 'contains', 'exact']);
  } finally {
    rmSync(dir, { recursive: true });
  }
});
