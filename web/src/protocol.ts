// The messages between the page and the machine's worker. The page never runs
// the machine itself: it posts Requests and reads Events. Texts go to the
// worker as the editor holds them (any line ends); the worker hands the core
// CR LF text, so positions it reports are positions in that text, and every
// error also carries its 1-based line and column, which is what the page uses.

// A parse, link or run error, or a bad input character.
export interface ErrorInfo {
  message: string; // exactly as the desktop shows it ("Unknown stack identificator ...")
  pos: number; // 0-based position in the CR LF text (or in the input text); -1 when none
  line: number; // 1-based; 0 when none
  column: number; // 1-based; 0 when none
  key: string; // the message's heading in the guide's Messages section ("... after N values ...")
  id?: number; // the message's string id (the core's TStringId); -1 when it is none of the program's
}

export type StartMode = 'run' | 'trace' | 'cursor';

export type Request =
  // Parse and link without running: the live check.
  | { kind: 'check'; id: number; text: string }
  // One run: parse, link, read the input, mark the lines holding "<BREAK>",
  // then run, trace or run to `cursorLine` (1-based; the caret's line).
  | { kind: 'start'; text: string; input: string; mode: StartMode; cursorLine: number }
  // While paused.
  | { kind: 'continue' }
  | { kind: 'next' }
  | { kind: 'back' }
  // A stop line set or cleared for the rest of this run (the break window's check mark).
  | { kind: 'setStop'; line: number; on: boolean }
  // While running (Break), or at any time of a run (Stop).
  | { kind: 'break' }
  | { kind: 'stop' }
  // More values of one stack at a pause: `count` values from `from` places below its top.
  | { kind: 'stackSlice'; id: number; stack: number; from: number; count: number }
  // The file codec: bytes as the desktop reads and writes them.
  | { kind: 'decode'; id: number; bytes: Uint8Array }
  | { kind: 'encode'; id: number; text: string; encoding: Encoding; bom: boolean }
  // A test suite (.cvtest text) against a program text; cases stream back.
  | { kind: 'suite'; id: number; suite: string; suiteName: string; program: string }
  // No event of that suite follows.
  | { kind: 'cancelSuite'; id: number };

export type Encoding = 'utf8' | 'windows1250';

export interface StackView {
  name: string; // '' for the primary stack
  depth: number;
  values: number[]; // from the top down, signed, at most `StackValuesAtPause` of them
}

export const StackValuesAtPause = 1000;

// The machine at a pause: what the break window and its machine pane show.
export interface Pause {
  line: number; // 1-based line of the command about to run; -1 for the end record
  wr: number; // unsigned 32-bit
  nextInput: number | null; // signed; null when every input value was read ("EMPTY")
  inputs: number[]; // every input value, signed
  inputPosition: number; // values read so far
  steps: number; // commands executed
  outputs: number; // values output so far
  stacks: StackView[]; // list order: newest declared first, the primary stack last
  changes: string; // what the last step changed, in words; '' when nothing or not comparable
  changed: { wr: boolean; input: boolean; outputs: boolean; stacks: boolean[] };
  canBack: boolean;
}

export type Ending = 'finished' | 'stopped' | 'outputLimit' | 'failed' | 'inputError';

export interface CaseResult {
  name: string;
  hidden: boolean;
  passed: boolean;
  reason: string; // '' when passed, else "wrong-output", "error", "no-error", "step-limit", "timeout"
  points: number;
  maxPoints: number;
  steps: number;
  input: string;
  expected: string;
  output: string;
  outputCut: boolean; // the output went past the case's cap and was cut there
  outcome: 'output' | 'error' | 'step-limit'; // what the case asks of the run
  compare: 'values' | 'exact' | 'contains' | 'regex'; // how an output case compares
  errorLine: number; // the line an error case expects its error at; 0 for any
  error: ErrorInfo | null;
}

export type Event =
  | { kind: 'ready' }
  | { kind: 'checked'; id: number; error: ErrorInfo | null }
  // Output values as text ("1 -2 3 "), in batches while the run goes on.
  | { kind: 'output'; text: string }
  // Back: the output starts over (the values up to the earlier pause follow).
  | { kind: 'restart' }
  // Now and then while running.
  | { kind: 'progress'; steps: number; line: number }
  | { kind: 'paused'; pause: Pause }
  // The run is over. `message`: the text to show (the error's message, or the
  // output limit's "Output limit reached: ..."), '' for finished and stopped.
  | { kind: 'ended'; ending: Ending; steps: number; error: ErrorInfo | null; message: string }
  | { kind: 'stackSlice'; id: number; stack: number; from: number; values: number[] }
  // `text` has CR LF line ends, as the desktop's editor holds it. `error`: the
  // module could not do it (memory ran out); then text and bytes are empty.
  | { kind: 'decoded'; id: number; text: string; encoding: Encoding; bom: boolean; error?: string }
  | { kind: 'encoded'; id: number; bytes: Uint8Array; encoding: Encoding; error?: string }
  | { kind: 'suiteError'; id: number; message: string }
  | { kind: 'case'; id: number; index: number; count: number; result: CaseResult }
  | { kind: 'suiteDone'; id: number; passed: number; count: number; points: number; maxPoints: number; summary: string };
