// "Font": the font chooser. The families are the server's font list; the weight, italic
// and size in points are chosen beside them and shown on a sample line.
import { el, labelled_input, uid } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import { run_dialog, row } from './dialog.js';

const WEIGHTS = [100, 200, 300, 400, 500, 600, 700, 800, 900];
let families = null;

// The machine's font families, asked for once.
async function family_names() {
  families = families || await api.fonts().catch(() => []);
  return families;
}

// font: {face, italic, weight, size (points or null)}; resolves with the chosen
// {face, italic, weight, size} or null.
export async function open({ face = '', italic = false, weight = 400, size = null } = {}) {
  const list_id = uid('families');
  const names = el('datalist', { id: list_id }, (await family_names()).map(n => el('option', { value: n })));
  const [face_label, face_box] = labelled_input(t('font.chooser.face'), { list: list_id });
  face_box.value = face;
  const weight_id = uid('f');
  const weight_box = el('select', { id: weight_id }, WEIGHTS.map(w => el('option', { value: String(w), text: t(`font.weight.${w}`) })));
  weight_box.value = String(WEIGHTS.includes(weight) ? weight : 400);
  const italic_box = el('input', { type: 'checkbox', checked: !!italic });
  const [size_label, size_box] = labelled_input(t('font.chooser.size'), { type: 'number', min: '1', max: '1638', step: 'any' });
  size_box.value = size ? String(size) : '';
  const sample = el('p', { class: 'font-sample', role: 'img', 'aria-label': t('font.chooser.sample'), text: 'AaBbYyZz 0123' });
  const paint = () => {
    sample.style.fontFamily = face_box.value ? `"${face_box.value.replace(/"/g, '')}"` : '';
    sample.style.fontWeight = weight_box.value;
    sample.style.fontStyle = italic_box.checked ? 'italic' : 'normal';
    sample.style.fontSize = Number(size_box.value) > 0 ? `${Math.min(Number(size_box.value), 48)}pt` : '';
  };
  const body = [row(face_label, face_box), names, row(el('label', { for: weight_id, text: t('font.chooser.weight') }), weight_box),
    el('label', {}, italic_box, t('font.chooser.italic')), row(size_label, size_box), sample];
  body.forEach(part => part.addEventListener?.('input', paint));
  paint();
  return run_dialog(t('font.chooser'), body, () => ({ face: face_box.value.trim(), italic: italic_box.checked,
    weight: Number(weight_box.value), size: Number(size_box.value) }),
  { ready: () => face_box.value.trim() !== '' && Number(size_box.value) > 0 });
}
