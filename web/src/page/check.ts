// Check: a test suite against the editor's program, one case at a time. The
// dialog lists the cases with PASS or FAIL and their points, the summary, and
// the selected case's details; a failing case that is not hidden traces with
// its input (Enter, a double-click or Trace). The program is handed over as
// text: Check never changes it. The suite runs in a worker of its own, made at
// the first Check: a long case never holds up the student's runs or the live
// check, and Stop ends a check at once, in the middle of a case too, by ending
// that worker.

import type { CaseResult, Event } from '../protocol';
import { caseDetails, checkSummary } from './checkdetails';
import { Machine } from './machine';

export interface CheckHost {
  // Traces the program with the case's input; false when it cannot now.
  trace(input: string, caseName: string): boolean;
}

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

export class CheckView {
  private readonly dialog = byId<HTMLDialogElement>('check-dialog');
  private readonly list = byId<HTMLUListElement>('check-cases');
  private readonly summary = byId('check-summary');
  private readonly details = byId<HTMLTextAreaElement>('check-details');
  private readonly traceButton = byId<HTMLButtonElement>('check-trace');
  private readonly stopButton = byId<HTMLButtonElement>('check-stop');
  private results: CaseResult[] = [];
  private count = 0;
  private id = 0; // the suite running in the worker; 0 when none
  private selected = -1;
  private machine: Machine | null = null; // made at the first Check

  constructor(
    private readonly workerUrl: string,
    private readonly host: CheckHost,
  ) {
    this.list.addEventListener('keydown', (event) => this.key(event));
    this.list.addEventListener('click', (event) => this.select(this.rowOf(event)));
    this.list.addEventListener('dblclick', (event) => {
      this.select(this.rowOf(event));
      this.trace();
    });
    this.traceButton.addEventListener('click', () => this.trace());
    this.stopButton.addEventListener('click', () => this.stop());
    this.dialog.addEventListener('close', () => this.stop());
  }

  // A new check, ending the one before.
  start(suiteName: string, suite: string, program: string): void {
    this.cancel();
    byId('check-title').textContent = `Check - ${suiteName}`;
    this.results = [];
    this.count = 0;
    this.selected = -1;
    this.list.replaceChildren();
    this.list.removeAttribute('aria-activedescendant');
    const machine = this.worker();
    this.id = machine.id();
    machine.post({ kind: 'suite', id: this.id, suite, suiteName, program });
    this.showSelected();
    this.showSummary();
    if (!this.dialog.open) this.dialog.showModal();
    this.list.focus();
  }

  private worker(): Machine {
    if (this.machine) return this.machine;
    const machine = new Machine(this.workerUrl, false);
    machine.on((event) => this.receive(event));
    machine.onFailure = (message) => this.failed(`The machine could not start: ${message}`);
    return (this.machine = machine);
  }

  private failed(message: string): void {
    this.id = 0;
    this.summary.textContent = message;
    this.summary.classList.add('fail');
    this.stopButton.disabled = true;
  }

  private receive(event: Event): void {
    if (!('id' in event) || event.id !== this.id || this.id === 0) return;
    if (event.kind === 'case') {
      this.count = event.count;
      this.results[event.index] = event.result;
      this.list.append(this.row(event.index, event.result));
      if (this.selected < 0) this.select(0);
      else if (this.selected === event.index) this.showSelected();
    } else if (event.kind === 'suiteDone') {
      this.id = 0;
    } else if (event.kind === 'suiteError') {
      return this.failed(event.message);
    } else {
      return;
    }
    this.showSummary();
  }

  private row(index: number, result: CaseResult): HTMLLIElement {
    const row = document.createElement('li');
    row.id = `check-case-${index}`;
    row.setAttribute('role', 'option');
    row.setAttribute('aria-selected', 'false');
    const cell = (text: string, className: string) => {
      const span = document.createElement('span');
      span.className = className;
      span.textContent = text;
      return span;
    };
    // The mark's text says what its colour says; the blanks between the
    // cells make the option's accessible name read as words.
    row.append(
      cell(result.passed ? 'PASS' : 'FAIL', result.passed ? 'pass' : 'fail'),
      ' ',
      cell(result.name, 'name'),
      ' ',
      cell(`${result.points}/${result.maxPoints}`, 'points'),
    );
    return row;
  }

  private rowOf(event: MouseEvent): number {
    const row = (event.target as HTMLElement).closest('[role="option"]');
    return row ? [...this.list.children].indexOf(row) : -1;
  }

  private select(index: number): void {
    if (index < 0 || index >= this.list.children.length) return;
    this.list.children[this.selected]?.setAttribute('aria-selected', 'false');
    this.selected = index;
    const row = this.list.children[index] as HTMLElement;
    row.setAttribute('aria-selected', 'true');
    this.list.setAttribute('aria-activedescendant', row.id);
    row.scrollIntoView({ block: 'nearest' });
    this.showSelected();
  }

  private key(event: KeyboardEvent): void {
    const last = this.list.children.length - 1;
    const moves: Record<string, number> = {
      ArrowDown: Math.min(this.selected + 1, last),
      ArrowUp: Math.max(this.selected - 1, 0),
      Home: 0,
      End: last,
      PageDown: Math.min(this.selected + 10, last),
      PageUp: Math.max(this.selected - 10, 0),
    };
    if (event.key in moves) {
      event.preventDefault();
      this.select(moves[event.key]);
    } else if (event.key === 'Enter') {
      event.preventDefault();
      this.trace();
    }
  }

  private traceable(): CaseResult | null {
    const result = this.results[this.selected];
    return result && !result.passed && !result.hidden ? result : null;
  }

  private showSelected(): void {
    const result = this.results[this.selected];
    this.details.value = result ? caseDetails(result) : '';
    this.traceButton.disabled = !this.traceable();
  }

  private showSummary(): void {
    const done = this.results.filter(Boolean);
    const passed = done.filter((r) => r.passed).length;
    const points = done.reduce((sum, r) => sum + r.points, 0);
    const maxPoints = done.reduce((sum, r) => sum + r.maxPoints, 0);
    // The number of cases comes with the first case's result.
    const run = this.count ? `${done.length} of ${this.count} cases run` : '0 cases run';
    this.summary.classList.remove('fail');
    if (this.count > 0 && done.length === this.count) this.summary.textContent = checkSummary(passed, this.count, points, maxPoints);
    else if (this.id !== 0) this.summary.textContent = this.count ? `Checking: ${run}` : 'Checking ...';
    else this.summary.textContent = `Stopped: ${run}`;
    this.stopButton.disabled = this.id === 0;
  }

  private trace(): void {
    const result = this.traceable();
    if (!result || !this.host.trace(result.input, result.name)) return;
    this.dialog.close();
  }

  // A case may run for seconds (its timeout): the worker is ended rather
  // than waited for, and a new one loads meanwhile.
  private cancel(): void {
    if (this.id === 0) return;
    this.machine?.respawn();
    this.id = 0;
  }

  stop(): void {
    if (this.id === 0) return;
    this.cancel();
    this.showSummary();
  }
}
