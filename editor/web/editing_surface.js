// The editing surface: the template shown in a design-mode frame that is sandboxed without
// scripts. This is the only module that touches the edited document, its selection and
// execCommand; everything else asks it.
import * as grid from './table_grid.js';
import { clean_pasted_html } from './paste_clean.js';

// Glyph sources as templates store them, and the page's own images shown in their place.
const RES_PREFIX = 'res://quillet.exe/';
const GLYPH_IMAGES = { '#2/#207': '/web/icons/glyph207.svg', '#2/#206': '/web/icons/glyph206.svg' };
export const glyph_source = n => `${RES_PREFIX}#2/#${n}`;
const UI_STYLE_ID = 'quillet-editing-aids';

// The browser writes attributes without a value as NAME=""; templates keep them bare.
const BOOLEAN_ATTRIBUTES = /\s(declare|nowrap|noshade|compact|checked|selected|disabled|readonly|multiple|ismap|nohref|defer|noresize)=""/gi;
function bare_boolean_attributes(html) {
  return html.replace(/<[a-z][^<>]*>/gi, tag => tag.replace(BOOLEAN_ATTRIBUTES, ' $1'));
}

export class EditingSurface {
  // hooks: on_change(group), on_selection(), on_context_menu(element, x, y), on_open(element),
  // on_undo(), on_redo().
  constructor(frame, hooks) {
    this.frame = frame;
    this.hooks = hooks;
    this.show_glyphs = true;
    this.show_borders = true;
    this.typing_group = 0;
    this.last_typing = 0;
  }

  get doc() { return this.frame.contentDocument; }

  // Shows `html` (a whole document) for editing; resolves when it can be typed into.
  load(html) {
    return new Promise(resolve => {
      this.frame.addEventListener('load', () => {
        this.prepare();
        resolve();
      }, { once: true });
      // Glyph sources are not loaded as such: they become our own images once the frame is up.
      this.frame.srcdoc = String(html).replace(/(<img\b[^>]*?\s)src\s*=\s*(["']?)res:/gi, '$1data-quillet-pending=$2res:');
    });
  }

  prepare() {
    const doc = this.doc;
    doc.designMode = 'on';
    doc.execCommand('styleWithCSS', false, false);
    this.map_glyphs(doc.body);
    this.apply_aids();
    doc.addEventListener('input', e => this.input(e));
    doc.addEventListener('beforeinput', e => this.before_input(e));
    doc.addEventListener('keydown', e => this.keydown(e));
    doc.addEventListener('paste', e => this.paste(e));
    doc.addEventListener('selectionchange', () => this.hooks.on_selection());
    doc.addEventListener('contextmenu', e => this.context_menu(e));
    doc.addEventListener('dblclick', e => {
      e.preventDefault();
      this.hooks.on_open(this.element_of(e.target));
    });
    doc.addEventListener('drop', () => setTimeout(() => this.changed(null), 0));
  }

  // Shows our images in place of the glyph sources that templates store, and a template's
  // relative images through the server's document folder; saving puts the sources back.
  map_glyphs(root) {
    for (const img of root.querySelectorAll('img[src]:not([data-quillet-res]):not([data-quillet-src])')) {
      const src = img.getAttribute('src');
      if (/^([a-z][a-z0-9+.-]*:|\/|#)/i.test(src) || src === '') continue;
      img.setAttribute('data-quillet-src', src);
      img.setAttribute('src', `/doc/${src.replace(/\\/g, '/')}`);
    }
    for (const img of root.querySelectorAll('img[src^="res:"], img[data-quillet-pending]')) {
      const src = img.getAttribute('data-quillet-pending') || img.getAttribute('src');
      img.removeAttribute('data-quillet-pending');
      const key = src.startsWith(RES_PREFIX) ? src.slice(RES_PREFIX.length) : '';
      img.setAttribute('data-quillet-res', src);
      img.setAttribute('src', GLYPH_IMAGES[key] || '/web/icons/glyph207.svg');
    }
  }

  // Styles that only help editing (table borders, hidden glyphs); never saved.
  apply_aids() {
    const doc = this.doc;
    let style = doc.getElementById(UI_STYLE_ID);
    if (!style) {
      style = doc.createElement('style');
      style.id = UI_STYLE_ID;
      (doc.head || doc.documentElement).append(style);
    }
    style.textContent = [
      this.show_borders ? 'table, td, th { outline: 1px dotted #8a8a8a; outline-offset: -1px; }' : '',
      this.show_glyphs ? '' : 'img[data-quillet-res] { display: none; }',
      'img[data-quillet-res] { vertical-align: middle; }',
    ].join('\n');
  }

  set_aids({ glyphs = this.show_glyphs, borders = this.show_borders }) {
    this.show_glyphs = glyphs;
    this.show_borders = borders;
    this.apply_aids();
  }

  // Returns the whole document as HTML for saving: glyph sources as stored, no editing aids.
  serialize() {
    const doc = this.doc;
    // A copy in a document without a window, so that putting the sources back loads nothing.
    const root = doc.implementation.createHTMLDocument('').importNode(doc.documentElement, true);
    root.querySelector(`#${UI_STYLE_ID}`)?.remove();
    for (const name of ['data-quillet-res', 'data-quillet-src']) {
      for (const img of root.querySelectorAll(`img[${name}]`)) {
        img.setAttribute('src', img.getAttribute(name));
        img.removeAttribute(name);
      }
    }
    const dt = doc.doctype;
    const doctype = dt ? `<!DOCTYPE ${dt.name}${dt.publicId ? ` PUBLIC "${dt.publicId}"` : ''}${dt.systemId ? ` "${dt.systemId}"` : ''}>\n` : '';
    return doctype + bare_boolean_attributes(root.outerHTML);
  }

  body_html() { return this.doc.body.innerHTML; }

  // Returns the caret as a path of child positions from the body, so a snapshot can put it
  // back after undo and redo.
  caret_path() {
    const sel = this.doc.getSelection();
    if (!sel.rangeCount) return null;
    const path = [sel.focusOffset];
    for (let n = sel.focusNode; n && n !== this.doc.body; n = n.parentNode) {
      if (!n.parentNode) return null;
      path.unshift(Array.prototype.indexOf.call(n.parentNode.childNodes, n));
    }
    return path;
  }

  // Puts back a body from a snapshot, with the caret where `path` says (else at the start).
  set_body_html(html, path = null) {
    const body = this.doc.body;
    body.innerHTML = html;
    let node = body;
    const steps = path ? path.slice(0, -1) : [];
    for (const i of steps) {
      node = node.childNodes[i];
      if (!node) break;
    }
    const offset = path ? path[path.length - 1] : 0;
    const length = node ? (node.nodeType === 3 ? node.length : node.childNodes.length) : 0;
    if (node && offset <= length) this.doc.getSelection().collapse(node, offset);
    else this.doc.getSelection().collapse(body, 0);
  }

  focus() {
    this.frame.focus();
    this.doc.body.focus();
  }

  // Keeps the selection while a dialog has the focus; restore() puts it back.
  save_selection() {
    const sel = this.doc.getSelection();
    this.saved = sel.rangeCount ? sel.getRangeAt(0).cloneRange() : null;
  }

  restore_selection() {
    if (!this.saved) return;
    const sel = this.doc.getSelection();
    sel.removeAllRanges();
    sel.addRange(this.saved);
  }

  range() {
    const sel = this.doc.getSelection();
    if (sel.rangeCount) return sel.getRangeAt(0);
    const r = this.doc.createRange();
    r.setStart(this.doc.body, this.doc.body.childNodes.length);
    return r;
  }

  // --- editing commands ---------------------------------------------------------------

  exec(command, value) {
    this.focus();
    const done = this.doc.execCommand(command, false, value === undefined ? null : value);
    this.changed(null);
    return done;
  }

  state(command) {
    try { return this.doc.queryCommandState(command); } catch { return false; }
  }

  value(command) {
    try { return this.doc.queryCommandValue(command); } catch { return ''; }
  }

  // Pastes clipboard markup from the page (the Paste command) after cleaning it.
  paste_markup(html) {
    this.focus();
    this.insert_pasted(html);
  }

  paste(e) {
    const html = e.clipboardData?.getData('text/html');
    if (!html) { setTimeout(() => this.changed(null, 'paste'), 0); return; }
    e.preventDefault();
    this.insert_pasted(html);
  }

  // Pastes cleaned markup as it is: the browser's own insertion would drop spans that carry
  // nothing but our element numbers, and with them the dynamic elements.
  insert_pasted(html) {
    const nodes = this.paste_range(this.range(), clean_pasted_html(html));
    this.fresh = new Set();
    for (const node of nodes) {
      if (node.nodeType !== 1) continue;
      this.map_glyphs(node.parentNode || this.doc.body);
      for (const e of [node, ...node.querySelectorAll('[vxdynelt]')]) this.fresh.add(e);
    }
    this.changed(null, 'paste');
  }

  input(e) {
    const typing = /^(insertText|deleteContent|insertCompositionText)/.test(e.inputType || '');
    const now = Date.now();
    if (!typing || now - this.last_typing > 1500) this.typing_group++;
    this.last_typing = typing ? now : 0;
    this.hooks.on_change(typing ? this.typing_group : null, e.inputType);
  }

  // Our own undo manager answers undo and redo; the browser's history is never used.
  before_input(e) {
    if (e.inputType === 'historyUndo' || e.inputType === 'historyRedo') e.preventDefault();
  }

  keydown(e) {
    if (!(e.ctrlKey || e.metaKey)) return;
    const key = e.key.toLowerCase();
    if (key === 'z' && !e.shiftKey) { e.preventDefault(); this.hooks.on_undo(); }
    if (key === 'y' || (key === 'z' && e.shiftKey)) { e.preventDefault(); this.hooks.on_redo(); }
    if (key === 's' || key === 'o') { e.preventDefault(); this.hooks.on_shortcut(key); }
  }

  changed(group, kind) {
    this.typing_group++;
    this.hooks.on_change(group, kind);
  }

  // --- elements ------------------------------------------------------------------------

  element_of(node) {
    if (!node) return this.doc.body;
    return node.nodeType === 1 ? node : node.parentElement || this.doc.body;
  }

  // Returns the element at the caret (the start of the selection, or the selected element).
  caret_element() {
    const r = this.range();
    const c = r.startContainer;
    if (c.nodeType === 1 && !r.collapsed && r.endContainer === c && r.endOffset === r.startOffset + 1) {
      return c.childNodes[r.startOffset];
    }
    return this.element_of(c);
  }

  context_menu(e) {
    e.preventDefault();
    const target = this.element_of(e.target);
    const rect = this.frame.getBoundingClientRect();
    const sel = this.doc.getSelection();
    if (sel.isCollapsed || !sel.containsNode(target, true)) {
      const caret = this.doc.caretRangeFromPoint(e.clientX, e.clientY);
      if (caret) { sel.removeAllRanges(); sel.addRange(caret); }
    }
    this.hooks.on_context_menu(target, rect.left + e.clientX, rect.top + e.clientY);
  }

  // --- element records for the element properties ----------------------------------------

  // Returns {tag, attributes, style, html} of an element: its attributes without STYLE,
  // VXDYNELT and our own, its STYLE text and its inner HTML as it will be saved.
  element_record(element) {
    const attributes = {};
    for (const a of element.attributes) {
      const name = a.name.toUpperCase();
      if (name === 'STYLE' || name === 'VXDYNELT' || name.startsWith('DATA-QUILLET')) continue;
      attributes[name] = a.value;
    }
    const copy = element.ownerDocument.implementation.createHTMLDocument('').importNode(element, true);
    for (const name of ['data-quillet-res', 'data-quillet-src']) {
      for (const img of copy.querySelectorAll(`img[${name}]`)) {
        img.setAttribute('src', img.getAttribute(name));
        img.removeAttribute(name);
      }
    }
    return { tag: element.tagName, attributes, style: element.getAttribute('style') || '', html: copy.innerHTML };
  }

  // Writes a record back: attributes, STYLE and, when it changed, the inner HTML.
  apply_element_record(element, record) {
    for (const a of Array.from(element.attributes)) {
      const name = a.name.toUpperCase();
      if (name === 'VXDYNELT' || name.startsWith('DATA-QUILLET')) continue;
      if (name === 'STYLE' ? !record.style : !(name in record.attributes)) element.removeAttribute(a.name);
    }
    for (const [name, value] of Object.entries(record.attributes)) element.setAttribute(name.toLowerCase(), value);
    if (record.style) element.setAttribute('style', record.style);
    if (record.html !== this.element_record(element).html) {
      element.innerHTML = record.html;
      this.map_glyphs(element);
    }
  }

  is_anchor(element) { return element.tagName === 'A' && element.hasAttribute('name') && !element.hasAttribute('href'); }
  closest(element, selector) { return element?.closest ? element.closest(selector) : null; }
  attribute(element, name) { return element.getAttribute(name) || ''; }
  set_attribute(element, name, value) {
    if (value === '' || value === null) element.removeAttribute(name);
    else element.setAttribute(name, value);
    this.changed(null);
  }
  is_trend(element) {
    return element.tagName === 'OBJECT' && /12175724-4241-11D2-9C51-0000E8DBF60C/i.test(element.getAttribute('classid') || '');
  }

  // Selects `element` (the problems list and Generalize use it).
  select_element(element) {
    const r = this.doc.createRange();
    r.selectNode(element);
    const sel = this.doc.getSelection();
    sel.removeAllRanges();
    sel.addRange(r);
    element.scrollIntoView?.({ block: 'nearest' });
    this.focus();
  }

  // Extends the selection to the smallest element that encloses it, or to that element's
  // parent when it already covers one element exactly.
  generalize() {
    const r = this.range();
    let node = this.element_of(r.commonAncestorContainer);
    const whole = this.doc.createRange();
    if (node !== this.doc.body) whole.selectNode(node);
    if (node !== this.doc.body && r.compareBoundaryPoints(Range.START_TO_START, whole) === 0
      && r.compareBoundaryPoints(Range.END_TO_END, whole) === 0) node = node.parentElement;
    if (!node || node === this.doc.body || node === this.doc.documentElement) {
      this.exec('selectAll');
      return;
    }
    this.select_element(node);
  }

  // --- dynamic elements ----------------------------------------------------------------

  dynelt_number(element) {
    const v = element?.getAttribute?.('vxdynelt');
    return v && /^\d/.test(v) ? parseInt(v, 10) : 0;
  }

  set_dynelt(element, n) { element.setAttribute('vxdynelt', String(n)); }

  find_dynelt(n) { return this.doc.querySelector(`[vxdynelt="${n}"]`); }

  // Returns the element that carries the n-th definition when the template is read back:
  // the n-th element in document order whose definition is not empty (an empty one writes
  // no directive). Report problems name elements this way.
  nth_defined(n, definitions) {
    const defined = Array.from(this.doc.body.querySelectorAll('[vxdynelt]'))
      .filter(e => definitions[this.dynelt_number(e) - 1]?.length);
    return defined[n - 1] || null;
  }

  // Re-reads the dynamic elements after undo, redo, paste and typing: the first element with
  // a number keeps it, a copy of an element gets a new number with a copy of the definition,
  // a number that names no definition is removed. `definitions` is changed in place.
  // Elements that were just pasted give way to the ones that were there before.
  renumber(definitions) {
    const seen = new Set();
    const fresh = this.fresh || new Set();
    this.fresh = null;
    const all = Array.from(this.doc.body.querySelectorAll('[vxdynelt]'));
    const ordered = [...all.filter(e => !fresh.has(e)), ...all.filter(e => fresh.has(e))];
    for (const element of ordered) {
      const n = this.dynelt_number(element);
      if (n < 1 || n > definitions.length) { element.removeAttribute('vxdynelt'); continue; }
      if (!seen.has(n)) { seen.add(n); continue; }
      definitions.push(definitions[n - 1].map(p => ({ ...p })));
      this.set_dynelt(element, definitions.length);
      seen.add(definitions.length);
    }
  }

  // Inserts an element from an insertion record {tag, attributes, content, prefix, suffix}
  // at the selection, wrapping the selection when the record has no content. Returns it.
  insert_record(record) {
    this.focus();
    const doc = this.doc;
    let id;
    do {
      id = `TMPID_${Math.floor(Math.random() * 0x100000000).toString(16).toUpperCase().padStart(8, '0')}`;
    } while (doc.getElementById(id));
    const r = this.range();
    let content = record.content || '';
    if (!content) {
      const holder = doc.createElement('div');
      holder.append(r.cloneContents());
      content = holder.innerHTML;
    }
    const empty = ['HR', 'IMG', 'BR', 'INPUT'].includes(record.tag);
    const markup = `${record.prefix || ''}<${record.tag} ID="${id}"${record.attributes ? ` ${record.attributes}` : ''}>` +
      `${empty ? '' : `${content}</${record.tag}>`}${record.suffix || ''}`;
    this.paste_range(r, markup);
    const element = doc.getElementById(id);
    if (element) element.removeAttribute('id');
    return element;
  }

  // Replaces the range with `markup` and puts the caret after it.
  paste_range(r, markup) {
    const fragment = r.createContextualFragment(markup);
    const nodes = Array.from(fragment.childNodes);
    const last = fragment.lastChild;
    r.deleteContents();
    r.insertNode(fragment);
    if (last) {
      r.setStartAfter(last);
      r.collapse(true);
    }
    const sel = this.doc.getSelection();
    sel.removeAllRanges();
    sel.addRange(r);
    return nodes;
  }

  // Pastes markup at the selection and collapses the selection after it.
  insert_markup(markup) {
    this.focus();
    for (const node of this.paste_range(this.range(), markup)) {
      if (node.nodeType === 1 && node.parentNode) this.map_glyphs(node.parentNode);
    }
  }

  // Puts a glyph image of bitmap `n` as the first content of `element`; returns the image.
  insert_glyph(element, n) {
    element.insertAdjacentHTML('afterbegin', `<IMG src="${glyph_source(n)}">`);
    const img = element.firstElementChild;
    this.map_glyphs(element);
    return img;
  }

  caret_after(element) {
    const r = this.doc.createRange();
    r.setStartAfter(element.nextSibling || element);
    r.collapse(true);
    const sel = this.doc.getSelection();
    sel.removeAllRanges();
    sel.addRange(r);
    this.focus();
  }

  // --- tables --------------------------------------------------------------------------

  current_cell() { return this.closest(this.caret_element(), 'td, th'); }
  current_table() { return this.closest(this.caret_element(), 'table'); }

  // Returns the cells at both ends of the selection, when both are in the current table.
  selected_cells() {
    const cell = this.current_cell();
    if (!cell) return [];
    const r = this.range();
    const end = this.closest(this.element_of(r.endContainer), 'td, th');
    const table = cell.closest('table');
    return end && end !== cell && end.closest('table') === table ? [cell, end] : [cell];
  }

  // Returns the grid rows and columns the selected cells cover.
  selected_span() {
    const cells = this.selected_cells();
    const g = grid.build_grid(this.current_table());
    const places = cells.map(c => g.places.get(c));
    return {
      top: Math.min(...places.map(p => p.row)),
      bottom: Math.max(...places.map(p => p.row + p.rowSpan - 1)),
      left: Math.min(...places.map(p => p.col)),
      right: Math.max(...places.map(p => p.col + p.colSpan - 1)),
    };
  }

  fill_like(reference) {
    return cell => {
      cell.innerHTML = '&nbsp;';
      const style = reference?.getAttribute('style');
      if (style) cell.setAttribute('style', style);
    };
  }

  // Runs one table operation by name on the current table; returns false when not in one.
  table_operation(name) {
    const cell = this.current_cell();
    const table = this.current_table();
    if (!cell || !table) return false;
    this.focus();
    const fill = this.fill_like(cell);
    const span = this.selected_span();
    const remove_table = () => table.remove();
    switch (name) {
      case 'insert-row': grid.insert_row(table, cell, fill); break;
      case 'insert-column': grid.insert_column(table, cell, fill); break;
      case 'insert-cell': grid.insert_cell(table, cell, fill); break;
      case 'delete-rows':
        if (table.rows.length === 1 || !grid.delete_rows(table, span.top, span.bottom)) remove_table();
        break;
      case 'delete-columns':
        if (!grid.delete_columns(table, span.left, span.right)) remove_table();
        break;
      case 'delete-cells': {
        const row = cell.parentElement;
        if (row.cells.length === 1 || this.selected_cells().length >= row.cells.length) remove_table();
        else grid.delete_cells(table, this.selected_cells());
        break;
      }
      case 'merge': grid.merge_cells(table, this.selected_cells(), (target, other) => {
        if (other.textContent.trim() === '' && !other.querySelector('img, table, object')) return;
        if (target.textContent.trim() === '' && !target.querySelector('img, table, object')) target.innerHTML = '';
        target.append(' ', ...other.childNodes);
      }); break;
      case 'split': grid.split_cell(table, cell, fill); break;
      default: return false;
    }
    const keep = cell.isConnected ? cell : table.isConnected ? table.rows[0]?.cells[0] : null;
    if (keep) {
      const r = this.doc.createRange();
      r.selectNodeContents(keep);
      r.collapse(true);
      this.doc.getSelection().removeAllRanges();
      this.doc.getSelection().addRange(r);
    }
    this.changed(null);
    return true;
  }

  can_merge() {
    const cells = this.selected_cells();
    return cells.length > 1 && grid.merge_area(this.current_table(), cells) !== null;
  }
}
