// "Color": the colour chooser. The named colours reports know as swatches, and any colour
// by its red, green and blue parts or the browser's own picker. Resolves with "#rrggbb" or
// null.
import { el, labelled_input } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import { run_dialog, row, group } from './dialog.js';

let names = null;

// The colour names of the server, asked for once: [{name, rgb}].
export async function color_names() {
  names = names || await api.colors().catch(() => []);
  return names;
}

const hex2 = n => Math.max(0, Math.min(255, Math.round(Number(n) || 0))).toString(16).padStart(2, '0');

// start: "#RRGGBB" or null.
export async function open(start = null) {
  const parts = ['red', 'green', 'blue'].map((part, i) => {
    const [label, input] = labelled_input(t(`color.${part}`), { type: 'number', min: '0', max: '255' });
    input.value = start ? String(parseInt(start.slice(1 + 2 * i, 3 + 2 * i), 16)) : '0';
    return { row: row(label, input), input };
  });
  const current = () => `#${parts.map(p => hex2(p.input.value)).join('')}`;
  const picker = el('input', { type: 'color', 'aria-label': t('color.custom') });
  const sample = el('div', { class: 'color-sample', role: 'img', 'aria-label': t('label.colorsample') });
  const set = rgb => {
    parts.forEach((p, i) => { p.input.value = String(parseInt(rgb.slice(1 + 2 * i, 3 + 2 * i), 16)); });
    show();
  };
  const show = () => { picker.value = current(); sample.style.background = current(); };
  parts.forEach(p => p.input.addEventListener('input', show));
  picker.addEventListener('input', () => set(picker.value));
  const swatches = el('div', { class: 'swatches' }, (await color_names()).map(c => {
    const swatch = el('button', { type: 'button', title: c.name, 'aria-label': c.name, style: `background:${c.rgb}` });
    swatch.addEventListener('click', () => set(c.rgb));
    return swatch;
  }));
  show();
  return run_dialog(t('color.chooser'), [group(t('color.named'), swatches), ...parts.map(p => p.row), picker, sample],
    () => current());
}
