// The element properties of a table cell: the structure tree, the rows with their help keys,
// the property editor's pages, a refused expression, and what the saved file then holds.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { start_editor, open_page, command, idle, close_browser } from './harness.js';

const DEMO_PROJECT = new URL('../../examples/demo_project.json', import.meta.url).pathname;

after(close_browser);

const frame = page => page.frameLocator('iframe[data-role="template"]');

test('a cell\'s properties and format are edited, undone and saved', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    await frame(page).locator('#grid tr:nth-child(2) td').first().click({ button: 'right' });
    await page.click('.context-menu [data-command="43014"]');
    const props = page.getByRole('dialog', { name: 'HTML element properties' });
    await props.locator('tr[data-help-key]').first().waitFor();
    const tree = await props.getByRole('treeitem').allTextContents();
    assert.deepEqual(tree, ['BODY', 'TABLE', 'TBODY', 'TR', 'TD']);
    const row = key => props.locator(`tr[data-help-key="${key}"]`);
    for (const key of ['VALUE', 'ROWSPAN', 'COLS', 'A_ALIGN', 'S_COLOR', 'ATTRS_TABLE']) assert.equal(await row(key).count(), 1, key);
    assert.equal(await row('REPEAT').count(), 0);

    await row('A_ALIGN').dblclick();
    const sheet = page.getByRole('dialog', { name: 'Element property editor' });
    await sheet.frameLocator('iframe.help').locator('#A_ALIGN h2', { hasText: 'ALIGN' }).waitFor();
    await sheet.getByRole('tabpanel', { name: 'Value' }).getByLabel('Property value').fill('center');
    await sheet.getByRole('tab', { name: 'Pellex expression' }).click();
    const dyn = sheet.getByRole('tabpanel', { name: 'Pellex expression' });
    assert.equal(await sheet.getByRole('tabpanel').count(), 1, 'one page shown at a time');
    assert.equal(await dyn.getByLabel('Identifier:').inputValue(), 'ATTR.ALIGN');
    await dyn.getByLabel('Expression:').fill('1 +');
    await sheet.getByRole('button', { name: 'OK' }).click();
    const error = page.getByRole('alertdialog', { name: 'Error' });
    assert.match(await error.textContent(), /Invalid expression/);
    await error.getByRole('button', { name: 'OK' }).click();
    assert.equal(await frame(page).locator('td[align]').count(), 0);
    await dyn.getByLabel('Expression:').fill('"left"');
    await sheet.getByRole('button', { name: 'OK' }).click();
    await sheet.waitFor({ state: 'detached' });
    await props.locator('tr[data-help-key="A_ALIGN"][data-dynamic="true"]').waitFor();

    await row('FONT').dblclick();
    assert.deepEqual(await sheet.getByRole('tab').allTextContents(), ['Font']);
    await sheet.getByLabel('Weight').fill('bold');
    await sheet.getByRole('button', { name: 'OK' }).click();
    await props.locator('tr[data-help-key="S_FONT_WEIGHT"] td:nth-child(2)', { hasText: 'bold' }).waitFor();

    await row('COLS').dblclick();
    assert.deepEqual(await sheet.getByRole('tab').allTextContents(), ['Pellex expression']);
    await sheet.getByLabel('Expression:').fill('3');
    await sheet.getByRole('button', { name: 'OK' }).click();
    await props.getByRole('treeitem', { name: 'TABLE' }).click();
    await row('A_SUMMARY').waitFor();
    assert.equal(await row('COLS').count(), 0);
    await props.getByRole('button', { name: 'OK' }).click();
    await idle(page);

    await command(page, '40010');
    assert.equal(await frame(page).locator('td[vxdynelt]').count(), 1);
    await frame(page).locator('#grid td', { hasText: 'd' }).click({ button: 'right' });
    await page.click('.context-menu [data-command="43013"]');
    const cell = page.getByRole('dialog', { name: 'Cell format' });
    await cell.getByLabel('Vertical alignment:').selectOption('top');
    await cell.getByLabel('Background color:').fill('#FF0000');
    await cell.getByLabel('No wrap').check();
    await cell.getByLabel('Column span:').fill('x');
    await cell.getByRole('button', { name: 'OK' }).click();
    await page.getByRole('alertdialog', { name: 'Error' }).getByRole('button', { name: 'OK' }).click();
    await cell.getByLabel('Column span:').fill('2');
    await cell.getByRole('button', { name: 'OK' }).click();
    await idle(page);
    await command(page, '57603');
    const saved = readFileSync(editor.file, 'latin1');
    assert.match(saved, /<TD ALIGN=center STYLE="font-weight: bold"><!--\$VX ELT "ATTR\.ALIGN"=%\{"left"\}%-->c<\/TD>/);
    assert.doesNotMatch(saved, /COLS=%/);
    assert.match(saved, /<TD VALIGN=top BGCOLOR="#FF0000" NOWRAP COLSPAN=2>d<\/TD>/);
  } finally {
    await editor.stop();
  }
});

test('a trend\'s settings and curves are written as its dynamic properties', async () => {
  const editor = await start_editor('plain.html', ['--project', DEMO_PROJECT]);
  try {
    const page = await open_page(editor);
    await frame(page).locator('#first').click();
    await command(page, '32829');
    await frame(page).locator('object').click({ button: 'right' });
    await page.click('.context-menu [data-command="43009"]');
    const trend = page.getByRole('dialog', { name: 'Trend properties' });
    await trend.getByLabel('Time span (s):').fill('3600');
    await trend.getByLabel('Grid color:').fill('silver');
    await trend.getByRole('tab', { name: 'Curves' }).click();
    assert.equal(await trend.getByRole('tabpanel').count(), 1, 'one page shown at a time');
    for (const name of ['Boiler.T', 'Boiler.P']) {
      await trend.getByRole('button', { name: 'Add' }).click();
      await trend.getByLabel('Channel', { exact: true }).last().fill(name);
    }
    await trend.getByLabel('Channel', { exact: true }).first().fill('CHAN("T_RETURN",0,"BOILERS")');
    await trend.getByRole('button', { name: 'Browse channel' }).first().click();
    const browser = page.getByRole('dialog', { name: 'Channel browser' });
    await browser.getByRole('button', { name: 'OK' }).click();
    await browser.waitFor({ state: 'detached' });
    await trend.getByLabel('Maximum').last().fill('ten');
    await trend.getByRole('button', { name: 'OK' }).click();
    await page.getByRole('alertdialog', { name: 'Error' }).getByRole('button', { name: 'OK' }).click();
    await trend.getByLabel('Maximum').last().fill('10');
    await trend.getByRole('button', { name: 'OK' }).click();
    await idle(page);
    await command(page, '57603');
    const saved = readFileSync(editor.file, 'latin1');
    assert.match(saved, /DT=%\{3600\}%/);
    assert.match(saved, /GRID_COLOR=%\{"silver"\}%/);
    assert.match(saved, /CHANNEL=%\{LIST\(CHAN\( "T_RETURN", 0, "BOILERS"\),CHAN\("Boiler\.P"\)\)\}%/);
    assert.match(saved, /MAXVAL=%\{LIST\(0,10\)\}%/);
  } finally {
    await editor.stop();
  }
});

test('the font and colour pages and a dynamic link address follow their rules', async () => {
  const editor = await start_editor('links.html');
  try {
    const page = await open_page(editor);
    const open_row = async (selector, key) => {
      await frame(page).locator(selector).click({ button: 'right' });
      await page.click('.context-menu [data-command="43014"]');
      const props = page.getByRole('dialog', { name: 'HTML element properties' });
      await props.locator(`tr[data-help-key="${key}"]`).dblclick();
      return props;
    };
    const sheet = page.getByRole('dialog', { name: 'Element property editor' });
    const ok = async dialog => { await dialog.getByRole('button', { name: 'OK', exact: true }).click(); await dialog.waitFor({ state: 'detached' }); };

    let props = await open_row('#big', 'FONT');
    assert.equal(await sheet.getByLabel('SIZE', { exact: true }).inputValue(), '+1');
    await ok(sheet);
    await props.locator('tr[data-help-key="A_SIZE_FONT"] td:nth-child(2)', { hasText: '+1' }).waitFor();
    await props.locator('tr[data-help-key="FONT"]').dblclick();
    await sheet.getByLabel('Size', { exact: true }).fill('14');
    await sheet.getByLabel('Size unit').fill('pt');
    await sheet.getByRole('button', { name: 'Browse...' }).click();
    const chooser = page.getByRole('dialog', { name: 'Font' });
    assert.equal(await chooser.getByLabel('Weight:').inputValue(), '400');
    assert.equal(await chooser.getByLabel('Size (pt):').inputValue(), '14');
    await chooser.getByLabel('Font:').fill('DejaVu Serif');
    await chooser.getByLabel('Weight:').selectOption('600');
    await chooser.getByLabel('Italic').check();
    await chooser.getByLabel('Size (pt):').fill('11.6');
    await ok(chooser);
    assert.equal(await sheet.getByLabel('Weight').inputValue(), '600');
    await sheet.getByLabel('Line:', { exact: true }).fill('1.5');
    await ok(sheet);
    await ok(props);

    props = await open_row('#big', 'COLOR');
    const color = sheet.getByLabel('Color name or RGB-code (#RRGGBB):');
    await color.fill('SkyBlue');
    await sheet.locator('.color-sample[data-color="#87CEEB"]').waitFor();
    await sheet.getByRole('button', { name: 'Browse...' }).click();
    const colors = page.getByRole('dialog', { name: 'Color' });
    assert.equal(await colors.getByLabel('Green:').inputValue(), '206');
    await colors.getByRole('button', { name: 'FIREBRICK' }).click();
    await ok(colors);
    await sheet.locator('.color-sample[data-color="#B22222"]').waitFor();
    assert.equal(await color.inputValue(), '#B22222');
    await ok(sheet);
    await ok(props);

    await frame(page).locator('#link').click({ button: 'right' });
    await page.click('.context-menu [data-command="43023"]');
    const link = page.getByRole('dialog', { name: 'Hyperlink properties' });
    await link.getByLabel('Dynamic address:').fill('"day_" +');
    await link.getByRole('button', { name: 'OK' }).click();
    await page.getByRole('alertdialog', { name: 'Error' }).getByRole('button', { name: 'OK' }).click();
    await link.getByLabel('Dynamic address:').fill('"day_" + TIMESTR("%Y%m%d", TIME()) + ".htm"');
    await link.getByLabel('Title:').fill('Daily');
    await ok(link);
    await frame(page).locator('#link').click({ button: 'right' });
    await page.click('.context-menu [data-command="43023"]');
    assert.equal(await link.getByLabel('Dynamic address:').inputValue(), '"day_" + TIMESTR("%Y%m%d", TIME()) + ".htm"');
    await link.getByRole('button', { name: 'Cancel' }).click();

    await idle(page);
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    const saved = readFileSync(editor.file, 'latin1');
    assert.match(saved, /<FONT SIZE="\+1" [^>]*STYLE="font-family: DejaVu Serif; font-size: 12pt; font-weight: 600; font-style: italic; line-height: 1.5; color: #B22222"/);
    assert.match(saved, /<A HREF=old.htm [^>]*TITLE=Daily[^>]*><!--\$VX ELT "ATTR\.HREF"=%\{"day_" \+ TIMESTR\("%Y%m%d", TIME\(\)\) \+ "\.htm"\}%-->/);
  } finally {
    await editor.stop();
  }
});
