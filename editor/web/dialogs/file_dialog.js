// Our file chooser over the server's folder listing (browsers cannot hand out paths).
// open({mode: "open"|"save", filters, dir, name, ext}) resolves with an absolute path or null.
import { el, uid } from '../dom.js';
import { t, bare } from '../strings.js';
import * as api from '../api.js';
import { run_dialog, row } from './dialog.js';
import { confirm_box, error_box } from '../message_box.js';

// Maps the patterns of a filter to the server's filter names.
function server_filter(patterns) {
  const p = patterns.join(';').toLowerCase();
  if (p.includes('*.htt')) return 'htt';
  if (p.includes('*.html')) return 'html';
  if (p.includes('*.xbm')) return 'backgrounds';
  if (p.includes('*.png')) return 'images';
  if (p.includes('*.json')) return 'project';
  return 'all';
}

// Opens the chooser; `default_ext` is added to a saved name that has none.
export function open({ mode = 'open', title, filters, dir = '', name = '', default_ext = '' }) {
  const chooser = new FileChooser(mode, filters, name, default_ext);
  const promise = run_dialog(title, chooser.body(), () => chooser.accept(),
    { ok: mode === 'save' ? t('button.save') : t('button.open'), cls: 'file-dialog' });
  chooser.show(dir);
  return promise;
}

class FileChooser {
  constructor(mode, filters, name, default_ext) {
    Object.assign(this, { mode, filters, default_ext });
    this.current = { dir: '', parent: null, entries: [] };
    this.look_in = el('output', { class: 'look-in' });
    this.up = el('button', { type: 'button', text: '\u2191', title: t('label.parent'), 'aria-label': t('label.parent') });
    this.list = el('ul', { role: 'listbox', class: 'file-list', 'aria-label': bare('label.lookin') });
    this.name_input = el('input', { id: uid('f'), type: 'text' });
    this.name_input.value = name;
    this.type_select = el('select', { id: uid('f') },
      filters.map((f, i) => el('option', { value: String(i), text: f.label })));
    this.up.addEventListener('click', () => this.current.parent && this.show(this.current.parent));
    this.type_select.addEventListener('change', () => this.show(this.current.dir));
  }

  body() {
    return [
      row(el('span', { text: t('label.lookin') }), el('span', { class: 'look-in-row' }, this.look_in, this.up)),
      this.list,
      row(el('label', { for: this.name_input.id, text: t('label.filename') }), this.name_input),
      row(el('label', { for: this.type_select.id, text: t('label.filetype') }), this.type_select),
    ];
  }

  // Lists `folder` with the chosen filter; a folder that cannot be listed is said so.
  async show(folder) {
    try {
      this.current = await api.list_files(folder, server_filter(this.filters[this.type_select.value].patterns));
    } catch (e) {
      await error_box(e.message);
      return;
    }
    this.look_in.value = this.current.dir;
    this.list.replaceChildren(...this.current.entries.map(entry => this.item(entry)));
  }

  // One entry: a click selects it, a double click enters a folder or chooses a file.
  item(entry) {
    const item = el('li', { role: 'option', tabindex: '-1', class: entry.dir ? 'folder' : 'file', text: entry.name });
    item.addEventListener('click', () => {
      for (const o of this.list.children) o.removeAttribute('aria-selected');
      item.setAttribute('aria-selected', 'true');
      if (!entry.dir) this.name_input.value = entry.name;
    });
    item.addEventListener('dblclick', () => {
      if (entry.dir) { this.show(join(this.current.dir, entry.name)); return; }
      this.name_input.value = entry.name;
      this.list.closest('form').requestSubmit();
    });
    return item;
  }

  // Returns the chosen path, or undefined to keep the dialog open (a folder was entered, the
  // file to open does not exist, or the user would not replace the file to save).
  async accept() {
    let typed = this.name_input.value.trim();
    if (!typed) return undefined;
    if (this.mode === 'save' && this.default_ext && !/\.[^/]*$/.test(typed)) typed += this.default_ext;
    const path = typed.startsWith('/') ? typed : join(this.current.dir, typed);
    const entry = this.current.entries.find(e => e.name === typed);
    if (entry && entry.dir) {
      await this.show(path);
      this.name_input.value = '';
      return undefined;
    }
    if (this.mode === 'open' && !entry && !typed.startsWith('/')) {
      await error_box(t('file.notfound', typed));
      return undefined;
    }
    if (this.mode === 'save' && entry && (await confirm_box(t('replace', typed))) !== 'yes') return undefined;
    return path;
  }
}

function join(dir, name) {
  return dir.endsWith('/') ? dir + name : `${dir}/${name}`;
}
