import { test } from 'node:test';
import assert from 'node:assert/strict';
import { UndoManager } from '../../editor/web/undo_manager.js';
import { clean_pasted_html } from '../../editor/web/paste_clean.js';
import { save_as_proposal, with_extension } from '../../editor/web/file_names.js';

test('undo and redo walk the snapshots; a new change drops the redo side', () => {
  const u = new UndoManager();
  u.reset('a');
  u.record('b');
  u.record('c');
  assert.equal(u.undo(), 'b');
  assert.equal(u.undo(), 'a');
  assert.equal(u.undo(), null);
  assert.equal(u.redo(), 'b');
  u.record('d');
  assert.equal(u.can_redo(), false);
  assert.equal(u.undo(), 'b');
});

test('a run of typing is one step and an unchanged snapshot is none', () => {
  const u = new UndoManager();
  u.reset({ body: '' });
  u.record({ body: 'x' }, 1);
  u.record({ body: 'xy' }, 1);
  assert.equal(u.record({ body: 'xy' }, 2), false);
  u.record({ body: 'xy<hr>' });
  assert.deepEqual(u.undo(), { body: 'xy' });
  assert.deepEqual(u.undo(), { body: '' });
});

test('the limit drops the oldest snapshots', () => {
  const u = new UndoManager({ limit: 3 });
  u.reset(0);
  for (let i = 1; i < 10; i++) u.record(i);
  assert.equal(u.undo(), 8);
  assert.equal(u.undo(), 7);
  assert.equal(u.undo(), null);
});

test('heavy snapshots keep fewer steps, but always the last one', () => {
  const u = new UndoManager({ max_weight: 10, weight: s => s.length });
  u.reset('aaaa');
  u.record('bbbb');
  u.record('cccc');
  assert.equal(u.undo(), 'bbbb');
  assert.equal(u.undo(), null);
  u.record('x'.repeat(50));
  assert.equal(u.undo(), 'bbbb');
});

const pastes = [
  ['Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000200\r\n<html><body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>', '<b>x</b>'],
  ['<meta charset="utf-8"><span>y</span>', '<span>y</span>'],
  ['<p>a<o:p></o:p></p><!--[if gte mso 9]><xml>z</xml><![endif]-->', '<p>a</p>'],
  ['plain <i>text</i>', 'plain <i>text</i>'],
];
for (const [input, expected] of pastes) {
  test(`paste cleaning: ${JSON.stringify(input).slice(0, 40)}`, () => {
    assert.equal(clean_pasted_html(input), expected);
  });
}

const proposals = [
  [null, 'Shift report #2', 'Shift'],
  [null, 'a;b', 'a'],
  [null, 'plain.title', 'plain'],
  [null, '', ''],
  ['/t/report.v1/x', '', '/t/report.v1/x'],
  ['/t/hourly.html', '', '/t/hourly'],
];
for (const [path, title, expected] of proposals) {
  test(`save-as proposal of ${path || JSON.stringify(title)}`, () => {
    assert.equal(save_as_proposal(path, title), expected);
  });
}

test('default extensions', () => {
  assert.equal(with_extension('/t/a', true), '/t/a.htt');
  assert.equal(with_extension('/t.d/a', false), '/t.d/a.html');
  assert.equal(with_extension('/t/a.htm', false), '/t/a.htm');
});

test('the font page reads weights, FONT sizes, three-state boxes and decorations by their rules', async () => {
  const { weight_item, fixed_size_item, tri_state, decoration_text } = await import('../../editor/web/font_rules.js');
  for (const [value, item] of [['Bolder', 'bold'], ['normal', 'normal'], ['650', '650'], ['700', '700'], ['', '']]) {
    assert.equal(weight_item(value), item, value);
  }
  for (const [size, item] of [['+3', '+1'], ['-2', '-1'], ['5', '5'], ['9', ''], ['', '']]) assert.equal(fixed_size_item(size), item, size);
  assert.equal(tri_state('oblique 10deg', ['italic', 'oblique']), true);
  assert.equal(tri_state('normal', ['italic']), false);
  assert.equal(tri_state('inherit', ['italic']), null);
  assert.equal(decoration_text({ none: true, underline: true }), 'none');
  assert.equal(decoration_text({ overline: true, underline: true, 'line-through': true }), 'underline line-through overline');
});

test('length pairs split and join without losing what was typed; the font chooser maps weights and sizes', async () => {
  const { split_length, join_length, chooser_weight, weight_item_of, chooser_points } = await import('../../editor/web/font_rules.js');
  for (const [text, number, unit, back] of [['12pt', '12', 'pt', '12pt'], ['1.5 em', '1.5', 'em', '1.5em'], ['12', '12', '', '12'],
    ['3furlongs', '3', 'furlongs', '3furlongs'], ['-0.5e1px', '-0.5e1', 'px', '-0.5e1px'], ['120%', '120', '%', '120%'],
    ['larger', 'larger', '', 'larger'], ['', '', '', '']]) {
    assert.deepEqual(split_length(text), { number, unit }, text);
    assert.equal(join_length(number, unit), back, text);
  }
  assert.equal(join_length('small', 'pt'), 'small');
  for (const [item, weight] of [['bold', 700], ['600', 700], ['800', 700], ['900', 400], ['normal', 400], ['bolder', 400], ['', 400]]) {
    assert.equal(chooser_weight(item), weight, item);
  }
  for (const [weight, item] of [[400, 'normal'], [700, 'bold'], [300, '300'], [650, 'normal'], [0, 'normal']]) {
    assert.equal(weight_item_of(weight), item, String(weight));
  }
  assert.equal(weight_item_of(chooser_weight('normal')), 'normal');
  assert.equal(chooser_points({ number: '12', unit: 'pt' }), 12);
  assert.equal(chooser_points({ number: '9.5', unit: '' }), 9.5);
  assert.equal(chooser_points({ number: '12', unit: 'px' }), null);
  assert.equal(chooser_points({ number: 'large', unit: '' }), null);
});

test('trend curves split and join as LIST expressions, channels and strings round-trip', async () => {
  const { list_items, list_expression, channel_name, quote, unquote } = await import('../../editor/web/trend_values.js');
  assert.deepEqual(list_items('LIST(CHAN("a,b"), CHAN("c", 2),3)'), ['CHAN("a,b")', 'CHAN("c", 2)', '3']);
  assert.deepEqual(list_items('LIST(1)+LIST(2)'), ['LIST(1)+LIST(2)']);
  assert.deepEqual(list_items(''), []);
  assert.equal(list_expression(['1']), '1');
  assert.equal(list_expression(['1', '"x"']), 'LIST(1,"x")');
  assert.equal(channel_name('CHAN("Boiler\\"1")'), 'Boiler"1');
  assert.equal(channel_name('CHAN("a", 2)'), null);
  assert.equal(unquote(quote('a"b\\c')), 'a"b\\c');
  assert.equal(unquote('"a" + "b"'), null);
});

test('a toolbar dropped anywhere docks on the nearest edge; a stored layout keeps only known sides', async () => {
  const { nearest_side, clean_layout } = await import('../../editor/web/toolbar_dock.js');
  const rows = [[500, 5, 'top'], [500, 795, 'bottom'], [3, 400, 'left'], [997, 400, 'right'], [100, 60, 'top'], [150, 700, 'bottom']];
  for (const [x, y, side] of rows) assert.equal(nearest_side(x, y, 1000, 800), side, `${x},${y}`);
  assert.deepEqual(clean_layout({ main: 'left', format: 'middle', other: 'right' }, ['main', 'format', 'insert']),
    { main: 'left', format: 'top', insert: 'top' });
  assert.deepEqual(clean_layout(undefined, ['main']), { main: 'top' });
});
