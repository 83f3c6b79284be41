// The menu bar: its menus as lists of command ids, built into popups from the command table.
import { el } from './dom.js';
import { t, access_key } from './strings.js';
import { open_popup, close_popups, any_open } from './popup_menu.js';

const S = { separator: true };
let keys_bound = false;
export const MENUS = [
  ['menu.file', ['57600', '57601', '57603', 'save-as', S, 'document-properties', S, 'recent', S, 'exit']],
  ['menu.edit', ['40010', '40011', S, '40004', '40003', '40006', '40012', S, '40009', '43003']],
  ['menu.view', ['41010', '41012', S, '32819', S, 'language']],
  ['menu.insert', ['32827', '32810', '32828', '32814', '32815', S, '32829', S, '41011', '41005', '41008',
    '32832', '41009', S, '32850', S, '43000', '43001']],
  ['menu.format', ['40013', '40014', '40015', '41002', '41001', S, '40016', '40017', '40018', '40019', S,
    '40020', '40022', '40021', S, '43002']],
  ['menu.table', ['41005', S, '40023', '40024', '40025', S, '40026', '40027', '40028', S, '40029', '40030']],
  ['menu.tools', ['32820', '32819']],
  ['menu.help', ['help', S, '57664']],
];

// Builds the bar into `host`; `entries_of(ids)` turns command ids into popup entries.
// Building again (after a change of language) replaces the bar's menus.
export function build_menu_bar(host, entries_of, run_entry) {
  host.setAttribute('role', 'menubar');
  host.setAttribute('aria-label', t('label.menu'));
  host.replaceChildren();
  for (const [key, ids] of MENUS) {
    const label = t(key).replace(/&(.)/g, '$1');
    const button = el('button', { type: 'button', role: 'menuitem', 'aria-haspopup': 'menu', text: label,
      'data-access': access_key(key), 'aria-keyshortcuts': `Alt+${access_key(key).toUpperCase()}` });
    const show = () => {
      const r = button.getBoundingClientRect();
      const menu = open_popup(entries_of(ids), r.left, r.bottom, { on_choose: run_entry, label });
      menu.addEventListener('keydown', e => {
        if (e.key !== 'ArrowRight' && e.key !== 'ArrowLeft') return;
        if (e.key === 'ArrowRight' && document.activeElement?.getAttribute('aria-haspopup')) return;
        const buttons = Array.from(host.children);
        const next = buttons[(buttons.indexOf(button) + (e.key === 'ArrowRight' ? 1 : buttons.length - 1)) % buttons.length];
        next.click();
      });
    };
    button.addEventListener('click', () => show());
    button.addEventListener('mouseenter', () => { if (any_open()) show(); });
    host.append(button);
  }
  if (keys_bound) return;
  keys_bound = true;
  // Alt and the access key opens a menu; F10 goes to the bar.
  document.addEventListener('keydown', e => {
    if (e.key === 'Escape') close_popups(0);
    if (e.key === 'F10') { e.preventDefault(); host.firstElementChild.focus(); }
    if (!e.altKey || e.ctrlKey || e.key.length !== 1) return;
    const button = host.querySelector(`[data-access="${CSS.escape(e.key.toLowerCase())}"]`);
    if (!button) return;
    e.preventDefault();
    button.click();
  });
}
