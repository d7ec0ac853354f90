// The machine behind typed calls: texts into the module's memory, answers out
// of it. What fails inside the module comes back as a Fault value; only a
// memory too full for a call's own texts throws (a RangeError).
import type { CaseResult, Encoding, ErrorInfo, Pause, StartMode } from '../protocol';
import type { CorvaneModule } from './module';

// Where a run stands (the run control's TRunStatus), or Fault: the module
// failed and the run is gone.
export const Status = {
  Idle: 0,
  Running: 1,
  Paused: 2,
  Finished: 3,
  Stopped: 4,
  Failed: 5,
  Fault: -1,
} as const;
export type RunStatus = (typeof Status)[keyof typeof Status];

export interface Fault {
  fault: string;
}

export function isFault(value: unknown): value is Fault {
  return typeof value === 'object' && value !== null && 'fault' in value;
}

export interface Ending {
  ending: 'finished' | 'stopped' | 'outputLimit' | 'failed' | 'inputError';
  steps: number;
  error: ErrorInfo | null;
  message: string;
}

export interface SuiteSummary {
  passed: number;
  count: number;
  points: number;
  maxPoints: number;
  summary: string;
}

const modeCodes: Record<StartMode, number> = { run: 0, trace: 1, cursor: 2 };

// Output values are ASCII. A decoded file's text is well-formed UTF-16 (the
// codec makes no lone surrogates), and a leading U+FEFF in it is text.
const ascii = new TextDecoder();
const utf16 = new TextDecoder('utf-16le', { ignoreBOM: true });

export class Engine {
  constructor(private readonly m: CorvaneModule) {}

  // The live check: the first parse or link error, or null.
  check(text: string): ErrorInfo | null | Fault {
    return this.withUnits(text, (p, n) => this.json(this.m._cv_check(p, n))) as ErrorInfo | null | Fault;
  }

  // A new run (ending the one before): its status, Failed when the program or
  // the input was refused (ending() tells why).
  start(text: string, input: string, mode: StartMode, cursorLine: number): RunStatus {
    const answer = this.withUnits(text, (p, n) =>
      this.withUnits(input, (q, k) => this.json(this.m._cv_start(p, n, q, k, modeCodes[mode], cursorLine))),
    );
    return isFault(answer) ? Status.Fault : (answer as { status: RunStatus }).status;
  }

  // At most `budget` commands of the run.
  go(budget: number): RunStatus {
    return this.m._cv_go(budget) as RunStatus;
  }
  // What failed when go answered Fault.
  fault(): string {
    return (this.json(this.m._cv_fault()) as Fault).fault;
  }

  // Where the run stands between two slices (Fault: no run).
  status(): RunStatus {
    return this.m._cv_status() as RunStatus;
  }
  steps(): number {
    return this.m._cv_steps();
  }
  line(): number {
    return this.m._cv_line();
  }

  // The output since the last take; restarted: Back started it over first.
  takeOutput(): { restarted: boolean; text: string } {
    const restarted = this.m._cv_take_output() !== 0;
    const at = this.m._cv_output();
    return { restarted, text: ascii.decode(this.m.HEAPU8.subarray(at, at + this.m._cv_output_size())) };
  }

  continue(): void {
    this.m._cv_continue();
  }
  next(): void {
    this.m._cv_next();
  }
  back(): boolean {
    return this.m._cv_back() !== 0;
  }
  break(): void {
    this.m._cv_break();
  }
  stop(): void {
    this.m._cv_stop();
  }
  setStop(line: number, on: boolean): void {
    this.m._cv_set_stop(line, on ? 1 : 0);
  }

  pause(): Pause | Fault {
    return this.json(this.m._cv_pause()) as Pause | Fault;
  }
  ending(): Ending | Fault {
    return this.json(this.m._cv_ending()) as Ending | Fault;
  }
  stackSlice(stack: number, from: number, count: number): number[] | Fault {
    return this.json(this.m._cv_stack_slice(stack, from, count)) as number[] | Fault;
  }

  decode(bytes: Uint8Array): { text: string; encoding: Encoding; bom: boolean } | Fault {
    const at = this.alloc(bytes.length);
    this.m.HEAPU8.set(bytes, at);
    try {
      const answer = this.json(this.m._cv_decode(at, bytes.length)) as { encoding: Encoding; bom: boolean } | Fault;
      return isFault(answer) ? answer : { text: this.answerText(), ...answer };
    } finally {
      this.m._free(at);
    }
  }

  encode(text: string, encoding: Encoding, bom: boolean): { bytes: Uint8Array; encoding: Encoding } | Fault {
    return this.withUnits(text, (p, n) => {
      const answer = this.json(this.m._cv_encode(p, n, encoding === 'windows1250' ? 1 : 0, bom ? 1 : 0)) as
        | { encoding: Encoding }
        | Fault;
      if (isFault(answer)) return answer;
      const at = this.m._cv_bytes();
      return { bytes: this.m.HEAPU8.slice(at, at + this.m._cv_bytes_size()), encoding: answer.encoding };
    });
  }

  // A suite against a program text, ending the suite before.
  suite(suite: string, name: string, program: string): { count: number } | { error: string } | Fault {
    const utf8 = new TextEncoder();
    const suiteBytes = utf8.encode(suite);
    const nameBytes = utf8.encode(name);
    const s = this.alloc(suiteBytes.length);
    const n = this.alloc(nameBytes.length);
    try {
      this.m.HEAPU8.set(suiteBytes, s);
      this.m.HEAPU8.set(nameBytes, n);
      return this.withUnits(program, (p, k) =>
        this.json(this.m._cv_suite(s, suiteBytes.length, n, nameBytes.length, p, k)),
      ) as { count: number } | { error: string } | Fault;
    } finally {
      this.m._free(s);
      this.m._free(n);
    }
  }
  suiteCase(index: number): CaseResult | Fault {
    return this.json(this.m._cv_suite_case(index)) as CaseResult | Fault;
  }
  suiteSummary(): SuiteSummary | Fault {
    return this.json(this.m._cv_suite_summary()) as SuiteSummary | Fault;
  }

  private json(pointer: number): unknown {
    return JSON.parse(this.m.UTF8ToString(pointer));
  }

  // The UTF-16 text the module answered (cv_text).
  private answerText(): string {
    const at = this.m._cv_text();
    return utf16.decode(this.m.HEAPU8.subarray(at, at + 2 * this.m._cv_text_size()));
  }

  private alloc(size: number): number {
    const at = this.m._malloc(Math.max(size, 1));
    if (at === 0) throw new RangeError('Cannot allocate memory ...');
    return at;
  }

  // The text's UTF-16 code units in the module's memory for one call.
  private withUnits<T>(text: string, use: (pointer: number, units: number) => T): T {
    const at = this.alloc(text.length * 2);
    const heap = this.m.HEAPU16;
    const base = at >> 1;
    for (let i = 0; i < text.length; i++) heap[base + i] = text.charCodeAt(i);
    try {
      return use(at, text.length);
    } finally {
      this.m._free(at);
    }
  }
}
