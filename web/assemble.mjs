// Assembles the page into one self-contained HTML file: the style, the plotting
// library, the scripts, and the worker's source (the core with its WebAssembly
// inside, the request reader and the worker loop), from which the page starts
// its worker as a blob. One file opens from any static host and from the file
// system, and once loaded needs nothing more.
//   node assemble.mjs --page DIR --core kelvor_core.js --uplot DIR --out index.html
//                     [--horn-core kelvor_horn_core.js]
import { readFileSync, writeFileSync, copyFileSync } from 'node:fs';
import { dirname, join } from 'node:path';

const args = {};
for (let i = 2; i < process.argv.length; i += 2)
  args[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
const read = (path) => readFileSync(path, 'utf8');
const page = (name) => read(join(args.page, name));

// Text inside a script element must not close it early.
function scriptText(name, text) {
  if (/<\/script/i.test(text) || /<!--/.test(text))
    throw new Error(`${name} holds text that would end its script element`);
  return text;
}

const parts = {
  STYLE: page('style.css'),
  UPLOT_CSS: read(join(args.uplot, 'uPlot.min.css')),
  // The library's licence travels with its copy.
  UPLOT_JS: scriptText('uPlot', `/*!\n${read(join(args.uplot, '..', 'LICENSE'))}*/\n` +
                                read(join(args.uplot, 'uPlot.iife.min.js'))),
  FORM_JS: scriptText('form.js', page('form.js')),
  MAIN_JS: scriptText('main.js', page('main.js')),
  HORN_JS: scriptText('horn.js', page('horn.js')),
  WORKER: scriptText('worker', [read(args.core), page('form.js'), page('worker.js')].join('\n;\n')),
  // The horn's worker, where the build has its core (modal/ and asbuilt/); else none.
  HORN_WORKER: args['horn-core'] ? scriptText('horn worker', [read(args['horn-core']), page('horn_worker.js')].join('\n;\n')) : '',
};
let html = page('index.html');
for (const [name, text] of Object.entries(parts)) {
  const marker = `/*@${name}@*/`;
  if (!html.includes(marker))
    throw new Error(`index.html has no ${marker}`);
  // A function, so that "$" in the text is taken literally.
  html = html.replace(marker, () => text);
}
writeFileSync(args.out, html);
copyFileSync(join(args.page, 'sw.js'), join(dirname(args.out), 'sw.js'));
