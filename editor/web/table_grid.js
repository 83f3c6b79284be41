// Table operations that understand row and column spans. Works on anything shaped like an
// HTML table (rows, cells, insertRow, deleteRow, insertCell, deleteCell, rowSpan, colSpan),
// so the editing surface hands it the live table and the unit tests a small stand-in.
// `fill(cell)` gives a new cell its initial content.

// Sets a span; a span of 1 leaves no attribute behind in the template.
function set_span(cell, name, n) {
  if (n <= 1 && typeof cell.removeAttribute === 'function') {
    cell.removeAttribute(name);
    return;
  }
  cell[name] = n;
}

// Returns the grid of the table: grid[r][c] is the cell covering that slot, and the place
// (row, column, spans) of every cell, so each operation can reason in grid coordinates.
export function build_grid(table) {
  const grid = [];
  const places = new Map();
  for (let r = 0; r < table.rows.length; r++) {
    grid[r] = grid[r] || [];
    let c = 0;
    for (const cell of Array.from(table.rows[r].cells)) {
      while (grid[r][c]) c++;
      const rs = Math.max(1, cell.rowSpan | 0), cs = Math.max(1, cell.colSpan | 0);
      places.set(cell, { row: r, col: c, rowSpan: rs, colSpan: cs });
      for (let i = r; i < Math.min(r + rs, table.rows.length); i++) {
        grid[i] = grid[i] || [];
        for (let j = c; j < c + cs; j++) grid[i][j] = cell;
      }
      c += cs;
    }
  }
  const width = grid.reduce((w, row) => Math.max(w, row.length), 0);
  return { grid, places, width };
}

// Returns the index within `table.rows[r].cells` at which a cell starting at grid column `c`
// belongs: after every cell of that row that starts left of it.
function cell_index_for(table, g, r, c) {
  let index = 0;
  for (const cell of Array.from(table.rows[r].cells)) {
    if (g.places.get(cell).col < c) index++;
  }
  return index;
}

function new_cell(table, r, index, fill, rowSpan = 1, colSpan = 1) {
  const cell = table.rows[r].insertCell(index);
  if (rowSpan > 1) set_span(cell, 'rowSpan', rowSpan);
  if (colSpan > 1) set_span(cell, 'colSpan', colSpan);
  if (fill) fill(cell);
  return cell;
}

// Inserts a row above the row of `cell`. Cells that reach into that row from above grow by a
// row instead of getting a new cell beside them.
export function insert_row(table, cell, fill) {
  const g = build_grid(table);
  const r = g.places.get(cell).row;
  const fresh = table.insertRow(r);
  const seen = new Set();
  let index = 0;
  for (let c = 0; c < g.width; c++) {
    const at = g.grid[r][c];
    if (!at) { new_cell(table, r, index++, fill); continue; }
    if (seen.has(at)) continue;
    seen.add(at);
    const p = g.places.get(at);
    if (p.row < r) { set_span(at, 'rowSpan', p.rowSpan + 1); continue; }
    new_cell(table, r, index++, fill, 1, p.colSpan);
  }
  return fresh;
}

// Inserts a column left of the column where `cell` starts. Cells that reach into that column
// from the left grow by a column.
export function insert_column(table, cell, fill) {
  const g = build_grid(table);
  const c = g.places.get(cell).col;
  const seen = new Set();
  for (let r = 0; r < table.rows.length; r++) {
    const at = g.grid[r][c];
    if (!at) { new_cell(table, r, table.rows[r].cells.length, fill); continue; }
    if (seen.has(at)) continue;
    seen.add(at);
    const p = g.places.get(at);
    if (p.col < c) { set_span(at, 'colSpan', p.colSpan + 1); continue; }
    new_cell(table, p.row, cell_index_for(table, g, p.row, c), fill, p.rowSpan, 1);
  }
}

// Inserts one cell left of `cell` in its row (the row becomes one cell longer).
export function insert_cell(table, cell, fill) {
  const row = cell.parentNode || cell.parentElement;
  const index = Array.from(row.cells).indexOf(cell);
  const fresh = row.insertCell(index);
  if (fill) fill(fresh);
  return fresh;
}

// Deletes the rows `first` to `last` (grid rows). A cell that starts in a deleted row and
// reaches below it moves to the first row kept below, shorter by the deleted rows; a cell that
// reaches into them from above gets shorter. Returns false when no row would be left.
export function delete_rows(table, first, last) {
  if (last - first + 1 >= table.rows.length) return false;
  for (let r = last; r >= first; r--) delete_one_row(table, r);
  return true;
}

function delete_one_row(table, r) {
  const g = build_grid(table);
  const seen = new Set();
  const moves = [];
  for (let c = 0; c < g.width; c++) {
    const at = g.grid[r][c];
    if (!at || seen.has(at)) continue;
    seen.add(at);
    const p = g.places.get(at);
    if (p.rowSpan === 1) continue;
    if (p.row < r) { set_span(at, 'rowSpan', p.rowSpan - 1); continue; }
    moves.push({ cell: at, col: p.col, rowSpan: p.rowSpan - 1 });
  }
  for (const m of moves) {
    if (r + 1 >= table.rows.length) break;
    const index = cell_index_for(table, g, r + 1, m.col);
    const row = table.rows[r + 1];
    const before = row.cells[index] || null;
    row.insertBefore(m.cell, before);
    set_span(m.cell, 'rowSpan', m.rowSpan);
  }
  table.deleteRow(r);
}

// Deletes the grid columns `first` to `last`. Cells wider than the deleted part get narrower.
// Returns false when no column would be left.
export function delete_columns(table, first, last) {
  const g = build_grid(table);
  if (first <= 0 && last >= g.width - 1) return false;
  for (let c = last; c >= first; c--) delete_one_column(table, c);
  drop_empty_rows(table);
  return true;
}

function delete_one_column(table, c) {
  const g = build_grid(table);
  const seen = new Set();
  for (let r = 0; r < table.rows.length; r++) {
    const at = g.grid[r][c];
    if (!at || seen.has(at)) continue;
    seen.add(at);
    const p = g.places.get(at);
    if (p.colSpan > 1) { set_span(at, 'colSpan', p.colSpan - 1); continue; }
    const row = table.rows[p.row];
    row.deleteCell(Array.from(row.cells).indexOf(at));
  }
}

// Deletes the cells `cells` from their rows. Returns false when that would leave a row of
// the table empty (the caller then removes the table, as with a single-cell row).
export function delete_cells(table, cells) {
  for (const cell of cells) {
    const row = cell.parentNode || cell.parentElement;
    row.deleteCell(Array.from(row.cells).indexOf(cell));
  }
  return true;
}

// Returns the grid rectangle {top, left, bottom, right} that covers every cell of `cells`,
// grown until no cell crosses its border, or null when that is a single cell.
export function merge_area(table, cells) {
  const g = build_grid(table);
  let a = null;
  for (const cell of cells) a = grow(a, g.places.get(cell));
  for (let changed = true; changed;) {
    changed = false;
    for (let r = a.top; r <= a.bottom; r++) {
      for (let c = a.left; c <= a.right; c++) {
        const at = g.grid[r][c];
        if (!at) continue;
        const b = grow({ ...a }, g.places.get(at));
        if (b.top !== a.top || b.left !== a.left || b.bottom !== a.bottom || b.right !== a.right) {
          a = b;
          changed = true;
        }
      }
    }
  }
  const first = g.grid[a.top][a.left];
  const p = first && g.places.get(first);
  if (p && p.row + p.rowSpan - 1 === a.bottom && p.col + p.colSpan - 1 === a.right) return null;
  return a;
}

function grow(a, p) {
  const b = { top: p.row, left: p.col, bottom: p.row + p.rowSpan - 1, right: p.col + p.colSpan - 1 };
  if (!a) return b;
  return {
    top: Math.min(a.top, b.top), left: Math.min(a.left, b.left),
    bottom: Math.max(a.bottom, b.bottom), right: Math.max(a.right, b.right),
  };
}

// Merges the cells of the area that covers `cells` into its top-left cell, whose content
// gets the others' content appended (through `join(target, other)`). Rows left without a
// cell are removed and the spans that crossed them shortened. Returns the merged cell or null.
export function merge_cells(table, cells, join) {
  const a = merge_area(table, cells);
  if (!a) return null;
  const g = build_grid(table);
  const target = g.grid[a.top][a.left];
  const seen = new Set([target]);
  for (let r = a.top; r <= a.bottom; r++) {
    for (let c = a.left; c <= a.right; c++) {
      const at = g.grid[r][c];
      if (!at || seen.has(at)) continue;
      seen.add(at);
      if (join) join(target, at);
      at.parentNode.removeChild(at);
    }
  }
  set_span(target, 'rowSpan', a.bottom - a.top + 1);
  set_span(target, 'colSpan', a.right - a.left + 1);
  drop_empty_rows(table);
  return target;
}

// Removes rows that have no cells left, shortening the cells that spanned them.
function drop_empty_rows(table) {
  for (let r = table.rows.length - 1; r >= 0; r--) {
    if (table.rows[r].cells.length > 0) continue;
    const g = build_grid(table);
    const seen = new Set();
    for (const at of g.grid[r] || []) {
      if (!at || seen.has(at)) continue;
      seen.add(at);
      set_span(at, 'rowSpan', Math.max(1, g.places.get(at).rowSpan - 1));
    }
    table.deleteRow(r);
  }
}

// Splits a cell. A spanned cell goes back to single cells over its area; a single cell
// becomes two side by side, and the other cells of its column grow to keep the grid square.
export function split_cell(table, cell, fill) {
  const g = build_grid(table);
  const p = g.places.get(cell);
  if (p.rowSpan > 1 || p.colSpan > 1) return unmerge(table, g, cell, p, fill);
  const seen = new Set([cell]);
  for (let r = 0; r < table.rows.length; r++) {
    const at = g.grid[r][p.col];
    if (!at || seen.has(at)) continue;
    seen.add(at);
    set_span(at, 'colSpan', g.places.get(at).colSpan + 1);
  }
  const row = table.rows[p.row];
  new_cell(table, p.row, Array.from(row.cells).indexOf(cell) + 1, fill);
  return true;
}

function unmerge(table, g, cell, p, fill) {
  for (let r = p.row + p.rowSpan - 1; r >= p.row; r--) {
    const first = r === p.row ? 1 : 0;
    let index = r === p.row ? Array.from(table.rows[r].cells).indexOf(cell) + 1
      : cell_index_for(table, g, r, p.col);
    for (let c = first; c < p.colSpan; c++) new_cell(table, r, index++, fill);
  }
  set_span(cell, 'rowSpan', 1);
  set_span(cell, 'colSpan', 1);
  return true;
}
