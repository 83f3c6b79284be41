// A stand-in for an HTML table with just what the table grid uses, and a text form of its
// grid ("a a b/c d d": one letter per slot, rows separated by "/", new cells as "+").

class FakeCell {
  constructor(name, rowSpan = 1, colSpan = 1) {
    this.name = name;
    this.rowSpan = rowSpan;
    this.colSpan = colSpan;
    this.parentNode = null;
  }
}

class FakeRow {
  constructor(table) { this.cells = []; this.parentNode = table; }
  insertCell(index) {
    const cell = new FakeCell('+');
    this.insertBefore(cell, this.cells[index] || null);
    return cell;
  }
  insertBefore(cell, before) {
    if (cell.parentNode) cell.parentNode.removeChild(cell);
    const i = before ? this.cells.indexOf(before) : this.cells.length;
    this.cells.splice(i, 0, cell);
    cell.parentNode = this;
  }
  deleteCell(index) { this.cells.splice(index, 1)[0].parentNode = null; }
  removeChild(cell) { this.deleteCell(this.cells.indexOf(cell)); }
}

export class FakeTable {
  // rows: [["a", "b:2x1"], ...] where "b:RxC" gives row and column spans.
  constructor(rows) {
    this.rows = [];
    for (const names of rows) {
      const row = this.insertRow(this.rows.length);
      for (const token of names) {
        const [name, spans] = token.split(':');
        const [rs, cs] = spans ? spans.split('x').map(Number) : [1, 1];
        row.insertBefore(new FakeCell(name, rs, cs), null);
      }
    }
  }
  insertRow(index) {
    const row = new FakeRow(this);
    this.rows.splice(index, 0, row);
    return row;
  }
  deleteRow(index) { this.rows.splice(index, 1); }
  cell(name) {
    for (const row of this.rows) for (const c of row.cells) if (c.name === name) return c;
    throw new Error(`no cell ${name}`);
  }
}

export function grid_text(table, build_grid) {
  const { grid, width } = build_grid(table);
  return grid.map(row => Array.from({ length: width }, (_, c) => row[c] ? row[c].name : '.')
    .join(' ')).join('/');
}
