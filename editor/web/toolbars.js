// The main, format and insertion toolbars: buttons with the command id, the tooltip and the
// status text of the command, and the font name and size boxes.
import { el } from './dom.js';
import { tooltip, status_text, t } from './strings.js';
import { FONT_SIZES } from './commands.js';

const S = '|';
export const TOOLBARS = [
  ['main', ['57600', '57601', '57603', S, '32850', S, '40004', '40003', '40006', '40010', '40011', S,
    '43000', '43001', '43003', '43002', S, '32819', S, '57664']],
  ['format', ['41003', '41004', S, '41001', S, '40013', '40014', '40015', S, '41002', S, '40016', '40017',
    S, '40019', '40018', S, '40020', '40022', '40021']],
  ['insert', ['32827', '32810', '32828', '32814', '32815', S, '32829', S, '41011', '41005', '41008',
    '32832', '41009']],
];

// Short marks drawn on the buttons (the toolbars' images).
const MARKS = {
  57600: '\u25A1', 57601: '\u2197', 57603: '\u2193', 32850: '\u2756', 40004: '\u2702', 40003: '\u2750',
  40006: '\u25A4', 40010: '\u21B6', 40011: '\u21B7', 43000: '[s]', 43001: '[d]', 43003: '\u2922', 43002: '\u2630',
  32819: '\u25B6', 57664: '?', 41001: '\u00B6\u25BE', 40013: 'B', 40014: 'I', 40015: 'U', 41002: 'A\u25BE',
  40016: '1.', 40017: '\u2022', 40019: '\u21E4', 40018: '\u21E5', 40020: '\u2261\u2190', 40022: '\u2261',
  40021: '\u2192\u2261', 32827: 'f(x)', 32810: 'Ch', 32828: 'Val', 32814: '\u25F7', 32815: '\u03A3',
  32829: '\u223F', 41011: '\u2015', 41005: '\u25A6', 41008: '\u25A8', 32832: '\u2693', 41009: '\u21C4',
};

// Builds the toolbars into `host`. `run(id, value)` runs a command; `set_status(text)` shows
// fly-by help. Returns {update(states), set_fonts(names)}. Building again (after a change of
// language) replaces the bars.
export function build_toolbars(host, run, set_status) {
  host.replaceChildren();
  const buttons = new Map();
  let font_box = null, size_box = null;
  for (const [name, ids] of TOOLBARS) {
    const bar = el('div', { role: 'toolbar', class: `toolbar ${name}`, 'aria-label': t(`toolbar.${name}`) });
    for (const id of ids) {
      if (id === S) { bar.append(el('span', { class: 'separator', 'aria-hidden': 'true' })); continue; }
      let control;
      if (id === '41003' || id === '41004') {
        control = el('select', { 'data-command': id, 'aria-label': tooltip(id), title: tooltip(id), class: id === '41003' ? 'font-name' : 'font-size' });
        control.append(el('option', { value: '', text: '' }));
        if (id === '41004') control.append(...FONT_SIZES.map(s => el('option', { value: s, text: s })));
        control.addEventListener('change', () => run(id, control.value));
        if (id === '41003') font_box = control; else size_box = control;
      } else {
        control = el('button', { type: 'button', 'data-command': id, title: tooltip(id), 'aria-label': tooltip(id), text: MARKS[id] || id });
        control.addEventListener('mousedown', e => e.preventDefault());
        control.addEventListener('click', () => run(id));
        buttons.set(id, control);
      }
      control.addEventListener('mouseenter', () => set_status(status_text(id)));
      control.addEventListener('mouseleave', () => set_status(''));
      control.addEventListener('focus', () => set_status(status_text(id)));
      bar.append(control);
    }
    host.append(bar);
  }
  return {
    update(state_of) {
      for (const [id, button] of buttons) {
        const s = state_of(id);
        button.disabled = s.enabled === false;
        if (s.checked !== undefined) button.setAttribute('aria-pressed', String(!!s.checked));
      }
    },
    set_fonts(names) {
      font_box.replaceChildren(el('option', { value: '', text: '' }), ...names.map(n => el('option', { value: n, text: n })));
    },
    show_font(name, size) {
      if (document.activeElement === font_box || document.activeElement === size_box) return;
      const clean = String(name || '').replace(/^["']|["']$/g, '');
      font_box.value = Array.from(font_box.options).some(o => o.value === clean) ? clean : '';
      size_box.value = FONT_SIZES.includes(String(size)) ? String(size) : '';
    },
  };
}
export { t };
