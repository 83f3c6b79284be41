// "Dynamic cell replication": the column and row replication of a table cell. Opened with the
// state read by cell_series.js; resolves with the new state or null.
import { el } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import { run_dialog, group } from './dialog.js';
import { expression_field } from './expression_field.js';
import { series_ok } from '../cell_series.js';

// One group: radio buttons (mode 0, -1, +1 in the order shown) and its expression field.
function series_group(legend, whole_label, { mode, expr }, name, on_change) {
  const choices = [[0, t('series.none')], [-1, whole_label], [1, t('series.current')]];
  const radios = choices.map(([value, label]) => {
    const input = el('input', { type: 'radio', name, value: String(value), checked: value === mode });
    input.addEventListener('change', on_change);
    return el('label', {}, input, label);
  });
  const field = expression_field(t('series.iterations'), expr);
  field.input.addEventListener('input', on_change);
  const box = group(legend, el('div', { class: 'series-modes', role: 'radiogroup', 'aria-label': t('series.mode') },
    el('span', { text: t('series.mode') }), ...radios), field.element);
  const value = () => ({ mode: Number(box.querySelector('input:checked')?.value || 0), expr: field.input.value });
  return { box, field, value };
}

// Shows the dialog for `state` ({col, row} of {mode, expr}); resolves with the state chosen.
export function open(state) {
  const valid = { col: false, row: false };
  const groups = {};
  let ok_button = null;
  let checks = 0;
  // Enables the fields and OK from the modes and what the server says of the expressions.
  const update = async () => {
    const n = ++checks;
    const current = { col: groups.col.value(), row: groups.row.value() };
    for (const k of ['col', 'row']) groups[k].field.input.disabled = current[k].mode === 0;
    for (const k of ['col', 'row']) {
      const text = current[k].expr;
      const r = text.trim() ? await api.check(text).catch(() => ({ ok: false })) : { ok: false };
      valid[k] = r.ok;
    }
    if (n === checks && ok_button) ok_button.disabled = !series_ok(current, k => valid[k]);
  };
  groups.col = series_group(t('series.columns'), t('series.column'), state.col, 'series-col', update);
  groups.row = series_group(t('series.rows'), t('series.row'), state.row, 'series-row', update);
  const body = [el('p', { text: t('series.text') }), groups.col.box, groups.row.box];
  const shown = run_dialog(t('dlg.cellseries'), body, () => {
    const current = { col: groups.col.value(), row: groups.row.value() };
    return series_ok(current, k => valid[k]) ? current : undefined;
  });
  ok_button = groups.col.box.closest('form')?.querySelector('button[type=submit]');
  if (ok_button) ok_button.disabled = true;
  update();
  return shown;
}
