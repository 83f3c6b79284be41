// "HTML element properties": the document structure from the body down to the element as a
// tree, and the catalogue rows that apply to the selected element, grouped by their levels,
// each with its static value and its expression. Opening a row opens the property editor;
// every change it makes is one undoable step.
import { el } from '../dom.js';
import { t, has } from '../strings.js';
import * as api from '../api.js';
import { run_dialog } from './dialog.js';
import * as property_editor from './property_editor.js';

let catalogue = null;

// Opens the dialog for `element` of the editing surface; ctx gives surface and doc.
export async function open(ctx, element) {
  catalogue = catalogue || await api.catalogue();
  const chain = [];
  for (let n = element; n && n.nodeType === 1 && n.tagName !== 'HTML'; n = n.parentElement) chain.unshift(n);
  const tree = el('ul', { role: 'tree', 'aria-label': t('label.structure'), class: 'element-tree' });
  const list = el('table', { class: 'property-list', 'aria-label': t('label.properties') });
  let selected = chain[chain.length - 1];
  const items = chain.map((node, depth) => {
    const item = el('li', { role: 'treeitem', tabindex: '-1', style: `padding-left:${depth}em`, text: node.tagName });
    item.addEventListener('click', () => select(node, item));
    tree.append(item);
    return item;
  });
  const select = async (node, item) => {
    selected = node;
    items.forEach(i => i.setAttribute('aria-selected', String(i === item)));
    await show_rows(ctx, node, list);
  };
  if (selected) await select(selected, items[items.length - 1]);
  return run_dialog(t('dlg.elementprops'), [el('div', { class: 'element-properties' }, tree, list)], () => true,
    { cancel: false, cls: 'wide' });
}

// The element as the server's catalogue reads it: the surface's record and its definition.
function record_of(ctx, element) {
  return { ...ctx.surface.element_record(element), definition: ctx.doc.definition_of(element) || [] };
}

async function show_rows(ctx, element, list) {
  const { rows } = await api.element_rows(record_of(ctx, element));
  const applying = new Map(rows.map(r => [r.key, r]));
  const body = el('tbody');
  catalogue.forEach((row, i) => {
    if (row.flags & 1) {
      if (group_has_rows(i, applying)) body.append(group_line(row));
      return;
    }
    const current = applying.get(row.key);
    if (current) body.append(property_line(ctx, element, list, row, current, applying));
  });
  list.replaceChildren(body);
}

// Whether a row after group i and deeper than it applies.
function group_has_rows(i, applying) {
  for (let j = i + 1; j < catalogue.length && catalogue[j].level > catalogue[i].level; j++) {
    if (applying.has(catalogue[j].key)) return true;
  }
  return false;
}

// The row's display text in the user's language; names of attributes and styles as they are.
function row_text(row) {
  return has(`prop.${row.key}`) ? t(`prop.${row.key}`) : row.text;
}

function group_line(row) {
  return el('tr', { class: 'group', 'data-help-key': row.key },
    el('th', { colspan: '3', style: `padding-left:${row.level}em`, text: row_text(row) }));
}

function property_line(ctx, element, list, row, current, applying) {
  const dynamic = current.expression !== null;
  const line = el('tr', { 'data-help-key': row.key, tabindex: '0', class: dynamic ? 'dynamic' : '',
    'data-dynamic': dynamic ? 'true' : null },
  el('td', { style: `padding-left:${row.level}em`, text: row_text(row) }),
  el('td', { text: current.value ?? '' }), el('td', { class: 'expression', text: current.expression ?? '' }));
  const edit = () => edit_row(ctx, element, list, row, current, applying);
  line.addEventListener('dblclick', edit);
  line.addEventListener('keydown', e => { if (e.key === 'Enter') { e.preventDefault(); edit(); } });
  return line;
}

// Opens the property editor on one row; its writes go through the server's catalogue and
// then into the element, its definition and the undo history.
async function edit_row(ctx, element, list, row, current, applying) {
  const apply = async change => {
    try {
      let record = record_of(ctx, element);
      const writes = change.font ? Object.entries(change.font).map(([key, value]) => [key, { value }]) : [[row.key, change]];
      for (const [key, one] of writes) {
        if (key !== row.key && !applying.has(key)) continue;
        record = (await api.element_set(record, key, one)).element;
      }
      write_back(ctx, element, record);
      return null;
    } catch (e) {
      return e.message;
    }
  };
  if (row.flags & 0x100) {
    current = { font: Object.fromEntries([...applying].map(([k, r]) => [k, r.value ?? ''])),
      font_element: /^(BASE)?FONT$/.test(element.tagName) };
  }
  const done = await property_editor.open(row, current, apply);
  if (done) await show_rows(ctx, element, list);
}

function write_back(ctx, element, record) {
  const { surface, doc } = ctx;
  surface.apply_element_record(element, record);
  const n = surface.dynelt_number(element);
  if (n > 0) doc.state.definitions[n - 1] = record.definition;
  else if (record.definition.length) doc.add_definition(element, record.definition);
  surface.changed(null);
}
