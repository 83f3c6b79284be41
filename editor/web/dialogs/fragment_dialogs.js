// The dialogs around fragments: the "Parameter" input, the value editor of each parameter
// type, "Fragment parameter properties", "Fragment settings", "Select template parameter" and
// the "Fragment Wizard" run at insertion. Each resolves with its result or null.
import { el, uid, labelled_input } from '../dom.js';
import { t, list } from '../strings.js';
import * as api from '../api.js';
import { run_dialog, row } from './dialog.js';
import { message_box } from '../message_box.js';
import * as expression_dialog from './expression_dialog.js';
import * as builders from './builders.js';
import * as lists from './builder_lists.js';
import * as browsers from './channel_browser.js';

export const PARAM_TYPES = ['STR', 'NUM', 'INT', 'OBJ', 'CHAN', 'LIST', 'STRLIST', 'TIME', 'EXPR', 'COLOR', 'FONT'];
const INPUT_MODES = { INT: 1, NUM: 2, STR: 3 };
const plain = key => t(key).replace(/&(.)/g, '$1');

function field(label, value = '') {
  const [l, input] = labelled_input(label);
  input.value = value;
  return { row: row(l, input), input };
}

// "Parameter": the prompt, one field opening with the value's plain text, OK enabled only
// while the text converts in `mode` (1 integer, 2 float, 3 text). Resolves with the
// expression text to store.
export async function parameter_input(prompt, value, mode) {
  const shown = value ? (await api.parameter_text(value).catch(() => ({ text: value }))).text : '';
  const f = field(prompt || t('parameter.prompt'), shown);
  let converted = null;
  let n = 0;
  const ok = () => f.row.closest('form')?.querySelector('button[type=submit]');
  const update = async () => {
    const mine = ++n;
    const r = await api.parameter_input(f.input.value, mode).catch(() => ({ ok: false }));
    if (mine !== n) return;
    converted = r.ok ? r.value : null;
    if (ok()) ok().disabled = !r.ok;
  };
  f.input.addEventListener('input', update);
  const result = run_dialog(t('dlg.parameter'), [f.row], async () => {
    await update();
    return converted ?? undefined;
  });
  if (ok()) ok().disabled = true;
  update();
  return result;
}

// The value editor of each parameter type that is not typed into the "Parameter" input. Each
// opens on the value text and resolves with the expression text the parameter's references
// are replaced by (a string literal for colours and fonts), or null.
const VALUE_EDITORS = {
  OBJ: browsers.object,
  CHAN: text => browsers.channel(text),
  LIST: lists.array,
  STRLIST: lists.string_array,
  TIME: text => builders.time(text),
  EXPR: text => expression_dialog.open(text),
  COLOR: lists.color,
  FONT: lists.font,
};

// Opens the value editor of a parameter's type; resolves with the new value text or null.
// A type that is empty or unknown takes text.
export function edit_value(param) {
  const editor = VALUE_EDITORS[param.type];
  if (editor) return editor(param.value || '');
  return parameter_input(param.prompt, param.value, INPUT_MODES[param.type] || 3);
}

// "Fragment parameter properties": resolves with {name, type, desc, prompt, value}. An
// invalid default only warns and is kept as typed.
export function parameter_properties(param = {}) {
  const name = field(t('wparm.name'), param.name || '');
  const type_id = uid('type');
  const type = el('select', { id: type_id },
    list('wparm.types').map((text, i) => el('option', { value: PARAM_TYPES[i], text })));
  type.value = PARAM_TYPES.includes(param.type) ? param.type : 'STR';
  const desc = field(t('wparm.desc'), param.desc || '');
  const prompt = field(t('wparm.prompt'), param.prompt || '');
  const value = field(t('wparm.value'), param.value || '');
  const enter = el('button', { type: 'button', text: t('wparm.enter') });
  enter.addEventListener('click', async () => {
    const v = await edit_value({ type: type.value, prompt: prompt.input.value, value: value.input.value });
    if (v !== null && v !== undefined) value.input.value = v;
  });
  value.row.append(enter);
  const body = [name.row, row(el('label', { for: type_id, text: t('wparm.type') }), type), desc.row, prompt.row, value.row];
  return run_dialog(t('dlg.wparm'), body, async () => {
    const text = value.input.value;
    if (text.trim() && !(await api.check(text).catch(() => ({ ok: false }))).ok) {
      await message_box(t('wparm.invalid'), { caption: t('caption.warning'), icon: 'warning' });
    }
    return { name: name.input.value.trim(), type: type.value || 'STR', desc: desc.input.value,
      prompt: prompt.input.value, value: text };
  });
}

// A list of rows as a table with `columns` headings of `widths` (per cent); `selected` is kept
// by clicking a row.
function table_list(label, columns, rows_of, widths = []) {
  const id = uid('list');
  const tbody = el('tbody');
  const table = el('table', { id, class: 'param-list', role: 'grid', 'aria-label': label },
    el('thead', {}, el('tr', {}, columns.map((c, i) => el('th', { text: c, style: widths[i] ? `width: ${widths[i]}%` : undefined })))), tbody);
  const view = { element: table, selected: -1 };
  view.render = () => {
    tbody.replaceChildren(...rows_of().map((cells, i) => {
      const tr = el('tr', { 'aria-selected': String(i === view.selected), tabindex: '0' },
        cells.map(c => el('td', { text: c })));
      tr.addEventListener('click', () => { view.selected = i; view.render(); });
      tr.addEventListener('dblclick', () => view.on_activate?.(i));
      tr.addEventListener('keydown', e => { if (e.key === 'Enter') { e.preventDefault(); view.on_activate?.(i); } });
      return tr;
    }));
  };
  return view;
}

// "Fragment settings": works on copies of the header; resolves with {name, desc, params}.
export function fragment_settings(header) {
  const params = (header.params || []).map(p => ({ ...p }));
  const id = field(plain('fragsettings.id'), header.name || '');
  const desc = field(plain('fragsettings.desc'), header.desc || '');
  const display = type => list('wparm.types')[PARAM_TYPES.indexOf(type)] || type;
  const view = table_list(plain('fragsettings.params'), list('fragsettings.columns'),
    () => params.map(p => [p.name, p.desc, display(p.type), p.value, p.prompt]), [20, 30, 10, 15]);
  const change = async i => {
    const p = await parameter_properties(params[i]);
    if (p) { params[i] = p; view.render(); }
  };
  view.on_activate = change;
  const actions = {
    New: async () => {
      const p = await parameter_properties({});
      if (p) { params.push(p); view.selected = params.length - 1; view.render(); }
    },
    Remove: () => { if (view.selected >= 0) { params.splice(view.selected, 1); view.selected = -1; view.render(); } },
    Change: () => view.selected >= 0 && change(view.selected),
    Up: () => move(-1),
    Down: () => move(1),
  };
  const move = by => {
    const i = view.selected, j = i + by;
    if (i < 0 || j < 0 || j >= params.length) return;
    [params[i], params[j]] = [params[j], params[i]];
    view.selected = j;
    view.render();
  };
  const buttons = list('fragsettings.buttons').map((text, i) => {
    const b = el('button', { type: 'button', text: text.replace(/&(.)/g, '$1') });
    b.addEventListener('click', Object.values(actions)[i]);
    return b;
  });
  view.render();
  const body = [id.row, desc.row, el('div', { class: 'param-editor' },
    el('span', { text: plain('fragsettings.params') }), view.element, el('div', { class: 'param-buttons' }, buttons))];
  return run_dialog(t('dlg.fragsettings'), body, () =>
    ({ name: id.input.value.trim() || 'Obj', desc: desc.input.value, params }));
}

// "Select template parameter": resolves with "{$" + name + "}".
export function select_parameter(params) {
  const view = table_list(t('dlg.wparmselect'), list('wparmselect.columns'), () => params.map(p => [p.name, p.desc]));
  view.render();
  return run_dialog(t('dlg.wparmselect'), [view.element], () =>
    (view.selected >= 0 ? `{$${params[view.selected].name}}` : undefined));
}

// "Fragment Wizard": resolves with the parameters and their values ([{name, value}]). OK is
// enabled only while every parameter has a value.
export function wizard(header) {
  const params = (header.params || []).map(p => ({ ...p }));
  const view = table_list(t('dlg.wizard'), list('wizard.columns'), () => params.map(p => [p.prompt || p.name, p.value]), [50, 50]);
  const ok = () => view.element.closest('form')?.querySelector('button[type=submit]');
  const update = () => { if (ok()) ok().disabled = !params.every(p => p.value.trim() !== ''); };
  view.on_activate = async i => {
    const v = await edit_value(params[i]);
    if (v === null || v === undefined) return;
    params[i].value = v;
    view.render();
    update();
  };
  view.render();
  const body = [row(el('span', { text: t('wizard.desc') }), el('span', { class: 'wizard-desc', text: header.desc || '' })),
    view.element];
  const result = run_dialog(t('dlg.wizard'), body, () =>
    (params.every(p => p.value.trim() !== '') ? params.map(p => ({ name: p.name, value: p.value })) : undefined));
  update();
  return result;
}
