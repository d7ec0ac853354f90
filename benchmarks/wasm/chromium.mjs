// Break and Stop latency with the real worker script in headless Chromium
// (Debian's /usr/bin/chromium through puppeteer-core from web/node_modules):
// the page measures from posting the request to the worker's answer.
import { existsSync, readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const chromium = '/usr/bin/chromium';
const webPackage = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../web/package.json');

const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.html': 'text/html' };

function serve(dir) {
  const server = createServer((request, response) => {
    const name = request.url === '/' ? 'index.html' : path.basename(request.url);
    const file = path.join(dir, name);
    if (name !== 'index.html' && !existsSync(file)) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'content-type': types[path.extname(name)] ?? 'application/octet-stream' });
    response.end(name === 'index.html' ? '<!doctype html><title>worker</title>' : readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// In the page: the same rounds as the Node measurement.
async function measure(program, rounds) {
  const worker = new Worker('worker.js');
  const next = (...kinds) =>
    new Promise((resolve) => {
      const l = (m) => {
        if (!kinds.includes(m.data.kind)) return;
        worker.removeEventListener('message', l);
        resolve(m.data);
      };
      worker.addEventListener('message', l);
    });
  const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
  await next('ready');
  const breaks = [];
  const stops = [];
  for (let i = 0; i < rounds; i++) {
    worker.postMessage({ kind: 'start', text: program, input: '', mode: 'run', cursorLine: 0 });
    await sleep(150 + 37 * i);
    let t = performance.now();
    const paused = next('paused');
    worker.postMessage({ kind: 'break' });
    await paused;
    breaks.push(performance.now() - t);
    worker.postMessage({ kind: 'continue' });
    await sleep(150 + 23 * i);
    t = performance.now();
    const ended = next('ended');
    worker.postMessage({ kind: 'stop' });
    await ended;
    stops.push(performance.now() - t);
  }
  worker.terminate();
  return { breaks, stops };
}

export async function latencyInChromium(web, program, rounds) {
  let puppeteer;
  try {
    puppeteer = (await import(pathToFileURL(createRequire(webPackage).resolve('puppeteer-core')).href)).default;
  } catch {
    return null;
  }
  if (!existsSync(chromium)) return null;
  const server = await serve(web);
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ['--no-sandbox'] });
  try {
    const page = await browser.newPage();
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    return await page.evaluate(measure, program, rounds);
  } finally {
    await browser.close();
    server.close();
  }
}
