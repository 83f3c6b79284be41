// How the font page reads style values into its controls and writes them back: the weight
// items, the fixed FONT sizes, three-state boxes and the decoration words.

export const WEIGHTS = ['normal', 'bold', 'bolder', 'lighter', '100', '200', '300', '400', '500', '600', '700', '800', '900'];
export const FIXED_SIZES = ['1', '2', '3', '4', '5', '6', '7', '+1', '-1'];

// The weight item a value selects: the first whose text begins it (letters without case).
export function weight_item(value) {
  const v = (value || '').toLowerCase();
  return v ? WEIGHTS.find(w => v.startsWith(w)) ?? value : '';
}

// The fixed FONT size item a SIZE attribute selects.
export function fixed_size_item(size) {
  if (!size) return '';
  if (size.startsWith('+')) return '+1';
  if (size.startsWith('-')) return '-1';
  return /^[1-7]/.test(size) ? size[0] : '';
}

// Three states of a check box from a style value: true, false or null (indeterminate).
export function tri_state(value, on, off = ['normal']) {
  const v = (value || '').toLowerCase();
  if (on.some(w => v.startsWith(w))) return true;
  if (off.some(w => v.startsWith(w))) return false;
  return null;
}

// The text-decoration written for the checked boxes.
export function decoration_text(checked) {
  if (checked.none) return 'none';
  return ['underline', 'line-through', 'overline'].filter(w => checked[w]).join(' ');
}

// The items of the number and unit combos of a length pair.
export const SIZE_NUMBERS = ['8', '9', '10', '11', '12', '14', '16', '18', '20', '22', '24', '26', '28', '36', '48', '72'];
export const LENGTH_UNITS = ['px', 'em', 'ex', 'mm', 'cm', 'in', 'pt', 'pc', '%'];

const NUMBER = /^\s*([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)\s*(.*?)\s*$/;

// Splits a length into the number as typed and the unit text after it ({number, unit}); a
// text that does not start with a number (a keyword such as "larger") is all number.
export function split_length(text) {
  const m = NUMBER.exec(text || '');
  if (!m) return { number: (text || '').trim(), unit: '' };
  return { number: m[1], unit: m[2] };
}

// The length written from the pair: empty without a number, a keyword alone.
export function join_length(number, unit) {
  const n = (number || '').trim();
  if (!n) return '';
  return NUMBER.test(n) && NUMBER.exec(n)[2] === '' ? n + (unit || '').trim() : n;
}

// What the font chooser opens with for the page's weight item: bold for the heavy items.
export function chooser_weight(item) {
  return ['bold', '600', '700', '800'].includes((item || '').toLowerCase()) ? 700 : 400;
}

// The weight item the chooser's weight writes back.
export function weight_item_of(weight) {
  if (weight === 400) return 'normal';
  if (weight === 700) return 'bold';
  return WEIGHTS.includes(String(weight)) ? String(weight) : 'normal';
}

// The size in points the chooser opens with: only a size in points or without a unit.
export function chooser_points({ number, unit }) {
  if (unit !== '' && unit.toLowerCase() !== 'pt') return null;
  const n = Number(number);
  return number !== '' && Number.isFinite(n) && n > 0 ? n : null;
}
