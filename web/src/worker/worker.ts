// The machine's worker: a classic worker script (bundled as one IIFE) that
// loads corvane.js beside itself and answers the page's Requests with Events.
// The page creates it with `new Worker(url)`, not as a module worker.
import type { Event, Request } from '../protocol';
import { Controller } from './controller';
import { Engine } from './engine';
import type { ModuleFactory } from './module';

declare function importScripts(...urls: string[]): void;
declare const CorvaneModule: ModuleFactory;

interface WorkerScope {
  postMessage(message: Event, transfer?: Transferable[]): void;
  onmessage: ((message: MessageEvent<Request>) => void) | null;
}
const scope = self as unknown as WorkerScope;

// Tasks run after the messages already waiting: a MessageChannel's message,
// unlike setTimeout, is not held back to 4 ms when tasks keep scheduling
// tasks.
const tasks: (() => void)[] = [];
const channel = new MessageChannel();
channel.port1.onmessage = () => tasks.shift()?.();
function schedule(task: () => void): void {
  tasks.push(task);
  channel.port2.postMessage(null);
}

const waiting: Request[] = [];
let controller: Controller | null = null;
scope.onmessage = (message) => {
  if (controller) controller.handle(message.data);
  else waiting.push(message.data);
};

// A module that threw is replaced by a new one; requests wait meanwhile, and
// the new one says 'ready' again.
function load(): void {
  controller = null;
  CorvaneModule().then((module) => {
    controller = new Controller(new Engine(module), {
      post: (event, transfer) => scope.postMessage(event, transfer ?? []),
      schedule,
      now: () => performance.now(),
      replace: load,
    });
    scope.postMessage({ kind: 'ready' });
    for (const request of waiting.splice(0)) controller.handle(request);
  });
}

importScripts('corvane.js');
load();
