// The texts of Check, as the desktop's Check window words them: the summary
// line and what it shows of one case. A hidden case shows its result alone,
// never its data.

import type { CaseResult, ErrorInfo } from '../protocol';

// Every line after the first starts under the first line's text.
const indent = ' '.repeat(10);

function labelled(label: string, text: string): string {
  return label.padEnd(indent.length) + text.replace(/\n/g, '\n' + indent) + '\n';
}

// "4 of 5 passed, 8 of 10 points"
export function checkSummary(passed: number, cases: number, score: number, maxScore: number): string {
  return `${passed} of ${cases} passed, ${score} of ${maxScore} points`;
}

// Why a case failed, in words.
export function reasonText(reason: string): string {
  switch (reason) {
    case 'wrong-output':
      return 'wrong output';
    case 'error':
      return 'an error the case does not expect';
    case 'no-error':
      return 'no error, where the case expects one';
    case 'step-limit':
      return 'still running at the step limit';
    case 'timeout':
      return 'timed out';
    default:
      return '';
  }
}

// The output as it reads on its own: trailing blanks and line feeds go, and
// where values are compared the blanks between them shrink to one, so that
// the first difference is one of values, not of layout.
function shown(text: string, compare: CaseResult['compare']): string {
  if (compare === 'values' || compare === 'contains') return text.split(/\s+/).filter(Boolean).join(' ');
  return text.replace(/[ \n\t\r]+$/, '');
}

function firstDifference(a: string, b: string): number {
  const n = Math.min(a.length, b.length);
  for (let i = 0; i < n; ++i) if (a[i] !== b[i]) return i;
  return a.length === b.length ? -1 : n;
}

// The caret under the first difference of one-line texts; its line and
// column where either spans lines.
function differenceMark(expected: string, actual: string): string {
  const at = firstDifference(expected, actual);
  if (at < 0) return '';
  if (!expected.includes('\n') && !actual.includes('\n')) return indent + ' '.repeat(at) + '^ first difference\n';
  const before = actual.slice(0, at);
  const line = before.split('\n').length;
  const column = at - (before.lastIndexOf('\n') + 1) + 1;
  return labelled('', `first difference at line ${line}, column ${column} of the output`);
}

function expectedText(r: CaseResult): string {
  switch (r.outcome) {
    case 'error':
      return `an error: ${r.expected}` + (r.errorLine ? ` (line ${r.errorLine})` : '');
    case 'step-limit':
      return r.expected; // "still running after N steps"
    default:
      return r.compare === 'regex' ? `output matching ${r.expected}` : shown(r.expected, r.compare);
  }
}

function errorText(error: ErrorInfo): string {
  return error.line ? `line ${error.line}, column ${error.column}: ${error.message}` : error.message;
}

export function caseDetails(r: CaseResult): string {
  let text = labelled('Result:', r.passed ? 'passed' : `failed: ${reasonText(r.reason)}`);
  if (r.hidden) return text + labelled('', '(a hidden case: its data is not shown)');
  text += labelled('Input:', r.input === '' ? '(no input)' : r.input);
  const expected = expectedText(r);
  text += labelled('Expected:', expected);
  const actual = shown(r.output, r.compare);
  text += labelled('Actual:', r.outputCut ? actual + ' ...' : actual === '' ? '(no output)' : actual);
  if (!r.passed && r.outcome === 'output' && !r.error && (r.compare === 'values' || r.compare === 'exact'))
    text += differenceMark(expected, actual);
  if (r.error) text += labelled('Error:', errorText(r.error));
  text += labelled('Steps:', String(r.steps));
  return text;
}
