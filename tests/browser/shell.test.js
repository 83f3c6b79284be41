// Browser flows of the shell: toolbars docked by drag and by their context menu and kept in
// the settings, and Paste from the menu reading the clipboard.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { start_editor, open_page, body_html, close_browser } from './harness.js';

after(close_browser);

const frame = page => page.frameLocator('iframe[data-role="template"]');
const side_of = (page, name) => page.$eval(`.toolbar.${name}`, bar => bar.closest('.dock').dataset.side);

test('toolbars dock on any edge by their grip or context menu and stay there after a reload', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const grip = await page.locator('.toolbar.main .grip').boundingBox();
    await page.mouse.move(grip.x + 3, grip.y + 5);
    await page.mouse.down();
    await page.mouse.move(4, 430, { steps: 4 });
    await page.mouse.up();
    assert.equal(await side_of(page, 'main'), 'left');
    assert.equal(await page.getAttribute('.toolbar.main', 'aria-orientation'), 'vertical');
    await page.focus('.toolbar.format [data-command="40013"]');
    await page.keyboard.press('Shift+F10');
    await page.getByRole('menuitem', { name: 'Dock bottom' }).click();
    assert.equal(await side_of(page, 'format'), 'bottom');
    await page.waitForFunction(() => document.querySelectorAll('.dock[data-side="top"] .toolbar').length === 1);
    const settings = join(editor.dir, '.config/quillet/settings.json');
    for (let i = 0; i < 50 && !readFileSync(settings, 'utf8').includes('bottom'); i++) await page.waitForTimeout(20);
    assert.deepEqual(JSON.parse(readFileSync(settings, 'utf8')).toolbars, { main: 'left', format: 'bottom', insert: 'top' });
    await page.reload();
    // The reloaded page is a new tab: it takes the document over from the one it replaced.
    await page.getByRole('alertdialog', { name: 'Confirm action' }).getByRole('button', { name: 'Yes' }).click();
    await page.waitForFunction(() => document.body.dataset.ready === 'true');
    assert.deepEqual([await side_of(page, 'main'), await side_of(page, 'format'), await side_of(page, 'insert')],
      ['left', 'bottom', 'top']);
  } finally {
    await editor.stop();
  }
});

test('Paste from the menu inserts cleaned clipboard HTML, and says to press Ctrl+V when refused', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const origin = new URL(editor.url).origin;
    await page.context().grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
    await page.evaluate(() => navigator.clipboard.write([new ClipboardItem({
      'text/html': new Blob(['Version:0.9\r\n<html><body><!--StartFragment--><b>pasted</b><!--EndFragment--></body></html>'],
        { type: 'text/html' }),
    })]));
    await frame(page).locator('#first').click();
    await page.keyboard.press('End');
    await page.getByRole('menubar').getByRole('menuitem', { name: 'Edit' }).click();
    await page.locator('.popup-menu [data-command="40006"]').click();
    await page.waitForFunction(() => document.querySelector('iframe[data-role="template"]').contentDocument.body.innerHTML.includes('pasted'));
    const html = await body_html(page);
    assert.match(html, /First paragraph<b>pasted<\/b><\/p>/i);
    assert.ok(!/Fragment|Version/.test(html), html);
    await page.context().clearPermissions();
    await page.locator('.toolbar [data-command="40006"]').click();
    const box = page.getByRole('alertdialog');
    assert.match(await box.textContent(), /Press Ctrl\+V to paste/);
    await box.getByRole('button', { name: 'OK' }).click();
  } finally {
    await editor.stop();
  }
});
