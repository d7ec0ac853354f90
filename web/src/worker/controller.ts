// The worker's side of the protocol (../protocol.ts), without the wiring to a
// real worker: Requests in, Events out, and the run and the suite in slices,
// each a few milliseconds long, with the event loop served between them so
// that Break and Stop are answered within one slice.
import type { ErrorInfo, Event, Request, StartMode } from '../protocol';
import { Engine, Status, isFault, type Fault, type RunStatus } from './engine';

export interface ControllerHost {
  post(event: Event, transfer?: Transferable[]): void;
  // Runs the task after the messages already waiting.
  schedule(task: () => void): void;
  // Milliseconds, monotonic.
  now(): number;
  // The module threw (it trapped, or its memory is full): this controller has
  // answered what was asked with the failure and does nothing more; a new
  // module should take over.
  replace?(): void;
}

export const SliceMs = 4; // the time one Go aims at
export const OutputEveryMs = 50; // a running program's output is posted this often at most
export const ProgressEveryMs = 150; // a running program's steps are posted this often

const MinBudget = 1_000;
const MaxBudget = 200_000_000;

interface SuiteJob {
  id: number;
  count: number;
  next: number;
}

export class Controller {
  private running = false; // the run goes on in the next slices
  private budget = 200_000; // commands per slice, adapted to the measured speed
  private output = ''; // taken from the module, not yet posted
  private lastOutput = 0;
  private lastProgress = 0;
  private suite: SuiteJob | null = null;
  private scheduled = false;
  private retired = false;

  constructor(
    private readonly engine: Engine,
    private readonly host: ControllerHost,
  ) {}

  handle(request: Request): void {
    if (this.retired) return;
    try {
      this.dispatch(request);
    } catch (e) {
      this.failed(request, e instanceof Error ? e.message : String(e));
      this.retire();
    }
    this.wake();
  }

  private dispatch(request: Request): void {
    switch (request.kind) {
      case 'check': {
        const error = this.engine.check(request.text);
        this.host.post({ kind: 'checked', id: request.id, error: isFault(error) ? faultError(error) : error });
        return;
      }
      case 'start':
        return this.start(request.text, request.input, request.mode, request.cursorLine);
      case 'continue':
        return this.command(() => this.engine.continue());
      case 'next':
        return this.command(() => this.engine.next());
      case 'back':
        return this.command(() => this.engine.back());
      case 'stop':
        return this.command(() => this.engine.stop());
      case 'break':
        // The next slice pauses.
        this.engine.break();
        return;
      case 'setStop':
        this.engine.setStop(request.line, request.on);
        return;
      case 'stackSlice': {
        const values = this.engine.stackSlice(request.stack, request.from, request.count);
        this.host.post({
          kind: 'stackSlice',
          id: request.id,
          stack: request.stack,
          from: request.from,
          values: isFault(values) ? [] : values,
        });
        return;
      }
      case 'decode': {
        const decoded = this.engine.decode(request.bytes);
        if (isFault(decoded)) throw new Error(decoded.fault);
        this.host.post({ kind: 'decoded', id: request.id, ...decoded });
        return;
      }
      case 'encode': {
        const encoded = this.engine.encode(request.text, request.encoding, request.bom);
        if (isFault(encoded)) throw new Error(encoded.fault);
        this.host.post({ kind: 'encoded', id: request.id, ...encoded }, [encoded.bytes.buffer]);
        return;
      }
      case 'suite':
        return this.startSuite(request.id, request.suite, request.suiteName, request.program);
      case 'cancelSuite':
        if (this.suite?.id === request.id) this.suite = null;
        return;
    }
  }

  private start(text: string, input: string, mode: StartMode, cursorLine: number): void {
    this.output = '';
    const status = this.engine.start(text, input, mode, cursorLine);
    this.lastOutput = this.lastProgress = this.host.now();
    this.running = true;
    if (status === Status.Fault) this.report(status);
  }

  // A command given at a pause (or Stop while running): the next slice goes
  // on, or reports the pause or the end it reached (the same pause again when
  // Back could not go back). A run that has ended hears nothing more, so a
  // Stop that crossed its end brings no second 'ended'.
  private command(give: () => void): void {
    const status = this.engine.status();
    if (status !== Status.Running && status !== Status.Paused) return;
    give();
    this.running = true;
  }

  private wake(): void {
    if (this.scheduled || (!this.running && this.suite === null)) return;
    this.scheduled = true;
    this.host.schedule(() => {
      this.scheduled = false;
      if (this.running) this.guarded(() => this.slice(), (message) => this.runFailed(message));
      const job = this.suite;
      if (job !== null) this.guarded(() => this.suiteStep(job), (message) => this.suiteFailed(job, message));
      this.wake();
    });
  }

  private guarded(work: () => void, failed: (message: string) => void): void {
    if (this.retired) return;
    try {
      work();
    } catch (e) {
      failed(e instanceof Error ? e.message : String(e));
      this.retire();
    }
  }

  private retire(): void {
    this.retired = true;
    this.running = false;
    this.suite = null;
    this.host.replace?.();
  }

  private slice(): void {
    const begun = this.host.now();
    const status = this.engine.go(this.budget);
    this.takeOutput();
    const now = this.host.now();
    if (status === Status.Running) {
      this.adapt(now - begun);
      if (now - this.lastOutput >= OutputEveryMs) this.flush(now);
      if (now - this.lastProgress >= ProgressEveryMs) {
        this.lastProgress = now;
        this.host.post({ kind: 'progress', steps: this.engine.steps(), line: this.engine.line() });
      }
      return;
    }
    this.report(status);
  }

  // The run paused or ended: its output first, then the pause or the end.
  private report(status: RunStatus): void {
    this.running = false;
    this.flush(this.host.now());
    if (status === Status.Paused) {
      const pause = this.engine.pause();
      if (!isFault(pause)) return this.host.post({ kind: 'paused', pause });
      status = Status.Fault;
    }
    const ending = status === Status.Fault ? { fault: this.engine.fault() } : this.engine.ending();
    if (isFault(ending)) {
      this.host.post({ kind: 'ended', ending: 'failed', steps: 0, error: faultError(ending), message: ending.fault });
    } else {
      this.host.post({ kind: 'ended', ...ending });
    }
  }

  // A slice that spent its whole budget took `spent` ms: aim the next one at
  // SliceMs, growing at most fourfold at a time (the first slices run cold).
  private adapt(spent: number): void {
    const wanted = spent > 0 ? (this.budget * SliceMs) / spent : this.budget * 4;
    this.budget = Math.round(Math.min(MaxBudget, Math.max(MinBudget, Math.min(wanted, this.budget * 4))));
  }

  private takeOutput(): void {
    const { restarted, text } = this.engine.takeOutput();
    if (restarted) {
      this.output = '';
      this.host.post({ kind: 'restart' });
    }
    this.output += text;
  }

  private flush(now: number): void {
    this.lastOutput = now;
    if (this.output === '') return;
    this.host.post({ kind: 'output', text: this.output });
    this.output = '';
  }

  private startSuite(id: number, suite: string, suiteName: string, program: string): void {
    this.suite = null;
    const read = this.engine.suite(suite, suiteName, program);
    if (isFault(read)) return this.host.post({ kind: 'suiteError', id, message: read.fault });
    if ('error' in read) return this.host.post({ kind: 'suiteError', id, message: read.error });
    this.suite = { id, count: read.count, next: 0 };
  }

  // One case per call, then the summary.
  private suiteStep(job: SuiteJob): void {
    if (job.next < job.count) {
      const index = job.next++;
      const result = this.engine.suiteCase(index);
      if (isFault(result)) throw new Error(result.fault);
      this.host.post({ kind: 'case', id: job.id, index, count: job.count, result });
      return;
    }
    this.suite = null;
    const summary = this.engine.suiteSummary();
    if (isFault(summary)) throw new Error(summary.fault);
    this.host.post({ kind: 'suiteDone', id: job.id, ...summary });
  }

  private suiteFailed(job: SuiteJob, message: string): void {
    if (this.suite === job) this.suite = null;
    this.host.post({ kind: 'suiteError', id: job.id, message });
  }

  private runFailed(message: string): void {
    this.running = false;
    this.output = '';
    this.host.post({ kind: 'ended', ending: 'failed', steps: 0, error: faultError({ fault: message }), message });
  }

  // A request that failed in the module: the answer it was waiting for,
  // carrying the message.
  private failed(request: Request, message: string): void {
    switch (request.kind) {
      case 'check':
        return this.host.post({ kind: 'checked', id: request.id, error: faultError({ fault: message }) });
      case 'suite':
        return this.host.post({ kind: 'suiteError', id: request.id, message });
      case 'stackSlice':
        return this.host.post({ kind: 'stackSlice', id: request.id, stack: request.stack, from: request.from, values: [] });
      case 'decode':
        return this.host.post({ kind: 'decoded', id: request.id, text: '', encoding: 'utf8', bom: false, error: message });
      case 'encode': {
        const bytes = new Uint8Array(0);
        return this.host.post({ kind: 'encoded', id: request.id, bytes, encoding: request.encoding, error: message });
      }
      case 'cancelSuite':
      case 'setStop':
        return;
      default:
        return this.runFailed(message);
    }
  }
}

function faultError(fault: Fault): ErrorInfo {
  return { message: fault.fault, pos: -1, line: 0, column: 0, key: '' };
}
