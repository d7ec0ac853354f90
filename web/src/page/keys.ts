// The keys: the desktop's where a page may have them. Where the browser keeps
// a key for itself another stands in: Stop is Ctrl+F2 (F5 reloads; it stops
// only while a run goes on), New is Alt+N (Ctrl+N opens a window). A key never
// reloads the page while a run goes on or with changes not saved to a file.

export interface KeyActions {
  run(): void; // F9: Run, or Continue while paused
  trace(): void; // F8: Trace, or Next while paused
  cursor(): void;
  back(): void;
  break(): void;
  stop(): void;
  check(): void;
  machine(): void;
  breakpoint(): void;
  open(): void;
  save(): void;
  newDoc(): void;
  help(): void;
  about(): void;
  // True when the reload must not happen (the page says why).
  reloadGuard(): boolean;
  runActive(): boolean;
}

// The key as written in tooltips and Help: "Ctrl+F9", "Shift+F1", "F8".
export function keyName(event: KeyboardEvent): string {
  const parts = [];
  if (event.ctrlKey || event.metaKey) parts.push('Ctrl');
  if (event.altKey) parts.push('Alt');
  if (event.shiftKey) parts.push('Shift');
  const key = event.key.length === 1 ? event.key.toUpperCase() : event.key;
  parts.push(key);
  return parts.join('+');
}

export function bindKeys(actions: KeyActions): void {
  const table: Record<string, keyof KeyActions> = {
    F9: 'run',
    F8: 'trace',
    F4: 'cursor',
    F7: 'back',
    F6: 'break',
    Pause: 'break',
    'Ctrl+F2': 'stop',
    'Ctrl+F9': 'check',
    F2: 'machine',
    'Ctrl+B': 'breakpoint',
    'Ctrl+O': 'open',
    'Ctrl+S': 'save',
    'Alt+N': 'newDoc',
    'Shift+F1': 'help',
    F1: 'about',
  };
  const reloads = new Set(['F5', 'Ctrl+R', 'Ctrl+Shift+R', 'Shift+F5', 'Ctrl+F5']);
  window.addEventListener('keydown', (event) => {
    if (event.defaultPrevented || event.isComposing) return;
    const name = keyName(event);
    if (reloads.has(name)) {
      // F5 is the desktop's Stop: while a run goes on it stops the run.
      if (name === 'F5' && actions.runActive()) {
        event.preventDefault();
        actions.stop();
      } else if (actions.reloadGuard()) {
        event.preventDefault();
      }
      return;
    }
    const action = table[name];
    if (!action) return;
    // A dialog keeps its own keys; only the dialog's Help and About stay.
    if (document.querySelector('dialog[open]')) return;
    event.preventDefault();
    (actions[action] as () => void)();
  });
}

// Every button with a key says it in its tooltip and to assistive technology.
export function describeKeys(): void {
  for (const button of document.querySelectorAll<HTMLButtonElement>('button[data-key]')) {
    const key = button.dataset.key!;
    const extra = button.id === 'stop' ? ', or F5 while a run goes on' : button.id === 'break' ? ' or Pause' : '';
    button.title = `${button.textContent} (${key}${extra})`;
    button.setAttribute('aria-keyshortcuts', key.replace('Ctrl', 'Control'));
  }
}

const topics = new Set('STACK SET ADD SUB MUL DIV PUSH POP INPUT OUTPUT EXIT GOTO IF ELSE ZERO NEG EMPTY NOT'.split(' '));

// The keyword under the caret, for Help's section; '' when none (a label,
// a comment, a number).
export function topicAt(line: string, column: number): string {
  column = Math.max(0, Math.min(column, line.length));
  const comment = line.indexOf('//');
  if (comment >= 0 && column > comment) return '';
  const isWord = (c: string | undefined) => c !== undefined && /[\p{L}\p{N}_]/u.test(c);
  let start = column;
  while (start > 0 && isWord(line[start - 1])) --start;
  let end = column;
  while (end < line.length && isWord(line[end])) ++end;
  if (start === end) return '';
  if (start > 0 && (line[start - 1] === ':' || line[start - 1] === '-')) return '';
  if (end < line.length && line[end] === '-') return '';
  const word = line.slice(start, end).toUpperCase();
  return topics.has(word) ? word : '';
}
