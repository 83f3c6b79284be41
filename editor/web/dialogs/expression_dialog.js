// The "Expression" sheet: one expression field. Resolves with the expression text or null.
import { t } from '../strings.js';
import { run_dialog } from './dialog.js';
import { expression_field } from './expression_field.js';

export function open(initial = '') {
  const field = expression_field(t('label.expression'), initial);
  return run_dialog(t('dlg.expression'), [field.element], async () => {
    if (!(await field.validate())) return undefined;
    return field.input.value;
  });
}
