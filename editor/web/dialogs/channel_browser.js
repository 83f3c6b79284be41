// The channel and object browsers over the project's channel map: a tree of nodes, objects,
// channels and attributes, narrowed by a filter box that finds channels by name, code or
// comment as the user types. A choice is four indexes (node, object, channel, attribute;
// negative when none) that the builders turn into the text of a reference by name.
import { el, labelled_input } from '../dom.js';
import * as api from '../api.js';
import { t } from '../strings.js';
import { message_box } from '../message_box.js';
import { run_dialog, row } from './dialog.js';
import { tree_view } from './tree_view.js';

// What the browsers need of the page: the project selection of the document.
let context = { choose_project: async () => {} };
export function set_browser_context(parts) { context = { ...context, ...parts }; }

// The last channel chosen while the editor runs: {node, object, channel} indexes.
let last = null;

// The channel map, after the warning and the project selection when no project is loaded;
// null when there is still none.
async function channel_map() {
  let map = await api.channels();
  if (map.loaded) return map;
  await message_box(map.message, { caption: t('caption.warning'), icon: 'warning' });
  await context.choose_project();
  map = await api.channels();
  return map.loaded ? map : null;
}

// Has the server read the project's channel map ahead of the first browser opening.
export function warm_channel_map() { api.channels().catch(() => {}); }

const channel_text = c => c.name + (c.code ? ` [${c.code}]` : '') + (c.comment ? ` \u2014 ${c.comment}` : '');

// Each channel with the lower-case text the filter searches: name, code and comment.
function searchable(map) {
  for (const node of map.nodes) {
    node.by_index = new Map(node.channels.map(c => [c.index, c]));
    for (const c of node.channels) c.haystack = `${c.name}\n${c.code}\n${c.comment}`.toLowerCase();
  }
  return map;
}

// The rows of one channel: a parent of the attribute rows when the project names attributes.
function channel_row(map, node, object, c) {
  const choice = { node: node.index, object: object?.index ?? 0, channel: c.index, attribute: 0 };
  const r = { text: channel_text(c), choice, pick: true };
  if (map.attributes.length)
    r.kids = () => map.attributes.map(a => ({ text: a.name, choice: { ...choice, attribute: a.code } }));
  return r;
}

// The tree of the map: per node its objects (each with its channels), then all its channels.
// With a `needle` only matching channels stay, and every parent that holds one is opened.
// Returns {roots, open, find(choice)} where find gives the path of rows to a choice.
function channel_tree(map, needle) {
  const open = [];
  const keep = c => !needle || c.haystack.includes(needle);
  const roots = [];
  for (const node of map.nodes) {
    const objects = node.objects.map(o => {
      const channels = o.channels.map(i => node.by_index.get(i)).filter(c => c && keep(c));
      const rows = channels.map(c => channel_row(map, node, o, c));
      return { text: o.name, object: o, rows, kids: () => rows };
    }).filter(o => !needle || o.rows.length);
    const channels = node.channels.filter(keep).map(c => channel_row(map, node, null, c));
    if (needle && !channels.length) continue;
    const kids = [...objects, ...channels];
    const r = { text: node.name, node, objects, channels, kids: () => kids };
    roots.push(r);
    if (needle) open.push(r, ...objects);
  }
  return { roots, open, find: choice => find_channel(roots, choice) };
}

// The rows from a node down to the channel (and attribute) of `choice`, or null.
function find_channel(roots, choice) {
  const node = roots.find(r => r.node.index === choice.node);
  if (!node) return null;
  const object = choice.object ? node.objects.find(o => o.object.index === choice.object) : null;
  const channel = (object ? object.rows : node.channels).find(r => r.choice.channel === choice.channel);
  if (!channel) return null;
  const path = [node, object, channel].filter(Boolean);
  if (!choice.attribute || !channel.kids) return path;
  const attribute = channel.kids().find(r => r.choice.attribute === choice.attribute);
  return attribute ? [...path, attribute] : path;
}

// The indexes of the channel a text names (fields read by the server), or null.
function choice_of_fields(map, f) {
  const node = map.nodes.find(n => n.name === f.node);
  if (!node || !f.channel) return null;
  const object = f.object ? node.objects.find(o => o.name === f.object) : null;
  const channel = node.channels.find(c => c.name === f.channel);
  if (!channel || (f.object && !object)) return null;
  const attribute = map.attributes.find(a => a.name === f.attribute);
  return { node: node.index, object: object?.index ?? 0, channel: channel.index, attribute: attribute?.code ?? 0 };
}

// A filter box over a tree; `build(needle)` makes the tree's {roots, open}. Returns the
// dialog's elements and the tree.
function filtered_tree(label, build, on_accept) {
  const [filter_label, filter] = labelled_input(t('browser.filter'));
  const tree = tree_view(label, { on_accept });
  const empty = el('div', { class: 'tree-empty', text: t('browser.nomatch'), hidden: true });
  let shown = null;
  const show = () => {
    shown = build(filter.value.trim().toLowerCase());
    tree.set_roots(shown.roots, shown.open);
    empty.hidden = shown.roots.length > 0;
  };
  filter.addEventListener('input', show);
  // Down from the filter goes on into the tree, at its first row when none is chosen.
  filter.addEventListener('keydown', e => {
    if (e.key !== 'ArrowDown') return;
    e.preventDefault();
    tree.element.focus();
    if (!tree.selected()) tree.element.dispatchEvent(new KeyboardEvent('keydown', { key: 'ArrowDown' }));
  });
  show();
  const body = [row(filter_label, filter), el('label', { for: tree.element.id, text: label }), tree.element, empty];
  return { body, tree, shown: () => shown };
}

// Shows the channel browser on `map` preset to `preset` (indexes, or null). Resolves with the
// chosen {node, object, channel, attribute} indexes, or null.
export function browse_channel(map, preset) {
  searchable(map);
  let submit = () => {};
  const view = filtered_tree(t('browser.channels'), needle => channel_tree(map, needle), () => submit());
  const chosen = () => view.tree.selected()?.choice ?? null;
  const done = run_dialog(t('browser.channel'), view.body, () => chosen() ?? undefined,
    { cls: 'browser', ready: () => !!chosen() });
  submit = () => view.tree.element.closest('form')?.requestSubmit();
  const path = preset && view.shown().find(preset);
  if (path) view.tree.reveal(path);
  return done;
}

// The channel browser on `text`: preset to the channel the text names, else to the last one
// chosen. Resolves with a CHAN reference by names (in NAME when `name` or the text asks), or null.
export async function channel(text, { name = false } = {}) {
  const map = await channel_map();
  if (!map) return null;
  const { fields } = await api.builder_recognize('channel', text || '');
  const choice = await browse_channel(map, choice_of_fields(map, fields) ?? last);
  if (!choice || choice.node < 0 || choice.channel < 0) return null;
  last = { node: choice.node, object: choice.object, channel: choice.channel, attribute: 0 };
  const node = map.nodes.find(n => n.index === choice.node);
  const object = node.objects.find(o => o.index === choice.object);
  const emitted = await api.builder_emit('channel', { node: node.name, object: object?.name || '',
    channel: node.by_index.get(choice.channel).name,
    attribute: map.attributes.find(a => a.code === choice.attribute)?.name || 0, name: name || fields.name });
  return emitted.ok ? emitted.text : null;
}

// The object browser: nodes with their objects, found by node or object name.
function object_tree(map, needle) {
  const roots = [], open = [];
  for (const node of map.nodes) {
    const leaves = node.objects.filter(o => !needle || `${node.name}\n${o.name}`.toLowerCase().includes(needle))
      .map(o => ({ text: o.name, choice: { node: node.index, object: o.index } }));
    if (needle && !leaves.length) continue;
    const r = { text: node.name, node, leaves, kids: () => leaves };
    roots.push(r);
    if (needle) open.push(r);
  }
  const find = choice => {
    const r = roots.find(n => n.node.index === choice.node);
    const leaf = r?.leaves.find(l => l.choice.object === choice.object);
    return leaf ? [r, leaf] : null;
  };
  return { roots, open, find };
}

// The object browser on `text`: OBJECT( node, object ) of a node's object, or null.
export async function object(text) {
  const map = await channel_map();
  if (!map) return null;
  const { fields } = await api.builder_recognize('object', text || '');
  const node = map.nodes.find(n => n.name === fields.node);
  const preset = node && node.objects.find(o => o.name === fields.object);
  let submit = () => {};
  const view = filtered_tree(t('browser.objects'), needle => object_tree(map, needle), () => submit());
  const chosen = () => view.tree.selected()?.choice ?? null;
  const done = run_dialog(t('browser.object'), view.body, () => chosen() ?? undefined,
    { cls: 'browser', ready: () => !!chosen() });
  submit = () => view.tree.element.closest('form')?.requestSubmit();
  const path = preset && view.shown().find({ node: node.index, object: preset.index });
  if (path) view.tree.reveal(path);
  const choice = await done;
  if (!choice) return null;
  const picked = map.nodes.find(n => n.index === choice.node);
  const emitted = await api.builder_emit('object', { node: picked.name,
    object: picked.objects.find(o => o.index === choice.object).name });
  return emitted.ok ? emitted.text : null;
}
