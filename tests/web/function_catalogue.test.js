import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { catalogue, items, best_item } from '../../editor/web/function_catalogue.js';

const strings = JSON.parse(readFileSync(new URL('../../editor/web/strings/en.json', import.meta.url)));
const help = readFileSync(new URL('../../editor/web/help/funchelp.html', import.meta.url), 'utf8');
const list = items(id => strings[id]);

test('80 functions in nine groups, each with its signature text, its group name and a help section', () => {
  const groups = catalogue();
  assert.equal(groups.length, 9);
  const entries = groups.flatMap(g => g.entries);
  assert.equal(entries.length, 80);
  assert.equal(new Set(entries.map(e => e.anchor)).size, 80);
  for (const g of groups) assert.ok(strings[`funcs.group.${g.key}`], g.key);
  for (const e of entries) {
    assert.match(strings[e.id] ?? '', /^[A-Z0-9_]+\(/, `${e.id} ${e.anchor}`);
    assert.ok(help.includes(`<section id="${e.anchor}">`), e.anchor);
  }
  assert.equal(list.filter(i => i.anchor === 'IDX').map(i => i.text).join('|'), 'IDX()|IDX( Depth )');
});

test('the longest common prefix of more than two characters selects an item', () => {
  const text = i => (i < 0 ? null : list[i].text);
  for (const [typed, expected] of [
    ['READVAL( CHAN("A"), TIME() )', 'READVAL( ChanRef, Time )'],
    ['READVAL( C', 'READVAL( ChanRef, Time )'],
    ['  timestr(', 'TIMESTR( Format, Time )'],
    ['STDEVN', 'STDEVN( Value1, Value2, ... )'],
    ['MAX_T(', 'MAX_T( Stat )'],
    ['IDX( D', 'IDX( Depth )'],
    ['SI', null],
    ['', null],
    ['xyz', null],
  ]) assert.equal(text(best_item(list, typed)), expected, typed);
});

test('a user-defined function is referenced by its plain name, else quoted with escapes', async () => {
  const { user_function_reference } = await import('../../editor/web/dialogs/user_function_list.js');
  for (const [name, expected] of [['until', '@until'], ['_a1', '@_a1'], ['shift start', "@'shift start'"],
    ['Pump1.ok', "@'Pump1.ok'"], ['1st', "@'1st'"], ["it's", "@'it\\'s'"], ['a\\b', "@'a\\\\b'"]])
    assert.equal(user_function_reference(name), expected, name);
});
