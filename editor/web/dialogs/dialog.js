// The frame every dialog shares: a modal <dialog> named by its title, a body of labelled
// controls and OK/Cancel buttons. `open` resolves with the dialog's result or null.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import { waiting_for_user } from '../waiting.js';

// Shows a dialog titled `title` with `body` (elements). `accept()` is called on OK and
// returns the result, or undefined to keep the dialog open (invalid input). Resolves with
// the result, or null on Cancel or Escape. `ready()`, when given, enables OK only while it
// holds (checked after every input).
// `name` gives the dialog an accessible name other than its title.
export function run_dialog(title, body, accept, { ok = t('button.ok'), cancel = true, cls = '', ready = null, name = null } = {}) {
  const title_id = uid('dlg');
  const ok_button = el('button', { type: 'submit', class: 'default', text: ok });
  const cancel_button = cancel ? el('button', { type: 'button', text: t('button.cancel') }) : null;
  const form = el('form', { method: 'dialog' }, el('div', { class: 'dialog-body' }, body),
    el('div', { class: 'buttons' }, ok_button, cancel_button));
  const dialog = el('dialog', { 'aria-labelledby': name ? undefined : title_id, 'aria-label': name, class: `dialog ${cls}` },
    el('h2', { id: title_id, text: title }), form);
  document.body.append(dialog);
  if (ready) {
    const update = () => { ok_button.disabled = !ready(); };
    form.addEventListener('input', update);
    form.addEventListener('change', update);
    form.addEventListener('click', () => setTimeout(update));
    update();
  }
  return new Promise(resolve => {
    let done = false;
    const finish = result => {
      if (done) return;
      done = true;
      dialog.close();
      dialog.remove();
      resolve(result);
    };
    form.addEventListener('submit', async e => {
      e.preventDefault();
      const result = await accept();
      if (result !== undefined) finish(result);
    });
    cancel_button?.addEventListener('click', () => finish(null));
    dialog.addEventListener('cancel', e => { e.preventDefault(); finish(null); });
    dialog.showModal();
    const first = dialog.querySelector('input, select, textarea, button');
    if (first) first.focus();
    waiting_for_user();
  });
}

// Returns a fieldset named by `legend` holding `children`.
export function group(legend, ...children) {
  return el('fieldset', {}, el('legend', { text: legend }), ...children);
}

// Returns a row of a label and its control.
export function row(label, control) {
  return el('div', { class: 'row' }, label, control);
}
