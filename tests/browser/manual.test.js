// The author's guide from the editor: Help opens the editor's chapters in a new tab, the
// property help links to the dialogs' chapter, and the translated pages are served.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { start_editor, open_page, command, close_browser } from './harness.js';

after(close_browser);

test('Help and the property help open the guide\'s editor chapters', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const opened = page.context().waitForEvent('page');
    await command(page, 'help');
    const guide = await opened;
    await guide.getByRole('heading', { name: 'The editor: window and commands' }).waitFor();
    assert.match(guide.url(), /\/web\/manual\/editor\.html$/);
    for (const path of ['it/index.html', 'ru/problems.html', 'zh/index.html', 'style.css']) {
      const r = await page.request.get(new URL(`/web/manual/${path}`, page.url()).href);
      assert.equal(r.status(), 200, path);
    }

    await page.frameLocator('iframe[data-role="template"]').locator('#grid td').first().click({ button: 'right' });
    await page.click('.context-menu [data-command="43014"]');
    const props = page.getByRole('dialog', { name: 'HTML element properties' });
    await props.locator('tr[data-help-key="A_ALIGN"]').dblclick();
    const sheet = page.getByRole('dialog', { name: 'Element property editor' });
    const more = page.context().waitForEvent('page');
    await sheet.frameLocator('iframe.help').getByRole('link', { name: 'More in the manual' }).click();
    const chapter = await more;
    await chapter.locator('#element-properties').waitFor();
    assert.match(chapter.url(), /\/web\/manual\/editor-dialogs\.html#element-properties$/);
    await page.context().close();
  } finally {
    await editor.stop();
  }
});
