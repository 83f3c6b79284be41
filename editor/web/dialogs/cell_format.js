// "Cell format": alignment, vertical alignment, width, height, background colour, no-wrap
// and spans of one table cell. Resolves with the cell's new format or null.
import { el, uid } from '../dom.js';
import { t } from '../strings.js';
import { error_box } from '../message_box.js';
import { run_dialog, row } from './dialog.js';

const ALIGN = ['', 'left', 'center', 'right', 'justify'];
const VALIGN = ['', 'top', 'middle', 'bottom', 'baseline'];

function control(label, input) {
  input.id = uid('f');
  return row(el('label', { for: input.id, text: label }), input);
}

function text(value) {
  const input = el('input', { type: 'text' });
  input.value = value || '';
  return input;
}

function choice(values, value) {
  const select = el('select', {}, values.map(v => el('option', { value: v, text: v })));
  select.value = values.includes((value || '').toLowerCase()) ? value.toLowerCase() : '';
  return select;
}

// A span: empty or a whole number from 1 up.
const valid_span = s => s === '' || /^[1-9][0-9]{0,3}$/.test(s);

// format: {align, valign, width, height, background, nowrap, rowspan, colspan}.
export function open(format) {
  const align = choice(ALIGN, format.align), valign = choice(VALIGN, format.valign);
  const width = text(format.width), height = text(format.height), background = text(format.background);
  const nowrap = el('input', { type: 'checkbox', checked: format.nowrap });
  const rowspan = text(format.rowspan), colspan = text(format.colspan);
  const body = [control(t('label.align'), align), control(t('label.valign'), valign),
    control(t('label.width'), width), control(t('label.height'), height),
    control(t('label.background'), background), el('label', {}, nowrap, t('label.nowrap')),
    control(t('label.rowspan'), rowspan), control(t('label.colspan'), colspan)];
  return run_dialog(t('dlg.cellformat'), body, async () => {
    const spans = [rowspan.value.trim(), colspan.value.trim()];
    if (!spans.every(valid_span)) {
      await error_box(t('error.value'));
      return undefined;
    }
    return { align: align.value, valign: valign.value, width: width.value.trim(), height: height.value.trim(),
      background: background.value.trim(), nowrap: nowrap.checked, rowspan: spans[0], colspan: spans[1] };
  });
}

// The format of a cell as the dialog shows it.
export function read(cell) {
  const attr = name => cell.getAttribute(name) || '';
  return { align: attr('align'), valign: attr('valign'), width: cell.style.width || attr('width'),
    height: cell.style.height || attr('height'), background: cell.style.backgroundColor || attr('bgcolor'),
    nowrap: cell.hasAttribute('nowrap'), rowspan: attr('rowspan'), colspan: attr('colspan') };
}

// Writes the format into the cell: sizes as style properties, the rest as attributes; an
// empty field, and a span of 1, removes what it stands for.
export function write(cell, f) {
  const set = (name, value) => (value ? cell.setAttribute(name, value) : cell.removeAttribute(name));
  set('align', f.align);
  set('valign', f.valign);
  cell.style.width = f.width;
  cell.style.height = f.height;
  cell.removeAttribute('width');
  cell.removeAttribute('height');
  cell.style.removeProperty('background-color');
  set('bgcolor', f.background);
  if (f.nowrap) cell.setAttribute('nowrap', '');
  else cell.removeAttribute('nowrap');
  set('rowspan', f.rowspan === '1' ? '' : f.rowspan);
  set('colspan', f.colspan === '1' ? '' : f.colspan);
  if (!cell.getAttribute('style')) cell.removeAttribute('style');
}
