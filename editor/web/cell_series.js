// Reading and writing the replication of a table cell: COLS repeats the cell across its row at
// generation, ROWS repeats its row down the table. Pure logic over the span-aware grid of
// table_grid.js; `get(cell, name)` gives a cell's property text or undefined, `set(cell, name,
// text)` sets it (empty text removes it).
import { build_grid } from './table_grid.js';

// Returns the cells that start in column `c` (by = 'col') or row `r` (by = 'row') of the grid,
// in order; positions covered by a span from another row or column have no cell of their own.
export function series_cells(table, cell, by) {
  const g = build_grid(table);
  const { row, col } = g.places.get(cell);
  const out = [];
  const count = by === 'col' ? g.grid.length : g.width;
  for (let k = 0; k < count; k++) {
    const at = by === 'col' ? g.grid[k]?.[col] : g.grid[row]?.[k];
    const p = at && g.places.get(at);
    if (p && p.row === (by === 'col' ? k : row) && p.col === (by === 'col' ? col : k)) out.push(at);
  }
  return out;
}

// Returns {mode, expr} of one group: mode 0 when the cell lacks the property, -1 when every
// other cell of its column (row) carries exactly the same text and there is at least one, else +1.
function read_group(cells, cell, name, get) {
  const text = get(cell, name);
  if (text === undefined) return { mode: 0, expr: '' };
  const others = cells.filter(c => c !== cell);
  const all_same = others.length > 0 && others.every(c => get(c, name) === text);
  return { mode: all_same ? -1 : 1, expr: text };
}

// Returns the dialog's state for `cell`: {col: {mode, expr}, row: {mode, expr}}.
export function read_series(table, cell, get) {
  return {
    col: read_group(series_cells(table, cell, 'col'), cell, 'COLS', get),
    row: read_group(series_cells(table, cell, 'row'), cell, 'ROWS', get),
  };
}

// Whether OK may close the dialog: each group does not replicate or has a valid expression.
export function series_ok(state, valid) {
  return ['col', 'row'].every(k => state[k].mode === 0 || valid(k));
}

// Writes the dialog's state: a group of mode -1 sets every cell of its column (row); any other
// mode sets the current cell only, to the empty text when it does not replicate.
export function write_series(table, cell, state, set) {
  for (const [key, name] of [['col', 'COLS'], ['row', 'ROWS']]) {
    const { mode, expr } = state[key];
    const text = mode === 0 ? '' : expr;
    const cells = mode === -1 ? series_cells(table, cell, key) : [cell];
    for (const c of cells) set(c, name, text);
  }
}
