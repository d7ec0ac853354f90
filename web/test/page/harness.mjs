// What every page test needs: the built site served on a free port, Debian's
// Chromium headless with a new empty profile, and helpers that act as a user
// does (controls found by their accessible names, keys, clicks).

import { build } from 'esbuild';
import { copyFileSync, mkdirSync, mkdtempSync, readdirSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { after } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../../scripts/serve.mjs';

const web = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const site = resolve(process.env.CORVANE_SITE ?? join(web, '../build-web'));
export const axeSource = join(web, 'node_modules/axe-core/axe.min.js');

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'corvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const server = await serve(site, 0);
  const url = `http://127.0.0.1:${server.address().port}/`;
  return {
    browser,
    url,
    async close() {
      await browser.close();
      server.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// The site under /PREFIX/ of a plain static server, with `files` (path:
// text) beside it, as a school's server or GitHub Pages would serve it.
// index.html and sw.js are copies, so that a test can publish a new version.
export async function hostSite({ prefix = 'corvane', files = {} } = {}) {
  const root = mkdtempSync(join(tmpdir(), 'corvane-host-'));
  const dir = join(root, prefix);
  mkdirSync(dir, { recursive: true });
  for (const name of readdirSync(site)) {
    if (name === 'index.html' || name === 'sw.js') copyFileSync(join(site, name), join(dir, name));
    else symlinkSync(join(site, name), join(dir, name));
  }
  for (const [path, text] of Object.entries(files)) {
    mkdirSync(dirname(join(dir, path)), { recursive: true });
    writeFileSync(join(dir, path), text);
  }
  const server = await serve(root, 0);
  return {
    dir,
    url: `http://127.0.0.1:${server.address().port}/${prefix}/`,
    close() {
      server.close();
      rmSync(root, { recursive: true, force: true });
    },
  };
}

// One page for a whole test file: the browser and the page are opened as
// the file loads and closed after its last test.
export async function onePage() {
  const session = await launch();
  after(() => session.close());
  return { session, page: await open(session) };
}

// Waits until the page is ready again after a reload or a navigation.
export async function ready(page) {
  await page.waitForSelector('html[data-ready]');
  return page;
}

// A page on the site, its worker ready; page errors fail the test.
export async function open(session, { width = 1366, height = 768, before, url = session.url } = {}) {
  const page = await session.browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.errors = errors;
  await page.setViewport({ width, height });
  if (before) await page.evaluateOnNewDocument(before);
  // A page with unsaved work asks before it is left: the tests leave it.
  page.on('dialog', (dialog) => dialog.accept());
  await page.goto(url);
  return ready(page);
}

export async function control(page, name, role = 'button') {
  return page.waitForSelector(`aria/${name}[role="${role}"]`);
}

export async function press(page, name) {
  const button = await control(page, name);
  await button.click();
}

export async function runState(page) {
  return page.$eval('aria/Run state', (e) => e.textContent);
}

// Waits until "Run state" says `words` (a string or a pattern).
export async function waitState(page, words, timeout = 10000) {
  const pattern = words instanceof RegExp ? words.source : `^${words.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')}$`;
  await page.waitForFunction(
    (p) => new RegExp(p).test(document.querySelector('[aria-label="Run state"]').textContent),
    { timeout },
    pattern,
  );
  return runState(page);
}

export async function typeProgram(page, text) {
  const editor = await control(page, 'Program', 'textbox');
  await editor.click();
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  // Enter does not indent (as on the desktop), so the text arrives as written.
  await page.keyboard.type(text);
}

export async function typeInput(page, text) {
  const input = await control(page, 'Input values', 'textbox');
  await input.click({ count: 3 });
  await page.keyboard.press('Backspace');
  await input.type(text);
}

// The editor's text as shown (the lines in view: enough for short programs).
export async function programText(page) {
  return page.$$eval('.cm-content .cm-line', (lines) =>
    lines.map((l) => [...l.childNodes].filter((n) => !n.classList?.contains('cm-placeholder')).map((n) => n.textContent).join('')).join('\n'),
  );
}

export async function output(page) {
  return page.$eval('aria/Output[role="textbox"]', (e) => e.value);
}

export async function text(page, name) {
  return page.$eval(`aria/${name}`, (e) => e.textContent.trim());
}

// A TypeScript module of the page, bundled for Node.
export async function importTs(path) {
  const dir = mkdtempSync(join(tmpdir(), 'corvane-ts-'));
  const outfile = join(dir, 'module.mjs');
  await build({ entryPoints: [join(web, path)], bundle: true, format: 'esm', platform: 'neutral', mainFields: ['module', 'main'], outfile, logLevel: 'error' });
  try {
    return await import(pathToFileURL(outfile).href);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

export async function axeViolations(page) {
  await page.addScriptTag({ path: axeSource });
  return page.evaluate(async () => {
    const result = await window.axe.run(document, { resultTypes: ['violations'] });
    return result.violations
      .filter((v) => v.impact === 'serious' || v.impact === 'critical')
      .map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`);
  });
}
