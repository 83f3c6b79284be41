// Browser flows of document properties, the fragment flag, the wizard with the fragment library
// and the cell series dialog against a real `quillet edit` server.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { start_editor, open_page, command, idle, body_html, in_template, select_in, close_browser, preview_without_project } from './harness.js';

after(close_browser);

const cols_of = page => in_template(page, doc => Array.from(doc.querySelectorAll('#grid td'))
  .map(c => `${c.textContent}${c.getAttribute('vxdynelt') ? '*' : ''}`).join(' '));

test('cell series writes the whole column of a spanned table, reads it back and undoes', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const before = await body_html(page);
    await select_in(page, '#grid tr:nth-child(2) td');
    command(page, '43012');
    let box = page.getByRole('dialog', { name: 'Dynamic cell replication' });
    const columns = box.getByRole('group', { name: 'Column replication' });
    assert.equal(await columns.getByLabel('Do not replicate').isChecked(), true);
    assert.equal(await columns.getByLabel('Number of iterations:').isDisabled(), true);
    await columns.getByLabel('Entire column').check();
    await columns.getByLabel('Number of iterations:').fill('2 +');
    await page.waitForTimeout(200);
    assert.equal(await box.getByRole('button', { name: 'OK' }).isDisabled(), true);
    await columns.getByLabel('Number of iterations:').fill('2 + 1');
    await box.getByRole('button', { name: 'OK' }).click({ timeout: 3000 });
    await idle(page);
    assert.equal(await cols_of(page), 'a b* c* d e f* g');
    await select_in(page, '#grid tr:nth-child(3) td:nth-child(2)');
    command(page, '43012');
    box = page.getByRole('dialog', { name: 'Dynamic cell replication' });
    assert.equal(await box.getByRole('group', { name: 'Column replication' }).getByLabel('Entire column').isChecked(), true);
    assert.equal(await box.getByRole('group', { name: 'Column replication' }).getByLabel('Number of iterations:').inputValue(), '2 + 1');
    await box.getByRole('button', { name: 'Cancel' }).click();
    await idle(page);
    await command(page, '40010');
    assert.equal(await body_html(page), before);
  } finally {
    await editor.stop();
  }
});

test('clearing the fragment flag with parameters asks first and No keeps it', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    command(page, 'document-properties');
    const props = page.getByRole('dialog', { name: 'Document properties' });
    assert.equal(await props.getByRole('button', { name: 'Fragment settings...' }).isDisabled(), true);
    await props.getByLabel('Document is a fragment').check();
    await props.getByRole('button', { name: 'Fragment settings...' }).click();
    const settings = page.getByRole('dialog', { name: 'Fragment settings' });
    await settings.getByRole('button', { name: 'New' }).click();
    const parm = page.getByRole('dialog', { name: 'Fragment parameter properties' });
    await parm.getByLabel('Name (identifier):').fill('Level');
    await parm.getByLabel('Type:').selectOption('INT');
    await parm.getByLabel('Default value (Pellex expression):').fill('5 +');
    await parm.getByRole('button', { name: 'OK' }).click();
    await page.getByRole('alertdialog', { name: 'Warning' }).getByRole('button', { name: 'OK' }).click();
    await settings.getByRole('row').nth(1).filter({ hasText: 'LevelINT (integer)5 +' }).waitFor({ timeout: 3000 });
    await settings.getByRole('button', { name: 'OK' }).click();
    await props.getByLabel('Document is a fragment').uncheck();
    const ask = page.getByRole('alertdialog', { name: 'Confirm action' });
    await ask.getByText('All Fragment Wizard parameters will be removed. Continue ?').waitFor();
    assert.equal(await ask.getByRole('button', { name: 'No' }).evaluate(b => b === document.activeElement), true);
    await ask.getByRole('button', { name: 'No' }).click();
    await ask.waitFor({ state: 'detached' });
    await page.waitForFunction(() => document.querySelector('dialog[open] input[type=checkbox]').checked);
    await props.getByRole('button', { name: 'OK' }).click();
    await idle(page);
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    assert.match(readFileSync(editor.file, 'latin1'), /<!--\$VX WPARM NAME=%\{"Level"\}%\r\n TYPE=%\{"INT"\}%\r\n VALUE=%\{5 \+\}%-->/);
  } finally {
    await editor.stop();
  }
});

test('the wizard edits a parameter through the integer input and inserts the fragment with it', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await select_in(page, '#first');
    command(page, '32850');
    const chooser = page.getByRole('dialog', { name: 'Open' });
    await chooser.getByRole('option', { name: 'statistics.htt', exact: true }).waitFor();
    assert.deepEqual(await chooser.getByLabel('Files of type:').locator('option').allTextContents(), ['Document fragments (*.htt)']);
    await chooser.getByLabel('File name:').fill('statistics.htt');
    await chooser.getByRole('button', { name: 'Open' }).click();
    const wizard = page.getByRole('dialog', { name: 'Fragment Wizard' });
    await wizard.getByRole('gridcell', { name: 'Period (hours)' }).dblclick();
    const input = page.getByRole('dialog', { name: 'Parameter' });
    const ok = input.getByRole('button', { name: 'OK' });
    for (const [typed, disabled] of [['12abc', true], ['1.5', true], ['0x30', false]]) {
      await input.getByLabel('Period (hours)').fill(typed);
      await page.waitForFunction(d => [...document.querySelectorAll('dialog[open]')].pop().querySelector('button.default').disabled === d, disabled);
    }
    await ok.click();
    await input.waitFor({ state: 'detached' });
    await wizard.getByRole('row').nth(3).filter({ hasText: 'Period (hours)48' }).waitFor({ timeout: 3000 });
    await wizard.getByRole('button', { name: 'OK' }).click();
    await idle(page);
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    const saved = readFileSync(editor.file, 'latin1');
    assert.match(saved, /<!--\$VX VAR NAME="Stat1\.start" VALUE=%\{DTIME\(@"Stat1\.end", "HR", 48\)\}%-->/);
    assert.match(saved, /<!--\$VX ELT VALUE=%\{FORMAT\("%\.2f", MIN\(@"Stat1\.stat"\)\)\}%-->/);
  } finally {
    await editor.stop();
  }
});

const LIBRARY = new URL('../../fragments/en/', import.meta.url).pathname;

test('each library fragment goes in through the wizard with its defaults and previews cleanly', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    let coloured = 0;
    for (const name of readdirSync(LIBRARY).filter(n => n.endsWith('.htt')).sort()) {
      await select_in(page, '#first');
      command(page, '32850');
      await page.getByRole('dialog', { name: 'Open' }).getByRole('option', { name, exact: true }).dblclick();
      const wizard = page.getByRole('dialog', { name: 'Fragment Wizard' });
      await wizard.waitFor();
      const colour = wizard.getByRole('gridcell', { name: 'Highlight colour' });
      if (await colour.count()) {
        await colour.dblclick();
        const choose = page.getByRole('dialog', { name: 'Choose color' });
        assert.equal(await choose.locator('input[type=text]').inputValue(), '#FFC0C0', name);
        await choose.getByRole('button', { name: 'OK' }).click();
        await choose.waitFor({ state: 'detached' });
        await wizard.getByRole('row').filter({ hasText: 'Highlight colour"#FFC0C0"' }).waitFor({ timeout: 3000 });
        coloured++;
      }
      await wizard.getByRole('button', { name: 'OK' }).click();
      await idle(page);
      await preview_without_project(page);
      const report = await page.frameLocator('iframe[data-role="preview"]').locator('body').textContent();
      assert.doesNotMatch(report, /#[!A-Z][A-Z_ \[\]()]*[:#]/, name);
      assert.equal(await page.locator('#preview .problems button').count(), 0, name);
    }
    assert.ok(coloured > 0, 'a colour parameter was edited with "Choose color"');
  } finally {
    await editor.stop();
  }
});

test('the background image is chosen among image files and written to the body', async () => {
  const editor = await start_editor('plain.html');
  try {
    for (const file of ['sky.png', 'grid.xbm', 'notes.txt']) writeFileSync(join(editor.dir, file), 'x');
    const page = await open_page(editor);
    command(page, 'document-properties');
    const props = page.getByRole('dialog', { name: 'Document properties' });
    await props.getByRole('button', { name: 'Browse...' }).nth(1).click();
    const chooser = page.getByRole('dialog', { name: 'Background image:' });
    const types = chooser.getByLabel('Files of type:');
    assert.deepEqual(await types.locator('option').allTextContents(),
      ['Image files (*.gif;*.jpg;*.png;*.xbm,*.bmp)', 'All files (*.*)']);
    const files = chooser.getByRole('listbox');
    await files.getByRole('option', { name: 'sky.png' }).waitFor();
    assert.deepEqual((await files.getByRole('option').allTextContents()).filter(n => n.includes('.')).sort(), ['grid.xbm', 'sky.png']);
    await types.selectOption({ index: 1 });
    await files.getByRole('option', { name: 'notes.txt' }).waitFor();
    await files.getByRole('option', { name: 'sky.png' }).dblclick();
    await chooser.waitFor({ state: 'detached' });
    assert.equal(await props.getByLabel('Background image:').inputValue(), 'sky.png');
    await props.getByRole('button', { name: 'OK' }).click();
    await idle(page);
    assert.match(await in_template(page, doc => doc.body.getAttribute('style')), /background-image: url\("sky\.png"\)/);
  } finally {
    await editor.stop();
  }
});
