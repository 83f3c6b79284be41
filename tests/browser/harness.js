// Starts `quillet edit --no-browser` on a scratch copy of a template and drives the page in
// Debian's chromium, headless, through playwright-core.
import { spawn } from 'node:child_process';
import { mkdtempSync, copyFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, basename } from 'node:path';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';

const QUILLET = process.env.QUILLET || new URL('../../build/quillet', import.meta.url).pathname;
const CHROMIUM = process.env.QUILLET_CHROMIUM || '/usr/bin/chromium';
export const DATA = new URL('./data/', import.meta.url).pathname;

let browser = null;

// Returns the shared browser, launched on first use.
export async function the_browser() {
  browser ||= await chromium.launch({
    executablePath: CHROMIUM, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-quic'],
  });
  return browser;
}

export async function close_browser() {
  await browser?.close();
  browser = null;
}

// Starts the editor on a copy of `template` (a file of data/, or null for none) in a scratch
// folder with its own settings, in English unless `env` says otherwise. Returns {url, dir, file, stop()}.
export async function start_editor(template, extra_args = [], extra_env = {}) {
  const dir = mkdtempSync(join(tmpdir(), 'quillet-page-'));
  const file = template ? join(dir, basename(template)) : null;
  if (template) copyFileSync(template.startsWith('/') ? template : join(DATA, template), file);
  const env = { ...process.env, XDG_CONFIG_HOME: join(dir, '.config'), XDG_DATA_HOME: join(dir, '.data'), QUILLET_LANG: 'en', ...extra_env };
  const args = ['edit', '--no-browser', ...extra_args, ...(file ? [file] : [])];
  const server = spawn(QUILLET, args, { env, cwd: dir, stdio: ['ignore', 'pipe', 'inherit'] });
  const url = await new Promise((resolve, reject) => {
    const lines = createInterface({ input: server.stdout });
    lines.once('line', resolve);
    server.once('exit', code => reject(new Error(`quillet edit ended with ${code}`)));
  });
  const stop = async () => {
    if (server.exitCode === null) {
      server.kill('SIGTERM');
      await new Promise(resolve => server.once('exit', resolve));
    }
    rmSync(dir, { recursive: true, force: true });
  };
  return { url, dir, file, server, stop };
}

// Opens the editor's address in a new page and waits until it can be typed into; answers
// the first-run association question (No unless told otherwise; `caption` names it).
export async function open_page(editor, { association = 'No', caption = 'HTML Template  Editor' } = {}) {
  const context = await (await the_browser()).newContext({ viewport: { width: 1280, height: 860 } });
  const page = await context.newPage();
  page.on('pageerror', e => console.error('page error:', e.message));
  await page.goto(editor.url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true');
  if (association) {
    const question = page.getByRole('alertdialog', { name: caption });
    await question.getByRole('button', { name: association }).click();
    await question.waitFor({ state: 'detached' });
  }
  return page;
}

// Runs a command through the automation hook.
export const command = (page, id) => page.evaluate(id => window.quillet.command(id), id);

// Waits until no command is running (every dialog a command opened has been answered).
export const idle = page => page.evaluate(() => window.quillet.idle());

// The editing frame's body HTML (lower-cased tags as the browser gives them).
export const body_html = page => page.evaluate(() =>
  document.querySelector('iframe[data-role="template"]').contentDocument.body.innerHTML);

// Runs `fn(doc, arg)` inside the page against the editing frame's document.
export const in_template = (page, fn, arg) => page.evaluate(([source, a]) => {
  const doc = document.querySelector('iframe[data-role="template"]').contentDocument;
  return (0, eval)(`(${source})`)(doc, a);
}, [fn.toString(), arg]);

// Puts the caret in (or selects from `from` to `to`, CSS selectors) the editing document.
export function select_in(page, from, to = null) {
  return in_template(page, (doc, [a, b]) => {
    const r = doc.createRange();
    const start = doc.querySelector(a);
    r.setStart(start.firstChild || start, 0);
    if (b) {
      const end = doc.querySelector(b);
      r.setEnd(end.firstChild || end, 0);
    } else r.collapse(true);
    const sel = doc.getSelection();
    sel.removeAllRanges();
    sel.addRange(r);
    doc.dispatchEvent(new Event('selectionchange'));
  }, [from, to]);
}

// Runs a report command in an editor without a project: answers the warning that no project
// is loaded and cancels the project choice, then waits until the report is shown.
export async function preview_without_project(page, id = '32819') {
  const done = command(page, id);
  const warning = page.getByRole('alertdialog', { name: 'Warning' });
  await warning.getByText('Project file not specified. Please, select one').waitFor();
  await warning.getByRole('button', { name: 'OK' }).click();
  await page.getByRole('dialog', { name: 'Select VELMOR project to use with this document' })
    .getByRole('button', { name: 'Cancel' }).click();
  await done;
}
