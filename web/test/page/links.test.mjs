// Share and assignment links: the fragment's texts come back whole, a link cut
// short is refused; a shared program (with its input) and an assignment (with
// its suite, inline or hosted beside the page) open as a new document, and
// the work the student had is kept.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';
import { axeViolations, control, hostSite, importTs, launch, open, output, press, programText, ready, typeInput, typeProgram, waitState } from './harness.mjs';

const sumSuite = readFileSync(new URL('../../../examples/sum.cvtest', import.meta.url), 'utf8');

let session;
before(async () => (session = await launch()));
after(() => session.close());

test('a link’s texts come back whole; a link cut short or a path off the site is refused', async () => {
  const { linkFragment, readLink, readTaskFile } = await importTs('src/page/links.ts');
  const links = [
    { kind: 'share', name: 'grüße.cv', program: '// Příliš žluťoučký\n\tSET -5 // <BREAK>\nOUTPUT', input: '1 -2\n3' },
    { kind: 'share', name: '', program: 'SET 1', input: undefined },
    { kind: 'assignment', title: 'Week 3: sums & more', task: 'Add **all** `INPUT` values.', name: 'sum.cv', program: '', suite: sumSuite },
    { kind: 'hosted', path: 'week 3/sum' },
  ];
  for (const link of links) {
    const { sum, ...read } = readLink(linkFragment(link));
    assert.deepEqual(read, link);
    if (link.kind !== 'assignment') assert.equal(sum, undefined);
  }
  const whole = linkFragment(links[2]);
  for (const cut of [whole.slice(0, -3), whole.slice(0, whole.indexOf('&k=')), whole.replace('&s=', '&s=x')])
    assert.throws(() => readLink(cut), /incomplete or damaged/, cut.slice(-20));
  for (const path of ['https://elsewhere.example/a', '/etc/passwd', '../up', '']) assert.throws(() => readLink(`#assignment=${encodeURIComponent(path)}`), /beside this page/, path);
  assert.equal(readLink('#guide-keys'), null);
  assert.deepEqual(readTaskFile('# Sums\r\n\r\nAdd them.', 'sum'), { title: 'Sums', task: 'Add them.' });
  assert.deepEqual(readTaskFile('Add them.', 'sum'), { title: 'sum', task: 'Add them.' });
});

async function recent(page) {
  await press(page, 'Recent');
  const listed = await page.$$eval('dialog[open] li button', (buttons) => buttons.map((b) => b.textContent));
  await page.keyboard.press('Escape');
  return listed.join('\n');
}

// The page keeps what is typed 300 ms after the typing stops.
const settle = () => new Promise((r) => setTimeout(r, 700));
const notice = (page, pattern) => page.waitForFunction((p) => new RegExp(p).test(document.getElementById('notice').textContent), {}, pattern.source);

test('Copy link carries the program and the input; opening it keeps the work there was', async () => {
  const page = await open(session);
  await typeProgram(page, '// shared\nINPUT end\nOUTPUT\n:end');
  await typeInput(page, '41 2');
  await press(page, 'Copy link');
  await (await control(page, 'With the input values', 'checkbox')).click();
  const link = await page.$eval('aria/Link', (e) => e.value);
  assert.match(link, /^http:\/\/127\.0\.0\.1:\d+\/#p=[^&]+&i=[^&]+&k=[0-9a-f]{8}$/);
  await page.keyboard.press('Escape');
  await typeProgram(page, 'SET 7 // my own work');
  await settle();

  // Another tab opens the link: the program and input come, the work waits under Recent.
  const other = await open(session, { url: link });
  assert.equal(await programText(other), '// shared\nINPUT end\nOUTPUT\n:end');
  assert.equal(await other.$eval('aria/Input values[role="textbox"]', (e) => e.value), '41 2');
  assert.equal(await other.evaluate(() => location.hash), '');
  assert.match(await recent(other), /SET 7 \/\/ my own work/);
  await press(other, 'Run');
  await waitState(other, 'finished');
  assert.equal(await output(other), '41 ');

  // A link cut short changes nothing.
  await other.goto(link.slice(0, -12));
  await notice(other, /incomplete or damaged/);
  assert.equal(await programText(other), '// shared\nINPUT end\nOUTPUT\n:end');
  await other.close();
  await page.close();
});

test('an assignment link, inline or hosted, brings title, task, start program and suite; opened again, the work goes on', async () => {
  const host = await hostSite({
    files: { 'week3/sum.md': '# Sum it up\n\nPrint the **sum** of the input.', 'week3/sum.cvtest': sumSuite, 'week3/sum.cv': '// Start here\r\n' },
  });
  try {
    // The teacher: the suite and a start program, then the link.
    const teacher = await open(session, { url: host.url });
    await press(teacher, 'Examples');
    await (await teacher.waitForSelector('dialog[open] button::-p-text(sum.cv)')).click();
    await teacher.waitForFunction(() => document.querySelector('h1').textContent.startsWith('sum.cv'));
    await typeProgram(teacher, '// Add up the input.');
    await press(teacher, 'Make assignment link');
    const title = await control(teacher, 'Title', 'textbox');
    await title.click({ count: 3 });
    await title.type('Week 3: the sum');
    await (await control(teacher, 'Task', 'textbox')).type('Print the sum of `INPUT` values.');
    assert.match(await teacher.$eval('#assign-parts', (e) => e.textContent), /Test suite: sum\.cvtest\./);
    const link = await teacher.$eval('aria/Assignment link', (e) => e.value);
    assert.deepEqual(await axeViolations(teacher), [], 'Make assignment link');
    await teacher.close();

    for (const [url, heading, start] of [
      [link, 'Week 3: the sum', '// Add up the input.'],
      [`${host.url}#assignment=week3/sum`, 'Sum it up', '// Start here\n'],
    ]) {
      const page = await open(session, { url });
      assert.equal(await page.$eval('#assignment h2', (e) => e.textContent), heading);
      assert.deepEqual(await axeViolations(page), [], heading);
      assert.equal(await programText(page), start);
      await typeProgram(page, 'SET 0\nOUTPUT // the student’s try');
      await page.keyboard.down('Control');
      await page.keyboard.press('F9');
      await page.keyboard.up('Control');
      await page.waitForFunction(() => document.getElementById('check-summary').textContent === '1 of 5 passed, 1 of 6 points');
      await page.keyboard.press('Escape');
      await settle();
      // The link once more (the student comes back next lesson): the work is there.
      await page.reload();
      await ready(page);
      await page.goto(url);
      await notice(page, /your work on it goes on/);
      assert.equal(await programText(page), 'SET 0\nOUTPUT // the student’s try');
      await page.close();
    }
  } finally {
    host.close();
  }
});
