// A static server for the built site (the module and the worker load only
// over HTTP). `node scripts/serve.mjs DIR [PORT]` serves until stopped; the
// tests and the benchmark start it on a free port with `serve(dir, 0)`.

import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.md': 'text/markdown; charset=utf-8',
  '.cv': 'text/plain',
  '.cvtest': 'text/plain; charset=utf-8',
};

export function serve(dir, port = 8080, host = '127.0.0.1') {
  const rootDir = resolve(dir);
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = normalize(join(rootDir, path.endsWith('/') ? path + 'index.html' : path));
    let size = -1;
    try {
      if (file === rootDir || file.startsWith(rootDir + sep)) size = statSync(file).isFile() ? statSync(file).size : -1;
    } catch {
      size = -1;
    }
    if (size < 0) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found');
      return;
    }
    response.writeHead(200, {
      'Content-Type': types[extname(file)] ?? 'application/octet-stream',
      'Content-Length': size,
      'Cache-Control': 'no-cache',
      // Isolation lets the worker share memory with the page where it wants to.
      'Cross-Origin-Opener-Policy': 'same-origin',
      'Cross-Origin-Embedder-Policy': 'require-corp',
    });
    if (request.method === 'HEAD') return response.end();
    createReadStream(file).pipe(response);
  });
  return new Promise((resolvePromise, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => resolvePromise(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const dir = process.argv[2] ?? 'build-web';
  const port = Number(process.argv[3] ?? 8080);
  const server = await serve(dir, port, 'localhost');
  console.log(`Corvane is served at http://localhost:${server.address().port}/ (Ctrl+C stops the server)`);
}
