// The small dialogs of the editing view: anchor, hyperlink, image, language and About. Each
// open(initial) resolves with the result or null.
import { el, labelled_input } from '../dom.js';
import { t, bare, file_filters } from '../strings.js';
import { run_dialog, row, group } from './dialog.js';
import * as file_dialog from './file_dialog.js';
import { expression_field } from './expression_field.js';

function field(label, value = '', attrs = {}) {
  const [l, input] = labelled_input(label, attrs);
  input.value = value;
  return { row: row(l, input), input };
}

// Anchor: its name. Resolves with the non-empty name or null.
export function anchor(name = '') {
  const f = field(t('label.anchorname'), name);
  return run_dialog(t('dlg.anchor'), [f.row], () => f.input.value.trim() || null);
}

// Hyperlink: {href, target, title, expression}. The address is typed, or computed by the
// report from the dynamic address (an expression); a dynamic address needs no typed one.
export async function hyperlink({ href = '', target = '', title = '', expression = '' } = {}) {
  const url = field(t('label.url'), href || 'http://');
  const dynamic = expression_field(t('label.urlexpr'), expression);
  const frame = field(t('label.linktarget'), target);
  const caption = field(t('label.linktitle'), title);
  return run_dialog(t('dlg.hyperlink'), [url.row, dynamic.element, frame.row, caption.row], async () => {
    const typed = url.input.value.trim() === 'http://' ? '' : url.input.value.trim();
    const expr = dynamic.input.value.trim();
    if (!typed && !expr) return undefined;
    if (expr && !await dynamic.validate()) return undefined;
    return { href: typed, target: frame.input.value.trim(), title: caption.input.value.trim(), expression: expr };
  });
}

// Image: {src, alt, width, height}; "Browse..." opens the file chooser on images.
// A chosen file inside `base_dir` (the template's folder) is given relative to it.
export function image({ src = '', alt = '', width = '', height = '', base_dir = '' } = {}) {
  const s = field(t('label.imagesrc'), src);
  const browse = el('button', { type: 'button', text: t('button.browse') });
  browse.addEventListener('click', async () => {
    const path = await file_dialog.open({
      mode: 'open', title: t('dlg.image'), dir: base_dir,
      filters: [{ label: t('filter.images'), patterns: ['*.png'] }, ...file_filters('44332').slice(2)],
    });
    if (path) s.input.value = base_dir && path.startsWith(`${base_dir}/`) ? path.slice(base_dir.length + 1) : path;
  });
  s.row.append(browse);
  const a = field(t('label.alt'), alt);
  const w = field(t('label.width'), width, { inputmode: 'numeric' });
  const h = field(t('label.height'), height, { inputmode: 'numeric' });
  return run_dialog(t('dlg.image'), [s.row, a.row, w.row, h.row], () => {
    if (!s.input.value.trim()) return undefined;
    return { src: s.input.value.trim(), alt: a.input.value, width: w.input.value.trim(), height: h.input.value.trim() };
  });
}

// Language: resolves with a two-letter code.
export function language(current = 'en') {
  const radios = ['en', 'it', 'ru', 'zh'].map(code => {
    const input = el('input', { type: 'radio', name: 'language', value: code, checked: code === current });
    return el('label', {}, input, t(`lang.${code}`));
  });
  const box = group(bare('label.language'), ...radios);
  return run_dialog(t('dlg.language'), [box], () =>
    box.querySelector('input:checked')?.value || current);
}

// About: the program's name and version.
export function about(version) {
  const lines = t('about.text', version).split('\n').map(line => el('p', { text: line }));
  return run_dialog(t('dlg.about'), [el('div', { class: 'about-logo', 'aria-hidden': 'true' }), ...lines],
    () => true, { cancel: false });
}
