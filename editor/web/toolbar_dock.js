// Docking of the toolbars: each one is dragged by its grip to the top, bottom, left or right
// edge of the window (vertical on the sides), or moved there from its context menu. The layout
// is {toolbar name: side}; every change is handed to `on_change` to be remembered.
import { open_popup } from './popup_menu.js';
import { el } from './dom.js';
import { t } from './strings.js';

export const SIDES = ['top', 'bottom', 'left', 'right'];

// Returns the edge of a `width` x `height` window nearest to the point (x, y).
export function nearest_side(x, y, width, height) {
  const distances = [y, height - y, x, width - x];
  return SIDES[distances.indexOf(Math.min(...distances))];
}

// Returns a layout with a known side for every toolbar of `names`: the stored one when it is
// valid, else top.
export function clean_layout(stored, names) {
  const layout = {};
  for (const name of names) layout[name] = SIDES.includes(stored?.[name]) ? stored[name] : 'top';
  return layout;
}

// Puts each toolbar of `bars` (a Map name -> element) into the dock of its side, in the order
// of `bars`, and gives each a grip and a context menu. `docks` maps side -> element.
export function dock_toolbars(bars, docks, stored, on_change) {
  const layout = clean_layout(stored, [...bars.keys()]);
  const place = () => {
    for (const [name, bar] of bars) {
      docks[layout[name]].append(bar);
      bar.setAttribute('aria-orientation', /left|right/.test(layout[name]) ? 'vertical' : 'horizontal');
    }
    for (const side of SIDES) docks[side].hidden = !docks[side].childElementCount;
  };
  const move = (name, side) => {
    if (layout[name] === side) return;
    layout[name] = side;
    place();
    on_change({ ...layout });
  };
  for (const [name, bar] of bars) {
    bar.prepend(grip(bar, side => move(name, side)));
    const menu = (x, y) => {
      const entries = SIDES.map(side => ({ command: `dock-${side}`, label: t(`dock.${side}`), checked: layout[name] === side, side }));
      open_popup(entries, x, y, { on_choose: entry => move(name, entry.side), label: bar.getAttribute('aria-label') });
    };
    bar.addEventListener('contextmenu', e => {
      e.preventDefault();
      menu(e.clientX, e.clientY);
    });
    // From the keyboard: the menu key or Shift+F10 on any control of the toolbar.
    bar.addEventListener('keydown', e => {
      if (e.key !== 'ContextMenu' && !(e.shiftKey && e.key === 'F10')) return;
      e.preventDefault();
      const r = e.target.getBoundingClientRect();
      menu(r.left, r.bottom);
    });
  }
  place();
  return layout;
}

// The handle a toolbar is dragged by; `drop(side)` runs where the pointer is let go.
function grip(bar, drop) {
  const handle = el('span', { class: 'grip', 'aria-hidden': 'true', title: t('dock.grip') });
  handle.addEventListener('pointerdown', e => {
    if (e.button !== 0) return;
    e.preventDefault();
    handle.setPointerCapture(e.pointerId);
    bar.classList.add('dragging');
    const side_at = ev => nearest_side(ev.clientX, ev.clientY, window.innerWidth, window.innerHeight);
    const hint = ev => { document.body.dataset.dockHint = side_at(ev); };
    const drag = new AbortController();
    const end = ev => {
      drag.abort();
      bar.classList.remove('dragging');
      delete document.body.dataset.dockHint;
      if (ev.type === 'pointerup') drop(side_at(ev));
    };
    handle.addEventListener('pointermove', hint, { signal: drag.signal });
    handle.addEventListener('pointerup', end, { signal: drag.signal });
    handle.addEventListener('pointercancel', end, { signal: drag.signal });
  });
  return handle;
}
