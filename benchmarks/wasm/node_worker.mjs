// The worker's controller in a Node worker thread: the bench's stand-in for a
// page's worker. Slices are scheduled with setImmediate, which runs after the
// thread's waiting messages: a MessageChannel, which the browser's worker
// uses (web/src/worker/worker.ts), would hold them back here, since Node
// delivers a port's messages as long as it has any.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
import { parentPort, workerData } from 'node:worker_threads';

const web = workerData.web;
const { Controller, Engine } = await import(pathToFileURL(`${web}/engine.mjs`).href);
const factory = createRequire(import.meta.url)(`${web}/corvane.js`);
const module = await factory({ wasmBinary: readFileSync(`${web}/corvane.wasm`) });

// The CPU time of a run (the process's, which is this thread's but for the
// idle main thread), posted with its end: a shared machine slows the wall time.
let cpuAtStart = process.cpuUsage();
const controller = new Controller(new Engine(module), {
  post: (event) => {
    if (event.kind === 'ended') {
      const cpu = process.cpuUsage(cpuAtStart);
      event = { ...event, cpuMs: (cpu.user + cpu.system) / 1000 };
    }
    parentPort.postMessage(event);
  },
  schedule: (task) => setImmediate(task),
  now: () => performance.now(),
});
parentPort.on('message', (request) => {
  if (request.kind === 'start') cpuAtStart = process.cpuUsage();
  controller.handle(request);
});
parentPort.postMessage({ kind: 'ready' });
