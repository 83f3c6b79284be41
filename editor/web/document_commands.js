// The commands on the document as a whole and on fragments: document properties, fragment
// insertion through the wizard, and the replication of a table cell.
import { t, file_filters } from './strings.js';
import * as api from './api.js';
import { error_box, message_box } from './message_box.js';
import * as file_dialog from './dialogs/file_dialog.js';
import * as properties_dialog from './dialogs/document_properties_dialog.js';
import * as cell_series_dialog from './dialogs/cell_series_dialog.js';
import { wizard } from './dialogs/fragment_dialogs.js';
import { read_series, write_series } from './cell_series.js';

// The url() of a background image without its wrapping, or ''.
function image_of(style) {
  const m = /^url\((['"]?)(.*)\1\)$/.exec(style.backgroundImage || '');
  return m ? m[2] : '';
}

// Document properties: the document's title, refresh and fragment header, and the background
// of the body's style. Marking a fragment makes Save propose ".htt".
export async function document_properties(ctx, dialog) {
  const { doc, surface } = ctx;
  const style = surface.doc.body.style;
  const background = style.backgroundColor, image = image_of(style);
  const r = await dialog(() => properties_dialog.open({
    title: doc.state.title, refresh: doc.state.refresh, background,
    image, fragment: doc.state.fragment?.clsid ? doc.state.fragment : null,
    base_dir: doc.path ? doc.path.replace(/\/[^/]*$/, '') : '',
  }));
  if (!r) return;
  Object.assign(doc.state, { title: r.title, refresh: r.refresh, fragment: r.fragment });
  doc.fragment = !!r.fragment;
  // Only what was changed is written back, so the body's style keeps its own notation.
  if (r.background !== background) style.backgroundColor = r.background;
  if (r.image !== image) style.backgroundImage = r.image ? `url("${r.image.replace(/["\\]/g, '\\$&')}")` : '';
  if (!surface.doc.body.getAttribute('style')) surface.doc.body.removeAttribute('style');
  doc.modified = true;
  ctx.changed();
}

// Insert > Fragment: the open dialog over the fragments folder of the user's language (else
// the English one, else the folder itself), the wizard over the fragment's parameters, then
// the fragment's body with the values substituted and its variables and definitions merged.
export async function insert_fragment(ctx, dialog) {
  const folder = await api.fragments().catch(() => ({}));
  const path = await dialog(() => file_dialog.open({ mode: 'open', title: t('dlg.open'),
    filters: file_filters('44343'), dir: folder.dir || '' }));
  if (!path) return;
  const { doc, surface } = ctx;
  try {
    const header = (await api.fragment(path, 0)).fragment;
    const params = header ? await dialog(() => wizard(header)) : [];
    if (!params) return;
    const piece = await api.fragment_with(path, doc.state.definitions.length, params, doc.state.variables);
    doc.state.definitions.push(...piece.definitions);
    doc.state.variables.push(...piece.variables);
    surface.insert_markup(piece.html);
    surface.changed(null);
    if (piece.conflicts.length) {
      await message_box(t('wizard.conflicts', piece.conflicts.join(', ')), { caption: t('caption.warning'), icon: 'warning' });
    }
  } catch (e) {
    await error_box(t('44344'), '', e.message);
  }
}

// Sets a property of a cell's definition; the empty text removes it.
function set_property(doc, cell, name, text) {
  const def = doc.definition_of(cell);
  const at = def ? def.findIndex(p => p.name === name) : -1;
  if (text === '') { if (at >= 0) def.splice(at, 1); return; }
  if (at >= 0) { def[at].expr = text; return; }
  if (def) { def.push({ name, expr: text }); return; }
  doc.add_definition(cell, [{ name, expr: text }]);
}

// Cell series: reads the replication of `cell` from its column and row, and writes what the
// dialog chose as one step of undo.
export async function cell_series(ctx, dialog, cell) {
  const { doc, surface } = ctx;
  const table = cell?.closest('table');
  if (!table) return;
  doc.flush();
  const get = (c, name) => doc.definition_of(c)?.find(p => p.name === name)?.expr;
  const r = await dialog(() => cell_series_dialog.open(read_series(table, cell, get)));
  if (!r) return;
  write_series(table, cell, r, (c, name, text) => set_property(doc, c, name, text));
  surface.changed(null);
}
