// The font page of the property editor: the font styles of one element edited together,
// and for a FONT or BASEFONT element also its FACE and SIZE attributes. `font` holds the
// current values by catalogue key; change() returns {font: {key: text}} in the order they are
// written: family, size, SIZE attribute, weight, style, variant, decoration, spacings.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import * as api from '../api.js';
import * as font_chooser from './font_chooser.js';
import { WEIGHTS, FIXED_SIZES, SIZE_NUMBERS, LENGTH_UNITS, weight_item, fixed_size_item, tri_state, decoration_text,
  split_length, join_length, chooser_weight, weight_item_of, chooser_points } from '../font_rules.js';

const DECORATIONS = [['font.none', 'none'], ['font.underline', 'underline'], ['font.strike', 'line-through'], ['font.overline', 'overline']];

// A text box with its own list of suggestions.
function combo(attrs, items) {
  const id = uid('list');
  const input = el('input', { type: 'text', list: id, ...attrs });
  return { input, parts: [input, el('datalist', { id }, items.map(v => el('option', { value: v })))] };
}

function labelled(label, ...controls) {
  const id = controls[0].id || uid('f');
  controls[0].id = id;
  return el('div', { class: 'row' }, el('label', { for: id, text: label }), el('span', { class: 'length-pair' }, controls));
}

// A number combo and a unit combo over one length; value() writes the pair back.
function length_pair(label, unit_label, value, numbers) {
  const { number, unit } = split_length(value);
  const n = combo({}, numbers);
  const u = combo({ 'aria-label': unit_label }, LENGTH_UNITS);
  n.input.value = number;
  u.input.value = unit;
  return { number: n.input, unit: u.input, row: labelled(label, ...n.parts, ...u.parts),
    value: () => join_length(n.input.value, u.input.value) };
}

function box(label, state) {
  const input = el('input', { type: 'checkbox' });
  input.checked = state === true;
  input.indeterminate = state === null;
  return { input, label: el('label', {}, input, label) };
}

// Returns the page {title, body, change()} over the current values `font`.
export function font_page(font, is_font_element = false) {
  const face = combo({ id: uid('f') }, []);
  face.input.value = font.S_FONT_FAMILY || (is_font_element ? font.A_FACE || '' : '');
  api.fonts().then(names => face.parts[1].append(...names.map(v => el('option', { value: v })))).catch(() => {});
  const size = length_pair(t('font.size'), t('font.sizeunit'), font.S_FONT_SIZE, SIZE_NUMBERS);
  const fixed = el('select', { 'aria-label': t('font.fixedsize') }, el('option', { value: '' }),
    FIXED_SIZES.map(s => el('option', { value: s, text: s })));
  fixed.value = !font.S_FONT_SIZE && is_font_element ? fixed_size_item(font.A_SIZE_FONT) : '';
  const weight = combo({}, WEIGHTS);
  weight.input.value = weight_item(font.S_FONT_WEIGHT);
  const italic = box(t('font.italics'), tri_state(font.S_FONT_STYLE, ['italic', 'oblique']));
  const caps = box(t('font.smallcaps'), tri_state(font.S_FONT_VARIANT, ['small-caps']));
  const words = (font.S_TEXT_DECORATION || '').toLowerCase().split(/\s+/);
  const decorations = DECORATIONS.map(([label, word]) => ({ word, ...box(t(label), words.includes(word)) }));
  const letter = length_pair(t('font.letter'), t('font.letterunit'), font.S_LETTER_SPACING, ['0', '1', '2', '3', '4', '5']);
  const line = length_pair(t('font.line'), t('font.lineunit'), font.S_LINE_HEIGHT, ['1', '1.2', '1.5', '2']);
  const browse = el('button', { type: 'button', text: t('button.browse') });
  browse.addEventListener('click', () => choose_font(face.input, size, weight.input, italic.input));
  const three = b => (b.input.indeterminate ? '' : null);
  const change = () => {
    const out = { S_FONT_FAMILY: face.input.value };
    if (is_font_element) out.A_FACE = face.input.value;
    out.S_FONT_SIZE = size.value();
    if (is_font_element) out.A_SIZE_FONT = fixed.value;
    out.S_FONT_WEIGHT = weight.input.value;
    out.S_FONT_STYLE = three(italic) ?? (italic.input.checked ? 'italic' : 'normal');
    out.S_FONT_VARIANT = three(caps) ?? (caps.input.checked ? 'small-caps' : 'normal');
    out.S_TEXT_DECORATION = decoration_text(Object.fromEntries(decorations.map(d => [d.word, d.input.checked])));
    out.S_LETTER_SPACING = letter.value();
    out.S_LINE_HEIGHT = line.value();
    return { font: out };
  };
  return { title: t('page.font'), change, body: [labelled(t('font.face'), ...face.parts), browse, size.row,
    is_font_element ? fixed : null, labelled(t('font.weight'), ...weight.parts), italic.label, caps.label,
    el('fieldset', {}, el('legend', { text: t('font.decoration') }), decorations.map(d => d.label)), letter.row, line.row] };
}

// Opens the font chooser on the page's face, italic state, weight and size in points, and
// writes its choice back into the page.
async function choose_font(face, size, weight, italic) {
  const chosen = await font_chooser.open({ face: face.value, italic: italic.checked, weight: chooser_weight(weight.value),
    size: chooser_points({ number: size.number.value, unit: size.unit.value }) });
  if (!chosen) return;
  italic.indeterminate = false;
  italic.checked = chosen.italic;
  face.value = chosen.face;
  size.number.value = String(Math.round(chosen.size));
  size.unit.value = 'pt';
  weight.value = weight_item_of(chosen.weight);
}
