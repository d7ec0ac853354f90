// What the user gets wrong comes back as corvane-run's message, and nothing
// the worker is asked throws out of the module.
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { Controller, Worker, newEngine, runNative } from './support.mjs';

const worker = await Worker.create();

test('a bad suite gives corvane-run message and place', async (t) => {
  const dir = mkdtempSync(path.join(tmpdir(), 'corvane-wasm-'));
  t.after(() => rmSync(dir, { recursive: true }));
  const program = path.join(dir, 'p.cv');
  writeFileSync(program, 'OUTPUT\r\n');
  const table = [
    ['not TOML', '[[case]\nname = "a"\n'],
    ['no case', '# nothing\n'],
    ['an unknown key', '[[case]]\nname = "a"\noutput = "1"\npoint = 2\n'],
    ['no outcome', '[[case]]\nname = "a"\ninput = "1"\n'],
    ['a bad pattern', '[[case]]\nname = "a"\noutput = "(("\ncompare = "regex"\n'],
  ];
  for (const [name, text] of table) {
    const suite = path.join(dir, 'bad.cvtest');
    writeFileSync(suite, text);
    const native = runNative(['--suite', suite, program]);
    assert.equal(native.code, 2, name);
    const answer = worker.next('suiteError', 'suiteDone');
    worker.send({ kind: 'suite', id: 7, suite: text, suiteName: suite, program: 'OUTPUT' });
    assert.deepEqual(await answer, { kind: 'suiteError', id: 7, message: native.err.trimEnd() }, name);
  }
});

test('bad input ends the run before it begins, as corvane-run refuses it', async () => {
  for (const input of ['1 x 2', '3 ž', '1,2']) {
    const native = runNative(['--input', input, 'examples/sum.cv']);
    const [, column, message] = native.err.match(/^input:(\d+): (.*)$/m);
    const { event } = await worker.settle({ kind: 'start', text: 'INPUT e\r\n:e', input, mode: 'run', cursorLine: 0 });
    assert.equal(event.ending, 'inputError');
    assert.equal(event.message, message);
    assert.deepEqual([event.error.line, event.error.column, event.error.pos], [1, Number(column), Number(column) - 1]);
  }
});

test('calls out of turn answer faults, never throw', async () => {
  const { engine } = await Worker.create();
  for (const call of [
    () => engine.pause(),
    () => engine.ending(),
    () => engine.stackSlice(0, 0, 5),
    () => engine.suiteCase(0),
    () => engine.suiteSummary(),
  ])
    assert.ok('fault' in call(), call.toString());
  assert.equal(engine.go(100), -1);
  engine.suite('[[case]]\nname = "a"\noutput = ""\n', 's', '');
  assert.ok('fault' in engine.suiteCase(1));
  engine.start('SET 1\r\nPUSH\r\n', '', 'trace', 0);
  assert.deepEqual(engine.stackSlice(5, 0, 1), []);
  assert.deepEqual(engine.stackSlice(0, -1, 1), []);
  // A command with no run, or after the run's end, is answered by nothing.
  const fresh = await Worker.create();
  fresh.send({ kind: 'continue' });
  const { event } = await fresh.settle({ kind: 'start', text: 'EXIT\r\n', input: '', mode: 'run', cursorLine: 0 });
  fresh.send({ kind: 'stop' });
  await new Promise((resolve) => setTimeout(resolve, 20));
  assert.deepEqual(fresh.events, [event]);
});

test('a module that traps answers the run with the failure and is replaced', async () => {
  const engine = await newEngine();
  engine.go = () => {
    throw new WebAssembly.RuntimeError('memory access out of bounds');
  };
  const events = [];
  let replaced = 0;
  const controller = new Controller(engine, {
    post: (e) => events.push(e),
    schedule: (task) => setImmediate(task),
    now: () => performance.now(),
    replace: () => replaced++,
  });
  controller.handle({ kind: 'start', text: 'SET 1\r\n', input: '', mode: 'run', cursorLine: 0 });
  await new Promise((resolve) => setTimeout(resolve, 20));
  controller.handle({ kind: 'check', id: 1, text: '' });
  assert.deepEqual(events.map((e) => [e.kind, e.message]), [['ended', 'memory access out of bounds']]);
  assert.equal(replaced, 1);
});
