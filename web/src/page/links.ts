// Links that carry a program, or a whole assignment, in their fragment (the
// part after "#", which the browser never sends to a server). Texts travel
// compressed with lz-string; the fragment's fields:
//
//   n  the program's name (URI-encoded)          p  the program (lz)
//   i  the input values (lz, optional)           t  an assignment's title (URI-encoded)
//   d  the assignment's task text (lz)           s  its test suite (lz)
//   k  the check sum of all of them, last: a link cut short has none
//
// With `t` the link is an assignment, else a shared program. A hosted
// assignment is `#assignment=PATH`: PATH.cv, PATH.cvtest and PATH.md beside
// the page (each optional, the .md's first "# " line its title).

import { compressToEncodedURIComponent as pack, decompressFromEncodedURIComponent as unpack } from 'lz-string';

export interface SharedProgram {
  kind: 'share';
  name: string;
  program: string;
  input?: string;
}

export interface Assignment {
  kind: 'assignment';
  title: string;
  task: string;
  name: string;
  program: string; // the start program
  suite?: string;
  sum?: string; // read from a link: its check sum, which names the assignment
}

export interface HostedAssignment {
  kind: 'hosted';
  path: string; // relative to the page, without an extension
}

export type Link = SharedProgram | Assignment | HostedAssignment;

// FNV-1a over the texts, as 8 hex digits.
export function checkSum(texts: string[]): string {
  let hash = 0x811c9dc5;
  for (const text of texts) {
    for (let i = 0; i < text.length; ++i) hash = Math.imul(hash ^ text.charCodeAt(i), 0x01000193) >>> 0;
    hash = Math.imul(hash ^ 0xffff, 0x01000193) >>> 0;
  }
  return hash.toString(16).padStart(8, '0');
}

function fields(link: SharedProgram | Assignment): [string, string | undefined][] {
  return link.kind === 'share'
    ? [['n', link.name], ['p', link.program], ['i', link.input]]
    : [['n', link.name], ['t', link.title], ['p', link.program], ['d', link.task], ['s', link.suite]];
}

const plain = new Set(['n', 't']);

// The fragment, "#" included.
export function linkFragment(link: Link): string {
  if (link.kind === 'hosted') return `#assignment=${encodeURIComponent(link.path).replace(/%2F/g, '/')}`;
  const given = fields(link).filter((f): f is [string, string] => f[1] !== undefined && f[1] !== '');
  const parts = given.map(([key, value]) => `${key}=${plain.has(key) ? encodeURIComponent(value) : pack(value)}`);
  parts.push(`k=${checkSum(given.flat())}`);
  return '#' + parts.join('&');
}

export class LinkError extends Error {}

const damaged = 'This link is incomplete or damaged (cut short when it was copied?): ask for it again.';

// The link in a fragment; null when the fragment holds none.
export function readLink(fragment: string): Link | null {
  const values = new Map<string, string>();
  for (const part of fragment.replace(/^#/, '').split('&')) {
    const at = part.indexOf('=');
    if (at > 0) values.set(part.slice(0, at), part.slice(at + 1));
  }
  if (values.has('assignment')) return { kind: 'hosted', path: hostedPath(safeDecode(values.get('assignment')!) ?? '') };
  if (!values.has('p') && !values.has('t')) return null;
  const read = (key: string): string | undefined => {
    const raw = values.get(key);
    if (raw === undefined) return undefined;
    const text = plain.has(key) ? safeDecode(raw) : unpack(raw);
    if (text === null) throw new LinkError(damaged);
    return text;
  };
  const name = read('n') ?? '';
  const link: SharedProgram | Assignment = values.has('t')
    ? { kind: 'assignment', title: read('t')!, task: read('d') ?? '', name, program: read('p') ?? '', suite: read('s') }
    : { kind: 'share', name, program: read('p')!, input: read('i') };
  const given = fields(link).filter((f): f is [string, string] => f[1] !== undefined && f[1] !== '');
  const sum = checkSum(given.flat());
  if (values.get('k') !== sum) throw new LinkError(damaged);
  return link.kind === 'assignment' ? { ...link, sum } : link;
}

function safeDecode(text: string): string | null {
  try {
    return decodeURIComponent(text);
  } catch {
    return null;
  }
}

// A hosted assignment's files lie beside the page: a relative path without
// a scheme, a host or "..", its extension dropped.
function hostedPath(path: string): string {
  const clean = path.trim().replace(/\.(cv|cvtest|md)$/i, '');
  if (clean === '' || /^[a-z][a-z0-9+.-]*:|^\/|^\\|(^|\/)\.\.(\/|$)/i.test(clean))
    throw new LinkError(`The assignment ${path} is no path beside this page.`);
  return clean;
}

// The title and task of a hosted assignment's Markdown: its first "# "
// heading is the title, the rest the task.
export function readTaskFile(text: string, fallbackTitle: string): { title: string; task: string } {
  const lines = text.replace(/\r\n?/g, '\n').split('\n');
  const at = lines.findIndex((line) => /^# /.test(line));
  if (at < 0) return { title: fallbackTitle, task: text.trim() };
  return { title: lines[at].slice(2).trim(), task: [...lines.slice(0, at), ...lines.slice(at + 1)].join('\n').trim() };
}

// A program's name for a link: a file name, never a path.
export function fileNameOf(name: string, fallback: string): string {
  const base = name.split(/[\\/]/).pop()!.trim().slice(0, 80);
  if (base === '') return fallback;
  return /\.cv$/i.test(base) ? base : `${base}.cv`;
}
