// "Document properties": title, refresh interval, the body's background colour and image,
// and the fragment flag with its settings. Resolves with {title, refresh, background,
// image, fragment: header|null} or null.
import { el, uid, labelled_input } from '../dom.js';
import { t, file_filters } from '../strings.js';
import { run_dialog, row } from './dialog.js';
import { message_box } from '../message_box.js';
import * as file_dialog from './file_dialog.js';
import * as color_chooser from './color_chooser.js';
import * as api from '../api.js';
import { fragment_settings } from './fragment_dialogs.js';

const plain = key => t(key).replace(/&(.)/g, '$1');

function field(label, value = '', attrs = {}) {
  const [l, input] = labelled_input(label, attrs);
  input.value = value;
  return { row: row(l, input), input };
}

// A class identifier for a new fragment header: its presence marks the file a fragment.
export function new_clsid() {
  const hex = Array.from(crypto.getRandomValues(new Uint8Array(16)), b => b.toString(16).padStart(2, '0')).join('').toUpperCase();
  return `{${hex.slice(0, 8)}-${hex.slice(8, 12)}-${hex.slice(12, 16)}-${hex.slice(16, 20)}-${hex.slice(20)}}`;
}

// The colour row: a text field and "Browse..." with the colour chooser, which starts from
// the colour the field names when it names one.
function color_row(value) {
  const f = field(t('docprops.bgcolor'), value);
  const browse = el('button', { type: 'button', text: t('button.browse') });
  browse.addEventListener('click', async () => {
    const parsed = await api.color(f.input.value.trim()).catch(() => ({ ok: false }));
    const chosen = await color_chooser.open(parsed.ok ? parsed.color : null);
    if (chosen) f.input.value = chosen.toUpperCase();
  });
  f.row.append(browse);
  return f;
}

// The image row: a text field and "Browse..." with the image file chooser; a file inside
// `base_dir` is given relative to it.
function image_row(value, base_dir) {
  const f = field(t('docprops.bgimage'), value);
  const browse = el('button', { type: 'button', text: t('button.browse') });
  browse.addEventListener('click', async () => {
    const path = await file_dialog.open({ mode: 'open', title: t('docprops.bgimage'), dir: base_dir,
      filters: file_filters('docprops.images') });
    if (path) f.input.value = base_dir && path.startsWith(`${base_dir}/`) ? path.slice(base_dir.length + 1) : path;
  });
  f.row.append(browse);
  return f;
}

// The fragment flag and its settings button; `header()` gives the header the dialog ends with.
function fragment_rows(initial) {
  let header = initial ? { ...initial, params: (initial.params || []).map(p => ({ ...p })) } : null;
  const id = uid('frag');
  const box = el('input', { type: 'checkbox', id, checked: !!header });
  const settings = el('button', { type: 'button', text: t('docprops.settings'), disabled: !header });
  box.addEventListener('change', async () => {
    if (box.checked) {
      header = header || { clsid: new_clsid(), name: 'Obj', desc: '', params: [] };
      settings.disabled = false;
      return;
    }
    if (header?.params.length) {
      const answer = await message_box(t('docprops.clear'), { caption: t('caption.confirm'), icon: 'warning',
        buttons: ['yes', 'no'], default_button: 'no' });
      if (answer !== 'yes') { box.checked = true; return; }
    }
    header = null;
    settings.disabled = true;
  });
  settings.addEventListener('click', async () => {
    const r = await fragment_settings(header);
    if (r) header = { ...header, ...r };
  });
  const element = el('div', { class: 'row' }, el('label', { for: id }, box, t('docprops.fragment')), settings);
  return { element, header: () => header };
}

export function open({ title = '', refresh = 0, background = '', image = '', fragment = null, base_dir = '' }) {
  const ti = field(plain('docprops.title'), title);
  const re = field(plain('docprops.refresh'), String(refresh || 0), { inputmode: 'numeric' });
  re.row.append(el('span', { class: 'hint', text: t('docprops.refresh2') }));
  const color = color_row(background);
  const img = image_row(image, base_dir);
  const frag = fragment_rows(fragment);
  return run_dialog(t('dlg.docprops'), [ti.row, re.row, color.row, img.row, frag.element], () => ({
    title: ti.input.value, refresh: Math.max(0, parseInt(re.input.value, 10) || 0),
    background: color.input.value.trim(), image: img.input.value.trim(), fragment: frag.header(),
  }));
}
