// The program editor: CodeMirror with the desktop's tab stops, syntax
// colours and gutter (breakpoint dots, the live error's mark, the paused
// line's arrow, line numbers), breakpoints as "<BREAK>" markers, the live
// error's underline and the paused line's band.

import { defaultKeymap, history, historyKeymap, insertNewline, isolateHistory, temporarilySetTabFocusMode } from '@codemirror/commands';
import { highlightSelectionMatches, search, searchKeymap } from '@codemirror/search';
import { Compartment, EditorSelection, EditorState, RangeSet, RangeSetBuilder, StateEffect, StateField, type Extension } from '@codemirror/state';
import {
  Decoration,
  type DecorationSet,
  drawSelection,
  EditorView,
  gutter,
  gutterLineClass,
  GutterMarker,
  keymap,
  lineNumbers,
  placeholder,
  ViewPlugin,
  type ViewUpdate,
} from '@codemirror/view';
import { hasBreakMarker, toggleBreakEdit } from './breakmarker';
import { declaredStacks, isWordChar, scanLine } from './syntax';

// The live check's first error, placed in the document.
export interface LiveError {
  message: string;
  key: string;
  line: number; // 1-based
  from: number; // the underlined word
  to: number;
}

export const tabColumns = 16;

const setError = StateEffect.define<LiveError | null>();
const setPaused = StateEffect.define<number>();

const errorField = StateField.define<LiveError | null>({
  create: () => null,
  update(error, tr) {
    for (const effect of tr.effects) if (effect.is(setError)) return effect.value;
    if (!error || !tr.docChanged) return error;
    // Kept in place while the text changes, until the next check replaces it.
    const from = tr.changes.mapPos(error.from, 1);
    const to = Math.max(from, tr.changes.mapPos(error.to, -1));
    return { ...error, from, to, line: tr.newDoc.lineAt(from).number };
  },
});

const pausedField = StateField.define<number>({
  create: () => 0,
  update(line, tr) {
    for (const effect of tr.effects) if (effect.is(setPaused)) return effect.value;
    return line;
  },
});

const errorMark = Decoration.mark({ class: 'cv-error-word' });
const pausedLine = Decoration.line({ class: 'cv-paused' });

const overlays = EditorView.decorations.compute([errorField, pausedField, 'doc'], (state) => {
  const builder = new RangeSetBuilder<Decoration>();
  const paused = state.field(pausedField);
  const error = state.field(errorField);
  const ranges: { from: number; to: number; deco: Decoration }[] = [];
  if (paused > 0 && paused <= state.doc.lines) {
    const line = state.doc.line(paused);
    ranges.push({ from: line.from, to: line.from, deco: pausedLine });
  }
  if (error && error.to > error.from) ranges.push({ from: error.from, to: error.to, deco: errorMark });
  ranges.sort((a, b) => a.from - b.from);
  for (const r of ranges) builder.add(r.from, r.to, r.deco);
  return builder.finish();
});

// The colours of the visible lines; a new STACK line recolours everything.
const syntaxColours = ViewPlugin.fromClass(
  class {
    decorations: DecorationSet;
    constructor(view: EditorView) {
      this.decorations = this.build(view);
    }
    update(update: ViewUpdate) {
      if (update.docChanged || update.viewportChanged) this.decorations = this.build(update.view);
    }
    build(view: EditorView): DecorationSet {
      const doc = view.state.doc;
      const stacks = declaredStacks(
        (function* () {
          for (let n = 1; n <= doc.lines; ++n) yield doc.line(n).text;
        })(),
      );
      const ranges = [];
      for (const { from, to } of view.visibleRanges) {
        for (let pos = from; pos <= to; ) {
          const line = doc.lineAt(pos);
          for (const token of scanLine(line.text, stacks))
            ranges.push(Decoration.mark({ class: `cv-${token.kind}` }).range(line.from + token.start, line.from + token.start + token.length));
          pos = line.to + 1;
        }
      }
      return Decoration.set(ranges, true);
    }
  },
  { decorations: (plugin) => plugin.decorations },
);

class MarksMarker extends GutterMarker {
  constructor(
    readonly dot: boolean,
    readonly arrow: boolean,
  ) {
    super();
  }
  eq(other: MarksMarker) {
    return other.dot === this.dot && other.arrow === this.arrow;
  }
  toDOM() {
    const box = document.createElement('span');
    if (this.arrow) {
      box.className = 'cv-arrow';
      box.textContent = '\u27a4';
    } else if (this.dot) {
      box.className = 'cv-dot';
    }
    return box;
  }
}

class ErrorLineMarker extends GutterMarker {
  elementClass = 'cv-error-line';
}
const errorLineMarker = new ErrorLineMarker();

// The live error's line number stands on a band, as on the desktop.
const errorLineClass = gutterLineClass.compute([errorField, 'doc'], (state) => {
  const error = state.field(errorField);
  if (!error || error.line > state.doc.lines) return RangeSet.empty;
  return RangeSet.of([errorLineMarker.range(state.doc.line(error.line).from)]);
});

export interface EditorHooks {
  changed(update: ViewUpdate): void;
  // A breakpoint marker added or removed on a 1-based line.
  breakpoint(line: number, marked: boolean): void;
}

export class ProgramEditor {
  readonly view: EditorView;
  private readonly readOnly = new Compartment();

  constructor(parent: HTMLElement, text: string, private readonly hooks: EditorHooks) {
    this.view = new EditorView({ parent, state: EditorState.create({ doc: text, extensions: this.extensions() }) });
  }

  private extensions(): Extension[] {
    const toggleAt = (line: number) => {
      this.toggleBreakpoint(line);
      return true;
    };
    const lineOf = (view: EditorView, block: { from: number }) => view.state.doc.lineAt(block.from).number;
    const clickHandlers = {
      mousedown: (view: EditorView, block: { from: number }, event: Event) => {
        if ((event as MouseEvent).button !== 0) return false;
        event.preventDefault();
        return toggleAt(lineOf(view, block));
      },
    };
    return [
      errorField,
      pausedField,
      overlays,
      syntaxColours,
      history(),
      drawSelection(),
      search({ top: true }),
      highlightSelectionMatches(),
      EditorState.tabSize.of(tabColumns),
      this.readOnly.of([]),
      gutter({
        class: 'cv-marks',
        lineMarker: (view, block) => {
          const line = view.state.doc.lineAt(block.from);
          const arrow = view.state.field(pausedField) === line.number;
          const dot = hasBreakMarker(line.text);
          return arrow || dot ? new MarksMarker(dot, arrow) : null;
        },
        lineMarkerChange: (update) => update.startState.field(pausedField) !== update.state.field(pausedField),
        initialSpacer: () => new MarksMarker(true, false),
        domEventHandlers: clickHandlers,
      }),
      lineNumbers({ domEventHandlers: clickHandlers }),
      errorLineClass,
      keymap.of([
        { key: 'Mod-b', run: () => toggleAt(this.caretLine()), preventDefault: true },
        // As on the desktop: Enter breaks the line without indenting the new one.
        { key: 'Enter', run: insertNewline },
        // As on the desktop: a tab character, in place of any selection.
        {
          key: 'Tab',
          run: (view) => {
            if (view.state.readOnly) return false;
            view.dispatch(view.state.replaceSelection('\t'), { userEvent: 'input.type', scrollIntoView: true });
            return true;
          },
        },
        {
          key: 'Escape',
          run: (view) => {
            temporarilySetTabFocusMode(view);
            const main = view.state.selection.main;
            if (!main.empty) view.dispatch({ selection: EditorSelection.cursor(main.head) });
            return false;
          },
        },
        ...searchKeymap,
        ...historyKeymap,
        ...defaultKeymap,
      ]),
      placeholder('Type a program here, or open one of the Examples.'),
      EditorView.contentAttributes.of({ 'aria-label': 'Program', 'aria-describedby': 'editor-help problem' }),
      EditorView.updateListener.of((update) => this.hooks.changed(update)),
    ];
  }

  text(): string {
    return this.view.state.doc.toString();
  }

  // The text with CR LF line ends, as files hold it.
  crlfText(): string {
    return this.view.state.doc.toJSON().join('\r\n');
  }

  caretLine(): number {
    const state = this.view.state;
    return state.doc.lineAt(state.selection.main.from).number;
  }

  // Replaces the whole document: a new history, no error, no paused line.
  setText(text: string): void {
    this.view.setState(EditorState.create({ doc: text, extensions: this.extensions() }));
  }

  setRunning(running: boolean): void {
    this.view.dispatch({
      effects: this.readOnly.reconfigure(
        running ? [EditorState.readOnly.of(true), EditorView.contentAttributes.of({ 'aria-readonly': 'true' })] : [],
      ),
    });
  }

  // Adds or removes the line's "<BREAK>" marker: one undoable edit, made even
  // while a run keeps the text read-only (the marker lives in a comment, so
  // the lines stay the run's lines).
  toggleBreakpoint(lineNumber: number): void {
    const doc = this.view.state.doc;
    if (lineNumber < 1 || lineNumber > doc.lines) return;
    const line = doc.line(lineNumber);
    const edit = toggleBreakEdit(line.text);
    const from = line.from + edit.pos;
    this.view.dispatch({
      changes: { from, to: from + edit.remove, insert: edit.insert },
      annotations: isolateHistory.of('full'),
      userEvent: 'input.breakpoint',
    });
    this.hooks.breakpoint(lineNumber, hasBreakMarker(this.view.state.doc.line(lineNumber).text));
  }

  // The error at a 1-based line and column (of the machine's text, where every
  // line break is two characters and every other character one).
  errorAt(message: string, key: string, line: number, column: number): LiveError {
    const doc = this.view.state.doc;
    const l = doc.line(Math.max(1, Math.min(line, doc.lines)));
    const at = Math.min(l.length, Math.max(0, column - 1));
    const text = l.text;
    let start = at;
    let end = at;
    while (end < text.length && isWordChar(text[end])) ++end;
    if (end === start && start < text.length) ++end; // a character that is no word
    if (end === start && start > 0) --start; // the end of a line
    return { message, key, line: l.number, from: l.from + start, to: l.from + end };
  }

  showError(error: LiveError | null): void {
    this.view.dispatch({ effects: setError.of(error) });
  }

  liveError(): LiveError | null {
    return this.view.state.field(errorField);
  }

  // The 1-based line about to run while a run is paused; 0 for none.
  showPausedLine(line: number): void {
    const doc = this.view.state.doc;
    const shown = line > 0 && line <= doc.lines ? line : 0;
    const effects: StateEffect<unknown>[] = [setPaused.of(shown)];
    if (shown) effects.push(EditorView.scrollIntoView(doc.line(shown).from, { y: 'nearest', yMargin: 60 }));
    this.view.dispatch({ effects });
  }

  // Selects one character at a 1-based line and column, as the desktop
  // selects a failing character, and brings it into view.
  selectAt(line: number, column: number): void {
    const doc = this.view.state.doc;
    const l = doc.line(Math.max(1, Math.min(line, doc.lines)));
    const from = l.from + Math.min(l.length, Math.max(0, column - 1));
    const to = Math.min(doc.length, from + 1);
    this.view.dispatch({ selection: EditorSelection.range(from, to), scrollIntoView: true });
    this.view.focus();
  }

  focus(): void {
    this.view.focus();
  }
}
