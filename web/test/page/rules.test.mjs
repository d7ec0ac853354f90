// The page's own rules that must agree with the desktop's: the colouring
// scanner, the breakpoint marker's edit, the guide's rendering and its
// explanations of messages, the colours' contrast, the Help topic.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { importTs } from './harness.mjs';

const guide = readFileSync(new URL('../../../docs/guide.md', import.meta.url), 'utf8');

test('the scanner names each class as the desktop does', async () => {
  const { scanLine, declaredStacks } = await importTs('src/page/syntax.ts');
  const stacks = new Set(['ACC', 'A', 'B']);
  const k = (start, length, kind) => ({ start, length, kind });
  const table = [
    ['set -5', [k(0, 3, 'keyword'), k(4, 2, 'number')]],
    ['ADD -MIN', [k(0, 3, 'keyword'), k(4, 4, 'number')]],
    [':loop INPUT done', [k(0, 5, 'labelDef'), k(6, 5, 'keyword'), k(12, 4, 'labelUse')]],
    ['IF NOT EMPTY acc GOTO 12 ELSE out', [k(0, 2, 'keyword'), k(3, 3, 'keyword'), k(7, 5, 'keyword'), k(13, 3, 'stack'), k(17, 4, 'keyword'), k(22, 2, 'labelUse'), k(25, 4, 'keyword'), k(30, 3, 'labelUse')]],
    ['PUSH acc', [k(0, 4, 'keyword'), k(5, 3, 'stack')]],
    ['PUSH other', [k(0, 4, 'keyword')]],
    ['STACK a b', [k(0, 5, 'keyword'), k(6, 1, 'stack'), k(8, 1, 'stack')]],
    ['SET set', [k(0, 3, 'keyword')]],
    ['// SET 5 GOTO x', [k(0, 15, 'comment')]],
    ['OUTPUT //x <bReak>', [k(0, 6, 'keyword'), k(7, 11, 'comment'), k(11, 7, 'break')]],
    ['SET ß <BREAK>', [k(0, 3, 'keyword'), k(6, 7, 'break')]],
  ];
  for (const [line, tokens] of table) assert.deepEqual(scanLine(line, stacks), tokens, line);
  assert.deepEqual([...declaredStacks(['// c', '', '  stack Apples pears // x', 'STACK c'])], ['APPLES', 'PEARS']);
  assert.deepEqual([...declaredStacks([':top STACK a'])], []);
});

test('a breakpoint toggles as the desktop toggles it, and back', async () => {
  const { toggleBreakEdit, applied, hasBreakMarker } = await importTs('src/page/breakmarker.ts');
  const table = [
    ['SET 1', 'SET 1 // <BREAK>'],
    ['', ' // <BREAK>'],
    ['SET 1 // why', 'SET 1 // why <BREAK>'],
    ['SET 1 //', 'SET 1 //<BREAK>'],
    ['SET 1 // <break>', 'SET 1'],
    ['SET 1 // why <Break> not', 'SET 1 // why not'],
    ['<BREAK>', ''],
  ];
  for (const [line, toggled] of table) {
    assert.equal(applied(line, toggleBreakEdit(line)), toggled, line);
    assert.equal(hasBreakMarker(toggled), !hasBreakMarker(line));
    if (!hasBreakMarker(line)) assert.equal(applied(toggled, toggleBreakEdit(toggled)), line);
  }
});

test('the guide renders with escaped text, its examples and their input', async () => {
  const { renderMarkdown, inline } = await importTs('src/page/markdown.ts');
  const rendered = renderMarkdown(guide);
  assert.equal(rendered.examples.length, (guide.match(/^```cv$/gm) ?? []).length);
  const first = rendered.examples[0];
  assert.match(first.code, /^\/\/ Reads two numbers/);
  assert.equal(first.input, '3 4');
  assert.ok(rendered.headings.some((h) => h.text === 'Messages' && h.level === 2));
  assert.equal(new Set(rendered.headings.map((h) => h.id)).size, rendered.headings.length);
  assert.doesNotMatch(rendered.html, /<BREAK>/);
  assert.match(rendered.html, /data-example="sum"/);
  assert.equal(inline('`<b>` **x** [a](javascript:alert)'), '<code>&#60;b&#62;</code> <strong>x</strong> <a href="#">a</a>');
});

test('every message has its explanation from the guide', async () => {
  const { Explanations } = await importTs('src/page/explanations.ts');
  const explanations = new Explanations(guide);
  const table = readFileSync(new URL('../../../src/core/appstrings.cpp', import.meta.url), 'utf8');
  const messages = [...table.matchAll(/^\s*"(.*)",$/gm)].map((m) => m[1]).filter((m) => m.endsWith(' ...') && !/program \.\.\.|input \.\.\./.test(m));
  assert.ok(messages.length > 15);
  for (const message of messages) {
    const shown = message.replace('%d', '12');
    const found = explanations.find(shown);
    assert.ok(found, shown);
    assert.equal(found.paragraphs.length, 3, shown);
    assert.match(found.paragraphs[2], /^\*\*Fix\.\*\*/);
  }
  assert.equal(explanations.find('whatever', 'Division by zero ...').heading, 'Division by zero ...');
  assert.equal(explanations.find('Parsing program ...'), null);
});

test('the colours reach their contrast on both palettes', async () => {
  const { cssVariables, lightPalette, darkPalette, contrast, hex } = await importTs('src/page/colours.ts');
  for (const palette of [lightPalette, darkPalette]) {
    const v = cssVariables(palette);
    const c = (name) => hex(v[`--${name}`]);
    for (const name of ['keyword', 'label', 'number', 'stack', 'comment', 'break'])
      for (const behind of ['base', 'paused-band']) assert.ok(contrast(c(`syntax-${name}`), c(behind)) >= 4.5, `${name} on ${behind}`);
    for (const [fore, behind] of [['error', 'base'], ['error', 'window'], ['subdued', 'base'], ['subdued-window', 'window'], ['link', 'base'], ['error-line-text', 'error-line-band'], ['changed-text', 'changed-background'], ['pass', 'base'], ['fail', 'base']])
      assert.ok(contrast(c(fore), c(behind)) >= 4.5, `${fore} on ${behind}`);
    assert.ok(contrast(c('border'), c('base')) >= 3);
  }
});

test('Help finds the keyword under the caret', async () => {
  const { topicAt } = await importTs('src/page/keys.ts');
  const table = [
    ['IF NOT ZERO GOTO x', 4, 'NOT'],
    ['  push a', 4, 'PUSH'],
    [':set OUTPUT', 2, ''],
    ['SET -max', 6, ''],
    ['OUTPUT // SET', 11, ''],
    ['OUTPUT', 6, 'OUTPUT'],
  ];
  for (const [line, column, topic] of table) assert.equal(topicAt(line, column), topic, `${line} @${column}`);
});
