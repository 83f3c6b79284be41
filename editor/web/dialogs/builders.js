// The expression builders' dialogs. Each opens on an expression text and resolves with the
// text of a new expression of its shape, or null on Cancel.
import { el, labelled_input } from '../dom.js';
import * as api from '../api.js';
import { group, row, run_dialog } from './dialog.js';
import { expression_field } from './expression_field.js';
import { time_sample, value_sample } from './format_sample.js';
import { run_builder, check_box, radio_group, select_box, number_box, has_text, t } from './builder_frame.js';

export const STATISTICS = ['SUM', 'AVG', 'MAX', 'MIN', 'STDEV'];
export const TIME_UNITS = ['SEC', 'MIN', 'HR', 'DAY', 'WK', 'MON', 'YR'];
export const TIME_PARTS = [
  ['%#x', '%x'],
  ['%X', '%X'],
  ['%#c', '%c'],
  ['%H', '%#H'],
  ['%I', '%#I'],
  ['%p', '%p'],
  ['%M', '%#M'],
  ['%S', '%#S'],
  ['%w', '%#w'],
  ['%A', '%a'],
  ['%d', '%#d'],
  ['%j', '%#j'],
  ['%W', '%#W'],
  ['%U', '%#U'],
  ['%m', '%#m'],
  ['%B', '%b'],
  ['%Y', '%y'],
  ['%Z', '%z'],
  ['%k', '%#k'],
];

// Validates the expression fields in order; resolves false at the first invalid one.
async function all_valid(fields) {
  for (const f of fields) if (!(await f.validate())) return false;
  return true;
}

// A text box with a "..." button that opens `open_builder(text)` and takes its result.
function spec_box(label, value, open_builder) {
  const [lab, input] = labelled_input(label);
  input.value = value;
  const more = el('button', { type: 'button', text: '...', 'aria-label': label });
  more.addEventListener('click', async () => {
    const r = await open_builder(input.value);
    if (r !== null) { input.value = r; input.dispatchEvent(new Event('input', { bubbles: true })); }
  });
  return [el('div', { class: 'row' }, lab, input, more), input];
}

export function channel_value(text) {
  return run_builder('channel_value', t('builder.channelvalue'), text, f => {
    const [format_row, format] = check_box(t('builder.formatted'), f.format);
    const [spec_row, spec] = spec_box(t('builder.spec'), f.spec, value_format);
    const [kinds, kind] = radio_group([{ value: 'current', label: t('builder.current') },
      { value: 'historical', label: t('builder.historical') }], f.historical ? 'historical' : 'current');
    const channel = expression_field(t('builder.channel'), f.channel);
    const time = expression_field(t('builder.time'), f.time);
    const historical = () => kind() === 'historical';
    return {
      body: [group(t('builder.format'), format_row, spec_row), kinds, channel.element, time.element],
      read: () => ({ format: format.checked, spec: spec.value, historical: historical(),
        channel: channel.input.value, time: time.input.value }),
      validate: () => all_valid(historical() ? [channel, time] : [channel]),
      ready: () => has_text(channel.input) && (!historical() || has_text(time.input)),
    };
  });
}

export function statistics(text) {
  return run_builder('statistics', t('builder.statistics'), text, f => {
    const [functions, function_of] = radio_group(STATISTICS.map(s => ({ value: s, label: s })), f.function);
    const channel = expression_field(t('builder.channel'), f.channel);
    const from = expression_field(t('builder.from'), f.from);
    const to = expression_field(t('builder.to'), f.to);
    return {
      body: [group(t('builder.function'), functions), channel.element, from.element, to.element],
      read: () => ({ function: function_of() || '', channel: channel.input.value, from: from.input.value, to: to.input.value }),
      validate: () => all_valid([channel, from, to]),
      ready: () => !!function_of() && [channel, from, to].every(x => has_text(x.input)),
    };
  });
}

export function time(text, { formatted = false } = {}) {
  return run_builder('time', t('builder.time.title'), text, f => {
    const [bases, base_of] = radio_group([{ value: 'now', label: t('builder.now') },
      { value: 'base', label: t('builder.basetime') }], f.base ? 'base' : 'now');
    const base = expression_field(t('builder.base'), f.base);
    const [round_row, rounding] = check_box(t('builder.rounding'), f.rounding);
    const [modes, mode_of] = radio_group([{ value: 'RTIME', label: t('builder.rtime') },
      { value: 'DTIME', label: t('builder.dtime') }], f.mode);
    const [unit_row, unit] = select_box(t('builder.unit'),
      [{ value: '', label: '' }, ...TIME_UNITS.map(u => ({ value: u, label: t(`builder.unit.${u}`) }))], f.unit);
    const offset = expression_field(t('builder.offset'), f.offset);
    const [format_row, format] = check_box(t('builder.formatted'), f.format);
    const [spec_row, spec] = spec_box(t('builder.spec'), f.spec, time_format);
    const uses_base = () => base_of() === 'base';
    return {
      body: [group(t('builder.moment'), bases, base.element), group(t('builder.round'), round_row, modes, unit_row, offset.element),
        group(t('builder.format'), format_row, spec_row)],
      read: () => ({ format: format.checked, spec: spec.value, rounding: rounding.checked, mode: mode_of(),
        unit: unit.value, offset: offset.input.value, base: uses_base() ? base.input.value : '' }),
      validate: () => all_valid([...(uses_base() ? [base] : []), ...(rounding.checked ? [offset] : [])]),
      ready: () => (!uses_base() || has_text(base.input)) && (!rounding.checked || (!!unit.value && has_text(offset.input))),
    };
  }, { formatted });
}

export function value_format(text) {
  return run_builder('value_format', t('builder.valueformat'), text, f => {
    const [spec_label, spec] = labelled_input(t('builder.spec'));
    spec.value = text || '%f';
    const [left_row, left] = check_box(t('builder.left'), f.left);
    const [sign_row, sign] = check_box(t('builder.sign'), f.sign);
    const [alt_row, alternate] = check_box(t('builder.alternate'), f.alternate);
    const [zero_row, zeros] = check_box(t('builder.zeros'), f.zeros);
    const [width_row, width] = number_box(t('builder.width'), f.width);
    const [prec_row, precision] = number_box(t('builder.precision'), f.precision);
    const [conv_row, conversion] = select_box(t('builder.conversion'),
      ['f', 'd', 'u', 'X', 's'].map(c => ({ value: c, label: t(`builder.conv.${c}`) })), f.conversion);
    const controls = () => ({ left: left.checked, sign: sign.checked, alternate: alternate.checked, zeros: zeros.checked,
      width: Number(width.value) || 0, precision: Number(precision.value) || 0, conversion: conversion.value });
    const [sample, refresh_sample] = value_sample(spec);
    // A composed text arriving after the user typed a format of their own is dropped.
    let typed = 0;
    const compose = async () => {
      const before = typed;
      const r = await api.builder_emit('value_format', controls());
      if (r.ok && before === typed) { spec.value = r.text; refresh_sample(); }
    };
    for (const c of [left, sign, alternate, zeros, width, precision, conversion]) c.addEventListener('change', compose);
    spec.addEventListener('input', async () => {
      typed += 1;
      const { fields } = await api.builder_recognize('value_format', spec.value);
      if (!fields.representable) return;
      left.checked = fields.left; sign.checked = fields.sign; alternate.checked = fields.alternate;
      zeros.checked = fields.zeros; width.value = fields.width; precision.value = fields.precision;
      conversion.value = fields.conversion;
    });
    return {
      body: [row(spec_label, spec), ...sample, group(t('builder.controls'), left_row, sign_row, alt_row, zero_row, width_row, prec_row, conv_row)],
      read: () => controls(),
      ready: () => has_text(spec),
      result: () => spec.value,
    };
  });
}

// The time-format builder: the specification, with the time-part picker inserting at the caret.
export function time_format(text) {
  const [spec_label, spec] = labelled_input(t('builder.spec'));
  spec.value = text || '%c';
  const part = el('button', { type: 'button', text: t('builder.timepart') });
  part.addEventListener('click', async () => {
    const p = await time_part();
    if (p === null) return;
    const at = spec.selectionStart ?? spec.value.length;
    spec.value = spec.value.slice(0, at) + p + spec.value.slice(spec.selectionEnd ?? at);
    spec.focus();
    spec.setSelectionRange(at + p.length, at + p.length);
    spec.dispatchEvent(new Event('input', { bubbles: true }));
  });
  return run_dialog(t('builder.timeformat'), [row(spec_label, spec), part, ...time_sample(spec)], () => spec.value,
    { ready: () => has_text(spec) });
}

// The time-part picker: one specification of the table (the form with the short-form box
// clear, then set), in its short form when the box is set.
export function time_part() {
  const [parts, part_of] = radio_group(TIME_PARTS.map((_, i) => ({ value: i, label: t(`builder.part.${i}`) })), 0);
  const [short_row, short] = check_box(t('builder.shortform'), false);
  return run_dialog(t('builder.timepart.title'), [parts, short_row], () => {
    const p = TIME_PARTS[Number(part_of())];
    return p ? p[short.checked ? 1 : 0] : undefined;
  }, { ready: () => part_of() !== null });
}
