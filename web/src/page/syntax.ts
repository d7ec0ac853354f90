// The colouring scanner of program text, the desktop's rules word for word: a
// view only. Which words are wrong is the parser's business (the live check);
// the scanner names the classes of words that look right.

export type TokenKind = 'keyword' | 'labelDef' | 'labelUse' | 'number' | 'stack' | 'comment' | 'break';

export interface Token {
  start: number;
  length: number;
  kind: TokenKind;
}

const statementKeywords = new Set([
  'STACK', 'SET', 'ADD', 'SUB', 'MUL', 'DIV', 'PUSH', 'POP', 'INPUT', 'OUTPUT', 'EXIT', 'GOTO', 'IF',
]);
const conditionWords = new Set(['ZERO', 'NEG', 'EMPTY', 'NOT', 'GOTO', 'ELSE']);

function isBlank(c: string): boolean {
  return c === ' ' || c === '\t' || c === '\n' || c === '\v' || c === '\f';
}

function isWordChar(c: string): boolean {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c === '_' || c === '-';
}

function isNumber(word: string): boolean {
  if (word === '-MIN' || word === '-MAX') return true;
  return /^-?[0-9]+$/.test(word);
}

// The code part of a line: everything before its comment.
function codeLength(line: string): number {
  const comment = line.indexOf('//');
  return comment < 0 ? line.length : comment;
}

function skipBlanks(code: string, at: number): number {
  while (at < code.length && isBlank(code[at])) ++at;
  return at;
}

// The coloured spans of one line, in order; later spans win where they
// overlap (a "<BREAK>" inside a comment). `stacks` holds the declared names in
// upper case.
export function scanLine(line: string, stacks: ReadonlySet<string>): Token[] {
  const tokens: Token[] = [];
  const code = line.slice(0, codeLength(line));
  let at = skipBlanks(code, 0);
  if (at < code.length && code[at] === ':') {
    let end = at;
    while (end < code.length && !isBlank(code[end])) ++end;
    tokens.push({ start: at, length: end - at, kind: 'labelDef' });
    at = end;
  }
  let index = 0;
  let first = '';
  let labelDue = false;
  while (at < code.length) {
    if (!isWordChar(code[at])) {
      ++at;
      continue;
    }
    const start = at;
    while (at < code.length && isWordChar(code[at])) ++at;
    const word = code.slice(start, at).toUpperCase();
    let kind: TokenKind | null = null;
    if (index === 0) {
      first = word;
      if (statementKeywords.has(word)) kind = 'keyword';
      labelDue = word === 'GOTO' || word === 'INPUT';
    } else if (labelDue) {
      kind = 'labelUse';
      labelDue = false;
    } else if (first === 'IF' && conditionWords.has(word)) {
      kind = 'keyword';
      labelDue = word === 'GOTO' || word === 'ELSE';
    } else if (first === 'STACK') {
      if (!(word[0] >= '0' && word[0] <= '9') && word[0] !== '-') kind = 'stack';
    } else if (isNumber(word)) {
      kind = 'number';
    } else if (stacks.has(word)) {
      kind = 'stack';
    }
    if (kind) tokens.push({ start, length: at - start, kind });
    ++index;
  }
  if (code.length < line.length) tokens.push({ start: code.length, length: line.length - code.length, kind: 'comment' });
  for (const m of line.matchAll(/<break>/gi)) tokens.push({ start: m.index, length: 7, kind: 'break' });
  return tokens;
}

// The names of the program's STACK line, in upper case: the first line that
// holds a label or a statement decides; no STACK line can follow it.
export function declaredStacks(lines: Iterable<string>): Set<string> {
  for (const line of lines) {
    const code = line.slice(0, codeLength(line));
    const at = skipBlanks(code, 0);
    if (at === code.length) continue;
    if (code[at] === ':') return new Set();
    const words = code.slice(at).toUpperCase().split(/[ \t\n\v\f]+/).filter((w) => w !== '');
    if (words[0] !== 'STACK') return new Set();
    return new Set(words.slice(1));
  }
  return new Set();
}

// A word of the program as the live check's underline and the guide's topic
// see it.
export { isWordChar };
