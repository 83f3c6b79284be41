// "Element property editor": a sheet of pages for one catalogue row, chosen by its flags: the
// font page alone for the font row; else the colour page for colour rows or the value page
// unless the row is dynamic only, and then the expression page. On OK the changed value and
// expression are written together through `apply`, which resolves null or the refusal text;
// a refusal keeps the sheet open and writes nothing.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import { error_box } from '../message_box.js';
import { run_dialog } from './dialog.js';
import { expression_field } from './expression_field.js';
import { font_page } from './font_page.js';
import * as color_chooser from './color_chooser.js';
import * as api from '../api.js';

const FONT_ROW = 0x100, COLOR_ROW = 0x200, DYNAMIC_ONLY = 0x400;

// row: {key, text, flags, dynamic}; current: {value, expression}; resolves true when written.
export function open(row, current, apply) {
  const pages = [];
  if (row.flags & FONT_ROW) {
    pages.push(font_page(current.font || {}, !!current.font_element));
  } else {
    if (row.flags & COLOR_ROW) pages.push(color_page(current.value ?? ''));
    else if (!(row.flags & DYNAMIC_ONLY)) pages.push(value_page(row.key, current.value ?? ''));
    pages.push(dynamic_page(row.dynamic, current.expression ?? ''));
  }
  const accept = async () => {
    const change = {};
    for (const page of pages) Object.assign(change, page.change());
    if (!Object.keys(change).length) return true;
    const refusal = await apply(change);
    if (refusal === null) return true;
    await error_box(refusal === 'Invalid expression' ? t('error.expression') :
      refusal === 'Invalid value' ? t('error.value') : refusal);
    return undefined;
  };
  return run_dialog(t('dlg.propeditor'), [sheet(pages)], accept, { cls: 'wide' }).then(r => r === true);
}

// Tabs over the pages; every page is a tab panel named by its title.
export function sheet(pages) {
  const tabs = el('div', { role: 'tablist' });
  const panels = pages.map((page, i) => {
    const id = uid('page');
    const tab = el('button', { type: 'button', role: 'tab', 'aria-controls': id, text: page.title });
    const panel = el('section', { role: 'tabpanel', id, 'aria-label': page.title, class: 'page' }, page.body);
    tab.addEventListener('click', () => show(i));
    tabs.append(tab);
    return { tab, panel };
  });
  const show = n => panels.forEach(({ tab, panel }, i) => {
    tab.setAttribute('aria-selected', String(i === n));
    panel.hidden = i !== n;
  });
  show(0);
  return el('div', { class: 'property-sheet' }, tabs, panels.map(p => p.panel));
}

function labelled(label, input) {
  const id = uid('f');
  input.id = id;
  return el('div', { class: 'row' }, el('label', { for: id, text: label }), input);
}

// Value page: the text and the row's help with a way back.
function value_page(key, value) {
  const input = el('input', { type: 'text' });
  input.value = value;
  const help = el('iframe', { class: 'help', title: t('label.attrhelp'), src: `/web/help/attrhelp.html#${key || 'UNKNOWN'}` });
  const back = el('button', { type: 'button', text: t('button.back') });
  back.addEventListener('click', () => { try { help.contentWindow.history.back(); } catch { /* no history */ } });
  return { title: t('page.value'), body: [labelled(t('label.propvalue'), input), help, back],
    change: () => (input.value === value ? {} : { value: input.value }) };
}

// Colour page: a name or #RRGGBB with the names reports know, a sample of the colour as a
// report reads the text (the button face when it is none), and the colour chooser, whose
// choice is written as "#RRGGBB". Also the one page of "Choose color"; `text()` reads the box.
export function color_page(value) {
  const list_id = uid('colors');
  const names = el('datalist', { id: list_id });
  color_chooser.color_names().then(rows => names.append(...rows.map(c => el('option', { value: c.name.toLowerCase() }))));
  const input = el('input', { type: 'text', list: list_id });
  input.value = value;
  const sample = el('div', { class: 'color-sample', role: 'img', 'aria-label': t('label.colorsample') });
  let parsed = null;
  const paint = async () => {
    const text = input.value;
    const r = await api.color(text).catch(() => ({ ok: false }));
    if (text !== input.value) return;
    parsed = r.ok ? r.color : null;
    sample.style.background = parsed || 'ButtonFace';
    sample.dataset.color = parsed || '';
  };
  input.addEventListener('input', paint);
  const browse = el('button', { type: 'button', text: t('button.browse') });
  browse.addEventListener('click', async () => {
    const chosen = await color_chooser.open(parsed);
    if (!chosen) return;
    const r = await api.color(chosen);
    input.value = r.ok ? r.color : chosen.toUpperCase();
    await paint();
  });
  paint();
  return { title: t('page.color'),
    body: [labelled(t('label.colorvalue'), input), names, browse, el('p', { text: t('label.colorsample') }), sample],
    text: () => input.value, input,
    change: () => (input.value === value ? {} : { value: input.value }) };
}

// Expression page: the dynamic property's name and its expression.
function dynamic_page(name, expression) {
  const identifier = el('input', { type: 'text', readonly: true });
  identifier.value = name;
  const field = expression_field(t('label.expression'), expression);
  return { title: t('page.dynamic'), body: [labelled(t('label.identifier'), identifier), field.element],
    change: () => (field.input.value === expression ? {} : { expression: field.input.value }) };
}
