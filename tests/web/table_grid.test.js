import { test } from 'node:test';
import assert from 'node:assert/strict';
import * as tg from '../../editor/web/table_grid.js';
import { FakeTable, grid_text } from './fake_table.js';

// Each row: the table, the operation, the grid afterwards.
const spanned = [['a:2x1', 'b:1x2'], ['c', 'd'], ['e', 'f', 'g']];
const rows = [
  ['insert row above a spanned cell', spanned, t => tg.insert_row(t, t.cell('c')),
    'a b b/a + +/a c d/e f g'],
  ['insert row at the top', spanned, t => tg.insert_row(t, t.cell('a')),
    '+ + +/a b b/a c d/e f g'],
  ['insert column inside a colspan', spanned, t => tg.insert_column(t, t.cell('d')),
    'a b b b/a c + d/e f + g'],
  ['insert column left of a rowspan', spanned, t => tg.insert_column(t, t.cell('a')),
    '+ a b b/+ a c d/+ e f g'],
  ['insert cell', spanned, t => tg.insert_cell(t, t.cell('f')), 'a b b ./a c d ./e + f g'],
  ['delete the row a rowspan starts in', spanned, t => tg.delete_rows(t, 0, 0),
    'a c d/e f g'],
  ['delete the row a rowspan reaches', spanned, t => tg.delete_rows(t, 1, 1),
    'a b b/e f g'],
  ['delete the column of a colspan', spanned, t => tg.delete_columns(t, 2, 2),
    'a b/a c/e f'],
  ['delete the rowspan column', spanned, t => tg.delete_columns(t, 0, 0),
    'b b/c d/f g'],
  ['merge across rows', spanned, t => tg.merge_cells(t, [t.cell('c'), t.cell('f')]),
    'a b b/a c d/e c g'],
  ['merge grows over a crossing span', spanned, t => tg.merge_cells(t, [t.cell('a'), t.cell('c')]),
    'a a a/e f g'],
  ['merge a whole row drops nothing else', [['a', 'b'], ['c', 'd']],
    t => tg.merge_cells(t, [t.cell('a'), t.cell('b')]), 'a a/c d'],
  ['merge two whole rows leaves one row', [['a', 'b'], ['c', 'd']],
    t => tg.merge_cells(t, [t.cell('a'), t.cell('d')]), 'a a'],
  ['split a rowspan', spanned, t => tg.split_cell(t, t.cell('a')), 'a b b/+ c d/e f g'],
  ['split a colspan', spanned, t => tg.split_cell(t, t.cell('b')), 'a b +/a c d/e f g'],
  ['split a single cell widens its column', spanned, t => tg.split_cell(t, t.cell('e')),
    'a a b b/a a c d/e + f g'],
];

for (const [name, table, op, expected] of rows) {
  test(name, () => {
    const t = new FakeTable(table);
    op(t);
    assert.equal(grid_text(t, tg.build_grid), expected);
  });
}

test('the last row and the last column are not deleted', () => {
  const t = new FakeTable([['a', 'b']]);
  assert.equal(tg.delete_rows(t, 0, 0), false);
  assert.equal(tg.delete_columns(t, 0, 1), false);
  assert.equal(grid_text(t, tg.build_grid), 'a b');
});

test('merging a single cell does nothing', () => {
  const t = new FakeTable(spanned);
  assert.equal(tg.merge_cells(t, [t.cell('a')]), null);
});

// Property: any sequence of operations on a square grid keeps every row the same width.
test('random operations keep the grid rectangular', () => {
  let seed = 7;
  const rand = n => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
  for (let round = 0; round < 200; round++) {
    const t = new FakeTable([['a', 'b', 'c'], ['d', 'e', 'f'], ['g', 'h', 'i']]);
    for (let step = 0; step < 8; step++) {
      const cells = t.rows.flatMap(r => r.cells);
      const cell = cells[rand(cells.length)], other = cells[rand(cells.length)];
      const g = tg.build_grid(t);
      const p = g.places.get(cell);
      [() => tg.insert_row(t, cell), () => tg.insert_column(t, cell),
        () => tg.delete_rows(t, p.row, p.row), () => tg.delete_columns(t, p.col, p.col),
        () => tg.merge_cells(t, [cell, other]), () => tg.split_cell(t, cell)][rand(6)]();
      const text = grid_text(t, tg.build_grid);
      assert.ok(!text.includes('.'), `ragged grid ${text}`);
    }
  }
});

test('deleting the only columns of some rows drops those rows', () => {
  const t = new FakeTable([['a:2x1', 'b'], ['c'], ['d', 'e']]);
  tg.delete_columns(t, 1, 1);
  assert.equal(grid_text(t, tg.build_grid), 'a/d');
});
