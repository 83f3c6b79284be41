// The page in Italian, Russian and Chinese: the Language command switches every text in place
// without touching the edited document, and walking the menus and dialogs finds no text of
// another language (English above all) where the language's table has its own.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { start_editor, open_page, command, idle, body_html, select_in, close_browser } from './harness.js';

after(close_browser);

const table = code => JSON.parse(readFileSync(new URL(`../../editor/web/strings/${code}.json`, import.meta.url)));
const pieces = text => text.split(/\n|\|/).map(p => p.replace(/&(.)/g, '$1').trim()).filter(p => p.length > 1);

// The texts of the other tables where the language's table says otherwise, and that no text
// of it equals.
function foreign_texts(own, others) {
  const own_pieces = new Set(Object.values(own).flatMap(pieces));
  return new Set(others.flatMap(other => Object.keys(other).filter(k => own[k] !== other[k]).flatMap(k => pieces(other[k])))
    .filter(p => !own_pieces.has(p)));
}

// Every visible text of the page outside the editing and preview frames, with the titles,
// labels and placeholders of its elements.
function visible_texts() {
  const out = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
  for (let n = walker.currentNode; n; n = walker.nextNode()) {
    if (n.nodeType === Node.TEXT_NODE) {
      if (n.parentElement.checkVisibility()) out.push(n.textContent.trim());
      continue;
    }
    if (!n.checkVisibility()) continue;
    for (const a of ['title', 'aria-label', 'placeholder']) if (n.getAttribute(a)) out.push(n.getAttribute(a).trim());
  }
  return out.filter(Boolean);
}

// Opens every menu and a few dialogs and gathers what they show.
async function walk(page) {
  const texts = new Set();
  const collect = async () => { for (const s of await page.evaluate(visible_texts)) texts.add(s); };
  await collect();
  for (const menu of await page.getByRole('menubar').getByRole('menuitem').all()) {
    await menu.click();
    await collect();
    await page.keyboard.press('Escape');
  }
  await select_in(page, '#first');
  for (const id of ['41001', '41002']) {
    await command(page, id);
    await collect();
    await page.keyboard.press('Escape');
  }
  for (const id of ['document-properties', '32827', '32815', '43014', '41008', '32850', '57664']) {
    command(page, id);
    await page.locator('dialog[open]').last().waitFor();
    await collect();
    await page.keyboard.press('Escape');
    await idle(page);
  }
  command(page, '32819');
  for (let i = 0; i < 2; i++) {  // the warning that no project is loaded, then the project choice
    await page.locator('dialog[open]').last().waitFor();
    await collect();
    await page.keyboard.press('Escape');
  }
  await idle(page);
  await collect();
  return [...texts];
}

async function choose_language(page, from, to, code) {
  command(page, 'language');
  const box = page.getByRole('dialog', { name: from['dlg.language'] });
  await box.getByLabel(to[`lang.${code}`]).check();
  await box.getByRole('button', { name: from['button.ok'] }).click();
  await idle(page);
  await page.getByRole('menubar').getByRole('menuitem', { name: to['menu.file'].replace(/&(.)/g, '$1') }).waitFor();
}

test('the Language command switches the page in place and no English text is left', async () => {
  const editor = await start_editor('plain.html');
  try {
    const page = await open_page(editor);
    const en = table('en');
    await page.frameLocator('iframe[data-role="template"]').locator('#first').click();
    await page.keyboard.press('End');
    await page.keyboard.type(' Давление 温度 già');
    const edited = await body_html(page);
    let from = en;
    for (const code of ['it', 'ru', 'zh']) {
      const own = table(code);
      await choose_language(page, from, own, code);
      from = own;
      assert.equal(await page.evaluate(() => document.documentElement.lang), code);
      const foreign = foreign_texts(own, ['en', 'it', 'ru', 'zh'].filter(c => c !== code).map(table));
      const found = (await walk(page)).filter(text => foreign.has(text));
      assert.deepEqual(found, [], `${code}: texts of other languages on the page`);
      assert.equal(await body_html(page), edited);
      assert.match(await page.title(), /\*/);
    }
    const settings = JSON.parse(readFileSync(join(editor.dir, '.config/quillet/settings.json'), 'utf8'));
    assert.equal(settings.language, 'zh');
    await command(page, '57603');
    await page.waitForFunction(() => !document.title.includes('*'));
    // The session began in English, so its files are windows-1252 with references beyond it.
    assert.match(readFileSync(editor.file, 'latin1'), /&#1044;&#1072;.*&#28201;&#24230; gi\xE0/);
  } finally {
    await editor.stop();
  }
});
