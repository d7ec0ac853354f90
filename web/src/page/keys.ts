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

// Every key of the page, with what it does: the one table that binds them
// and that Help shows.
export const pageKeys: { key: string; action?: keyof KeyActions; what: string }[] = [
  { key: 'F9', action: 'run', what: 'Run; Continue while the run is paused' },
  { key: 'F8', action: 'trace', what: 'Trace (pause before the first command); Next while paused' },
  { key: 'F4', action: 'cursor', what: 'Run to cursor: pause at the caret’s line' },
  { key: 'F7', action: 'back', what: 'Back: to the pause one command earlier' },
  { key: 'F6', action: 'break', what: 'Break: pause a running program (also the Pause key)' },
  { key: 'Pause', action: 'break', what: 'Break' },
  { key: 'Ctrl+F2', action: 'stop', what: 'Stop the run (F5 too, while a run goes on; otherwise F5 is the browser’s reload)' },
  { key: 'Ctrl+F9', action: 'check', what: 'Check: run the program’s test suite' },
  { key: 'F2', action: 'machine', what: 'Move to the machine view' },
  { key: 'Ctrl+B', action: 'breakpoint', what: 'Set or clear the breakpoint of the caret’s line (or click beside its number)' },
  { key: 'Ctrl+O', action: 'open', what: 'Open a program or a test suite' },
  { key: 'Ctrl+S', action: 'save', what: 'Save (to the file opened, or a new file or a download)' },
  { key: 'Alt+N', action: 'newDoc', what: 'New program (Ctrl+N is the browser’s)' },
  { key: 'Shift+F1', action: 'help', what: 'Language guide, at the keyword under the caret' },
  { key: 'F1', action: 'about', what: 'About Corvane' },
  { key: 'Tab', what: 'In the editor: types a tab' },
  { key: 'Esc, then Tab', what: 'Leaves the editor (Shift+Tab goes back)' },
  { key: 'Ctrl+M', what: 'Tab leaves the editor until pressed again' },
  { key: 'Ctrl+Z / Ctrl+Y', what: 'Undo / Redo in the editor' },
  { key: 'Ctrl+F', what: 'Find in the editor; in the guide, its search' },
  { key: 'Enter', what: 'In the input values: Run' },
  { key: 'F3 / Shift+F3', what: 'In the guide: next / previous match' },
  { key: 'Esc', what: 'Closes a dialog' },
  { key: 'Ctrl++ / Ctrl+- / Ctrl+0', what: 'The browser’s zoom: larger, smaller, normal' },
];

export function bindKeys(actions: KeyActions): void {
  const table = new Map(pageKeys.filter((k) => k.action).map((k) => [k.key, k.action!]));
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
    const action = table.get(name);
    if (!action) return;
    // A dialog keeps its own keys.
    if (document.querySelector('dialog[open]')) return;
    event.preventDefault();
    (actions[action] as () => void)();
  });
}

export function keysTable(): HTMLTableElement {
  const table = document.createElement('table');
  table.className = 'keys';
  table.id = 'guide-keys';
  const caption = table.createCaption();
  caption.textContent = 'Keys of this page';
  const head = table.createTHead().insertRow();
  for (const title of ['Key', 'What it does']) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = title;
    head.append(th);
  }
  const body = table.createTBody();
  for (const { key, what } of pageKeys.filter((k) => k.key !== 'Pause')) {
    const row = body.insertRow();
    row.insertCell().textContent = key;
    row.insertCell().textContent = what;
  }
  return table;
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
