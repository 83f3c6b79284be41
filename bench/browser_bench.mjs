// Opening and filtering the channel browser over a generated project of 20,000 channels, and
// opening each builder of the insertion commands, in chromium with the browser running; each
// figure is the median of REPS runs, measured in the page from the command to the dialog's
// first drawn rows (the channel map's request included), and from a keystroke in the filter
// to the filtered tree drawn.
// Usage: QUILLET=build/quillet node bench/browser_bench.mjs   (env: CHANNELS, REPS)
import { mkdtempSync, writeFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { tmpdir } from 'node:os';
import { start_editor, open_page, close_browser } from '../tests/browser/harness.js';
import { make_project } from './gen_project.mjs';

const CHANNELS = Number(process.env.CHANNELS || 20000);
const REPS = Number(process.env.REPS || 5);
const dir = mkdtempSync(join(tmpdir(), 'quillet-bench-'));
const project = join(dir, 'project.json');
const template = join(dir, 'bench.html');
writeFileSync(project, JSON.stringify(make_project(CHANNELS)));
writeFileSync(template, '<HTML><HEAD><TITLE>Bench</TITLE></HEAD><BODY><P id="first">x</P></BODY></HTML>\n');

const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];

// Milliseconds from running command `id` to a shown dialog with `ready` matching inside it.
const open_time = (page, id, ready) => page.evaluate(([id, ready]) => new Promise(resolve => {
  const t0 = performance.now();
  window.quillet.command(id);
  const check = () => (document.querySelector(`dialog[open] ${ready}`) ? resolve(performance.now() - t0) : requestAnimationFrame(check));
  check();
}), [id, ready]);

// Milliseconds from typing `text` into the open browser's filter to the next frame drawn.
const filter_time = (page, text) => page.evaluate(text => new Promise(resolve => {
  const input = document.querySelector('dialog[open] input[type="text"]');
  const t0 = performance.now();
  input.value = text;
  input.dispatchEvent(new Event('input', { bubbles: true }));
  requestAnimationFrame(() => resolve(performance.now() - t0));
}), text);

const close_dialog = page => page.evaluate(() => {
  const dialog = document.querySelector('dialog[open]');
  dialog.dispatchEvent(new Event('cancel', { cancelable: true }));
});

const editor = await start_editor(template, ['--project', project]);
const figures = {};
const add = (name, ms) => (figures[name] ||= []).push(ms);
try {
  const page = await open_page(editor);
  await page.frameLocator('iframe[data-role="template"]').locator('#first').click();
  // The first opening reads the project file; later ones reuse the server's channel map.
  add('channel browser: first open (project read)', await open_time(page, '32810', '[role="treeitem"]'));
  await close_dialog(page);
  for (let i = 0; i < REPS; i++) {
    add('channel browser: open', await open_time(page, '32810', '[role="treeitem"]'));
    add('channel browser: filter "sensor 7" (every node)', await filter_time(page, 'sensor 7'));
    add('channel browser: filter "pt-900123" (one code)', await filter_time(page, 'pt-900123'));
    add('channel browser: filter cleared', await filter_time(page, ''));
    await close_dialog(page);
    for (const [id, name] of [['32828', 'channel value'], ['32814', 'time'], ['32815', 'statistics']]) {
      add(`builder open: ${name}`, await open_time(page, id, 'button.default'));
      await close_dialog(page);
    }
  }
} finally {
  await editor.stop();
  await close_browser();
  rmSync(dir, { recursive: true, force: true });
}
for (const [name, list] of Object.entries(figures))
  console.log(`${name}: ${median(list).toFixed(1)} ms (median of ${list.length})`);
