// "Trend properties": the trend element's settings and its curves on two pages, read from and
// written to the element's dynamic properties (one value per curve as a LIST). Each curve's
// channel is typed or chosen with the channel browser.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import { error_box } from '../message_box.js';
import { run_dialog, row } from './dialog.js';
import { sheet } from './property_editor.js';
import * as browsers from './channel_browser.js';
import { unquote, quote, list_items, list_expression, channel_name } from '../trend_values.js';

// [property, label key, kind]: int fields take whole numbers, text fields are written quoted.
const SETTINGS = [['DT', 'trend.dt', 'int'], ['TMARKS', 'trend.tmarks', 'int'], ['TUNITS', 'trend.tunits', 'int'],
  ['VMARKS', 'trend.vmarks', 'int'], ['VDIGITS', 'trend.vdigits', 'int'], ['VDIGITSDP', 'trend.vdigitsdp', 'int'],
  ['GRID_STYLE', 'trend.gridstyle', 'int'], ['GRID_COLOR', 'trend.gridcolor', 'text'],
  ['BGCOLOR', 'trend.bgcolor', 'text'], ['FONT', 'trend.font', 'text']];
const CURVES = [['CHANNEL', 'trend.channel', 'channel'], ['COLOR', 'trend.color', 'text'], ['LTYPE', 'trend.ltype', 'int'],
  ['LWIDTH', 'trend.lwidth', 'int'], ['MARK', 'trend.mark', 'int'], ['MINVAL', 'trend.minval', 'number'],
  ['MAXVAL', 'trend.maxval', 'number']];
const VALID = { int: /^-?\d+$/, number: /^-?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$/ };

// Shows an expression in a field: the text of a string literal, the name of CHAN("name").
function shown(expr, kind) {
  if (kind === 'text') return unquote(expr) ?? expr;
  if (kind === 'channel') return channel_name(expr) ?? expr;
  return expr;
}

// A field over one expression; value() gives the expression to write, or undefined when the
// text is not valid for its kind; set(expr) puts another expression in.
function value_field(expr, kind, attrs = {}) {
  const input = el('input', { type: 'text', ...attrs });
  let original = shown(expr, kind);
  input.value = original;
  const set = chosen => {
    expr = chosen;
    original = shown(expr, kind);
    input.value = original;
  };
  const value = () => {
    const v = input.value.trim();
    if (v === original.trim()) return expr;
    if (!v) return '';
    if (kind === 'text') return quote(v);
    if (kind === 'channel') return /^(CHAN|NAME)\s*\(/i.test(v) ? v : `CHAN(${quote(v)})`;
    return VALID[kind].test(v) ? v : undefined;
  };
  return { input, value, set };
}

// The channel cell of a curve: its field and a button that opens the channel browser on it.
function channel_cell(f) {
  const browse = el('button', { type: 'button', text: '...', 'aria-label': t('trend.browsechannel') });
  browse.addEventListener('click', async () => {
    const current = f.value();
    const chosen = await browsers.channel(current === undefined ? '' : current);
    if (chosen) f.set(chosen);
  });
  return el('td', { class: 'channel' }, f.input, browse);
}

// definition: the element's properties [{name, expr}]; resolves with the new list or null.
export function open(definition) {
  const expr_of = name => definition.find(p => p.name === name)?.expr ?? '';
  const settings = SETTINGS.map(([name, label, kind]) => {
    const f = value_field(expr_of(name), kind, { id: uid('f') });
    return { name, f, row: row(el('label', { for: f.input.id, text: t(label) }), f.input) };
  });
  const columns = CURVES.map(([name]) => list_items(expr_of(name)));
  const body = el('tbody');
  const curves = [];
  const add_curve = i => {
    const cells = CURVES.map(([name, label, kind], c) => value_field(columns[c][i] ?? '', kind, { 'aria-label': t(label) }));
    const remove = el('button', { type: 'button', text: t('button.remove') });
    const line = el('tr', {}, cells.map((f, c) => (CURVES[c][2] === 'channel' ? channel_cell(f) : el('td', {}, f.input))),
      el('td', {}, remove));
    const curve = { cells, line };
    remove.addEventListener('click', () => { curves.splice(curves.indexOf(curve), 1); line.remove(); });
    curves.push(curve);
    body.append(line);
  };
  columns[0].forEach((_, i) => add_curve(i));
  const add = el('button', { type: 'button', text: t('button.add') });
  add.addEventListener('click', () => add_curve(-1));
  const table = el('table', { class: 'curves' }, el('thead', {}, el('tr', {}, CURVES.map(([, label]) => el('th', { text: t(label) })))), body);
  const pages = [{ title: t('trend.settings'), body: settings.map(s => s.row) }, { title: t('trend.curves'), body: [table, add] }];
  return run_dialog(t('44341'), [sheet(pages)], async () => {
    const out = written(definition, settings, curves);
    if (out) return out;
    await error_box(t('error.value'));
    return undefined;
  }, { cls: 'wide' });
}

// The new property list: others kept in place, these replaced, removed when empty; null when
// a field is not valid.
function written(definition, settings, curves) {
  const values = new Map();
  for (const { name, f } of settings) values.set(name, f.value());
  CURVES.forEach(([name, , kind], c) => {
    const items = curves.map(curve => curve.cells[c].value());
    if (items.some(v => v === undefined)) { values.set(name, undefined); return; }
    const filled = items.map(v => v || (kind === 'channel' ? '""' : '0'));
    values.set(name, items.every(v => !v) ? '' : list_expression(filled));
  });
  if ([...values.values()].some(v => v === undefined)) return null;
  const out = definition.filter(p => !values.has(p.name)).map(p => ({ ...p }));
  for (const [name, expr] of values) if (expr) out.push({ name, expr });
  return out;
}
