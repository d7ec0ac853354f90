// The machine in WebAssembly against corvane-run, in the same run:
//   node bench_worker.mjs WASM_BUILD CORVANE_RUN
// - the module's size (raw and gzipped);
// - the counting loop of 10^9 commands in the worker's slice loop (a Node
//   worker thread) and in corvane-run, and their ratio (goal: at least 0.5);
// - Break and Stop in an endless loop: from the request to the pause or the
//   end, as the page would see it (Node, and headless Chromium when there).
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';
import { gzipSync } from 'node:zlib';
import { latencyInChromium } from './chromium.mjs';

const [buildArg = 'build-wasm', runnerArg = 'build/corvane-run'] = process.argv.slice(2);
const web = path.resolve(buildArg, 'web');
const runner = path.resolve(runnerArg);
const here = path.dirname(fileURLToPath(import.meta.url));

// 1 + 3 * 333333333 + 1 + the end record = 1,000,000,001 commands.
const countingLoop = 'SET 333333333\r\n:loop SUB 1\r\nIF ZERO GOTO done\r\nGOTO loop\r\n:done OUTPUT\r\n';
const endless = ':a ADD 1\r\nGOTO a\r\n';

for (const f of ['corvane.wasm', 'corvane.js', 'worker.js']) {
  const bytes = readFileSync(path.join(web, f));
  console.log(`${f}: ${(bytes.length / 1024).toFixed(0)} KB, ${(gzipSync(bytes, { level: 9 }).length / 1024).toFixed(0)} KB gzipped`);
}

class ThreadWorker {
  constructor() {
    this.thread = new Worker(path.join(here, 'node_worker.mjs'), { workerData: { web } });
    this.listeners = [];
    this.thread.on('message', (e) => this.listeners.forEach((l) => l(e)));
  }
  next(...kinds) {
    return new Promise((resolve) => {
      const l = (e) => {
        if (!kinds.includes(e.kind)) return;
        this.listeners = this.listeners.filter((x) => x !== l);
        resolve(e);
      };
      this.listeners.push(l);
    });
  }
  send(request) {
    this.thread.postMessage(request);
  }
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Commands per second, of the wall time and of the CPU time.
async function wasmRate(worker) {
  const begun = performance.now();
  const ended = worker.next('ended');
  worker.send({ kind: 'start', text: countingLoop, input: '', mode: 'run', cursorLine: 0 });
  const e = await ended;
  return { wall: e.steps / ((performance.now() - begun) / 1000), cpu: e.steps / (e.cpuMs / 1000) };
}

function nativeRate(file) {
  const begun = performance.now();
  // bash's time: the child's user and system seconds.
  const r = spawnSync('bash', ['-c', 'TIMEFORMAT=%U+%S; time "$0" --steps --input "" "$1"', runner, file], {
    encoding: 'utf8',
  });
  const seconds = (performance.now() - begun) / 1000;
  if (r.status !== 0) throw new Error(`corvane-run: ${r.stderr}`);
  const steps = Number(r.stderr.match(/steps: (\d+)/)[1]);
  const [user, system] = r.stderr.trim().split('\n').at(-1).split('+').map(Number);
  return { wall: steps / seconds, cpu: steps / (user + system) };
}

const best = (a, b) => ({ wall: Math.max(a.wall, b.wall), cpu: Math.max(a.cpu, b.cpu) });

// Milliseconds from each Break to its pause and from each Stop to the end.
async function latency(worker, rounds) {
  const breaks = [];
  const stops = [];
  for (let i = 0; i < rounds; i++) {
    worker.send({ kind: 'start', text: endless, input: '', mode: 'run', cursorLine: 0 });
    await sleep(150 + 37 * i);
    let t = performance.now();
    const paused = worker.next('paused');
    worker.send({ kind: 'break' });
    await paused;
    breaks.push(performance.now() - t);
    worker.send({ kind: 'continue' });
    await sleep(150 + 23 * i);
    t = performance.now();
    const ended = worker.next('ended');
    worker.send({ kind: 'stop' });
    await ended;
    stops.push(performance.now() - t);
  }
  return { breaks, stops };
}

export function describe(ms) {
  const sorted = [...ms].sort((a, b) => a - b);
  return `median ${sorted[sorted.length >> 1].toFixed(1)} ms, worst ${sorted.at(-1).toFixed(1)} ms`;
}

const dir = mkdtempSync(path.join(tmpdir(), 'corvane-bench-'));
const file = path.join(dir, 'counting.cv');
writeFileSync(file, countingLoop);
const worker = new ThreadWorker();
await worker.next('ready');
let native = { wall: 0, cpu: 0 };
let wasm = { wall: 0, cpu: 0 };
for (let round = 0; round < 3; round++) {
  native = best(native, nativeRate(file));
  wasm = best(wasm, await wasmRate(worker));
}
rmSync(dir, { recursive: true });
const rates = (r) => `${(r.wall / 1e6).toFixed(0)} M/s (CPU time: ${(r.cpu / 1e6).toFixed(0)} M/s)`;
console.log(`counting loop, 10^9 commands, best of 3 each: corvane-run ${rates(native)}, worker slices ${rates(wasm)}`);
console.log(`ratio ${(wasm.wall / native.wall).toFixed(2)} (CPU time: ${(wasm.cpu / native.cpu).toFixed(2)}); goal at least 0.5`);

const node = await latency(worker, 8);
console.log(`Node worker thread: Break ${describe(node.breaks)}; Stop ${describe(node.stops)} (goal within 50 ms)`);
await worker.thread.terminate();

const chromium = await latencyInChromium(web, endless, 8);
if (chromium) console.log(`Chromium worker: Break ${describe(chromium.breaks)}; Stop ${describe(chromium.stops)}`);
else console.log('Chromium worker: skipped (no /usr/bin/chromium or puppeteer-core)');
