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
