// The page's end of the worker that runs the machine: typed requests out,
// events in. The page never runs the machine itself, so a program that never
// ends cannot freeze it.

import type { Encoding, ErrorInfo, Event, Request } from '../protocol';

type Listener = (event: Event) => void;

export class Machine {
  private worker!: Worker;
  private listeners: Listener[] = [];
  private nextId = 1;
  private replies = new Map<number, (event: Event) => void>();
  private readyWaiters: (() => void)[] = [];
  ready = false;
  // Told when the worker cannot start or breaks down.
  onFailure: (message: string) => void = () => {};

  // early: the worker the page's head started may be this one's.
  constructor(
    private readonly url: string,
    private readonly early = true,
  ) {
    this.spawn();
  }

  private spawn(): void {
    this.ready = false;
    // The worker the page's head started, once; its early events come first.
    const started = this.early ? (window as unknown as { corvaneWorker?: { worker: Worker; early: Event[] } | null }).corvaneWorker : null;
    if (this.early) (window as unknown as { corvaneWorker?: null }).corvaneWorker = null;
    this.worker = started?.worker ?? new Worker(this.url);
    this.worker.onmessage = (message: MessageEvent<Event>) => this.receive(message.data);
    if (started) queueMicrotask(() => started.early.forEach((event) => this.receive(event)));
    this.worker.onerror = (error) => {
      error.preventDefault();
      this.onFailure(error.message || 'the machine’s worker could not be loaded');
    };
  }

  // A worker that does not answer Stop in time is ended and a new one made:
  // the run is lost, the page is not.
  respawn(): void {
    this.worker.terminate();
    for (const [, reply] of this.replies) reply({ kind: 'suiteError', id: -1, message: 'restarted' });
    this.replies.clear();
    this.spawn();
  }

  private receive(event: Event): void {
    if (event.kind === 'ready') {
      this.ready = true;
      for (const waiter of this.readyWaiters.splice(0)) waiter();
    }
    if ('id' in event && this.replies.has(event.id)) {
      const reply = this.replies.get(event.id)!;
      this.replies.delete(event.id);
      reply(event);
      return;
    }
    for (const listener of this.listeners) listener(event);
  }

  whenReady(): Promise<void> {
    return this.ready ? Promise.resolve() : new Promise((resolve) => this.readyWaiters.push(resolve));
  }

  on(listener: Listener): void {
    this.listeners.push(listener);
  }

  post(request: Request, transfer: Transferable[] = []): void {
    this.worker.postMessage(request, transfer);
  }

  id(): number {
    return this.nextId++;
  }

  private ask(request: Request & { id: number }, transfer: Transferable[] = []): Promise<Event> {
    return new Promise((resolve) => {
      this.replies.set(request.id, resolve);
      this.post(request, transfer);
    });
  }

  async decode(bytes: Uint8Array): Promise<{ text: string; encoding: Encoding; bom: boolean }> {
    const copy = bytes.slice();
    const reply = await this.ask({ kind: 'decode', id: this.id(), bytes: copy }, [copy.buffer]);
    if (reply.kind !== 'decoded' || reply.error) throw new Error(`The file could not be read: ${reply.kind === 'decoded' ? reply.error : 'no answer'}`);
    return reply;
  }

  async encode(text: string, encoding: Encoding, bom: boolean): Promise<{ bytes: Uint8Array; encoding: Encoding }> {
    const reply = await this.ask({ kind: 'encode', id: this.id(), text, encoding, bom });
    if (reply.kind !== 'encoded' || reply.error) throw new Error(`The program could not be written: ${reply.kind === 'encoded' ? reply.error : 'no answer'}`);
    return reply;
  }

  async check(text: string): Promise<ErrorInfo | null> {
    const reply = await this.ask({ kind: 'check', id: this.id(), text });
    return reply.kind === 'checked' ? reply.error : null;
  }
}
