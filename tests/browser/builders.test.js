// Browser flows of the expression builders: a builder opened by an insertion command, with a
// second builder taken from an expression field's insertion menu, into the saved file; and
// the array builder refusing an invalid row; the channel browser found by a channel's code.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { start_editor, open_page, command, close_browser } from './harness.js';

const DEMO_PROJECT = new URL('../../examples/demo_project.json', import.meta.url).pathname;

after(close_browser);

const frame = page => page.frameLocator('iframe[data-role="template"]');

test('statistics from the insertion command, its start time from the time builder, saved', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await command(page, '32815');
    const stat = page.getByRole('dialog', { name: 'Statistics' });
    const ok = stat.getByRole('button', { name: 'OK' });
    assert.equal(await ok.isDisabled(), true);
    await stat.getByLabel('AVG').check();
    await stat.getByLabel('Channel:').fill('CHAN("T1", 0, "N1")');
    await stat.getByLabel('From:').fill('');
    await stat.getByRole('button', { name: 'Insert' }).nth(1).click();
    const menu = stat.getByRole('menu');
    const labels = await menu.getByRole('menuitem').allTextContents();
    assert.deepEqual(labels.map(l => l.replace(/[\u25B8]/g, '').trim()), ['Channel...', 'Channel value...', 'Time...',
      'Statistics...', 'Channel selection...', 'Constant', 'List...', 'String list...', 'Standard function...',
      'User-defined function...', 'Fragment parameter...']);
    assert.equal(await menu.getByRole('menuitem', { name: 'Fragment parameter...' }).getAttribute('aria-disabled'), 'true');
    await menu.getByRole('menuitem', { name: 'Channel...' }).click();
    const warning = page.getByRole('alertdialog', { name: 'Warning' });
    assert.match(await warning.textContent(), /Project file not specified\. Please, select one/);
    await warning.getByRole('button', { name: 'OK' }).click();
    await page.getByRole('dialog', { name: 'Select VELMOR project to use with this document' })
      .getByRole('button', { name: 'Cancel' }).click();
    assert.equal(await stat.getByLabel('From:').inputValue(), '');
    await stat.getByRole('button', { name: 'Insert' }).nth(1).click();
    await menu.getByRole('menuitem', { name: 'Time...' }).click();
    const time = page.getByRole('dialog', { name: 'Time' });
    await time.getByLabel('Round or shift the time').check();
    await time.getByLabel('Unit:').selectOption('HR');
    await time.getByLabel('Offset:').fill('-1');
    await time.getByRole('button', { name: 'OK' }).click();
    await time.waitFor({ state: 'detached' });
    assert.equal(await stat.getByLabel('From:').inputValue(), 'RTIME( TIME(), "HR", -1 )');
    await ok.click();
    await stat.waitFor({ state: 'detached' });
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    const saved = readFileSync(editor.file, 'latin1');
    assert.ok(saved.includes('VALUE=%{AVG( RTSTAT( CHAN("T1", 0, "N1"), RTIME( TIME(), "HR", -1 ), TIME() ) )}%'), saved);
  } finally {
    await editor.stop();
  }
});

test('the array builder selects an invalid row and writes one item per line', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await command(page, '32827');
    const sheet = page.getByRole('dialog', { name: 'Expression' });
    await sheet.getByRole('button', { name: 'Insert' }).click();
    await sheet.getByRole('menuitem', { name: 'List...', exact: true }).click();
    const list = page.getByRole('dialog', { name: 'Array' });
    for (let i = 0; i < 2; i += 1) await list.getByRole('button', { name: 'Add' }).click();
    await list.getByLabel('0', { exact: true }).fill('1');
    await list.getByLabel('1', { exact: true }).fill('2 +');
    await list.getByRole('button', { name: 'OK' }).click();
    const error = page.getByRole('alertdialog', { name: 'Error' });
    assert.match(await error.textContent(), /Some of the array items are incorrect/);
    await error.getByRole('button', { name: 'OK' }).click();
    assert.equal(await page.evaluate(() => document.activeElement.value), '2 +');
    await list.getByLabel('1', { exact: true }).fill('2');
    await list.getByRole('button', { name: 'OK' }).click();
    await list.waitFor({ state: 'detached' });
    // The field keeps the line breaks; the text box shows them as line feeds.
    assert.equal(await sheet.getByLabel('Expression:').inputValue(), 'LIST(\n    1,\n    2\n)');
  } finally {
    await editor.stop();
  }
});

test('the channel tree finds a channel by its code, gives its attribute and opens on it next time', async () => {
  const editor = await start_editor('plain.html', ['--project', DEMO_PROJECT]);
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await command(page, '32810');
    const browser = page.getByRole('dialog', { name: 'Channel browser' });
    await browser.getByLabel('Filter:').fill('tt-102');
    const tree = browser.getByRole('tree', { name: 'Channels:' });
    const found = 'T_RETURN [TT-102] \u2014 Return water temperature';
    assert.deepEqual(await tree.getByRole('treeitem').allTextContents(),
      ['BOILERS', 'BOILER1', found, found]);
    await tree.getByRole('treeitem', { name: found }).first().locator('.tree-toggle').click();
    await tree.getByRole('treeitem', { name: 'HI', exact: true }).dblclick();
    await browser.waitFor({ state: 'detached' });
    // The expression is written once the server has emitted it; save only after that.
    await page.waitForFunction(() => document.title.includes('*'));
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    const saved = readFileSync(editor.file, 'latin1');
    assert.ok(saved.includes('VALUE=%{NAME( CHAN( "T_RETURN", "HI", "BOILERS", "BOILER1") )}%'), saved);
    await frame(page).locator('#first').click();
    await command(page, '32810');
    const again = page.getByRole('tree', { name: 'Channels:' }).getByRole('treeitem', { selected: true });
    assert.equal(await again.textContent(), found);
    assert.equal(await again.getAttribute('aria-level'), '3');
  } finally {
    await editor.stop();
  }
});

test('a standard function chosen by the typed prefix with its help, then a user-defined function', async () => {
  const editor = await start_editor('functions.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await command(page, '32827');
    const sheet = page.getByRole('dialog', { name: 'Expression' });
    const field = sheet.getByLabel('Expression:');
    await field.fill('readval( c');
    await field.selectText();
    await sheet.getByRole('button', { name: 'Insert' }).click();
    await sheet.getByRole('menuitem', { name: 'Standard function...' }).click();
    const browser = page.getByRole('dialog', { name: 'Standard functions' });
    const chosen = browser.getByRole('treeitem', { selected: true });
    assert.equal(await chosen.textContent(), 'READVAL( ChanRef, Time )');
    assert.match(await browser.locator('iframe.help').getAttribute('src'), /funchelp\.html#READVAL$/);
    await browser.frameLocator('iframe.help').locator('#READVAL h2').waitFor();
    await page.keyboard.press('ArrowDown');
    assert.equal(await chosen.textContent(), 'READVAL( ChanRef, TimeBeg, TimeEnd )');
    await page.keyboard.press('Enter');
    await browser.waitFor({ state: 'detached' });
    assert.equal(await field.inputValue(), 'READVAL( ChanRef, TimeBeg, TimeEnd )');
    await field.fill('');
    await sheet.getByRole('button', { name: 'Insert' }).click();
    await sheet.getByRole('menuitem', { name: 'User-defined function...' }).click();
    const list = page.getByRole('dialog', { name: 'User-defined functions' });
    assert.equal(await list.getByRole('heading').textContent(), 'Select user-defined function');
    await list.getByLabel('User-defined functions:').selectOption('shift start');
    await list.getByRole('button', { name: 'Select' }).click();
    assert.equal(await field.inputValue(), "@'shift start'");
  } finally {
    await editor.stop();
  }
});

test('Choose color holds the colour page; the format builders preview their kept samples', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await command(page, '32827');
    const sheet = page.getByRole('dialog', { name: 'Expression' });
    const field = sheet.getByLabel('Expression:');
    await sheet.getByRole('button', { name: 'Insert' }).click();
    await sheet.getByRole('menuitem', { name: 'Constant' }).click();
    await sheet.getByRole('menuitem', { name: 'Color...' }).click();
    const color = page.getByRole('dialog', { name: 'Choose color' });
    await color.getByLabel('Color name or RGB-code (#RRGGBB):').fill('red');
    await color.getByRole('button', { name: 'Browse...' }).waitFor();
    await color.locator('.color-sample[data-color="#FF0000"]').waitFor();
    await color.getByRole('button', { name: 'OK' }).click();
    await color.waitFor({ state: 'detached' });
    assert.equal(await field.inputValue(), '"red"');

    const open_time_format = async () => {
      await sheet.getByRole('button', { name: 'Insert' }).click();
      await sheet.getByRole('menuitem', { name: 'Time...' }).click();
      await page.getByRole('dialog', { name: 'Time' }).getByRole('button', { name: 'Format specification:' }).click();
      return page.getByRole('dialog', { name: 'Time format' });
    };
    let format = await open_time_format();
    await format.getByLabel('Format specification:').fill('%Y-%m-%d %H:%M:%S.%k');
    await format.getByLabel('Sample date:').fill('2024-03-05');
    await format.getByLabel('Sample time:').fill('14:07:09');
    await format.getByLabel('Milliseconds (0-999):').fill('42');
    const preview = format.getByLabel('Formatted sample:');
    await page.waitForFunction(e => e.value === '2024-03-05 14:07:09.042', await preview.elementHandle());
    await format.getByRole('button', { name: 'Cancel' }).click();
    await page.getByRole('dialog', { name: 'Time' }).getByRole('button', { name: 'Cancel' }).click();
    format = await open_time_format();  // the sample moment is kept
    assert.equal(await format.getByLabel('Milliseconds (0-999):').inputValue(), '42');
    await format.getByRole('button', { name: 'Cancel' }).click();
    await page.getByRole('dialog', { name: 'Time' }).getByRole('button', { name: 'Cancel' }).click();

    await sheet.getByRole('button', { name: 'Insert' }).click();
    await sheet.getByRole('menuitem', { name: 'Channel value...' }).click();
    await page.getByRole('dialog', { name: 'Channel value' }).getByRole('button', { name: 'Format specification:' }).click();
    const value = page.getByRole('dialog', { name: 'Value format' });
    const shown = await value.getByLabel('Formatted sample:').elementHandle();
    await page.waitForFunction(e => e.value === '123.456000', shown);
    await value.getByLabel('Precision:').fill('1');
    await value.getByLabel('Precision:').dispatchEvent('change');
    await page.waitForFunction(e => e.value === '123.5', shown);
    await value.getByLabel('Sample value:').fill('abc');
    await value.getByLabel('Format specification:').fill('[%s]');
    await page.waitForFunction(e => e.value === '[abc]', shown);
  } finally {
    await editor.stop();
  }
});
