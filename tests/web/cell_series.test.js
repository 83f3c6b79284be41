import { test } from 'node:test';
import assert from 'node:assert/strict';
import { read_series, write_series, series_ok } from '../../editor/web/cell_series.js';
import { FakeTable } from './fake_table.js';

// props: {cellName: {COLS: text, ROWS: text}}; get/set over it.
const access = props => ({
  get: (cell, name) => props[cell.name]?.[name],
  set: (cell, name, text) => {
    props[cell.name] = props[cell.name] || {};
    if (text === '') delete props[cell.name][name]; else props[cell.name][name] = text;
  },
});

// Column of a, c, e with a rowspan b covering the second row's middle position.
const spanned = [['a', 'b:2x1', 'x'], ['c', 'y'], ['e', 'f', 'g']];
const reads = [
  ['every cell of the column alike opens Entire column', spanned,
    { a: { COLS: 'n' }, c: { COLS: 'n' }, e: { COLS: 'n' } }, 'a', { mode: -1, expr: 'n' }, { mode: 0, expr: '' }],
  ['one character different opens Current cell only', spanned,
    { a: { COLS: 'n' }, c: { COLS: 'n ' }, e: { COLS: 'n' } }, 'a', { mode: 1, expr: 'n' }, { mode: 0, expr: '' }],
  ['a one-row table needs another cell for Entire column', [['a', 'b']],
    { a: { COLS: 'n', ROWS: 'm' }, b: { ROWS: 'm' } }, 'a', { mode: 1, expr: 'n' }, { mode: -1, expr: 'm' }],
  ['positions covered by a span are skipped', spanned,
    { b: { COLS: 'k' }, f: { COLS: 'k' } }, 'f', { mode: -1, expr: 'k' }, { mode: 0, expr: '' }],
  ['a missing property ends the walk', spanned,
    { a: { ROWS: 'r' }, b: { ROWS: 'r' } }, 'a', { mode: 0, expr: '' }, { mode: 1, expr: 'r' }],
];

for (const [name, rows, props, at, col, row] of reads) {
  test(name, () => {
    const t = new FakeTable(rows);
    const state = read_series(t, t.cell(at), access(props).get);
    assert.deepEqual(state, { col, row });
  });
}

test('Do not replicate clears the current cell only; Entire row writes every cell of the row', () => {
  const t = new FakeTable(spanned);
  const props = { a: { COLS: 'n' }, c: { COLS: 'n' }, e: { COLS: 'n' } };
  write_series(t, t.cell('c'), { col: { mode: 0, expr: 'n' }, row: { mode: -1, expr: 'q' } }, access(props).set);
  assert.deepEqual(props, { a: { COLS: 'n' }, c: { ROWS: 'q' }, e: { COLS: 'n' }, y: { ROWS: 'q' } });
});

test('an invalid expression keeps OK disabled only in a group that replicates', () => {
  const state = { col: { mode: 1, expr: '(' }, row: { mode: 0, expr: '(' } };
  assert.equal(series_ok(state, k => state[k].expr !== '('), false);
  assert.equal(series_ok({ ...state, col: { mode: 0, expr: '(' } }, () => false), true);
});
