// The page: the editor, the run commands, files, storage, help and keys,
// wired together. The machine runs in the worker (machine.ts); everything the
// student typed is kept in the browser's storage as it is typed.

import type { ViewUpdate } from '@codemirror/view';
import type { Event as MachineEvent } from '../protocol';
import { CheckView } from './check';
import { setUpDialogs, showAbout, showChoices } from './dialogs';
import { ProgramEditor } from './editor';
import { Explanations } from './explanations';
import { pickFile, readDropped, writeFile, type FileHandle, type OpenedFile } from './files';
import { Guide } from './guide';
import { fileNameOf, LinkError, readLink, readTaskFile, type Link } from './links';
import { bindKeys, describeKeys, topicAt } from './keys';
import { Machine } from './machine';
import { inline } from './markdown';
import { registerOffline } from './offline';
import { RunControl } from './run';
import { ShareDialogs, showAssignment } from './share';
import { blankDoc, earlierInputs, loadDoc, recentDocs, recentWork, remember, rememberInput, saveDoc, type Doc } from './storage';
import { setUpTheme } from './theme';

const product = 'Corvane 1.4.beta';
const checkDelayMs = 300;
const storeDelayMs = 300;

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

class Page {
  private doc: Doc = loadDoc() ?? blankDoc();
  private handle: FileHandle | null = null;
  private readonly machine = new Machine('worker.js');
  private readonly guideText = fetch('guide.md').then((r) => (r.ok ? r.text() : ''));
  private explanations: Explanations | null = null;
  private readonly editor: ProgramEditor;
  private readonly run: RunControl;
  private readonly guide: Guide;
  private readonly checkView: CheckView;
  private readonly share = new ShareDialogs();
  private readonly input = byId<HTMLTextAreaElement>('input');
  private checkTimer = 0;
  private checkId = 0;
  private storeTimer = 0;
  private stored = true; // the browser kept the last write

  constructor() {
    setUpTheme(byId('dark'));
    setUpDialogs();
    this.editor = new ProgramEditor(byId('editor'), this.doc.text, {
      changed: (update) => this.editorChanged(update),
      breakpoint: (line, marked) => this.run.setStop(line, marked),
    });
    this.run = new RunControl(this.machine, {
      source: () => ({ text: this.editor.text(), input: this.input.value, cursorLine: this.editor.caretLine() }),
      started: () => {
        this.clearInputError();
        this.editor.setRunning(true);
      },
      paused: (line) => this.editor.showPausedLine(line),
      ended: (event) => this.runEnded(event),
      inputAccepted: (text) => this.fillEarlierInputs(rememberInput(text)),
    });
    this.guide = new Guide(this.guideText, {
      loadExample: (example) => this.replaceDoc({ ...blankDoc(), text: example.code, input: example.input }, 'Guide example loaded'),
      loadBundled: (name) => this.guard(() => this.openExample(name)),
    });
    this.checkView = new CheckView('worker.js', { trace: (input, name) => this.traceCase(input, name) });
    this.guideText.then((text) => {
      this.explanations = new Explanations(text);
      this.showProblem();
    });
    this.machine.onFailure = (message) => {
      const state = byId('run-state');
      state.textContent = `The machine could not start: ${message}`;
      state.classList.add('failed');
    };
    window.setTimeout(() => this.machine.ready || this.machine.onFailure('it did not answer within 20 seconds'), 20_000);
    this.machine.whenReady().then(() => {
      this.run.updateButtons();
      this.scheduleCheck(0);
      document.documentElement.dataset.ready = 'true';
      performance.mark('corvane-ready');
    });
    this.input.value = this.doc.input;
    this.fillEarlierInputs(earlierInputs());
    this.showCaption();
    this.wireControls();
    bindKeys(this.keyActions());
    describeKeys();
    this.wireStorage();
    this.wireDrop();
    showAssignment(this.doc.assignment);
    this.guard(() => this.openLink());
    window.addEventListener('hashchange', () => this.guard(() => this.openLink()));
    registerOffline();
  }

  // --- the document -----------------------------------------------------------

  private showCaption(): void {
    const caption = `${this.doc.name} - ${product}`;
    document.title = caption;
    byId('caption').textContent = caption;
    byId('modified').hidden = !this.doc.modified;
  }

  private editorChanged(update: ViewUpdate): void {
    if (!update.docChanged) return;
    if (!this.doc.modified) {
      this.doc.modified = true;
      this.showCaption();
    }
    this.doc.time = Date.now();
    this.scheduleStore();
    this.scheduleCheck(checkDelayMs);
  }

  // A new document in the editor; the one it replaces goes to the recent list
  // first, so that nothing typed is lost.
  private replaceDoc(doc: Doc, notice: string): void {
    if (this.run.active()) this.run.command('stop');
    this.syncDoc();
    const kept = this.doc.text.trim() !== '' && remember(this.doc);
    this.doc = doc;
    this.handle = null;
    this.editor.setText(doc.text);
    showAssignment(doc.assignment);
    // The input stays, as the desktop's input dialog keeps it, unless the
    // new program brings its own (a guide example, a recent program).
    if (doc.input) this.input.value = doc.input;
    this.doc.input = this.input.value;
    this.showCaption();
    this.store();
    this.scheduleCheck(0);
    this.notify(kept ? `${notice}. The program before it is kept under Recent.` : `${notice}.`);
    this.editor.focus();
  }

  private syncDoc(): void {
    this.doc.text = this.editor.text();
    this.doc.input = this.input.value;
  }

  private scheduleStore(): void {
    window.clearTimeout(this.storeTimer);
    this.storeTimer = window.setTimeout(() => this.store(), storeDelayMs);
  }

  private store(): void {
    window.clearTimeout(this.storeTimer);
    this.syncDoc();
    const ok = saveDoc(this.doc);
    if (ok !== this.stored) {
      this.stored = ok;
      if (!ok) this.notify('The browser does not keep the program (its storage is full or off): save it to a file.');
    }
  }

  private wireStorage(): void {
    this.input.addEventListener('input', () => {
      this.clearInputError();
      this.scheduleStore();
    });
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') this.store();
    });
    window.addEventListener('pagehide', () => this.store());
    window.addEventListener('beforeunload', (event) => {
      this.store();
      if (this.doc.modified || this.run.active() || !this.stored) {
        event.preventDefault();
        event.returnValue = '';
      }
    });
  }

  private notify(text: string): void {
    const notice = byId('notice');
    notice.hidden = false;
    notice.textContent = text;
  }

  // --- files --------------------------------------------------------------------

  private async openFile(file: OpenedFile | null): Promise<void> {
    if (!file) return;
    const { text, encoding, bom } = await this.machine.decode(file.bytes);
    if (/\.cvtest$/i.test(file.name)) {
      this.doc.suite = text;
      this.doc.suiteName = file.name;
      this.store();
      this.notify(`Check will run the test suite ${file.name}.`);
      return;
    }
    this.replaceDoc({ ...blankDoc(), name: file.name, text, encoding, bom, input: this.input.value }, `Opened ${file.name}`);
    this.handle = file.handle;
  }

  private fileName(): string {
    return this.doc.name === 'Untitled' ? 'Untitled.cv' : this.doc.name;
  }

  private async save(as: boolean): Promise<void> {
    const { bytes, encoding } = await this.machine.encode(this.editor.crlfText(), this.doc.encoding, this.doc.bom);
    const written = await writeFile(this.fileName(), bytes, as ? null : this.handle);
    if (written === undefined) return;
    this.handle = written;
    if (written) this.doc.name = written.name;
    const widened = encoding !== this.doc.encoding;
    this.doc.encoding = encoding;
    this.doc.modified = false;
    this.showCaption();
    this.store();
    this.notify(
      (written ? `Saved ${this.doc.name}.` : `Downloaded ${this.fileName()}.`) +
        (widened ? ' It is written as UTF-8 now: it holds characters that Windows-1250 lacks.' : ''),
    );
  }

  private async openExample(name: string): Promise<void> {
    const [program, suite] = await Promise.all([
      fetch(`examples/${name}.cv`).then((r) => (r.ok ? r.arrayBuffer() : null)),
      fetch(`examples/${name}.cvtest`).then((r) => (r.ok ? r.text() : undefined)),
    ]);
    if (!program) return this.notify(`The example ${name} could not be loaded.`);
    const { text, encoding, bom } = await this.machine.decode(new Uint8Array(program));
    const doc: Doc = { ...blankDoc(), name: `${name}.cv`, text, encoding, bom, input: this.input.value };
    if (suite !== undefined) Object.assign(doc, { suite, suiteName: `${name}.cvtest` });
    this.replaceDoc(doc, `Example ${name}.cv loaded`);
  }

  private async chooseExample(): Promise<void> {
    const list: { name: string; title: string }[] = await fetch('examples/index.json').then((r) => r.json());
    showChoices(
      'Examples',
      'Each example begins with a comment that says what it does and what input to give.',
      list.map((e) => ({ label: `${e.name}.cv`, detail: e.title, choose: () => this.guard(() => this.openExample(e.name)) })),
    );
  }

  private chooseRecent(): void {
    this.syncDoc();
    const docs = recentDocs();
    showChoices(
      'Recent programs',
      docs.length ? 'The programs you worked on before, newest first. The one in the editor takes its place here.' : 'No other programs yet.',
      docs.map((d) => ({
        label: d.name,
        detail: `${new Date(d.time).toLocaleString()}: ${d.text.split('\n').find((l) => l.trim()) ?? ''}`,
        choose: () => this.replaceDoc(d, `${d.name} restored`),
      })),
    );
  }

  private wireDrop(): void {
    const zone = byId('drop-zone');
    let depth = 0;
    const hasFiles = (e: DragEvent) => e.dataTransfer?.types.includes('Files') ?? false;
    window.addEventListener('dragenter', (e) => {
      if (!hasFiles(e)) return;
      ++depth;
      zone.hidden = false;
    });
    window.addEventListener('dragleave', () => {
      if (--depth <= 0) zone.hidden = true;
    });
    window.addEventListener('dragover', (e) => {
      if (hasFiles(e)) e.preventDefault();
    });
    window.addEventListener('drop', (e) => {
      const file = e.dataTransfer?.files[0];
      depth = 0;
      zone.hidden = true;
      if (!file) return;
      e.preventDefault();
      this.guard(() => readDropped(file).then((f) => this.openFile(f)));
    });
  }

  // --- the live check and the run ---------------------------------------------

  private scheduleCheck(delay: number): void {
    window.clearTimeout(this.checkTimer);
    this.checkTimer = window.setTimeout(() => void this.checkNow(), delay);
  }

  private async checkNow(): Promise<void> {
    if (!this.machine.ready) return;
    const id = ++this.checkId;
    const error = await this.machine.check(this.editor.text());
    if (id !== this.checkId) return; // a newer edit overtook it
    this.editor.showError(error && error.line > 0 ? this.editor.errorAt(error.message, error.key, error.line, error.column) : null);
    this.showProblem();
  }

  // The live error's message and its explanation from the guide.
  private showProblem(): void {
    const box = byId('problem');
    const error = this.editor.liveError();
    box.hidden = !error;
    if (!error) return box.replaceChildren();
    const explanation = this.explanations?.find(error.message, error.key);
    box.innerHTML =
      `<p class="message">Line ${error.line}: ${inline(error.message)}</p>` +
      (explanation?.paragraphs.map((p) => `<p>${inline(p)}</p>`).join('') ?? '');
  }

  private runEnded(event: MachineEvent & { kind: 'ended' }): void {
    this.editor.showPausedLine(0);
    this.editor.setRunning(false);
    if (event.ending === 'inputError' && event.error && !this.run.preset) {
      this.showInputError(event.error.message, event.error.line, event.error.column);
    } else if (event.ending === 'failed' && event.error && event.error.line > 0) {
      this.editor.selectAt(event.error.line, event.error.column);
    }
  }

  private showInputError(message: string, line: number, column: number): void {
    const error = byId('input-error');
    error.hidden = false;
    error.textContent = message;
    this.input.setAttribute('aria-invalid', 'true');
    const lines = this.input.value.split('\n');
    let at = 0;
    for (let n = 1; n < line && n <= lines.length; ++n) at += lines[n - 1].length + 1;
    at += Math.max(0, column - 1);
    this.input.focus();
    this.input.setSelectionRange(at, Math.min(at + 1, this.input.value.length));
  }

  private clearInputError(): void {
    byId('input-error').hidden = true;
    this.input.removeAttribute('aria-invalid');
  }

  private fillEarlierInputs(list: string[]): void {
    const select = byId<HTMLSelectElement>('earlier');
    select.replaceChildren(new Option(list.length ? '(choose one)' : '(none yet)', ''));
    for (const text of list) select.append(new Option(text.replace(/\s+/g, ' '), text));
  }

  private check(): void {
    if (!this.doc.suite) {
      const base = this.fileName().replace(/\.cv$/i, '');
      this.notify(`Check needs a test suite: open ${base}.cvtest (Open, or drop it on the page), or load an example.`);
      return;
    }
    this.checkView.start(this.doc.suiteName ?? 'suite', this.doc.suite, this.editor.text());
  }

  // Check's failing case, traced with its input; the input field and its
  // earlier inputs stay as they are.
  private traceCase(input: string, name: string): boolean {
    if (this.run.active()) {
      this.notify('A run goes on: Stop it first (Ctrl+F2), then trace the case.');
      return false;
    }
    if (!this.run.traceWith(input)) return false;
    this.notify(`Tracing the case “${name}” with its input: ${input.trim() === '' ? '(no input)' : input.replace(/\s+/g, ' ').trim()}.`);
    this.editor.focus();
    return true;
  }

  // --- links ------------------------------------------------------------------------

  // The program or assignment in the address's fragment, once: the fragment
  // is taken off the address, so that a reload keeps the work done since.
  private async openLink(): Promise<void> {
    let link: Link | null = null;
    try {
      link = readLink(location.hash);
    } finally {
      if (location.hash) history.replaceState(history.state, '', location.href.split('#')[0]);
    }
    if (!link) return;
    if (link.kind === 'share') {
      const name = fileNameOf(link.name, 'Untitled');
      if (link.program === this.editor.text() && name === this.doc.name) {
        if (link.input !== undefined) this.input.value = link.input;
        return this.notify('The shared program is the one in the editor already.');
      }
      return this.replaceDoc({ ...blankDoc(), name, text: link.program, input: link.input ?? '' }, `Shared program ${name} opened`);
    }
    const key = link.kind === 'hosted' ? `hosted:${new URL(link.path, location.href).pathname}` : `link:${link.sum}`;
    // Work begun on it comes first (and needs no network for a hosted one).
    if (this.doc.assignment?.key === key) return this.notify(`The assignment “${this.doc.assignment.title}” is open: your work on it goes on.`);
    const before = recentWork(key);
    if (before) return this.replaceDoc(before, `Your work on the assignment “${before.assignment!.title}” is back from Recent`);
    this.openAssignment(link.kind === 'hosted' ? await this.fetchAssignment(link.path) : link, key);
  }

  private openAssignment(a: { title: string; task: string; name: string; program: string; suite?: string }, key: string): void {
    const name = fileNameOf(a.name, 'Untitled');
    const doc: Doc = { ...blankDoc(), name, text: a.program, assignment: { title: a.title, task: a.task, key } };
    if (a.suite !== undefined) Object.assign(doc, { suite: a.suite, suiteName: name.replace(/\.cv$/i, '') + '.cvtest' });
    this.replaceDoc(doc, `Assignment “${a.title}” opened${a.suite !== undefined ? ': Check (Ctrl+F9) runs its test cases' : ''}`);
  }

  // A hosted assignment: PATH.cv, PATH.cvtest and PATH.md beside the page.
  private async fetchAssignment(path: string) {
    const base = new URL(path, location.href);
    if (base.origin !== location.origin) throw new LinkError(`The assignment ${path} is not beside this page.`);
    const get = (ext: string) => fetch(`${base.href}.${ext}`).then((r) => (r.ok ? r.arrayBuffer() : null));
    const [program, suite, task] = await Promise.all([get('cv'), get('cvtest'), get('md')]).catch(() => {
      throw new LinkError(`The assignment ${path} could not be loaded: is the network there?`);
    });
    if (!program && !suite && !task) throw new LinkError(`The assignment ${path} was not found beside this page (${base.pathname}.cv, .cvtest or .md).`);
    const utf8 = new TextDecoder();
    const name = path.split('/').pop()!;
    const text = program ? (await this.machine.decode(new Uint8Array(program))).text.replace(/\r\n?/g, '\n') : '';
    const { title, task: taskText } = readTaskFile(task ? utf8.decode(task) : '', name);
    return { title, task: taskText, name: `${name}.cv`, program: text, suite: suite ? utf8.decode(suite) : undefined };
  }

  private shareSource() {
    this.syncDoc();
    const { name, text: program, input, suite, suiteName, assignment } = this.doc;
    return { name, program, input, suite, suiteName, title: assignment?.title ?? '', task: assignment?.task ?? '' };
  }

  // --- controls and keys --------------------------------------------------------

  private wireControls(): void {
    const on = (id: string, action: () => unknown) => byId(id).addEventListener('click', () => this.guard(action));
    on('new', () => this.replaceDoc(blankDoc(), 'New program'));
    on('open', () => pickFile(byId('file-input')).then((f) => this.openFile(f)));
    on('save', () => this.save(false));
    on('save-as', () => this.save(true));
    on('examples', () => this.chooseExample());
    on('recent', () => this.chooseRecent());
    on('help', () => this.guide.open());
    on('about', () => showAbout());
    on('check', () => this.check());
    on('copy-link', () => this.share.openShare(this.shareSource()));
    on('make-assignment', () => this.share.openAssignment(this.shareSource()));
    // Ctrl+F9 checks again from the Check view.
    byId('check-dialog').addEventListener('keydown', (event) => {
      if (event.key !== 'F9' || !(event.ctrlKey || event.metaKey)) return;
      event.preventDefault();
      this.check();
    });
    const select = byId<HTMLSelectElement>('earlier');
    select.addEventListener('change', () => {
      if (!select.value) return;
      this.input.value = select.value;
      select.value = '';
      this.clearInputError();
      this.scheduleStore();
      this.input.focus();
    });
    // The text holds still while a run goes on; a key that would change it says so.
    this.editor.view.contentDOM.addEventListener('keydown', (event) => {
      const edits = event.key.length === 1 || event.key === 'Backspace' || event.key === 'Delete' || event.key === 'Enter';
      if (this.run.active() && edits && !event.ctrlKey && !event.metaKey && !event.altKey)
        this.notify('The program cannot change while it runs: Stop it first (Ctrl+F2).');
    });
    this.input.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter' || event.shiftKey || event.ctrlKey || event.altKey || event.metaKey) return;
      event.preventDefault();
      this.run.command('run');
    });
  }

  // An action that may fail (a file that cannot be read or written): the page
  // says why and goes on.
  private guard(action: () => unknown): void {
    Promise.resolve()
      .then(action)
      .catch((error: unknown) => this.notify(error instanceof Error ? error.message : String(error)));
  }

  private keyActions() {
    const paused = () => this.run.phase === 'paused';
    return {
      run: () => this.run.command(paused() ? 'continue' : 'run'),
      trace: () => this.run.command(paused() ? 'next' : 'trace'),
      cursor: () => this.run.command('cursor'),
      back: () => this.run.command('back'),
      break: () => this.run.command('break'),
      stop: () => this.run.command('stop'),
      check: () => this.check(),
      machine: () => byId('machine').focus(),
      breakpoint: () => this.editor.toggleBreakpoint(this.editor.caretLine()),
      open: () => byId('open').click(),
      save: () => this.guard(() => this.save(false)),
      newDoc: () => byId('new').click(),
      help: () => {
        const state = this.editor.view.state;
        const head = state.selection.main.head;
        const line = state.doc.lineAt(head);
        void this.guide.open(topicAt(line.text, head - line.from));
      },
      about: () => showAbout(),
      // A reload would end a run and drop what is not saved to a file.
      reloadGuard: () => {
        this.store();
        if (!this.doc.modified && !this.run.active()) return false;
        this.notify('The page was not reloaded: your program has changes not saved to a file, or a run goes on. Save first, or reload from the browser’s menu (your work stays in the browser).');
        return true;
      },
      runActive: () => this.run.active(),
    };
  }
}

new Page();
