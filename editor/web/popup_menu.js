// Popup menus of the page (menu bar drop-downs, colour and format menus, the context menu):
// role="menu" with role="menuitem" entries carrying data-command. Arrow keys move, Enter runs,
// Escape or a click elsewhere closes.
import { el } from './dom.js';

let open_menus = [];

// entries: [{command, label, enabled, checked, submenu: () => entries, separator}].
// `on_choose(entry)` runs the chosen entry. Returns the menu element.
export function open_popup(entries, x, y, { on_choose = () => {}, level = 0, label = '' } = {}) {
  close_popups(level);
  listen_outside();
  const menu = el('div', { role: 'menu', class: 'popup-menu', tabindex: '-1', 'aria-label': label || null });
  for (const entry of entries) {
    if (entry.separator) { menu.append(el('div', { role: 'separator' })); continue; }
    const item = el('button', {
      type: 'button', role: 'menuitem', 'data-command': entry.command,
      'aria-disabled': entry.enabled === false ? 'true' : null,
      'aria-checked': entry.checked === undefined ? null : String(!!entry.checked),
      'aria-haspopup': entry.submenu ? 'menu' : null, tabindex: '-1', 'data-access': entry.access || null,
    }, el('span', { class: 'check', 'aria-hidden': 'true', text: entry.checked ? '\u2713' : '' }),
    el('span', { class: 'label', text: entry.label }),
    el('span', { class: 'shortcut', 'aria-hidden': 'true', text: entry.submenu ? '\u25B8' : entry.shortcut || '' }));
    item.addEventListener('click', e => {
      e.stopPropagation();
      if (entry.enabled === false) return;
      if (entry.submenu) {
        const r = item.getBoundingClientRect();
        open_popup(entry.submenu(), r.right, r.top, { on_choose, level: level + 1, label: entry.label });
        return;
      }
      close_popups(0);
      on_choose(entry);
    });
    item.addEventListener('mouseenter', () => item.focus());
    menu.append(item);
  }
  menu.addEventListener('keydown', e => keyboard(e, menu, level));
  // Inside a modal dialog everything else is inert, so the menu goes into the topmost one.
  const modal = Array.from(document.querySelectorAll('dialog[open]')).pop();
  (modal || document.body).append(menu);
  place(menu, x, y);
  open_menus[level] = menu;
  const first = menu.querySelector('[role="menuitem"]:not([aria-disabled])');
  (first || menu).focus();
  return menu;
}

function place(menu, x, y) {
  const w = menu.offsetWidth, h = menu.offsetHeight;
  menu.style.left = `${Math.max(0, Math.min(x, window.innerWidth - w))}px`;
  menu.style.top = `${Math.max(0, Math.min(y, window.innerHeight - h))}px`;
}

function keyboard(e, menu, level) {
  const items = Array.from(menu.querySelectorAll('[role="menuitem"]'));
  const at = items.indexOf(document.activeElement);
  if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
    e.preventDefault();
    const step = e.key === 'ArrowDown' ? 1 : -1;
    items[(at + step + items.length) % items.length]?.focus();
  } else if (e.key === 'Escape') {
    e.preventDefault();
    close_popups(level);
  } else if (e.key === 'ArrowRight' && items[at]?.getAttribute('aria-haspopup')) {
    items[at].click();
  } else if (e.key.length === 1 && !e.ctrlKey && !e.altKey) {
    menu.querySelector(`[data-access="${CSS.escape(e.key.toLowerCase())}"]:not([aria-disabled])`)?.click();
  } else if (e.key === 'ArrowLeft' && level > 0) {
    close_popups(level);
    open_menus[level - 1]?.focus();
  }
}

// Closes the menus from `level` on.
export function close_popups(level = 0) {
  for (const menu of open_menus.splice(level)) menu?.remove();
}

export function any_open() { return open_menus.some(Boolean); }

let listening = false;
// A click outside every menu closes them (installed with the first menu).
function listen_outside() {
  if (listening) return;
  listening = true;
  document.addEventListener('mousedown', e => {
    if (!e.target.closest('.popup-menu') && !e.target.closest('[role="menubar"]')) close_popups(0);
  });
}
