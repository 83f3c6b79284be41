// The one modal message component: a caption ("Error", "Warning", "Confirm action",
// "Message"), the message as text and the buttons OK, Yes, No, Cancel.
import { el, uid } from './dom.js';
import { t, localized } from './strings.js';
import { waiting_for_user } from './waiting.js';

const ICONS = { error: '\u26D4', warning: '\u26A0', question: '?', info: '\u2139' };

// Shows `message` and returns the name of the button pressed ("ok", "yes", "no", "cancel").
// Texts the server sent in English are shown in the user's language where the tables have
// them. `default_button` names the button that has the focus (else the first). Escape answers
// "cancel" when there is such a button, else "no" or "ok". A `detail` (the reason behind a
// failure) goes below the message in an element of its own, so the message stays exact.
export function message_box(message, { caption = t('44302'), icon = 'error', buttons = ['ok'], default_button = null, detail = '' } = {}) {
  const title_id = uid('mb'), text_id = uid('mb');
  const box = el('dialog', {
    role: 'alertdialog', class: 'message-box', 'aria-labelledby': title_id,
    'aria-describedby': text_id, 'aria-modal': 'true',
  },
  el('h2', { id: title_id, text: localized(caption) }),
  el('div', { class: 'message-body' },
    el('span', { class: `message-icon ${icon}`, 'aria-hidden': 'true', text: ICONS[icon] }),
    el('div', {},
      el('p', { id: text_id, text: localized(message) }),
      detail ? el('p', { class: 'message-detail', text: localized(detail) }) : null)),
  el('div', { class: 'buttons' }, buttons.map(b => el('button', { type: 'button', 'data-answer': b, text: t(`button.${b}`) }))));
  document.body.append(box);
  return new Promise(resolve => {
    const finish = answer => { box.close(); box.remove(); resolve(answer); };
    box.addEventListener('click', e => {
      const answer = e.target.closest('button')?.dataset.answer;
      if (answer) finish(answer);
    });
    box.addEventListener('cancel', e => {
      e.preventDefault();
      finish(buttons.includes('cancel') ? 'cancel' : buttons.includes('no') ? 'no' : 'ok');
    });
    box.showModal();
    (box.querySelector(`button[data-answer="${default_button}"]`) || box.querySelector('button')).focus();
    waiting_for_user();
  });
}

export const error_box = (message, caption, detail = '') => message_box(message, { caption: caption || t('44302'), detail });
export const info_box = message => message_box(message, { caption: t('caption.message'), icon: 'info' });
export const confirm_box = (message, buttons = ['yes', 'no']) =>
  message_box(message, { caption: t('caption.confirm'), icon: 'question', buttons });
