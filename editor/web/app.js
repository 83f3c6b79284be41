// Wires the page: string tables, the document session, menus, toolbars, status bar, the
// editing surface, the preview and the command table, and the automation hook
// window.quillet.command(id).
import * as api from './api.js';
import { set_strings, load_strings, t, status_text, menu_text, access_key, current_language } from './strings.js';
import { el } from './dom.js';
import { EditingSurface } from './editing_surface.js';
import { DocumentController } from './document.js';
import { make_commands } from './commands.js';
import { build_menu_bar } from './menu_bar.js';
import { build_toolbars, TOOLBARS } from './toolbars.js';
import { dock_toolbars } from './toolbar_dock.js';
import { open_popup, close_popups } from './popup_menu.js';
import { context_entries } from './context_menu.js';
import { Preview } from './preview.js';
import { message_box, error_box } from './message_box.js';
import { next_wait } from './waiting.js';
import * as color_chooser from './dialogs/color_chooser.js';
import { set_insertion_context } from './dialogs/insertion_menu.js';
import { select_parameter } from './dialogs/fragment_dialogs.js';
import { set_browser_context, warm_channel_map } from './dialogs/channel_browser.js';

const $ = selector => document.querySelector(selector);
let commands, toolbars, doc, surface, preview, server_state, context_target = null;
let running = 0;
const idle_waiters = [];

function set_status(text) {
  $('#status-text').textContent = text || t('status.ready');
}

// Runs command `id` as its menu item does; settles when it has finished or waits for the user.
function run_command(id, value) {
  const command = commands.get(String(id));
  if (!command) return Promise.resolve(false);
  const state = command.state();
  if (state.enabled === false) return Promise.resolve(false);
  close_popups(0);
  running += 1;
  const done = Promise.resolve().then(() => command.run(value)).catch(e => error_box(e.message))
    .finally(() => {
      context_target = null;
      update_states();
      running -= 1;
      if (running === 0) for (const resolve of idle_waiters.splice(0)) resolve();
    });
  return Promise.race([done, next_wait()]).then(() => true);
}

// Resolves when no command is running any more (all their dialogs answered).
function idle() {
  return running === 0 ? Promise.resolve() : new Promise(resolve => idle_waiters.push(resolve));
}

function entries_of(ids) {
  return ids.flatMap(id => {
    if (id.separator) return [id];
    if (id === 'recent') {
      const recent = doc.settings.recent || [];
      return recent.slice(0, 4).map((_, i) => entry_of(String(57616 + i)));
    }
    return [entry_of(id)];
  });
}

function entry_of(id) {
  const command = commands.get(id);
  const state = command.state();
  const entry = { command: id, label: command.label(), enabled: state.enabled !== false, checked: state.checked,
    access: access_key(`menu.${id}`) };
  if (id === '41002') entry.submenu = () => range_entries(41100, 17);
  if (id === '41001') entry.submenu = () => range_entries(42000, 12);
  return entry;
}

function range_entries(first, count) {
  return Array.from({ length: count }, (_, i) => entry_of(String(first + i)));
}

function run_entry(entry) { run_command(entry.command); }

let pending_update = 0;
function update_states() {
  if (pending_update) return;
  pending_update = requestAnimationFrame(() => {
    pending_update = 0;
    toolbars.update(id => commands.get(id)?.state() || {});
    if (surface.doc?.body) toolbars.show_font(surface.value('fontName'), surface.value('fontSize'));
    document.title = `${doc.title()}${doc.modified ? ' *' : ''} - ${t('128').split('\n')[0]}`;
    $('#status-modified').textContent = doc.modified ? t('status.modified') : '';
  });
}

function show_context_menu(element, x, y) {
  context_target = element;
  const dyn = element.closest('[vxdynelt]');
  const facts = {
    value: !!doc.definition_of(dyn)?.some(p => p.name === 'VALUE'),
    trend: surface.is_trend(element),
    anchor: !!element.closest('a[name]'),
    link: !!element.closest('a[href]'),
    cell: !!element.closest('td, th'),
  };
  const entries = entries_of(context_entries(facts));
  open_popup(entries, x, y, { on_choose: run_entry, label: t('label.context') }).classList.add('context-menu');
}

function open_submenu(id) {
  const button = document.querySelector(`.toolbar [data-command="${id}"]`);
  const r = button.getBoundingClientRect();
  open_popup(id === '41002' ? range_entries(41100, 17) : range_entries(42000, 12), r.left, r.bottom,
    { on_choose: run_entry, label: menu_text(id) });
}

// The font colour's "Custom" entry: the colour chooser, then the colour on the selection.
async function pick_color() {
  surface.save_selection();
  const value = await color_chooser.open(null);
  surface.restore_selection();
  if (value) surface.exec('foreColor', value);
}

// Help: the user manual in a new window, or the message that it cannot be opened. The guide's
// start page in the user's language when it has been translated, else the English chapters
// on the editor.
async function open_help() {
  const language = server_state.language || 'en';
  const pages = [`/web/manual/${language}/index.html`, '/web/manual/editor.html'].slice(language === 'en' ? 1 : 0);
  for (const page of pages) {
    if (await api.page_exists(page)) { window.open(page, '_blank', 'noopener'); return; }
  }
  await error_box(t('33003'));
}

// Keyboard shortcuts of the page outside the editing frame (the frame has its own).
function shortcut(e) {
  if (!(e.ctrlKey || e.metaKey) || e.target.closest('input, textarea, select, dialog')) return;
  const key = e.key.toLowerCase();
  const id = { z: e.shiftKey ? '40011' : '40010', y: '40011', s: '57603', o: '57601' }[key];
  if (!id) return;
  e.preventDefault();
  run_command(id);
}

// Gets the document session, offering to take it over when another tab has it.
async function join_session() {
  try {
    await api.open_session(false);
    return true;
  } catch (e) {
    if (!e.body?.busy) throw e;
  }
  const answer = await message_box(t('busy'), { caption: t('caption.confirm'), icon: 'question', buttons: ['yes', 'no'] });
  if (answer !== 'yes') { lock(t('busy').split('\n')[0]); return false; }
  await api.open_session(true);
  return true;
}

// Shows the page in language `code`: loads its table and makes the menus, toolbars, preview
// panel and status bar again. The document and its undo history stay as they are.
async function set_language(code) {
  await load_strings(code, api.page_json);
  server_state.language = code;
  label_page();
  build_menu_bar($('#menu-bar'), entries_of, run_entry);
  for (const [name] of TOOLBARS) document.querySelector(`.toolbar.${name}`)?.remove();
  toolbars = build_toolbars($('#toolbars'), run_command, set_status);
  dock_saved_toolbars();
  api.fonts().then(names => toolbars.set_fonts(names)).catch(() => {});
  preview.relabel();
  set_status('');
  update_states();
}

// The texts of the page's own frame outside menus and toolbars.
function label_page() {
  document.documentElement.lang = current_language();
  $('iframe[data-role="template"]').title = t('label.template');
}

function lock(text) {
  doc && (doc.modified = false);
  document.body.classList.add('locked');
  $('#locked-text').textContent = text;
  $('#locked').hidden = false;
}

function splash(version) {
  const box = el('div', { id: 'splash', 'aria-hidden': 'true' }, el('div', { class: 'about-logo' }),
    el('p', { text: t('splash', version) }));
  document.body.append(box);
  setTimeout(() => box.remove(), 1200);
}

// Docks the toolbars where the settings put them and remembers every move.
function dock_saved_toolbars() {
  const bars = new Map(TOOLBARS.map(([name]) => [name, $(`#toolbars .toolbar.${name}`)]));
  const docks = Object.fromEntries(['top', 'bottom', 'left', 'right'].map(side => [side, $(`.dock[data-side="${side}"]`)]));
  dock_toolbars(bars, docks, doc.settings.toolbars, layout => {
    api.save_settings({ toolbars: layout }).then(s => { doc.settings = s; }).catch(() => {});
  });
}

async function start() {
  server_state = await api.start_state();
  set_strings(server_state.strings, server_state.language);
  label_page();
  // The English table too, for the server's texts in English (read once the page is up).
  if (server_state.language !== 'en') load_strings(server_state.language, api.page_json).catch(() => {});
  splash(server_state.version);
  surface = new EditingSurface($('iframe[data-role="template"]'), {
    on_change: group => doc.record(group),
    on_selection: () => update_states(),
    on_context_menu: show_context_menu,
    on_open: element => { context_target = element; run_command('43014'); },
    on_undo: () => run_command('40010'),
    on_redo: () => run_command('40011'),
    on_shortcut: key => run_command(key === 's' ? '57603' : '57601'),
  });
  doc = new DocumentController(surface, { on_changed: update_states });
  doc.settings = server_state.settings || doc.settings;
  set_insertion_context({ has_parameters: () => (doc.state.fragment?.params?.length ?? 0) > 0,
    pick_parameter: () => select_parameter(doc.state.fragment.params) });
  set_insertion_context({ variables: () => doc.state.variables || [] });
  set_browser_context({ choose_project: () => doc.choose_project('', false) });
  preview = new Preview($('#preview'), { doc, surface, set_status,
    select: n => { const e = surface.nth_defined(n, doc.state.definitions); if (e) surface.select_element(e); } });
  commands = make_commands({ surface, doc, preview, target: () => context_target, version: () => server_state.version,
    changed: update_states, open_submenu, pick_color, open_help, set_language });
  build_menu_bar($('#menu-bar'), entries_of, run_entry);
  toolbars = build_toolbars($('#toolbars'), run_command, set_status);
  dock_saved_toolbars();
  document.addEventListener('mouseover', e => {
    const id = e.target.closest?.('.popup-menu [data-command]')?.dataset.command;
    if (id) set_status(status_text(id));
  });
  set_status('');
  document.addEventListener('keydown', shortcut);
  window.quillet = { command: run_command, idle, ready: false };
  api.set_stale_handler(() => lock(t('stale')));
  if (!(await join_session())) return;
  setInterval(() => api.ping().catch(() => {}), 20000);
  await doc.show(server_state.document || await api.new_document());
  api.fonts().then(names => toolbars.set_fonts(names)).catch(() => {});
  window.addEventListener('beforeunload', e => {
    if (!doc.modified) return;
    e.preventDefault();
    e.returnValue = '';
  });
  window.quillet.ready = true;
  document.body.dataset.ready = 'true';
  const status = server_state.document?.projectStatus;
  if (status?.ok) warm_channel_map();
  if (status && !status.ok && status.message) await doc.choose_project(status.message);
  if (!doc.settings.associationAsked) await ask_association();
}

// The first-run question whether to offer the editor for HTML files.
async function ask_association() {
  const answer = await message_box(t('129'), { caption: t('128').split('\n')[0], icon: 'question', buttons: ['yes', 'no'] });
  doc.settings = await api.association(answer === 'yes' ? 'yes' : 'no').catch(() => doc.settings);
}

start().catch(e => {
  document.body.dataset.ready = 'error';
  error_box(e.message);
});
