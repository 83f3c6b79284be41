// The samples of the format builders, kept while the editor runs: a moment (date, time and
// milliseconds, taken from the clock on first use) and a value ("123.456"), each shown
// formatted with the specification being edited by the server, as reports format them.
import { el, uid } from '../dom.js';
import * as api from '../api.js';
import { row } from './dialog.js';
import { number_box, t } from './builder_frame.js';

let moment = null;
let value = '123.456';

const pad = (n, w = 2) => String(n).padStart(w, '0');

// The moment of the clock now: {date: "YYYY-MM-DD", time: "HH:MM:SS", ms}.
function now() {
  const d = new Date();
  return { date: `${d.getFullYear()}-${pad(d.getMonth() + 1)}-${pad(d.getDate())}`,
    time: `${pad(d.getHours())}:${pad(d.getMinutes())}:${pad(d.getSeconds())}`, ms: d.getMilliseconds() };
}

// Seconds since 1970 of the local date and time plus milliseconds times 0.001; null when the
// pickers hold no complete moment.
function seconds_of(m) {
  const [y, mo, d] = m.date.split('-').map(Number);
  const [h, mi, s = 0] = m.time.split(':').map(Number);
  const at = new Date(y, mo - 1, d, h, mi, s).getTime();
  return Number.isFinite(at) ? Math.floor(at / 1000) + m.ms * 0.001 : null;
}

// A read-only output with its label; returns [element, output].
function output_row(label) {
  const id = uid('out');
  const out = el('output', { id, class: 'format-sample' });
  return [el('div', { class: 'row' }, el('label', { for: id, text: label }), out), out];
}

// Shows `ask()`'s answer in `out` whenever `spec` or one of `inputs` changes; an older answer
// arriving after a newer question is dropped. Returns the update, for changes made by code.
function live(out, spec, inputs, ask) {
  let asked = 0;
  const update = async () => {
    const n = ++asked;
    const sample = ask();
    const r = sample ? await api.format_sample({ ...sample, spec: spec.value }).catch(() => null) : null;
    if (n === asked) out.value = r ? r.text : '';
  };
  for (const i of [spec, ...inputs]) i.addEventListener('input', update);
  update();
  return update;
}

// The time sample's controls under the specification box `spec`: date, time, milliseconds
// and the formatted moment. Returns the elements to put in the dialog.
export function time_sample(spec) {
  moment ||= now();
  const date_id = uid('date'), time_id = uid('time');
  const date = el('input', { id: date_id, type: 'date', value: moment.date });
  const time = el('input', { id: time_id, type: 'time', step: '1', value: moment.time });
  const [ms_row, ms] = number_box(t('builder.samplems'), moment.ms, 0, 999);
  const [out_row, out] = output_row(t('builder.preview'));
  const read = () => {
    const n = Math.trunc(Number(ms.value));
    if (!date.value || !time.value || !(n >= 0 && n <= 999)) return null;
    moment = { date: date.value, time: time.value, ms: n };
    const time_value = seconds_of(moment);
    return time_value === null ? null : { kind: 'time', time: time_value };
  };
  live(out, spec, [date, time, ms], read);
  return [row(el('label', { for: date_id, text: t('builder.sampledate') }), date),
    row(el('label', { for: time_id, text: t('builder.sampletime') }), time), ms_row, out_row];
}

// The value sample's controls: the sample and its formatted text. Returns [elements,
// refresh()] where refresh shows the sample again after code changed the specification.
export function value_sample(spec) {
  const id = uid('val');
  const input = el('input', { id, type: 'text', value });
  const [out_row, out] = output_row(t('builder.preview'));
  const refresh = live(out, spec, [input], () => { value = input.value; return { kind: 'value', value }; });
  return [[row(el('label', { for: id, text: t('builder.sample') }), input), out_row], refresh];
}
