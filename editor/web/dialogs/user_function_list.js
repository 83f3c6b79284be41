// The template's user-defined functions in selection mode: the chosen one is given as its
// reference, "@" and the name (quoted when it is not a plain name). Resolves with it or null.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import { run_dialog } from './dialog.js';

// Returns the reference to the user function `name` as the expression language writes it.
export function user_function_reference(name) {
  if (/^[A-Za-z_][A-Za-z0-9_]*$/.test(name)) return `@${name}`;
  return `@'${name.replace(/[\\']/g, c => `\\${c}`)}'`;
}

// Opens the list on `variables` ([{name, expr}]), the one whose reference is `text` selected.
export function select_user_function(variables, text) {
  const id = uid('udf');
  const list = el('select', { id, size: '12', class: 'browser-list' },
    variables.map(v => el('option', { value: v.name, text: v.name, title: v.expr })));
  const current = variables.find(v => user_function_reference(v.name) === (text || '').trim());
  if (current) list.value = current.name;
  list.addEventListener('dblclick', () => list.closest('form')?.requestSubmit());
  return run_dialog(t('udf.title'), [el('label', { for: id, text: t('udf.list') }), list],
    () => (list.value ? user_function_reference(list.value) : undefined),
    { ok: t('udf.select'), name: t('udf.dialog'), ready: () => list.value !== '' });
}
