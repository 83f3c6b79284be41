// Browser flows of the editor: the shell, typing and formatting, each kind of insertion,
// table operations on spanned tables with undo and redo, saving, the context menu, the
// preview and the tab takeover, against a real `quillet edit` server.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, existsSync, readdirSync, copyFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { start_editor, open_page, command, idle, body_html, in_template, select_in, close_browser, preview_without_project } from './harness.js';

after(close_browser);

const frame = page => page.frameLocator('iframe[data-role="template"]');

test('shell: toolbars carry their commands, tooltips and status texts', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const ids = ['57600', '57601', '57603', '32850', '40004', '40003', '40006', '40010', '40011', '43000',
      '43001', '43003', '43002', '32819', '57664', '41003', '41004', '41001', '40013', '40014', '40015',
      '41002', '40016', '40017', '40019', '40018', '40020', '40022', '40021', '32827', '32810', '32828',
      '32814', '32815', '32829', '41011', '41005', '41008', '32832', '41009'];
    const present = await page.$$eval('#toolbars [data-command]', list => list.map(b => b.dataset.command));
    assert.deepEqual(present, ids);
    assert.equal(await page.getAttribute('.toolbar [data-command="32829"]', 'title'), 'Insert Trend');
    await page.hover('.toolbar [data-command="32819"]');
    assert.equal(await page.textContent('#status-text'), 'Show simulated report');
    await page.getByRole('menubar').getByRole('menuitem', { name: 'Insert' }).click();
    await page.hover('.popup-menu [data-command="32829"]');
    assert.equal(await page.textContent('#status-text'), 'Insert trend object');
    await page.keyboard.press('Escape');
    await page.keyboard.press('Alt+h');
    await page.keyboard.press('a');
    await page.getByRole('dialog', { name: 'About Quillet' }).getByRole('button', { name: 'OK' }).click();
  } finally {
    await editor.stop();
  }
});

test('typing, formatting and every insertion are saved as the template markup', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await page.keyboard.press('End');
    await page.keyboard.type(' typed');
    await page.keyboard.press('Shift+Home');
    await command(page, '40013');
    await page.keyboard.press('End');

    await command(page, '32827');
    const sheet = page.getByRole('dialog', { name: 'Expression' });
    await sheet.getByLabel('Expression:').fill('1+');
    await sheet.getByRole('button', { name: 'Check' }).click();
    const error = page.getByRole('alertdialog', { name: 'Error' });
    assert.match(await error.textContent(), /syntax error/);
    await error.getByRole('button', { name: 'OK' }).click();
    await sheet.getByLabel('Expression:').fill('GETVAL("T") * 2');
    await sheet.getByRole('button', { name: 'Check' }).click();
    await page.getByRole('alertdialog', { name: 'Message' }).getByRole('button', { name: 'OK' }).click();
    await sheet.getByRole('button', { name: 'OK' }).click();
    await sheet.waitFor({ state: 'detached' });

    for (const id of ['41011', '32829', '41005']) await command(page, id);
    await command(page, '32832');
    await page.getByRole('dialog', { name: 'Anchor properties' }).getByLabel('Name:').fill('top');
    await page.getByRole('dialog', { name: 'Anchor properties' }).getByRole('button', { name: 'OK' }).click();
    await command(page, '41009');
    await page.getByRole('dialog', { name: 'Hyperlink properties' }).getByLabel('URL:').fill('http://example.invalid/x');
    await page.getByRole('dialog', { name: 'Hyperlink properties' }).getByRole('button', { name: 'OK' }).click();
    await command(page, '41008');
    const image = page.getByRole('dialog', { name: 'Image' });
    await image.getByLabel('Picture source:').fill('logo.png');
    await image.getByLabel('Alternate text:').fill('Logo');
    await image.getByRole('button', { name: 'OK' }).click();
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));

    const saved = readFileSync(editor.file, 'latin1');
    for (const piece of [
      '<B>First paragraph typed',
      '&nbsp;<SPAN><!--$VX ELT VALUE=%{GETVAL("T") * 2}%--><IMG src="res://quillet.exe/#2/#207"><!--$VX ELT REPEAT=%{0}%--></SPAN>&nbsp;',
      '<HR>',
      '<OBJECT DECLARE CLASSID="CLSID:12175724-4241-11D2-9C51-0000E8DBF60C" WIDTH=400 HEIGHT=150></OBJECT>',
      '<A NAME=top><IMG src="res://quillet.exe/#2/#206"></A>',
      'HREF="http://example.invalid/x"',
      'ALT=Logo',
      '<TABLE CELLSPACING=0><TBODY><TR><TD STYLE="height:1cm; width:1cm;">&nbsp;</TD><TD STYLE="height:1cm; width:1cm;">&nbsp;</TD></TR>',
      '<!--$VX ELT VALUE=%{1+1}%-->',
    ]) assert.ok(saved.toUpperCase().includes(piece.toUpperCase()), `saved file lacks ${piece}\n${saved}`);
    assert.ok(!/TMPID_|VXDYNELT|data-quillet/i.test(saved), saved);
  } finally {
    await editor.stop();
  }
});

test('file commands ask before dropping changes, propose names and open through our chooser', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await page.keyboard.type('changed ');
    await command(page, '57600');
    const ask = page.getByRole('alertdialog', { name: 'Confirm action' });
    assert.match(await ask.textContent(), /Save changes to plain\.html\?/);
    await ask.getByRole('button', { name: 'No' }).click();
    await page.waitForFunction(() => document.title.startsWith('Untitled'));
    await command(page, 'save-as');
    const save = page.getByRole('dialog', { name: 'Save As' });
    await save.getByLabel('File name:').fill('fresh');
    await save.getByRole('button', { name: 'Save' }).click();
    await page.waitForFunction(() => document.title.startsWith('fresh.html'));
    assert.ok(existsSync(join(editor.dir, 'fresh.html')));
    await command(page, '57601');
    const open = page.getByRole('dialog', { name: 'Open' });
    await open.getByRole('option', { name: 'plain.html' }).dblclick();
    await page.waitForFunction(() => document.title.startsWith('plain.html'));
    assert.equal(await in_template(page, doc => doc.querySelector('#first').textContent), 'First paragraph');
  } finally {
    await editor.stop();
  }
});

// Opening a saved template and saving it again changes nothing, for every example.
test('a template saved from the page is a fixed point of opening and saving', async () => {
  const editor = await start_editor(null);
  try {
    const page = await open_page(editor);
    const examples = new URL('../../examples/', import.meta.url).pathname;
    copyFileSync(join(examples, 'demo_project.json'), join(editor.dir, 'demo_project.json'));
    const open_and_save = async file => {
      await command(page, '57601');
      const open = page.getByRole('dialog', { name: 'Open' });
      await open.getByLabel('File name:').fill(file);
      await open.getByRole('button', { name: 'Open' }).click();
      await idle(page);
      await command(page, '57603');
      return readFileSync(file, 'latin1');
    };
    for (const name of readdirSync(examples).filter(n => /\.html?$|\.htt$/.test(n))) {
      const file = join(editor.dir, name);
      copyFileSync(join(examples, name), file);
      const first = await open_and_save(file);
      assert.equal(await open_and_save(file), first, name);
    }
  } finally {
    await editor.stop();
  }
});

test('table operations on a spanned table undo and redo as one history with typing', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const shape = () => in_template(page, doc => Array.from(doc.querySelector('#grid').rows)
      .map(r => Array.from(r.cells).map(c => `${c.textContent.trim() || '+'}${c.rowSpan > 1 ? `:${c.rowSpan}r` : ''}${c.colSpan > 1 ? `:${c.colSpan}c` : ''}`).join(' ')).join('/'));
    const states = [await body_html(page)];
    await select_in(page, '#grid tr:nth-child(2) td');
    await command(page, '40023');
    assert.equal(await shape(), 'a:3r b:2c/+ +/c d/e f g');
    states.push(await body_html(page));
    await select_in(page, '#grid tr:nth-child(3) td', '#grid tr:nth-child(4) td:nth-child(2)');
    await command(page, '40029');
    assert.equal(await shape(), 'a:3r b:2c/+ +/c f:2r d/e g');
    states.push(await body_html(page));
    await command(page, '40030');
    assert.equal(await shape(), 'a:3r b:2c/+ +/c f d/e + g');
    states.push(await body_html(page));
    await select_in(page, '#grid tr:nth-child(1) td:nth-child(2)');
    await command(page, '40027');
    assert.equal(await shape(), 'a/e');
    states.push(await body_html(page));
    await page.keyboard.type('xy');
    states.push(await body_html(page));
    for (let i = states.length - 2; i >= 0; i--) {
      await page.keyboard.press('Control+z');
      assert.equal(await body_html(page), states[i], `undo to step ${i}`);
    }
    for (let i = 1; i < states.length; i++) {
      await command(page, '40011');
      assert.equal(await body_html(page), states[i], `redo to step ${i}`);
    }
    await select_in(page, '#grid td');
    for (let i = 0; i < 4; i++) await command(page, '40026');
    assert.equal(await in_template(page, doc => !!doc.querySelector('#grid')), false, 'deleting the last row removes the table');
  } finally {
    await editor.stop();
  }
});

test('pasted markup loses its fragment markers and a pasted dynamic element gets its own definition', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await page.keyboard.press('End');
    const before = await body_html(page);
    await in_template(page, doc => {
      const data = new DataTransfer();
      data.setData('text/html', 'Version:0.9\r\nStartHTML:000\r\n<html><body><!--StartFragment--><span vxdynelt="1">copy</span><!--EndFragment--></body></html>');
      doc.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
    });
    const html = await body_html(page);
    assert.ok(!/Fragment|Version|StartHTML/.test(html), html);
    assert.match(html, /<span vxdynelt="3">copy<\/span>/);
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    assert.equal(readFileSync(editor.file, 'latin1').match(/VALUE=%\{1\+1\}%/g).length, 2);
    await command(page, '40010');
    assert.equal(await body_html(page), before);
  } finally {
    await editor.stop();
  }
});

test('context menu entries follow the element under the mouse', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const entries = () => page.$$eval('.context-menu [role="menuitem"]', l => l.map(i => i.dataset.command + (i.getAttribute('aria-disabled') ? '-' : '')));
    await frame(page).locator('#first').click({ button: 'right' });
    assert.deepEqual(await entries(), ['43014']);
    await page.keyboard.press('Escape');
    await frame(page).locator('#grid td').first().click({ button: 'right' });
    assert.deepEqual(await entries(), ['43013', '43012', '43015', '43016', '43018', '43019', '43021-', '43022', '43017', '43020', '43014']);
    await page.click('.context-menu [data-command="43016"]');
    assert.equal(await in_template(page, doc => doc.querySelector('#grid').rows[0].cells.length), 3);
    await frame(page).locator('span').first().click({ button: 'right', position: { x: 30, y: 5 } });
    assert.deepEqual((await entries())[0], '43010');
    await page.click('.context-menu [data-command="43010"]');
    const sheet = page.getByRole('dialog', { name: 'Expression' });
    assert.equal(await sheet.getByLabel('Expression:').inputValue(), '1+1');
    await sheet.getByRole('button', { name: 'Cancel' }).click();
    await frame(page).locator('#first').dblclick();
    await page.getByRole('dialog', { name: 'HTML element properties' }).getByRole('button', { name: 'OK' }).click();
  } finally {
    await editor.stop();
  }
});

test('the preview shows the report of the edited template and lists its problems', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await select_in(page, '#first');
    await command(page, '32827');
    const sheet = page.getByRole('dialog', { name: 'Expression' });
    await sheet.getByLabel('Expression:').fill('NOSUCHFN(1)');
    await sheet.getByRole('button', { name: 'OK' }).click();
    await sheet.waitFor({ state: 'detached' });
    await preview_without_project(page);
    const report = await page.frameLocator('iframe[data-role="preview"]').locator('body').textContent();
    assert.match(report, /#UNK:NOSUCHFN:#\s+First paragraph/);
    assert.match(report, /^2$/m, 'the value 1+1 replaces the content "two"');
    assert.equal(await page.$eval('iframe[data-role="preview"]', f => f.contentDocument), null, 'the report is closed to the editor');
    const problem = page.locator('#preview .problems button').first();
    assert.match(await problem.textContent(), /NOSUCHFN/i);
    await problem.click();
    assert.equal(await in_template(page, doc => doc.getSelection().getRangeAt(0).cloneContents().firstChild?.getAttribute?.('vxdynelt')), '3');
    assert.ok(await page.locator('[data-command="preview-time"]').inputValue());
    await preview_without_project(page, '32825');
    await command(page, '41006');
  } finally {
    await editor.stop();
  }
});

test('a second tab is told the document is open elsewhere and may take it over', async () => {
  const editor = await start_editor('plain.html');
  try {
    const first = await open_page(editor, { association: 'Yes' });
    const entry = join(editor.dir, '.data/applications/quillet-editor.desktop');
    for (let i = 0; i < 50 && !existsSync(entry); i++) await first.waitForTimeout(100);
    assert.ok(existsSync(entry), 'Yes offers the editor for HTML files');
    const context = await first.context().browser().newContext();
    const second = await context.newPage();
    await second.goto(editor.url);
    const ask = second.getByRole('alertdialog', { name: 'Confirm action' });
    assert.match(await ask.textContent(), /open in another tab/);
    await ask.getByRole('button', { name: 'Yes' }).click();
    await second.waitForFunction(() => document.body.dataset.ready === 'true');
    await command(first, '57603');
    await first.locator('#locked:not([hidden])').waitFor();
  } finally {
    await editor.stop();
  }
});

test('a project that does not load is an error box with OK only, and the choice comes back until the user gives up', async () => {
  const editor = await start_editor('plain.html', ['--project', 'nowhere.json']);
  try {
    writeFileSync(join(editor.dir, 'broken.json'), 'not a project');
    const page = await open_page(editor, { association: null });
    const error = page.getByRole('alertdialog', { name: 'Error' });
    await error.getByText(`Cannot load project ${join(editor.dir, 'nowhere.json')}, please specify the correct location`).waitFor();
    assert.deepEqual(await error.getByRole('button').allTextContents(), ['OK']);
    await error.getByRole('button', { name: 'OK' }).click();
    const choose = page.getByRole('dialog', { name: 'Select VELMOR project to use with this document' });
    await choose.getByLabel('File name:').fill(join(editor.dir, 'broken.json'));
    await choose.getByRole('button', { name: 'Open' }).click();
    await error.getByText(`Error loading project: ${join(editor.dir, 'broken.json')}`).waitFor();
    assert.deepEqual(await error.getByRole('button').allTextContents(), ['OK']);
    await error.getByRole('button', { name: 'OK' }).click();
    await choose.getByRole('button', { name: 'Cancel' }).click();
    await choose.waitFor({ state: 'detached' });
  } finally {
    await editor.stop();
  }
});
