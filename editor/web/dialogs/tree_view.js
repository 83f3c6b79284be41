// A tree box that draws only the rows in view, so that a project of many thousand channels
// opens and filters at once. Nodes are {text, title?, kids?: () => [node], ...}: a node with
// kids is a parent, whose children are made when it is first opened (a parent with `pick`
// set is chosen like a leaf by a double click or Enter); a node's parent is recorded when it
// is shown. Rows are role="treeitem" named by their text.
import { el, uid } from '../dom.js';

const ROW_HEIGHT = 20;
const SPARE_ROWS = 8;

// Returns {element, set_roots(roots, expand), selected(), reveal(node)}: a tree labelled
// `label`. `on_select(node)` follows every change of the selection, `on_accept(node)` a
// double click or Enter on a leaf.
export function tree_view(label, { on_select = () => {}, on_accept = () => {}, rows = 16 } = {}) {
  const id = uid('tree');
  const box = el('div', { id, role: 'tree', tabindex: '0', 'aria-label': label, class: 'tree-view' });
  const spacer = el('div', { class: 'tree-spacer' });
  const page = el('div', { class: 'tree-page' });
  spacer.append(page);
  box.append(spacer);
  box.style.height = `${rows * ROW_HEIGHT}px`;
  let roots = [], expanded = new Set(), flat = [], selected = null;
  const accepts = node => !node.kids || !!node.pick;
  const children = node => (node.kids ? (node.made ||= node.kids()) : []);

  // The visible nodes in order, each with its depth.
  const flatten = () => {
    flat = [];
    const walk = (nodes, level) => {
      for (const node of nodes) {
        flat.push({ node, level });
        if (!node.kids || !expanded.has(node)) continue;
        const list = children(node);
        list.forEach(c => { c.parent = node; });
        walk(list, level + 1);
      }
    };
    walk(roots, 1);
    spacer.style.height = `${flat.length * ROW_HEIGHT}px`;
  };

  const row_of = ({ node, level }) => {
    const parent = !!node.kids;
    const open = parent && expanded.has(node);
    const r = el('div', { role: 'treeitem', 'aria-level': String(level), 'aria-selected': String(node === selected),
      'aria-expanded': parent ? String(open) : undefined, class: 'tree-row', title: node.title });
    r.style.paddingLeft = `${(level - 1) * 16 + 4}px`;
    r.append(el('span', { class: 'tree-toggle', 'aria-hidden': 'true' }), el('span', { text: node.text }));
    r.addEventListener('click', e => {
      if (parent && e.target.classList.contains('tree-toggle')) toggle(node);
      select(node);
    });
    r.addEventListener('dblclick', () => (accepts(node) ? on_accept(node) : toggle(node)));
    return r;
  };

  // Draws the rows that the scroll position shows.
  const draw = () => {
    const first = Math.max(0, Math.floor(box.scrollTop / ROW_HEIGHT) - SPARE_ROWS);
    const last = Math.min(flat.length, first + rows + 2 * SPARE_ROWS);
    page.style.transform = `translateY(${first * ROW_HEIGHT}px)`;
    page.replaceChildren(...flat.slice(first, last).map(row_of));
  };
  box.addEventListener('scroll', () => requestAnimationFrame(draw));

  const refresh = () => { flatten(); draw(); };
  const toggle = node => {
    if (expanded.has(node)) expanded.delete(node);
    else expanded.add(node);
    refresh();
  };
  const scroll_to = node => {
    const at = flat.findIndex(f => f.node === node);
    if (at < 0) return;
    const top = at * ROW_HEIGHT;
    if (top < box.scrollTop) box.scrollTop = top;
    else if (top + ROW_HEIGHT > box.scrollTop + box.clientHeight) box.scrollTop = top + ROW_HEIGHT - box.clientHeight;
  };
  const select = node => {
    selected = node;
    if (node) scroll_to(node);
    draw();
    on_select(node);
    box.dispatchEvent(new Event('change', { bubbles: true }));
  };

  box.addEventListener('keydown', e => {
    const at = flat.findIndex(f => f.node === selected);
    const move = to => { e.preventDefault(); if (flat[to]) select(flat[to].node); };
    if (e.key === 'ArrowDown') return move(at + 1);
    if (e.key === 'ArrowUp') return move(Math.max(0, at - 1));
    if (!selected) return;
    if (e.key === 'ArrowRight' && selected.kids && !expanded.has(selected)) { e.preventDefault(); toggle(selected); }
    else if (e.key === 'ArrowLeft' && expanded.has(selected)) { e.preventDefault(); toggle(selected); }
    else if (e.key === 'ArrowLeft' && selected.parent) { e.preventDefault(); select(selected.parent); }
    else if (e.key === 'Enter' && accepts(selected)) { e.preventDefault(); on_accept(selected); }
  });

  return {
    element: box,
    // Shows new roots, the parents in `open` opened.
    set_roots(nodes, open = []) {
      roots = nodes;
      roots.forEach(n => { n.parent = null; });
      expanded = new Set(open);
      box.scrollTop = 0;
      selected = null;
      refresh();
      on_select(null);
    },
    selected: () => selected,
    // Opens the parents in `path` (outermost first), selects their last node and scrolls it
    // into view.
    reveal(path) {
      path.slice(0, -1).forEach(n => expanded.add(n));
      flatten();
      select(path[path.length - 1]);
    },
    select,
  };
}
