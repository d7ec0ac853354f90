// The built module and the worker's controller under Node, as the worker runs
// them but without a worker: requests go in, events are collected.
import { execFileSync, spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const build = path.resolve(repo, process.env.CORVANE_WASM ?? 'build-wasm');
export const corvaneRun = path.resolve(repo, process.env.CORVANE_RUN ?? 'build/corvane-run');

const { Controller, Engine } = await import(pathToFileURL(path.join(build, 'web/engine.mjs')).href);
const factory = createRequire(import.meta.url)(path.join(build, 'web/corvane.js'));
const wasmBinary = readFileSync(path.join(build, 'web/corvane.wasm'));

export { Controller };

export async function newEngine() {
  return new Engine(await factory({ wasmBinary }));
}

// A controller on a module of its own, its events in `events`.
export class Worker {
  static async create() {
    return new Worker(await newEngine());
  }

  constructor(engine) {
    this.engine = engine;
    this.events = [];
    this.waiters = [];
    this.controller = new Controller(engine, {
      post: (event) => {
        this.events.push(event);
        this.waiters = this.waiters.filter((w) => !w(event));
      },
      schedule: (task) => setImmediate(task),
      now: () => performance.now(),
    });
  }

  send(request) {
    this.controller.handle(request);
  }

  // The next event (after those already seen) of one of the kinds.
  next(...kinds) {
    return new Promise((resolve) => {
      const w = (event) => {
        if (!kinds.includes(event.kind)) return false;
        resolve(event);
        return true;
      };
      this.waiters.push(w);
    });
  }

  // Sends a request and waits for the pause or the end it leads to; the output
  // posted on the way, joined.
  async settle(request) {
    const from = this.events.length;
    const done = this.next('paused', 'ended');
    this.send(request);
    const event = await done;
    const output = this.events
      .slice(from)
      .filter((e) => e.kind === 'output')
      .map((e) => e.text)
      .join('');
    return { event, output, events: this.events.slice(from) };
  }
}

export function read(file) {
  return readFileSync(path.resolve(repo, file));
}

// corvane-run's answer: exit code, standard output and error.
export function runNative(args, input) {
  const r = spawnSync(corvaneRun, args, { input: input ?? '', encoding: 'utf8', cwd: repo });
  return { code: r.status, out: r.stdout, err: r.stderr };
}

export { execFileSync };
