// The machine at a pause: WR in decimal and hex, the next input, every stack
// in full (more values fetched on demand), the input list with its read
// position, the steps and what the last step changed. The texts follow the
// desktop's break window ("WR: ", "In: ", "EMPTY", "Primary Stack").

import type { Pause, StackView } from '../protocol';

export function signed(value: number): number {
  return value | 0;
}

export function hex32(value: number): string {
  return '0x' + (value >>> 0).toString(16).toUpperCase().padStart(8, '0');
}

export function stackName(stack: StackView): string {
  return stack.name === '' ? 'Primary Stack' : stack.name;
}

function element<K extends keyof HTMLElementTagNameMap>(tag: K, text = '', className = ''): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  if (text) e.textContent = text;
  if (className) e.className = className;
  return e;
}

export class MachineView {
  private readonly wr = document.getElementById('wr')!;
  private readonly nextInput = document.getElementById('next-input')!;
  private readonly steps = document.getElementById('steps')!;
  private readonly stacks = document.getElementById('stacks')!;
  private readonly inputs = document.getElementById('inputs')!;
  private readonly change = document.getElementById('change')!;
  private readonly hint = document.getElementById('machine-hint')!;
  private pause: Pause | null = null;

  // `more` asks the worker for the values of a stack below those shown.
  constructor(private readonly more: (stack: number, from: number) => void) {}

  clear(): void {
    this.pause = null;
    this.wr.textContent = 'WR: ';
    this.nextInput.textContent = 'In: ';
    this.steps.textContent = '0';
    this.stacks.replaceChildren();
    this.inputs.replaceChildren();
    this.change.textContent = '';
    this.hint.hidden = false;
    for (const e of [this.wr, this.nextInput]) e.classList.remove('changed');
  }

  showSteps(steps: number): void {
    this.steps.textContent = String(steps);
  }

  show(pause: Pause): void {
    this.pause = pause;
    this.hint.hidden = true;
    this.wr.textContent = `WR: ${signed(pause.wr)} (${hex32(pause.wr)})`;
    this.wr.classList.toggle('changed', pause.changed.wr);
    this.nextInput.textContent = `In: ${pause.nextInput === null ? 'EMPTY' : pause.nextInput}`;
    this.nextInput.classList.toggle('changed', pause.changed.input);
    this.steps.textContent = String(pause.steps);
    this.change.textContent = pause.changes;
    this.stacks.replaceChildren(...pause.stacks.map((stack, i) => this.stackItem(stack, i, pause.changed.stacks[i] ?? false)));
    this.showInputs(pause);
  }

  private stackItem(stack: StackView, index: number, changed: boolean): HTMLLIElement {
    const item = element('li');
    item.dataset.stack = String(index);
    if (changed) item.classList.add('changed');
    item.append(element('span', `${stackName(stack)}: `, 'name'));
    const values = element('span', stack.depth === 0 ? 'EMPTY' : stack.values.join(','), 'values');
    item.append(values);
    if (changed) item.append(element('span', ' (changed)', 'visually-hidden'));
    this.addMoreButton(item, stack, index);
    return item;
  }

  private addMoreButton(item: HTMLLIElement, stack: StackView, index: number): void {
    const shown = stack.values.length;
    if (shown >= stack.depth) return;
    const button = element('button', `Show more (${stack.depth - shown} below)`);
    button.type = 'button';
    button.addEventListener('click', () => this.more(index, shown));
    item.append(button);
  }

  // The values the worker sent for "Show more".
  extend(stackIndex: number, from: number, values: number[]): void {
    const stack = this.pause?.stacks[stackIndex];
    if (!stack || from !== stack.values.length) return;
    stack.values.push(...values);
    const item = this.stacks.querySelector<HTMLLIElement>(`li[data-stack="${stackIndex}"]`);
    if (!item) return;
    item.querySelector('.values')!.textContent = stack.values.join(',');
    item.querySelector('button')?.remove();
    this.addMoreButton(item, stack, stackIndex);
  }

  private showInputs(pause: Pause): void {
    if (pause.inputs.length === 0) {
      this.inputs.textContent = 'EMPTY';
      return;
    }
    const parts: Node[] = [];
    pause.inputs.forEach((value, i) => {
      if (i > 0) parts.push(document.createTextNode(' '));
      const span = element('span', String(value), i < pause.inputPosition ? 'read' : i === pause.inputPosition ? 'next' : '');
      parts.push(span);
    });
    parts.push(element('span', ` (${pause.inputPosition} of ${pause.inputs.length} read)`, 'visually-hidden'));
    this.inputs.replaceChildren(...parts);
  }
}
