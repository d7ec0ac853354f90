// The page's figures, in headless Chromium on localhost:
//   load to interactive with a cold cache (the editor shown, the worker ready),
//   the transfer size of what a first visit loads (gzip) and of the whole site,
//   the counting loop's speed in the page against corvane-run,
//   Break's latency in an endless loop,
//   typing latency in a program of 10,000 lines,
//   Check of 50 cases of 10^6 commands each: its time and the main thread's longest task,
//   the length of each example's share and assignment link.
//
// CORVANE_SITE: the built site; CORVANE_RUN: corvane-run (the loop's native figure).

import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { cpus, loadavg, tmpdir } from 'node:os';
import { join, relative } from 'node:path';
import { gzipSync } from 'node:zlib';
import { importTs, launch, open, site, typeProgram, waitState } from '../test/page/harness.mjs';

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const quantile = (xs, q) => [...xs].sort((a, b) => a - b)[Math.min(xs.length - 1, Math.floor(xs.length * q))];
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
const ms = (t) => `${t.toFixed(1)} ms`;

function gzipped(path) {
  return gzipSync(readFileSync(path), { level: 9 }).length;
}

function filesUnder(dir) {
  return readdirSync(dir, { withFileTypes: true }).flatMap((e) => (e.isDirectory() ? filesUnder(join(dir, e.name)) : [join(dir, e.name)]));
}

async function loadFigures() {
  const times = [];
  let loaded = [];
  for (let i = 0; i < 5; ++i) {
    const session = await launch();
    // The browser's own start-up pages (its omnibox's) settle first.
    await new Promise((r) => setTimeout(r, 2000));
    const page = await session.browser.newPage();
    await page.setCacheEnabled(false);
    await page.goto(session.url);
    await page.waitForSelector('html[data-ready]');
    times.push(await page.evaluate(() => performance.getEntriesByName('corvane-ready')[0].startTime));
    loaded = await page.evaluate(() => [location.pathname, ...performance.getEntriesByType('resource').map((r) => new URL(r.name).pathname)]);
    await session.close();
  }
  // The worker's own loads (its module) are not among the page's entries.
  const paths = [...new Set([...loaded, '/corvane.js', '/corvane.wasm'])].map((p) => join(site, p === '/' ? 'index.html' : p));
  const firstVisit = paths.reduce((sum, p) => sum + gzipped(p), 0);
  const all = filesUnder(site);
  const whole = all.reduce((sum, p) => sum + gzipped(p), 0);
  console.log(`Load to interactive (cold cache, localhost): median ${ms(median(times))}, of ${times.map((t) => t.toFixed(0)).join(', ')} ms`);
  console.log(`First visit transfer (gzip -9): ${kb(firstVisit)} in ${paths.length} files (${paths.map((p) => relative(site, p)).join(', ')})`);
  console.log(`Whole site (gzip -9): ${kb(whole)} in ${all.length} files; raw ${kb(all.reduce((s, p) => s + statSync(p).size, 0))}`);
}

const countingLoop = 'SET 333333333\n:loop SUB 1\nIF ZERO GOTO end\nGOTO loop\n:end\n';

async function loopFigures(session) {
  const page = await open(session);
  await typeProgram(page, countingLoop);
  const start = Date.now();
  await page.keyboard.press('F9');
  await waitState(page, 'finished', 600000);
  const pageSeconds = (Date.now() - start) / 1000;
  const steps = Number(await page.$eval('#steps', (e) => e.textContent));
  await page.close();
  console.log(`Counting loop in the page: ${steps} commands in ${pageSeconds.toFixed(2)} s, ${(steps / pageSeconds / 1e6).toFixed(0)} M commands/s`);
  const runner = process.env.CORVANE_RUN;
  if (!runner) return console.log('corvane-run: not given (CORVANE_RUN), no ratio');
  const dir = mkdtempSync(join(tmpdir(), 'corvane-bench-'));
  writeFileSync(join(dir, 'loop.cv'), countingLoop.replace(/\n/g, '\r\n'));
  const t0 = process.hrtime.bigint();
  execFileSync(runner, ['--input', '', join(dir, 'loop.cv')]);
  const nativeSeconds = Number(process.hrtime.bigint() - t0) / 1e9;
  rmSync(dir, { recursive: true, force: true });
  console.log(`Counting loop in corvane-run: ${nativeSeconds.toFixed(2)} s, ${(steps / nativeSeconds / 1e6).toFixed(0)} M commands/s`);
  console.log(`Page speed against corvane-run: ${(nativeSeconds / pageSeconds).toFixed(2)} (goal at least 0.5)`);
}

async function breakFigures(session) {
  const page = await open(session);
  await typeProgram(page, ':top ADD 1\nGOTO top');
  const latencies = [];
  for (let i = 0; i < 10; ++i) {
    await page.keyboard.press(i === 0 ? 'F9' : 'F9');
    await waitState(page, 'running');
    await new Promise((r) => setTimeout(r, 200));
    latencies.push(
      await page.evaluate(
        () =>
          new Promise((resolve) => {
            const state = document.getElementById('run-state');
            const t0 = performance.now();
            new MutationObserver((_, observer) => {
              if (!state.textContent.startsWith('paused')) return;
              observer.disconnect();
              resolve(performance.now() - t0);
            }).observe(state, { childList: true, characterData: true, subtree: true });
            document.getElementById('break').click();
          }),
      ),
    );
  }
  await page.keyboard.down('Control');
  await page.keyboard.press('F2');
  await page.keyboard.up('Control');
  await waitState(page, 'stopped');
  // Stop's latency, once.
  await page.keyboard.press('F9');
  await waitState(page, 'running');
  await new Promise((r) => setTimeout(r, 200));
  const stop = await page.evaluate(
    () =>
      new Promise((resolve) => {
        const state = document.getElementById('run-state');
        const t0 = performance.now();
        new MutationObserver(() => state.textContent === 'stopped' && resolve(performance.now() - t0)).observe(state, { childList: true, characterData: true, subtree: true });
        document.getElementById('stop').click();
      }),
  );
  await page.close();
  console.log(`Break latency in an endless loop: median ${ms(median(latencies))}, max ${ms(Math.max(...latencies))}; Stop ${ms(stop)}`);
}

async function typingFigures(session) {
  const page = await open(session);
  const lines = [];
  for (let i = 0; i < 10000; ++i) lines.push(i % 4 === 0 ? `:l${i} SET ${i} // line ${i}` : i % 4 === 1 ? 'PUSH' : i % 4 === 2 ? 'ADD 1' : `IF ZERO GOTO l${i - 3}`);
  const text = lines.join('\r\n');
  await page.evaluate((program) => {
    const data = new DataTransfer();
    data.items.add(new File([program], 'long.cv'));
    window.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
  }, text);
  await page.waitForFunction(() => document.querySelector('h1').textContent.startsWith('long.cv'));
  await page.click('.cm-line:nth-child(10)');
  await page.evaluate(() => {
    window.latencies = [];
    window.addEventListener(
      'keydown',
      (event) => {
        const t0 = event.timeStamp;
        requestAnimationFrame(() => {
          const channel = new MessageChannel();
          channel.port1.onmessage = () => window.latencies.push(performance.now() - t0);
          channel.port2.postMessage(0);
        });
      },
      true,
    );
  });
  await page.keyboard.type('SET 12345 // typed into a long program', { delay: 40 });
  const latencies = await page.evaluate(() => window.latencies);
  await page.close();
  console.log(`Typing latency, 10,000 lines (key to next frame): median ${ms(median(latencies))}, 95th percentile ${ms(quantile(latencies, 0.95))}, of ${latencies.length} keys`);
}

// 1 + 3 * 333333 - 1 + 1 = 10^6 commands, then 0 printed.
const millionSteps = 'SET 333333\r\n:loop SUB 1\r\nIF ZERO GOTO end\r\nGOTO loop\r\n:end OUTPUT\r\n';

async function checkFigures(session) {
  const page = await open(session);
  const drop = (name, text) =>
    page.evaluate(
      (n, t) => {
        const data = new DataTransfer();
        data.items.add(new File([t], n));
        window.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
      },
      name,
      text,
    );
  await drop('million.cv', millionSteps);
  await page.waitForFunction(() => document.querySelector('h1').textContent.startsWith('million.cv'));
  const cases = Array.from({ length: 50 }, (_, i) => `[[case]]\nname = "case ${i + 1}"\noutput = "0"\nmax-steps = 2000000\n`);
  await drop('million.cvtest', cases.join('\n'));
  await page.waitForFunction(() => /Check will run/.test(document.getElementById('notice').textContent));
  // The page's own start-up work (the guide's explanations) is over first.
  await new Promise((r) => setTimeout(r, 1000));
  // Four checks, the first of which also starts Check's worker; each one's
  // watchers start in a task of their own, so that the test's own task is not
  // among those measured. A long task is one of 50 ms or more of wall time: on
  // a busy machine a task also waits for a core.
  const runs = [];
  for (let run = 0; run < 4; ++run) {
    await page.evaluate(() => {
      const watch = (window.watch = { longTasks: [], worstGap: 0 });
      new PerformanceObserver((list) => watch.longTasks.push(...list.getEntries().map((e) => e.duration))).observe({ type: 'longtask' });
      // The longest wait of a 5 ms timer: what a click or a key would wait.
      let last = performance.now();
      watch.timer = setInterval(() => {
        const now = performance.now();
        watch.worstGap = Math.max(watch.worstGap, now - last - 5);
        last = now;
      }, 5);
    });
    await new Promise((r) => setTimeout(r, 100));
    const figures = await page.evaluate(
      () =>
        new Promise((resolve) => {
          const summary = document.getElementById('check-summary');
          const t0 = performance.now();
          new MutationObserver(() => {
            if (!/ passed, /.test(summary.textContent)) return;
            clearInterval(window.watch.timer);
            resolve({ seconds: (performance.now() - t0) / 1000, summary: summary.textContent });
          }).observe(summary, { childList: true, characterData: true, subtree: true });
          document.getElementById('check').click();
        }),
    );
    await new Promise((r) => setTimeout(r, 100));
    Object.assign(figures, await page.evaluate(() => window.watch));
    runs.push(figures);
    await page.keyboard.press('Escape');
  }
  await page.close();
  const longest = (f) => (f.longTasks.length ? Math.max(...f.longTasks) : 0);
  const load = `load average ${loadavg()[0].toFixed(1)} on ${cpus().length} cores`;
  console.log(`Check, 50 cases of 10^6 commands (${load}), the first with its worker's start: ${runs.map((f) => `${f.seconds.toFixed(2)} s`).join(', ')}; ${runs[0].summary}`);
  console.log(`  main thread's longest task: ${runs.map((f) => (longest(f) ? ms(longest(f)) : 'none of 50 ms or more')).join(', ')}`);
  console.log(`  longest wait of a 5 ms timer: ${runs.map((f) => ms(f.worstGap)).join(', ')}`);
}

async function linkFigures() {
  const { linkFragment } = await importTs('src/page/links.ts');
  const base = 'https://teacher.github.io/corvane/'; // a typical address of the page
  const dir = new URL('../../examples/', import.meta.url);
  const rows = readdirSync(dir)
    .filter((n) => n.endsWith('.cv'))
    .map((file) => {
      const name = file.slice(0, -3);
      const program = readFileSync(new URL(file, dir), 'latin1').replace(/\r\n/g, '\n');
      const suite = readFileSync(new URL(`${name}.cvtest`, dir), 'utf8');
      const share = base.length + linkFragment({ kind: 'share', name: file, program }).length;
      const assignment = base.length + linkFragment({ kind: 'assignment', title: name, task: '', name: file, program, suite }).length;
      return { file, bytes: program.length + suite.length, share, assignment };
    })
    .sort((a, b) => b.bytes - a.bytes);
  const [largest] = rows;
  console.log(`Link of the largest example (${largest.file} and its suite, ${largest.bytes} characters), on ${base}: share ${largest.share} characters, assignment ${largest.assignment}`);
  console.log(`Assignment links of every example: ${rows.map((r) => `${r.file} ${r.assignment}`).join(', ')}`);
}

await linkFigures();
await loadFigures();
const session = await launch();
try {
  await checkFigures(session);
  await breakFigures(session);
  await typingFigures(session);
  await loopFigures(session);
} finally {
  await session.close();
}
