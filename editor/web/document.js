// The open document: its path, its state (settings, variables, fragment header and the
// dynamic-element definitions), the modified flag, undo and redo, and the File commands.
import * as api from './api.js';
import { t, file_filters } from './strings.js';
import { message_box, error_box, confirm_box } from './message_box.js';
import { UndoManager } from './undo_manager.js';
import { save_as_proposal, default_extension, base_name } from './file_names.js';
import * as file_dialog from './dialogs/file_dialog.js';

export class DocumentController {
  constructor(surface, { on_changed }) {
    this.surface = surface;
    this.on_changed = on_changed;
    this.path = null;
    this.fragment = false;
    this.state = empty_state();
    this.modified = false;
    this.settings = { recent: [] };
    this.undo_manager = new UndoManager({
      same: (a, b) => a.body === b.body && a.defs === b.defs,
      weight: s => s.body.length + s.defs.length, max_weight: 64 * 1024 * 1024,
    });
    this.pending = null;
  }

  // --- snapshots and undo --------------------------------------------------------------

  snapshot() {
    return { body: this.surface.body_html(), defs: JSON.stringify(this.state.definitions), caret: this.surface.caret_path() };
  }

  // Called after every change of the body or the definitions; `group` joins typing runs.
  // Typing is taken in a moment later, so a large template does not slow every keystroke;
  // anything else that reads the document takes it in first (flush).
  record(group = null) {
    if (group !== null) {
      this.modified = true;
      clearTimeout(this.pending?.timer);
      this.pending = { group, timer: setTimeout(() => this.flush(), 300) };
      this.on_changed();
      return;
    }
    this.flush();
    this.take(null);
  }

  flush() {
    if (!this.pending) return;
    const { group, timer } = this.pending;
    clearTimeout(timer);
    this.pending = null;
    this.take(group);
  }

  take(group) {
    this.surface.renumber(this.state.definitions);
    if (this.undo_manager.record(this.snapshot(), group)) this.modified = true;
    this.on_changed();
  }

  restore(snapshot) {
    if (!snapshot) return;
    this.surface.set_body_html(snapshot.body, snapshot.caret);
    this.state.definitions = JSON.parse(snapshot.defs);
    this.surface.renumber(this.state.definitions);
    this.modified = true;
    this.on_changed();
  }

  undo() { this.flush(); this.restore(this.undo_manager.undo()); }
  redo() { this.flush(); this.restore(this.undo_manager.redo()); }

  // Gives a new dynamic element its number and definition; returns the number.
  add_definition(element, properties) {
    this.state.definitions.push(properties.map(p => ({ ...p })));
    this.surface.set_dynelt(element, this.state.definitions.length);
    return this.state.definitions.length;
  }

  definition_of(element) {
    const n = this.surface.dynelt_number(element);
    return n > 0 ? this.state.definitions[n - 1] : null;
  }

  title() {
    return this.path ? base_name(this.path) : t('untitled');
  }

  // --- File commands -------------------------------------------------------------------

  async show(document) {
    this.path = document.path || null;
    this.fragment = !!document.fragment;
    this.state = { ...empty_state(), ...document.state };
    this.state.definitions = this.state.definitions || [];
    this.pending && clearTimeout(this.pending.timer);
    this.pending = null;
    await this.surface.load(document.html);
    this.undo_manager.reset(this.snapshot());
    this.modified = false;
    this.on_changed();
  }

  // Asks to save a modified document; resolves false when the user cancels.
  async save_modified() {
    if (!this.modified) return true;
    const answer = await message_box(t('save.changes', this.title()),
      { caption: t('caption.confirm'), icon: 'question', buttons: ['yes', 'no', 'cancel'] });
    if (answer === 'cancel') return false;
    if (answer === 'yes') return this.save();
    return true;
  }

  async new_document() {
    if (!(await this.save_modified())) return;
    try {
      await this.show(await api.new_document());
    } catch (e) {
      await error_box(e.message);
    }
  }

  async open(path) {
    if (!(await this.save_modified())) return;
    if (!path) {
      path = await file_dialog.open({ mode: 'open', title: t('dlg.open'), filters: file_filters('44332'),
        dir: this.path ? this.path.replace(/\/[^/]*$/, '') : '' });
      if (!path) return;
    }
    let document;
    try {
      document = await api.open_document(path);
    } catch (e) {
      await error_box(t('44333'), '', e.message);
      return;
    }
    await this.show(document);
    await this.refresh_settings();
    if (document.projectStatus && !document.projectStatus.ok && document.projectStatus.message) {
      await this.choose_project(document.projectStatus.message);
    }
  }

  // The project choosing loop: an error box tells why the project failed (when there is a
  // `message`), then the user picks a project; a failed load says so and, with `retry`, offers
  // the choice again. Resolves true once a project loads, false when the user gives up.
  async choose_project(message, retry = true) {
    if (message) await error_box(message);
    for (;;) {
      const path = await file_dialog.open({ mode: 'open', title: t('dlg.project'),
        filters: [{ label: t('filter.project'), patterns: ['*.json'] }] });
      if (!path) return false;
      const status = await api.select_project(path).catch(e => ({ ok: false, message: e.message }));
      if (status.ok) { this.state.project = status.path; this.modified = true; this.on_changed(); return true; }
      await error_box(status.message);
      if (!retry) return false;
    }
  }

  async save() {
    if (!this.path) return this.save_as();
    return this.write(this.path);
  }

  async save_as() {
    const proposal = save_as_proposal(this.path, this.state.title);
    const slash = proposal.lastIndexOf('/');
    const path = await file_dialog.open({
      mode: 'save', title: t('dlg.saveas'), filters: file_filters('44332'),
      dir: slash >= 0 ? proposal.slice(0, slash) : '', name: slash >= 0 ? proposal.slice(slash + 1) : proposal,
      default_ext: default_extension(this.fragment),
    });
    if (!path) return false;
    return this.write(path);
  }

  async write(path) {
    this.flush();
    document.body.classList.add('busy');
    try {
      const r = await api.save_document(path, this.surface.serialize(), this.state);
      this.path = r.path;
      this.modified = false;
      await this.refresh_settings();
      this.on_changed();
      return true;
    } catch (e) {
      await error_box(t('44334'), '', e.message);
      return false;
    } finally {
      document.body.classList.remove('busy');
    }
  }

  async refresh_settings() {
    try { this.settings = (await api.state()).settings || this.settings; } catch { /* keep the last */ }
  }

  async open_recent(index) {
    const path = this.settings.recent?.[index];
    if (path) await this.open(path);
  }

  async exit() {
    if (!(await this.save_modified())) return;
    this.modified = false;
    await api.exit_server().catch(() => {});
    document.body.replaceChildren();
    window.close();
  }
}

function empty_state() {
  return { project: '', refresh: 0, title: '', fragment: null, variables: [], definitions: [] };
}

export { confirm_box };
