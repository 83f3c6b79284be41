// The channel and object browsers over the project's channel map: a filtered list of the
// project's channels (or objects), found by name, code or comment as the user types. They
// resolve with the text of a channel reference (or an object), or null.
import { el, labelled_input, uid } from '../dom.js';
import * as api from '../api.js';
import { t } from '../strings.js';
import { message_box } from '../message_box.js';
import { run_dialog, row } from './dialog.js';
import { select_box } from './builder_frame.js';

// What the browsers need of the page: the project selection of the document.
let context = { choose_project: async () => {} };
export function set_browser_context(parts) { context = { ...context, ...parts }; }

// The last channel chosen while the editor runs: names of node, object and channel.
let last = null;

// The channel map, after the warning and the project selection when no project is loaded;
// null when there is still none.
async function channel_map() {
  let tree = await api.channels();
  if (tree.loaded) return tree;
  await message_box(tree.message, { caption: t('caption.warning'), icon: 'warning' });
  await context.choose_project();
  tree = await api.channels();
  return tree.loaded ? tree : null;
}

// The rows of the browser: one per channel of each node (object 0) and of each object.
function channel_rows(tree) {
  const rows = [];
  for (const node of tree.nodes) {
    const names = new Map(node.channels.map(c => [c.index, c]));
    const add = (object, channel) => rows.push({ node, object, channel,
      text: [node.name, object?.name, channel.name].filter(Boolean).join(' / ') +
        (channel.code ? ` [${channel.code}]` : '') + (channel.comment ? ` \u2014 ${channel.comment}` : '') });
    for (const c of node.channels) add(null, c);
    for (const o of node.objects) for (const i of o.channels) if (names.has(i)) add(o, names.get(i));
  }
  return rows;
}

// A filter box over a list box of rows {text}; returns {elements, chosen()}.
function filtered_list(rows, label, preselect) {
  const [filter_label, filter] = labelled_input(t('browser.filter'));
  const id = uid('lb');
  const list = el('select', { id, size: '14', class: 'browser-list' });
  const show = () => {
    const needle = filter.value.trim().toLowerCase();
    list.replaceChildren(...rows.map((r, i) => [r, i]).filter(([r]) => !needle || r.text.toLowerCase().includes(needle))
      .map(([r, i]) => el('option', { value: String(i), text: r.text })));
    if (list.options.length && list.selectedIndex < 0) list.selectedIndex = 0;
  };
  filter.addEventListener('input', show);
  show();
  const at = rows.findIndex(preselect);
  if (at >= 0) list.value = String(at);
  return {
    elements: [row(filter_label, filter), el('label', { for: id, text: label }), list],
    chosen: () => (list.value === '' ? null : rows[Number(list.value)]),
  };
}

// The channel browser on `text`: preset to the channel the text names, else to the last one
// chosen. `name` wraps the reference in NAME.
export async function channel(text, { name = false } = {}) {
  const tree = await channel_map();
  if (!tree) return null;
  const { fields } = await api.builder_recognize('channel', text || '');
  const want = fields.channel ? fields : last;
  const list = filtered_list(channel_rows(tree), t('browser.channels'),
    r => !!want && r.node.name === want.node && (r.object?.name || '') === (want.object || '') && r.channel.name === want.channel);
  const [attr_row, attribute] = select_box(t('browser.attribute'),
    [{ value: '', label: t('browser.noattribute') }, ...tree.attributes.map(a => ({ value: a.name, label: a.name }))],
    typeof fields.attribute === 'string' ? fields.attribute : '');
  return run_dialog(t('browser.channel'), [...list.elements, attr_row], async () => {
    const r = list.chosen();
    if (!r) return undefined;
    last = { node: r.node.name, object: r.object?.name || '', channel: r.channel.name };
    const emitted = await api.builder_emit('channel', { ...last, attribute: attribute.value || 0, name: name || fields.name });
    return emitted.ok ? emitted.text : undefined;
  }, { cls: 'browser' });
}

// The object browser: OBJECT( node, object ) of a node's object.
export async function object(text) {
  const tree = await channel_map();
  if (!tree) return null;
  const { fields } = await api.builder_recognize('object', text || '');
  const rows = tree.nodes.flatMap(node => node.objects.map(o => ({ node, object: o, text: `${node.name} / ${o.name}` })));
  const list = filtered_list(rows, t('browser.objects'), r => r.node.name === fields.node && r.object.name === fields.object);
  return run_dialog(t('browser.object'), list.elements, async () => {
    const r = list.chosen();
    if (!r) return undefined;
    const emitted = await api.builder_emit('object', { node: r.node.name, object: r.object.name });
    return emitted.ok ? emitted.text : undefined;
  }, { cls: 'browser' });
}
