// What every expression builder shares: its fields are read from the text by the server, the
// dialog edits them, and OK checks the expression fields and has the server write the text.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import { error_box } from '../message_box.js';
import { run_dialog } from './dialog.js';

// Opens builder `name` titled `title` on `text`. `build(fields)` returns {body, read(),
// validate(), ready(), result()?}: the controls, the fields they hold, the check of their expression
// fields (resolves false to keep the dialog open), whether the required fields are filled, and
// the result itself for a builder whose text is a field of its own.
// Resolves with the new text or null.
export async function run_builder(name, title, text, build, options = {}) {
  const { fields } = await api.builder_recognize(name, text || '', options);
  const view = build(fields);
  return run_dialog(title, view.body, async () => {
    if (view.validate && !(await view.validate())) return undefined;
    if (view.result) return view.result();
    const r = await api.builder_emit(name, view.read());
    if (r.ok) return r.text;
    if (r.message) await error_box(r.message);
    view.refused?.(r);
    return undefined;
  }, { ready: view.ready });
}

// A check box with its label; returns [element, input].
export function check_box(label, checked) {
  const id = uid('cb');
  const input = el('input', { id, type: 'checkbox' });
  input.checked = !!checked;
  return [el('div', { class: 'row' }, input, el('label', { for: id, text: label })), input];
}

// Radio buttons of one group: options [{value, label}]; returns [element, value()].
export function radio_group(options, value) {
  const name = uid('rg');
  const inputs = options.map(o => {
    const id = uid('rb');
    const input = el('input', { id, type: 'radio', name, value: String(o.value) });
    input.checked = String(o.value) === String(value);
    return [el('div', { class: 'row' }, input, el('label', { for: id, text: o.label })), input];
  });
  const selected = () => inputs.find(([, i]) => i.checked)?.[1].value ?? null;
  return [el('div', { class: 'radio-group' }, inputs.map(([e]) => e)), selected, inputs.map(([, i]) => i)];
}

// A labelled select of options [{value, label}]; returns [element, select].
export function select_box(label, options, value) {
  const id = uid('sel');
  const select = el('select', { id }, options.map(o => el('option', { value: o.value, text: o.label })));
  select.value = value;
  return [el('div', { class: 'row' }, el('label', { for: id, text: label }), select), select];
}

// A labelled number box; returns [element, input].
export function number_box(label, value, min = 0, max = 99) {
  const id = uid('num');
  const input = el('input', { id, type: 'number', min: String(min), max: String(max) });
  input.value = String(value);
  return [el('div', { class: 'row' }, el('label', { for: id, text: label }), input), input];
}

export const has_text = input => input.value.trim() !== '';
export { t };
