// Builds the site into one folder: the page and its bundled script, the
// worker and the machine's WebAssembly module, styles, icons, the examples
// and the language guide; then the web app manifest and the service worker,
// which caches every file of the site under the hash of them all.
//
//   node scripts/build.mjs OUT_DIR WASM_DIR
//
// WASM_DIR holds what `make wasm` built: the worker (worker.js) and the
// module it loads (corvane.js and corvane.wasm).

import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { copyFileSync, existsSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join, relative, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';
import { iconPng } from './icon.mjs';

const web = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const root = resolve(web, '..');
const out = resolve(process.argv[2] ?? join(root, 'build-web'));
const wasm = resolve(process.argv[3] ?? join(root, 'build-wasm/web'));

rmSync(out, { recursive: true, force: true });
for (const dir of ['', 'icons', 'examples']) mkdirSync(join(out, dir), { recursive: true });

const common = { bundle: true, minify: true, sourcemap: false, target: ['chrome110', 'firefox115', 'safari16'], logLevel: 'warning', legalComments: 'none' };
await build({ ...common, entryPoints: [join(web, 'src/page/main.ts')], outfile: join(out, 'page.js'), format: 'esm' });

// The worker and the machine's module, as `make wasm` built them.
if (!existsSync(join(wasm, 'worker.js'))) throw new Error(`no worker in ${wasm} (make wasm)`);
for (const name of ['worker.js', 'corvane.js', 'corvane.wasm']) if (existsSync(join(wasm, name))) copyFileSync(join(wasm, name), join(out, name));

copyFileSync(join(web, 'index.html'), join(out, 'index.html'));
copyFileSync(join(web, 'styles/page.css'), join(out, 'page.css'));
copyFileSync(join(root, 'docs/guide.md'), join(out, 'guide.md'));
for (const name of readdirSync(join(root, 'src/gui/icons')))
  if (name.endsWith('.png')) copyFileSync(join(root, 'src/gui/icons', name), join(out, 'icons', name));

// The examples, and their list with the first line of each one's comment.
const examples = [];
for (const name of readdirSync(join(root, 'examples')).sort()) {
  if (!/\.(cv|cvtest)$/.test(name)) continue;
  copyFileSync(join(root, 'examples', name), join(out, 'examples', name));
  if (!name.endsWith('.cv')) continue;
  const text = readFileSync(join(root, 'examples', name), 'latin1');
  const title = (/^\s*\/\/\s*(.*)$/m.exec(text)?.[1] ?? '').trim();
  examples.push({ name: name.slice(0, -3), title });
}
writeFileSync(join(out, 'examples', 'index.json'), JSON.stringify(examples));

// Installable: the manifest, with the icon at the sizes browsers ask for.
for (const size of [192, 512]) writeFileSync(join(out, 'icons', `corvane-${size}.png`), iconPng(size));
const manifest = {
  name: 'Corvane',
  short_name: 'Corvane',
  description: 'Write, run, trace and check programs of a small stack machine, in the browser.',
  start_url: './',
  scope: './',
  display: 'standalone',
  background_color: '#efefef',
  theme_color: '#1d3557',
  icons: [128, 192, 256, 512].map((size) => ({ src: `icons/corvane-${size}.png`, sizes: `${size}x${size}`, type: 'image/png' })),
};
writeFileSync(join(out, 'manifest.webmanifest'), JSON.stringify(manifest, null, 2));

// Offline: the service worker knows every file and the build's hash.
function filesUnder(dir) {
  return readdirSync(dir, { withFileTypes: true }).flatMap((e) => (e.isDirectory() ? filesUnder(join(dir, e.name)) : [join(dir, e.name)]));
}
const files = filesUnder(out)
  .map((path) => relative(out, path).split(sep).join('/'))
  .sort();
// The worker's own source counts too: a change to it alone is a new build.
const hash = createHash('sha256').update(readFileSync(join(web, 'src/sw/sw.ts')));
for (const file of files) hash.update(file).update('\0').update(readFileSync(join(out, file))).update('\0');
const version = hash.digest('hex').slice(0, 16);
await build({
  ...common,
  entryPoints: [join(web, 'src/sw/sw.ts')],
  outfile: join(out, 'sw.js'),
  format: 'iife',
  define: { CORVANE_BUILD: JSON.stringify(version), CORVANE_FILES: JSON.stringify(['./', ...files]) },
});
console.log(`Site built in ${out} (build ${version}, ${files.length} files)`);
