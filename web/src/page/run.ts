// One run at a time under the student's control: the commands' rules (which
// may act when), the run state in words, the output as it comes, the machine
// at every pause. The rules of the run itself are the shared run control's,
// in the worker; this side only asks and shows.

import type { ErrorInfo, Event, Pause, StartMode } from '../protocol';
import type { Machine } from './machine';
import { MachineView } from './machineview';

export type Phase = 'idle' | 'running' | 'paused' | 'ended';

export type Command = 'run' | 'trace' | 'cursor' | 'next' | 'continue' | 'back' | 'break' | 'stop';

// Which commands may act in which phase.
const allowed: Record<Phase, Command[]> = {
  idle: ['run', 'trace', 'cursor'],
  ended: ['run', 'trace', 'cursor'],
  running: ['break', 'stop'],
  paused: ['next', 'continue', 'back', 'stop'],
};

// How long Stop may wait for the worker before the worker is replaced.
const stopGraceMs = 1500;

// What is shown of a long output: its end. The whole is kept.
const shownOutput = 200_000;

export interface RunHost {
  source(): { text: string; input: string; cursorLine: number };
  started(): void; // the run has begun: the editor holds still
  paused(line: number): void;
  ended(ending: Event & { kind: 'ended' }): void;
  inputAccepted(input: string): void;
}

export class RunControl {
  phase: Phase = 'idle';
  // The run's input is Check's case's, not the input field's.
  preset = false;
  private output = '';
  private outputDue = false;
  private stopTimer = 0;
  private canBack = false;
  private lastPause: Pause | null = null;
  // The run's input until the worker has read it without complaint.
  private pendingInput: string | null = null;
  readonly view: MachineView;
  private readonly state = document.getElementById('run-state')!;
  private readonly outputBox = document.getElementById('output') as HTMLTextAreaElement;
  private readonly buttons = new Map<Command, HTMLButtonElement>();

  constructor(
    private readonly machine: Machine,
    private readonly host: RunHost,
  ) {
    this.view = new MachineView((stack, from) =>
      machine.post({ kind: 'stackSlice', id: machine.id(), stack, from, count: 1000 }),
    );
    for (const command of ['run', 'trace', 'cursor', 'next', 'continue', 'back', 'break', 'stop'] as Command[]) {
      const button = document.getElementById(command) as HTMLButtonElement;
      this.buttons.set(command, button);
      button.addEventListener('click', () => this.command(command));
    }
    machine.on((event) => this.receive(event));
    this.updateButtons();
  }

  may(command: Command): boolean {
    if (!this.machine.ready && (command === 'run' || command === 'trace' || command === 'cursor')) return false;
    if (command === 'back' && !this.canBack) return false;
    return allowed[this.phase].includes(command);
  }

  active(): boolean {
    return this.phase === 'running' || this.phase === 'paused';
  }

  command(command: Command): boolean {
    if (!this.may(command)) return false;
    switch (command) {
      case 'run':
      case 'trace':
      case 'cursor':
        this.start(command === 'cursor' ? 'cursor' : command);
        break;
      case 'next':
      case 'continue':
      case 'back':
        this.machine.post({ kind: command });
        this.enter('running');
        break;
      case 'break':
        this.machine.post({ kind: 'break' });
        break;
      case 'stop':
        this.machine.post({ kind: 'stop' });
        window.clearTimeout(this.stopTimer);
        this.stopTimer = window.setTimeout(() => this.stopByForce(), stopGraceMs);
        break;
    }
    return true;
  }

  // A breakpoint changed in the editor while the run goes on.
  setStop(line: number, on: boolean): void {
    if (this.active()) this.machine.post({ kind: 'setStop', line, on });
  }

  // Trace with `input` in place of the input field's (Check's failing case):
  // neither the field nor the earlier inputs change.
  traceWith(input: string): boolean {
    if (!this.may('trace')) return false;
    this.start('trace', input);
    return true;
  }

  private start(mode: StartMode, preset?: string): void {
    const source = this.host.source();
    const { text, cursorLine } = source;
    const input = preset ?? source.input;
    this.output = '';
    this.outputBox.value = '';
    this.view.clear();
    this.canBack = false;
    this.lastPause = null;
    this.machine.post({ kind: 'start', text, input, mode, cursorLine });
    this.host.started();
    this.preset = preset !== undefined;
    this.pendingInput = this.preset ? null : input;
    this.enter('running');
  }

  private enter(phase: Phase, words?: string, failed = false): void {
    this.phase = phase;
    if (phase === 'running') words = 'running';
    if (words !== undefined) {
      this.state.textContent = words;
      this.state.classList.toggle('failed', failed);
    }
    this.updateButtons();
  }

  updateButtons(): void {
    for (const [command, button] of this.buttons) button.disabled = !this.may(command);
  }

  private receive(event: Event): void {
    switch (event.kind) {
      case 'ready':
        this.updateButtons();
        break;
      case 'output':
        this.acceptInput();
        this.appendOutput(event.text);
        break;
      case 'restart':
        this.output = '';
        this.outputBox.value = '';
        break;
      case 'progress':
        this.acceptInput();
        if (this.phase === 'running') this.view.showSteps(event.steps);
        break;
      case 'paused':
        this.paused(event.pause);
        break;
      case 'ended':
        this.ended(event);
        break;
      case 'stackSlice':
        this.view.extend(event.stack, event.from, event.values);
        break;
      default:
        break;
    }
  }

  private paused(pause: Pause): void {
    if (!this.active()) return;
    this.acceptInput();
    this.lastPause = pause;
    this.canBack = pause.canBack;
    this.flushOutput();
    this.view.show(pause);
    this.enter('paused', pause.line > 0 ? `paused at line ${pause.line}` : 'paused at the end of the program');
    this.host.paused(pause.line);
  }

  private acceptInput(): void {
    if (this.pendingInput !== null) this.host.inputAccepted(this.pendingInput);
    this.pendingInput = null;
  }

  private ended(event: Event & { kind: 'ended' }): void {
    if (!this.active()) return;
    window.clearTimeout(this.stopTimer);
    if (event.ending !== 'inputError' && (event.ending !== 'failed' || event.steps > 0)) this.acceptInput();
    this.canBack = false;
    this.flushOutput();
    this.view.showSteps(event.steps);
    this.enter('ended', endingWords(event), event.error !== null || event.ending === 'outputLimit');
    this.host.ended(event);
  }

  private stopByForce(): void {
    if (!this.active()) return;
    this.machine.respawn();
    this.ended({ kind: 'ended', ending: 'stopped', steps: this.lastPause?.steps ?? 0, error: null, message: '' });
  }

  private appendOutput(text: string): void {
    this.output += text;
    if (this.outputDue) return;
    this.outputDue = true;
    requestAnimationFrame(() => this.flushOutput());
  }

  private flushOutput(): void {
    this.outputDue = false;
    const shown = this.output.length > shownOutput ? '… ' + this.output.slice(-shownOutput) : this.output;
    if (this.outputBox.value !== shown) {
      this.outputBox.value = shown;
      this.outputBox.scrollTop = this.outputBox.scrollHeight;
    }
  }

  outputText(): string {
    return this.output;
  }
}

export function endingWords(event: { ending: string; error: ErrorInfo | null; message: string }): string {
  switch (event.ending) {
    case 'finished':
      return 'finished';
    case 'stopped':
      return 'stopped';
    default:
      return event.error?.message || event.message || 'stopped';
  }
}
