// Every command of the editor as one table row {id, label, state(), run()}; menus, toolbars
// and the context menu are built from it, and window.quillet.command runs it by id.
import { menu_text, t, list, current_language } from './strings.js';
import * as api from './api.js';
import * as expression_dialog from './dialogs/expression_dialog.js';
import * as builders from './dialogs/builders.js';
import * as browsers from './dialogs/channel_browser.js';
import * as dialogs from './dialogs/simple_dialogs.js';
import * as element_properties from './dialogs/element_properties.js';
import * as cell_format from './dialogs/cell_format.js';
import * as trend_properties from './dialogs/trend_properties.js';
import * as document_commands from './document_commands.js';
import { paste_from_clipboard } from './clipboard_paste.js';

export const COLOR_VALUES = ['#000000', '#800000', '#008000', '#808000', '#000080', '#800080',
  '#008080', '#808080', '#C0C0C0', '#FF0000', '#00FF00', '#FFFF00', '#0000FF', '#FF00FF',
  '#00FFFF', '#FFFFFF'];
export const BLOCK_TAGS = ['p', 'pre', 'address', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6', 'p', 'dt', 'dd'];
export const FONT_SIZES = ['1', '2', '3', '4', '5', '6', '7'];
const TREND_MARKUP = '<OBJECT DECLARE CLASSID="CLSID:12175724-4241-11D2-9C51-0000E8DBF60C" WIDTH=400 HEIGHT=150></OBJECT>';
const TABLE_RECORD = {
  tag: 'TABLE', attributes: 'CELLSPACING=0',
  content: '<TR><TD STYLE="height:1cm; width:1cm;">&nbsp;</TD><TD STYLE="height:1cm; width:1cm;">&nbsp;</TD></TR>' +
    '<TR><TD STYLE="height:1cm; width:1cm;">&nbsp;</TD><TD STYLE="height:1cm; width:1cm;">&nbsp;</TD></TR>',
};

// Builds the table over the page's parts: surface, doc (DocumentController), preview,
// target() (the element the context menu or double click was on), version.
export function make_commands(ctx) {
  const { surface, doc } = ctx;
  const commands = new Map();
  const add = (id, run, state = () => ({})) => commands.set(String(id), { id: String(id), label: () => menu_text(id), state, run });
  const loaded = () => !!surface.doc?.body;

  // Runs a dialog with the editing selection kept aside, and puts it back afterwards.
  const dialog = async open => {
    surface.save_selection();
    const result = await open();
    surface.restore_selection();
    return result;
  };
  const exec = (name, value) => () => { surface.exec(name, value); };
  const exec_state = name => () => ({ enabled: loaded(), checked: loaded() && surface.state(name) });

  // File
  add(57600, () => doc.new_document());
  add(57601, () => doc.open());
  add(57603, () => doc.save());
  add('save-as', () => doc.save_as());
  [57616, 57617, 57618, 57619].forEach((id, i) => commands.set(String(id), {
    id: String(id), label: () => `${i + 1} ${doc.settings.recent?.[i] || ''}`,
    state: () => ({ enabled: !!doc.settings.recent?.[i] }), run: () => doc.open_recent(i),
  }));
  add('exit', () => doc.exit());
  add('document-properties', () => document_commands.document_properties(ctx, dialog));

  // Edit
  add(40010, () => doc.undo(), () => ({ enabled: doc.undo_manager.can_undo() }));
  add(40011, () => doc.redo(), () => ({ enabled: doc.undo_manager.can_redo() }));
  add(40004, exec('cut'), () => ({ enabled: loaded() && !surface.range().collapsed }));
  add(40003, exec('copy'), () => ({ enabled: loaded() && !surface.range().collapsed }));
  add(40006, () => paste_from_clipboard(surface), () => ({ enabled: loaded() }));
  add(40012, exec('delete'), () => ({ enabled: loaded() }));
  add(40009, exec('selectAll'), () => ({ enabled: loaded() }));
  add(43003, () => surface.generalize(), () => ({ enabled: loaded() }));

  // Format
  add(40013, exec('bold'), exec_state('bold'));
  add(40014, exec('italic'), exec_state('italic'));
  add(40015, exec('underline'), exec_state('underline'));
  add(40016, exec('insertOrderedList'), exec_state('insertOrderedList'));
  add(40017, exec('insertUnorderedList'), exec_state('insertUnorderedList'));
  add(40018, exec('indent'), () => ({ enabled: loaded() }));
  add(40019, exec('outdent'), () => ({ enabled: loaded() }));
  add(40020, exec('justifyLeft'), exec_state('justifyLeft'));
  add(40021, exec('justifyRight'), exec_state('justifyRight'));
  add(40022, exec('justifyCenter'), exec_state('justifyCenter'));
  add(41003, value => value && surface.exec('fontName', value), () => ({ enabled: loaded() }));
  add(41004, value => value && surface.exec('fontSize', value), () => ({ enabled: loaded() }));
  add(41001, () => ctx.open_submenu('41001'), () => ({ enabled: loaded() }));
  add(41002, () => ctx.open_submenu('41002'), () => ({ enabled: loaded() }));
  list('blockformats').forEach((_, i) => commands.set(String(42000 + i), {
    id: String(42000 + i), label: () => list('blockformats')[i], run: exec('formatBlock', BLOCK_TAGS[i]),
    state: () => ({ enabled: loaded(), checked: loaded() && surface.value('formatBlock') === BLOCK_TAGS[i] && i !== 9 }),
  }));
  list('colors').forEach((_, i) => commands.set(String(41100 + i), {
    id: String(41100 + i), label: () => list('colors')[i], state: () => ({ enabled: loaded() }),
    run: i < 16 ? exec('foreColor', COLOR_VALUES[i]) : () => ctx.pick_color(),
  }));

  // Table
  const cell_state = () => ({ enabled: loaded() && !!surface.current_cell() });
  const table_op = name => () => surface.table_operation(name);
  const table_rows = [[40023, 43015, 'insert-row'], [40024, 43016, 'insert-column'], [40025, 43017, 'insert-cell'],
    [40026, 43018, 'delete-rows'], [40027, 43019, 'delete-columns'], [40028, 43020, 'delete-cells'],
    [40029, 43021, 'merge'], [40030, 43022, 'split']];
  for (const [id, context_id, name] of table_rows) {
    const state = name === 'merge' ? () => ({ enabled: loaded() && !!surface.current_cell() && surface.can_merge() }) : cell_state;
    add(id, table_op(name), state);
    add(context_id, table_op(name), state);
  }

  // Insert
  // Dynamic values: the plain expression, or the builder of the value's kind.
  const value_builders = {
    32827: () => expression_dialog.open(''), 32810: () => browsers.channel('', { name: true }),
    32828: () => builders.channel_value(''), 32814: () => builders.time('', { formatted: true }),
    32815: () => builders.statistics(''),
  };
  for (const [id, open] of Object.entries(value_builders)) add(id, () => insert_value(ctx, dialog, open), () => ({ enabled: loaded() }));
  add(32829, () => { surface.insert_markup(TREND_MARKUP); surface.changed(null); }, () => ({ enabled: loaded() }));
  add(41011, () => { surface.insert_markup('<HR>'); surface.changed(null); }, () => ({ enabled: loaded() }));
  add(41005, () => { surface.insert_record(TABLE_RECORD); surface.changed(null); }, () => ({ enabled: loaded() }));
  add(41008, () => insert_image(ctx, dialog), () => ({ enabled: loaded() }));
  add(32832, () => insert_anchor(ctx, dialog), () => ({ enabled: loaded() }));
  add(41009, () => edit_hyperlink(ctx, dialog, null), () => ({ enabled: loaded() }));
  add(32850, () => document_commands.insert_fragment(ctx, dialog), () => ({ enabled: loaded() }));
  add(43000, () => group(surface, 'SPAN'), () => ({ enabled: loaded() }));
  add(43001, () => group(surface, 'DIV'), () => ({ enabled: loaded() }));

  // Elements under the context menu or the caret
  const target = () => ctx.target() || surface.caret_element();
  const properties = () => dialog(() => element_properties.open(ctx, target()));
  add(43002, properties, () => ({ enabled: loaded() }));
  add(43014, properties);
  add(43010, () => edit_expression(ctx, dialog, target()));
  add(43009, () => edit_trend(ctx, dialog, surface.closest(target(), 'object')));
  add(43011, () => edit_anchor(ctx, dialog, target()));
  add(43023, () => edit_hyperlink(ctx, dialog, surface.closest(target(), 'a[href]')));
  add(43013, () => format_cell(ctx, dialog, surface.closest(target(), 'td, th')));
  add(43012, () => document_commands.cell_series(ctx, dialog, surface.closest(target(), 'td, th')),
    () => ({ enabled: loaded() && !!surface.closest(target(), 'td, th') }));

  // View, tools, preview, help
  add(41010, () => surface.set_aids({ glyphs: !surface.show_glyphs }), () => ({ enabled: loaded(), checked: surface.show_glyphs }));
  add(41012, () => surface.set_aids({ borders: !surface.show_borders }), () => ({ enabled: loaded(), checked: surface.show_borders }));
  add(32819, () => ctx.preview.show(), () => ({ enabled: loaded() }));
  add(32825, () => ctx.preview.run(), () => ({ enabled: loaded() }));
  add(41006, () => ctx.preview.print(), () => ({ enabled: ctx.preview.has_report() }));
  add('preview-time', () => ctx.preview.focus_time());
  add(32820, () => doc.choose_project('', false));
  add('language', async () => {
    const code = await dialog(() => dialogs.language(current_language()));
    if (!code || code === current_language()) return;
    doc.settings = await api.save_settings({ language: code }).catch(() => doc.settings);
    await ctx.set_language?.(code);
  });
  add('help', () => ctx.open_help());
  add(57664, () => dialogs.about(ctx.version()));
  return commands;
}

// A dynamic value: SPAN between two no-break spaces, the expression as its VALUE, and the
// glyph image with REPEAT 0 as its first content; the caret ends after it.
async function insert_value(ctx, dialog, open) {
  const expr = await dialog(open);
  if (expr === null) return;
  const { surface, doc } = ctx;
  const span = surface.insert_record({ tag: 'SPAN', prefix: '&nbsp;', suffix: '&nbsp;' });
  if (!span) return;
  doc.add_definition(span, [{ name: 'VALUE', expr }]);
  doc.add_definition(surface.insert_glyph(span, 207), [{ name: 'REPEAT', expr: '0' }]);
  surface.caret_after(span);
  surface.changed(null);
}

async function edit_expression(ctx, dialog, element) {
  const span = element?.closest?.('[vxdynelt]');
  const def = ctx.doc.definition_of(span);
  const value = def?.find(p => p.name === 'VALUE');
  if (!value) return;
  const expr = await dialog(() => expression_dialog.open(value.expr));
  if (expr === null) return;
  value.expr = expr;
  ctx.surface.changed(null);
}

async function insert_image(ctx, dialog) {
  const base_dir = ctx.doc.path ? ctx.doc.path.replace(/\/[^/]*$/, '') : '';
  const r = await dialog(() => dialogs.image({ base_dir }));
  if (!r) return;
  const attrs = [`SRC="${escape_attr(r.src)}"`];
  if (r.alt) attrs.push(`ALT="${escape_attr(r.alt)}"`);
  if (r.width) attrs.push(`WIDTH="${escape_attr(r.width)}"`);
  if (r.height) attrs.push(`HEIGHT="${escape_attr(r.height)}"`);
  ctx.surface.insert_markup(`<IMG ${attrs.join(' ')}>`);
  ctx.surface.changed(null);
}

async function insert_anchor(ctx, dialog) {
  const name = await dialog(() => dialogs.anchor(''));
  if (!name) return;
  const { surface } = ctx;
  const a = surface.insert_record({ tag: 'A', attributes: `NAME="${escape_attr(name)}"` });
  if (!a) return;
  surface.insert_glyph(a, 206);
  surface.caret_after(a);
  surface.changed(null);
}

async function edit_trend(ctx, dialog, object) {
  const { surface, doc } = ctx;
  if (!object || !surface.is_trend(object)) return;
  const definition = await dialog(() => trend_properties.open(doc.definition_of(object) || []));
  if (!definition) return;
  const n = surface.dynelt_number(object);
  if (n > 0) doc.state.definitions[n - 1] = definition;
  else if (definition.length) doc.add_definition(object, definition);
  surface.changed(null);
}

async function format_cell(ctx, dialog, cell) {
  if (!cell) return;
  const format = await dialog(() => cell_format.open(cell_format.read(cell)));
  if (!format) return;
  cell_format.write(cell, format);
  ctx.surface.changed(null);
}

async function edit_anchor(ctx, dialog, element) {
  const a = ctx.surface.closest(element, 'a[name]');
  if (!a) return;
  const name = await dialog(() => dialogs.anchor(ctx.surface.attribute(a, 'name')));
  if (name) ctx.surface.set_attribute(a, 'name', name);
}

// Hyperlink properties: the address, target and title as attributes, a dynamic address as
// the link's ATTR.HREF; one undoable step.
async function edit_hyperlink(ctx, dialog, a) {
  const { surface, doc } = ctx;
  const definition = a ? doc.definition_of(a) || [] : [];
  const current = a ? { href: surface.attribute(a, 'href'), target: surface.attribute(a, 'target'),
    title: surface.attribute(a, 'title'), expression: definition.find(p => p.name === 'ATTR.HREF')?.expr || '' } : {};
  const r = await dialog(() => dialogs.hyperlink(current));
  if (!r) return;
  const href = r.href || (r.expression ? current.href || '#' : '');
  if (!a) {
    const empty = surface.range().collapsed;
    a = surface.insert_record({ tag: 'A', attributes: `HREF="${escape_attr(href)}"`, content: empty ? escape_text(r.href || r.expression) : '' });
    if (!a) return;
    surface.caret_after(a);
  }
  const record = surface.element_record(a);
  Object.assign(record.attributes, { HREF: href, TARGET: r.target, TITLE: r.title });
  for (const name of ['TARGET', 'TITLE']) if (!record.attributes[name]) delete record.attributes[name];
  surface.apply_element_record(a, record);
  set_dynamic_href(ctx, a, r.expression);
  surface.changed(null);
}

// Writes or removes the ATTR.HREF property of the link's definition.
function set_dynamic_href(ctx, a, expression) {
  const { surface, doc } = ctx;
  const others = (doc.definition_of(a) || []).filter(p => p.name !== 'ATTR.HREF');
  const properties = expression ? [...others, { name: 'ATTR.HREF', expr: expression }] : others;
  const n = surface.dynelt_number(a);
  if (n > 0) doc.state.definitions[n - 1] = properties;
  else if (properties.length) doc.add_definition(a, properties);
}

function group(surface, tag) {
  const element = surface.insert_record({ tag });
  if (element) surface.select_element(element);
  surface.changed(null);
}

function escape_attr(text) {
  return String(text).replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/</g, '&lt;');
}

function escape_text(text) {
  return String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
}
