// The array and string-array builders (numbered rows from 0), the channel-list builder and
// the constants a builder writes as string literals: a colour and a font.
import { el, labelled_input } from '../dom.js';
import * as api from '../api.js';
import { group, row, run_dialog } from './dialog.js';
import * as browsers from './channel_browser.js';
import { color_page, sheet } from './property_editor.js';
import { run_builder, check_box, radio_group, number_box, has_text, t } from './builder_frame.js';

// A numbered list of rows (column "N") with buttons to add and remove rows; returns
// {element, rows(), select(i)}.
function row_list(initial) {
  const body = el('tbody');
  const add_row = value => {
    const input = el('input', { type: 'text', class: 'expression', 'aria-label': String(body.rows.length) });
    input.value = value;
    body.append(el('tr', {}, el('td', { class: 'n', text: String(body.rows.length) }), el('td', {}, input)));
  };
  const renumber = () => Array.from(body.rows).forEach((r, i) => {
    r.cells[0].textContent = String(i);
    r.querySelector('input').setAttribute('aria-label', String(i));
  });
  initial.forEach(add_row);
  const add = el('button', { type: 'button', text: t('builder.add') });
  add.addEventListener('click', () => { add_row(''); body.rows[body.rows.length - 1].querySelector('input').focus(); });
  const remove = el('button', { type: 'button', text: t('builder.remove') });
  remove.addEventListener('click', () => {
    const r = document.activeElement?.closest?.('tr') || body.rows[body.rows.length - 1];
    if (r && body.contains(r)) { r.remove(); renumber(); }
  });
  remove.addEventListener('mousedown', e => e.preventDefault());
  const table = el('table', { class: 'row-list' }, el('thead', {}, el('tr', {}, el('th', { text: t('label.number') }), el('th', {}))), body);
  return {
    element: el('div', {}, table, el('div', { class: 'buttons' }, add, remove)),
    rows: () => Array.from(body.querySelectorAll('input')).map(i => i.value),
    select: i => { const input = body.rows[i]?.querySelector('input'); input?.focus(); input?.select(); },
  };
}

function array_builder(name, title, text) {
  return run_builder(name, title, text, f => {
    const list = row_list(f.rows);
    return { body: [list.element], read: () => ({ rows: list.rows() }), refused: r => list.select(r.row) };
  });
}

export const array = text => array_builder('array', t('builder.array'), text);
export const string_array = text => array_builder('string_array', t('builder.stringarray'), text);

export function channel_selection(text) {
  return run_builder('channel_selection', t('builder.channelselection'), text, f => {
    const [node_label, node] = labelled_input(t('builder.node'));
    const [object_label, object] = labelled_input(t('builder.object'));
    node.value = String(f.node ?? '');
    object.value = String(f.object ?? '');
    const [conditions, condition] = radio_group(Array.from({ length: 9 }, (_, i) =>
      ({ value: i, label: `${i}: ${t(`builder.cond.${i}`)}` })), f.condition);
    const constant = v => (/^-?\d+$/.test(v.trim()) ? Number(v) : v);
    const browse = el('button', { type: 'button', text: t('browser.object') });
    browse.addEventListener('click', async () => {
      const chosen = await browsers.object('');
      if (chosen === null) return;
      const { fields: picked } = await api.builder_recognize('object', chosen);
      node.value = picked.node;
      object.value = picked.object;
      object.dispatchEvent(new Event('input', { bubbles: true }));
    });
    return {
      body: [row(node_label, node), row(object_label, object), browse, group(t('builder.condition'), conditions)],
      read: () => ({ node: constant(node.value), object: constant(object.value), condition: Number(condition()) }),
      ready: () => has_text(node) && has_text(object) && condition() !== null,
    };
  });
}

// "Choose color": a sheet holding the colour page, preset from the text; the text of its box
// is written as a string literal.
export function color(text) {
  return run_builder('literal', t('builder.color'), text, f => {
    const page = color_page(f.text || '');
    return { body: [sheet([page])], read: () => ({ text: page.text() }), ready: () => has_text(page.input) };
  });
}

// "Font": family from the server's font list, size, bold and italic, as CSS font text.
export function font(text) {
  return run_builder('literal', t('builder.font'), text, f => {
    const m = /^(italic )?(bold )?(\d+)pt (.+)$/.exec(f.text || '') || [];
    const families = el('datalist', { id: 'builder-font-families' });
    api.fonts().then(names => families.append(...names.map(n => el('option', { value: n })))).catch(() => {});
    const [family_label, family] = labelled_input(t('builder.fontfamily'), { list: 'builder-font-families' });
    family.value = m[4] || 'DejaVu Sans';
    const [size_row, size] = number_box(t('builder.fontsize'), m[3] || 10, 1, 400);
    const [bold_row, bold] = check_box(t('builder.bold'), !!m[2]);
    const [italic_row, italic] = check_box(t('builder.italic'), !!m[1]);
    const css = () => `${italic.checked ? 'italic ' : ''}${bold.checked ? 'bold ' : ''}${Number(size.value) || 10}pt ${family.value.trim()}`;
    return { body: [row(family_label, family), families, size_row, bold_row, italic_row], read: () => ({ text: css() }),
      ready: () => has_text(family) };
  });
}

