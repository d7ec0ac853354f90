// The run control through the worker's controller: Break and Stop between
// slices, output in batches, Trace, Next and Back, stop lines, and what a
// pause shows.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Worker } from './support.mjs';

const worker = await Worker.create();
const lines = (...l) => l.join('\r\n') + '\r\n';
const start = (text, mode = 'run', extra = {}) =>
  worker.settle({ kind: 'start', text, input: '', mode, cursorLine: 0, ...extra });

test('Break and Stop end an endless loop', async () => {
  const progress = worker.next('progress');
  worker.send({ kind: 'start', text: lines(':a ADD 1', 'GOTO a'), input: '', mode: 'run', cursorLine: 0 });
  assert.ok((await progress).steps > 0);
  const { event: paused } = await worker.settle({ kind: 'break' });
  assert.equal(paused.kind, 'paused');
  assert.ok([1, 2].includes(paused.pause.line));
  assert.equal(paused.pause.wr, (paused.pause.steps + 1) >> 1);
  const going = worker.next('progress');
  worker.send({ kind: 'continue' });
  await going;
  const { event: ended } = await worker.settle({ kind: 'stop' });
  assert.equal(ended.ending, 'stopped');
  assert.ok(ended.steps > paused.pause.steps);
});

test('a printing loop streams its output in batches, none lost', async () => {
  const from = worker.events.length;
  worker.send({ kind: 'start', text: lines('SET -7', ':a OUTPUT', 'GOTO a'), input: '', mode: 'run', cursorLine: 0 });
  while (worker.events.slice(from).filter((e) => e.kind === 'output').length < 3) await worker.next('output');
  const { event } = await worker.settle({ kind: 'break' });
  const text = worker.events.slice(from).filter((e) => e.kind === 'output').map((e) => e.text).join('');
  assert.equal(text, '-7 '.repeat(event.pause.outputs));
  assert.equal((await worker.settle({ kind: 'stop' })).event.ending, 'stopped');
});

test('Trace, Next and Back', async () => {
  const program = lines('SET 1', 'OUTPUT', 'ADD 1', 'OUTPUT', 'EXIT');
  let { event } = await start(program, 'trace');
  assert.deepEqual([event.pause.line, event.pause.steps, event.pause.canBack], [1, 0, false]);
  let output = '';
  for (const line of [2, 3, 4, 5]) {
    const r = await worker.settle({ kind: 'next' });
    output += r.output;
    assert.equal(r.event.pause.line, line);
  }
  assert.equal(output, '1 2 ');
  // Back replays the run to one command before: the output starts over.
  const back = await worker.settle({ kind: 'back' });
  assert.deepEqual(back.events.map((e) => e.kind), ['restart', 'output', 'paused']);
  assert.equal(back.output, '1 ');
  assert.deepEqual([back.event.pause.line, back.event.pause.steps], [4, 3]);
  ({ event } = await worker.settle({ kind: 'continue' }));
  assert.deepEqual([event.ending, event.steps], ['finished', 5]);
});

test('stop lines: <BREAK>, a check mark set at a pause, the cursor line', async () => {
  const program = lines('SET 1', 'ADD 1 // <Break>', 'ADD 1', 'ADD 1', 'ADD 1', 'OUTPUT');
  let { event } = await start(program);
  assert.deepEqual([event.pause.line, event.pause.wr], [2, 1]);
  worker.send({ kind: 'setStop', line: 5, on: true });
  ({ event } = await worker.settle({ kind: 'continue' }));
  assert.deepEqual([event.pause.line, event.pause.wr], [5, 4]);
  ({ event } = await worker.settle({ kind: 'continue' }));
  assert.equal(event.ending, 'finished');
  ({ event } = await start(program.replace('<Break>', ''), 'cursor', { cursorLine: 4 }));
  assert.deepEqual([event.pause.line, event.pause.wr], [4, 3]);
  assert.equal((await worker.settle({ kind: 'stop' })).event.ending, 'stopped');
});

test('a pause shows the machine; a deep stack comes in slices', async () => {
  const program = lines('STACK A B', 'INPUT none', 'PUSH A', ':none ADD 1', 'PUSH', 'SET 1500', ':loop PUSH',
    'SUB 1', 'IF ZERO GOTO end', 'GOTO loop', ':end EXIT');
  let { event } = await worker.settle({ kind: 'start', text: program, input: '-5 6', mode: 'cursor', cursorLine: 6 });
  let p = event.pause;
  assert.deepEqual([p.line, p.wr, p.nextInput, p.inputs, p.inputPosition], [6, 4294967292, 6, [-5, 6], 1]);
  assert.deepEqual(p.stacks, [
    { name: 'B', depth: 0, values: [] },
    { name: 'A', depth: 1, values: [-5] },
    { name: '', depth: 1, values: [-4] },
  ]);
  ({ event } = await worker.settle({ kind: 'next' }));
  p = event.pause;
  assert.deepEqual(p.changed, { wr: true, input: false, outputs: false, stacks: [false, false, false] });
  assert.match(p.changes, /WR was -4/);
  worker.send({ kind: 'setStop', line: 11, on: true });
  ({ event } = await worker.settle({ kind: 'continue' }));
  const primary = event.pause.stacks[2];
  assert.deepEqual([primary.depth, primary.values.length, primary.values[0], primary.values[999]], [1501, 1000, 1, 1000]);
  const slice = worker.next('stackSlice');
  worker.send({ kind: 'stackSlice', id: 3, stack: 2, from: 1000, count: 600 });
  const { values } = await slice;
  assert.deepEqual([values.length, values[0], values.at(-1)], [501, 1001, -4]);
  assert.equal((await worker.settle({ kind: 'stop' })).event.ending, 'stopped');
});
