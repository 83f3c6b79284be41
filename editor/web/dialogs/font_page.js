// The font page of the property editor: the font styles of one element edited together,
// and for a FONT or BASEFONT element also its FACE and SIZE attributes. `font` holds the
// current values by catalogue key; change() returns {font: {key: text}} in the order they are
// written: family, size, SIZE attribute, weight, style, variant, decoration, spacings.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import { WEIGHTS, FIXED_SIZES, weight_item, fixed_size_item, tri_state, decoration_text } from '../font_rules.js';

const DECORATIONS = [['none', 'none'], ['underline', 'underline'], ['strike-through', 'line-through'], ['overline', 'overline']];

// Returns the page {title, body, change()} over the current values `font`.
export function font_page(font, is_font_element = false) {
  const text = (label, value) => {
    const input = el('input', { type: 'text', id: uid('f') });
    input.value = value || '';
    return { input, row: el('div', { class: 'row' }, el('label', { for: input.id, text: label }), input) };
  };
  const face = text('Face', font.S_FONT_FAMILY || (is_font_element ? font.A_FACE : ''));
  const size = text('Size', font.S_FONT_SIZE);
  const fixed = el('select', { 'aria-label': 'SIZE' }, el('option', { value: '' }),
    FIXED_SIZES.map(s => el('option', { value: s, text: s })));
  fixed.value = !font.S_FONT_SIZE && is_font_element ? fixed_size_item(font.A_SIZE_FONT) : '';
  const weight = text('Weight', weight_item(font.S_FONT_WEIGHT));
  weight.input.setAttribute('list', 'quillet-weights');
  const weights = el('datalist', { id: 'quillet-weights' }, WEIGHTS.map(w => el('option', { value: w })));
  const box = (label, state) => {
    const input = el('input', { type: 'checkbox' });
    input.checked = state === true;
    input.indeterminate = state === null;
    return { input, label: el('label', {}, input, label) };
  };
  const italic = box('italics', tri_state(font.S_FONT_STYLE, ['italic', 'oblique']));
  const caps = box('small caps', tri_state(font.S_FONT_VARIANT, ['small-caps']));
  const words = (font.S_TEXT_DECORATION || '').toLowerCase().split(/\s+/);
  const decorations = DECORATIONS.map(([label, word]) => ({ word, ...box(label, words.includes(word)) }));
  const letter = text('Letter:', font.S_LETTER_SPACING);
  const line = text('Line:', font.S_LINE_HEIGHT);
  const three = b => (b.input.indeterminate ? '' : null);
  const change = () => {
    const out = { S_FONT_FAMILY: face.input.value };
    if (is_font_element) out.A_FACE = face.input.value;
    out.S_FONT_SIZE = size.input.value;
    if (is_font_element) out.A_SIZE_FONT = fixed.value;
    out.S_FONT_WEIGHT = weight.input.value;
    out.S_FONT_STYLE = three(italic) ?? (italic.input.checked ? 'italic' : 'normal');
    out.S_FONT_VARIANT = three(caps) ?? (caps.input.checked ? 'small-caps' : 'normal');
    out.S_TEXT_DECORATION = decoration_text(Object.fromEntries(decorations.map(d => [d.word, d.input.checked])));
    out.S_LETTER_SPACING = letter.input.value;
    out.S_LINE_HEIGHT = line.input.value;
    return { font: out };
  };
  return { title: t('page.font'), change, body: [face.row, size.row, fixed, weight.row, weights, italic.label, caps.label,
    el('fieldset', {}, el('legend', { text: 'Decoration' }), decorations.map(d => d.label)), letter.row, line.row] };
}
