// Browser flows of document properties, the fragment flag and the cell series dialog against a
// real `quillet edit` server.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { start_editor, open_page, command, idle, body_html, in_template, select_in, close_browser } from './harness.js';

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
    const chooser = page.getByRole('dialog', { name: 'Fragment' });
    await chooser.getByLabel('Fragments:').selectOption({ label: 'statistics.htt' });
    await chooser.getByRole('button', { name: 'OK' }).click();
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
