import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { load_strings, status_text, tooltip, menu_text } from '../../editor/web/strings.js';
import { make_commands } from '../../editor/web/commands.js';
import { TOOLBARS } from '../../editor/web/toolbars.js';
import { MENUS } from '../../editor/web/menu_bar.js';
import { context_entries } from '../../editor/web/context_menu.js';

const table = JSON.parse(readFileSync(new URL('../../editor/web/strings/en.json', import.meta.url)));
await load_strings('en', async () => table);
const commands = make_commands({ surface: {}, doc: { settings: {} }, preview: {} });

// Every id a menu, a toolbar or the context menu shows is a command with its texts.
const shown = new Set([
  ...TOOLBARS.flatMap(([, ids]) => ids).filter(id => id !== '|'),
  ...MENUS.flatMap(([, ids]) => ids).filter(id => typeof id === 'string' && id !== 'recent'),
  ...context_entries({ value: true, trend: true, anchor: true, link: true, cell: true }).filter(id => typeof id === 'string'),
]);
for (const id of shown) {
  test(`command ${id} has its texts`, () => {
    assert.ok(commands.has(id), 'no command');
    assert.ok(status_text(id), 'no status text');
    assert.ok(tooltip(id), 'no tooltip');
    assert.notEqual(menu_text(id), `menu.${id}`, 'no menu text');
  });
}

test('the colour menu has the seventeen colours and the format menu its block formats', () => {
  assert.equal(commands.get('41100').label(), 'Black');
  assert.equal(commands.get('41116').label(), 'Custom');
  assert.ok(!commands.has('41117'));
  assert.equal(commands.get('42003').label(), 'Heading 1');
});

test('status texts and tooltips quoted by the shell', () => {
  assert.equal(status_text('32819'), 'Show simulated report');
  assert.equal(status_text('32829'), 'Insert trend object');
  assert.equal(tooltip('32819'), 'Show simulation');
});
