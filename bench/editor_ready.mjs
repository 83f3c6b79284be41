// Time from starting `quillet edit --no-browser` to a page ready for typing, with the browser
// already running (as the user's is), for each example template; prints the median of 5 runs.
// Usage: QUILLET=build/quillet node bench/editor_ready.mjs
import { readdirSync } from 'node:fs';
import { join } from 'node:path';
import { start_editor, the_browser, close_browser } from '../tests/browser/harness.js';

const examples = new URL('../examples/', import.meta.url).pathname;
const browser = await the_browser();
for (const name of readdirSync(examples).filter(n => /\.html?$|\.htt$/.test(n))) {
  const times = [];
  for (let i = 0; i < 5; i++) {
    // The browser has a tab to spare, as the user's browser does when xdg-open reaches it.
    const context = await browser.newContext();
    const page = await context.newPage();
    const t0 = performance.now();
    const editor = await start_editor(join(examples, name));
    await page.goto(editor.url);
    await page.waitForFunction(() => document.body.dataset.ready === 'true');
    times.push(performance.now() - t0);
    await context.close();
    await editor.stop();
  }
  times.sort((a, b) => a - b);
  console.log(`${name}: ready in ${times[2].toFixed(0)} ms (median of 5)`);
}
await close_browser();
