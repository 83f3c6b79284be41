// An expression field: a single-line text box with two side buttons, "Insert" (the insertion
// menu of the builders) and "Check" (compiles the text on the server and shows the outcome).
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import { message_box, error_box } from '../message_box.js';
import { show_insertion_menu } from './insertion_menu.js';

// Returns {element, input, validate()} for a field labelled `label` holding `text`.
// validate() resolves true when the text compiles, showing the message otherwise.
export function expression_field(label, text = '') {
  const id = uid('expr');
  // One line high, but a textarea, so that the line breaks of a written list survive.
  const input = el('textarea', { id, rows: '1', class: 'expression', spellcheck: 'false', wrap: 'off' });
  input.value = text;
  input.addEventListener('keydown', e => {
    if (e.key !== 'Enter' || e.shiftKey) return;
    e.preventDefault();
    input.form?.requestSubmit();
  });
  const insert = el('button', { type: 'button', text: t('button.insert') });
  const check = el('button', { type: 'button', text: t('button.check') });
  insert.addEventListener('click', () => show_insertion_menu(input));
  check.addEventListener('click', () => check_text(input, true));
  const element = el('div', { class: 'expression-field' },
    el('label', { for: id, text: label }), el('span', { class: 'field' }, input, insert, check));
  return { element, input, validate: () => check_text(input, false) };
}

// Compiles the field's text; says the outcome when `tell_success`, and on an error selects
// the character at the error's offset. Resolves true when the text compiles.
async function check_text(input, tell_success) {
  if (input.value.trim() === '') {
    await error_box(t('expr.empty'));
    input.focus();
    return false;
  }
  const r = await api.check(input.value).catch(e => ({ ok: false, message: e.message, offset: 0 }));
  if (r.ok) {
    if (tell_success) await message_box(t('expr.correct'), { caption: t('caption.message'), icon: 'info' });
    return true;
  }
  await error_box(r.message);
  const at = char_offset(input.value, r.offset || 0);
  input.focus();
  input.setSelectionRange(at, Math.min(at + 1, input.value.length));
  return false;
}

// Converts a byte offset in the UTF-8 text to a character offset of the field.
function char_offset(text, bytes) {
  const encoder = new TextEncoder();
  let used = 0, i = 0;
  for (const ch of text) {
    if (used >= bytes) break;
    used += encoder.encode(ch).length;
    i += ch.length;
  }
  return i;
}
