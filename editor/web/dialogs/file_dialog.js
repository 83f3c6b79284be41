// Our file chooser over the server's folder listing (browsers cannot hand out paths).
// open({mode: "open"|"save", filters, dir, name, ext}) resolves with an absolute path or null.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import { run_dialog, row } from './dialog.js';
import { confirm_box, error_box } from '../message_box.js';

// Maps the patterns of a filter to the server's filter names.
function server_filter(patterns) {
  const p = patterns.join(';').toLowerCase();
  if (p.includes('*.htt')) return 'htt';
  if (p.includes('*.html')) return 'html';
  if (p.includes('*.png')) return 'images';
  if (p.includes('*.json')) return 'project';
  return 'all';
}

export function open({ mode = 'open', title, filters, dir = '', name = '', default_ext = '' }) {
  const list_id = uid('files');
  const look_in = el('output', { class: 'look-in' });
  const up = el('button', { type: 'button', text: '\u2191', title: t('label.parent'), 'aria-label': t('label.parent') });
  const list = el('ul', { id: list_id, role: 'listbox', class: 'file-list', 'aria-label': t('label.lookin').replace(/:$/, '') });
  const name_id = uid('f'), type_id = uid('f');
  const name_input = el('input', { id: name_id, type: 'text' });
  name_input.value = name;
  const type_select = el('select', { id: type_id },
    filters.map((f, i) => el('option', { value: String(i), text: f.label })));
  let current = { dir, parent: null, entries: [] };

  async function show(folder) {
    try {
      current = await api.list_files(folder, server_filter(filters[type_select.value].patterns));
    } catch (e) {
      await error_box(e.message);
      return;
    }
    look_in.value = current.dir;
    list.replaceChildren(...current.entries.map(entry => {
      const item = el('li', { role: 'option', tabindex: '-1', class: entry.dir ? 'folder' : 'file', text: entry.name });
      item.addEventListener('click', () => {
        for (const o of list.children) o.removeAttribute('aria-selected');
        item.setAttribute('aria-selected', 'true');
        if (!entry.dir) name_input.value = entry.name;
      });
      item.addEventListener('dblclick', () => {
        if (entry.dir) { show(join(current.dir, entry.name)); return; }
        name_input.value = entry.name;
        dialog_form().requestSubmit();
      });
      return item;
    }));
  }
  const dialog_form = () => list.closest('form');
  up.addEventListener('click', () => current.parent && show(current.parent));
  type_select.addEventListener('change', () => show(current.dir));

  const body = [
    row(el('span', { text: t('label.lookin') }), el('span', { class: 'look-in-row' }, look_in, up)),
    list,
    row(el('label', { for: name_id, text: t('label.filename') }), name_input),
    row(el('label', { for: type_id, text: t('label.filetype') }), type_select),
  ];
  const accept = async () => {
    let typed = name_input.value.trim();
    if (!typed) return undefined;
    if (mode === 'save' && default_ext && !/\.[^/]*$/.test(typed)) typed += default_ext;
    const path = typed.startsWith('/') ? typed : join(current.dir, typed);
    const entry = current.entries.find(e => e.name === typed);
    if (entry && entry.dir) { await show(path); name_input.value = ''; return undefined; }
    if (mode === 'open' && !entry && !typed.startsWith('/')) { await error_box(`${typed}\nFile not found.`); return undefined; }
    if (mode === 'save' && entry) {
      if ((await confirm_box(t('replace', typed))) !== 'yes') return undefined;
    }
    return path;
  };
  const promise = run_dialog(title, body, accept,
    { ok: mode === 'save' ? t('button.save') : t('button.open'), cls: 'file-dialog' });
  show(dir);
  return promise;
}

function join(dir, name) {
  return dir.endsWith('/') ? dir + name : `${dir}/${name}`;
}
