// The student's work in the browser's storage: the document as it is typed,
// the recent programs, the earlier inputs and the theme. Texts are kept
// compressed; a write that the browser refuses (storage full or off) is
// reported, never ignored, so that the page can say the work is not kept.

import { compressToUTF16, decompressFromUTF16 } from 'lz-string';
import type { Encoding } from '../protocol';

export interface Doc {
  name: string; // "Untitled" while the program has no file
  text: string; // LF line ends, as the editor holds it
  encoding: Encoding; // what Save writes (the file's own, UTF-8 for a new one)
  bom: boolean;
  input: string;
  modified: boolean; // changes not yet saved to a file
  time: number; // when last changed, ms since 1970
  suite?: string; // the .cvtest text Check runs, when one came with the program
  suiteName?: string;
  assignment?: AssignmentInfo; // when the program came from an assignment link
}

export interface AssignmentInfo {
  title: string;
  task: string;
  key: string; // the link's identity: opening it again finds this work
}

const docKey = 'corvane.document';
const recentKey = 'corvane.recent';
const inputsKey = 'corvane.inputs';
const themeKey = 'corvane.theme';
export const recentCount = 12;
export const earlierInputCount = 30;

// This tab's mark on what it writes: a document another tab wrote in the
// meantime goes to the recent list instead of being overwritten. The mark
// lasts as long as the tab, reloads included.
const tabId = (() => {
  const fresh = `${Date.now().toString(36)}-${Math.random().toString(36).slice(2)}`;
  try {
    const kept = sessionStorage.getItem('corvane.tab');
    if (kept) return kept;
    sessionStorage.setItem('corvane.tab', fresh);
  } catch {
    // No session storage: a mark for this page's life.
  }
  return fresh;
})();

interface Stored extends Omit<Doc, 'text' | 'suite'> {
  packed: string;
  suitePacked?: string;
  tab?: string;
}

function pack(doc: Doc): Stored {
  const { text, suite, ...rest } = doc;
  const stored: Stored = { ...rest, packed: compressToUTF16(text), tab: tabId };
  if (suite !== undefined) stored.suitePacked = compressToUTF16(suite);
  return stored;
}

function unpack(stored: Stored): Doc | null {
  const text = decompressFromUTF16(stored.packed);
  if (text === null || typeof stored.name !== 'string') return null;
  const { packed, suitePacked, tab, ...rest } = stored;
  void packed;
  void tab;
  const doc: Doc = { ...rest, text };
  if (suitePacked) doc.suite = decompressFromUTF16(suitePacked) ?? undefined;
  return doc;
}

function read<T>(key: string, fallback: T): T {
  try {
    const raw = localStorage.getItem(key);
    return raw === null ? fallback : (JSON.parse(raw) as T);
  } catch {
    return fallback;
  }
}

// True when the browser kept it.
function write(key: string, value: unknown): boolean {
  try {
    localStorage.setItem(key, JSON.stringify(value));
    return true;
  } catch {
    return false;
  }
}

export function blankDoc(): Doc {
  return { name: 'Untitled', text: '', encoding: 'utf8', bom: false, input: '', modified: false, time: Date.now() };
}

export function loadDoc(): Doc | null {
  const stored = read<Stored | null>(docKey, null);
  return stored ? unpack(stored) : null;
}

function sameWork(a: Doc, b: Doc): boolean {
  return a.text === b.text && a.name === b.name;
}

export function saveDoc(doc: Doc): boolean {
  const before = read<Stored | null>(docKey, null);
  if (before && before.tab && before.tab !== tabId) {
    const theirs = unpack(before);
    if (theirs && theirs.text.trim() !== '' && !sameWork(theirs, doc)) remember(theirs);
  }
  return write(docKey, pack(doc));
}

export function recentDocs(): Doc[] {
  return read<Stored[]>(recentKey, [])
    .map(unpack)
    .filter((d): d is Doc => d !== null);
}

// Puts a document at the head of the recent list (an equal one moves there).
export function remember(doc: Doc): boolean {
  if (doc.text.trim() === '') return true;
  const list = recentDocs().filter((d) => !sameWork(d, doc));
  list.unshift(doc);
  const kept = list.slice(0, recentCount);
  // A full storage drops the oldest entries first.
  for (let n = kept.length; n > 0; --n) if (write(recentKey, kept.slice(0, n).map(pack))) return true;
  return false;
}

// The newest work on the assignment of `key` under Recent.
export function recentWork(key: string): Doc | undefined {
  return recentDocs().find((d) => d.assignment?.key === key);
}

export function forgetRecent(index: number): void {
  const list = recentDocs();
  list.splice(index, 1);
  write(recentKey, list.map(pack));
}

export function earlierInputs(): string[] {
  return read<string[]>(inputsKey, []).filter((s) => typeof s === 'string');
}

// An accepted input joins the list (oldest first); an equal text keeps its
// place, and a text of blanks alone holds no value and is not kept.
export function rememberInput(text: string): string[] {
  const list = earlierInputs();
  if (text.trim() !== '' && !list.includes(text)) {
    list.push(text);
    while (list.length > earlierInputCount) list.shift();
    write(inputsKey, list);
  }
  return list;
}

export type Theme = 'light' | 'dark' | '';

export function storedTheme(): Theme {
  const theme = read<Theme>(themeKey, '');
  return theme === 'light' || theme === 'dark' ? theme : '';
}

export function storeTheme(theme: Theme): void {
  write(themeKey, theme);
}
