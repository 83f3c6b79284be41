// The preview panel beside the template: the report of a simulated run in a sandboxed frame
// (no same-origin access), Refresh, Print, the report time and the run's problems.
import { el } from './dom.js';
import { t, bare, tooltip, status_text } from './strings.js';
import * as api from './api.js';
import { error_box, message_box } from './message_box.js';

export class Preview {
  // panel: the aside element; doc: the DocumentController; select(n): selects dynamic element n.
  constructor(panel, { doc, surface, select, set_status }) {
    this.panel = panel;
    this.doc = doc;
    this.surface = surface;
    this.select = select;
    this.url = null;
    this.frame = el('iframe', { 'data-role': 'preview', sandbox: '' });
    this.time = el('input', { type: 'datetime-local', step: '1', 'data-command': 'preview-time' });
    this.problems = el('ul', { class: 'problems' });
    const button = (id, run) => {
      const b = el('button', { type: 'button', 'data-command': id });
      b.addEventListener('click', run);
      b.addEventListener('mouseenter', () => set_status(status_text(id)));
      b.addEventListener('mouseleave', () => set_status(''));
      return b;
    };
    this.set_now();
    this.close = el('button', { type: 'button', class: 'close', text: '\u00D7' });
    this.close.addEventListener('click', () => this.hide());
    this.refresh = button('32825', () => this.run());
    this.printer = button('41006', () => this.print());
    this.time_label = el('span');
    this.bar = el('div', { role: 'toolbar', class: 'toolbar report' }, this.refresh, this.printer,
      el('label', { class: 'time' }, this.time_label, this.time), this.close);
    this.heading = el('h3');
    panel.append(this.bar, this.frame, this.heading, this.problems);
    this.relabel();
  }

  // Puts the texts of the panel in the current language.
  relabel() {
    this.frame.title = t('preview.title');
    this.bar.setAttribute('aria-label', t('preview.title'));
    this.time.setAttribute('aria-label', bare('label.time'));
    this.time.title = tooltip('preview-time');
    this.problems.setAttribute('aria-label', t('preview.problems'));
    for (const [b, id, key] of [[this.refresh, '32825', 'button.refresh'], [this.printer, '41006', 'button.print']]) {
      b.title = tooltip(id);
      b.textContent = t(key);
    }
    this.close.title = t('button.close');
    this.close.setAttribute('aria-label', t('button.close'));
    this.time_label.textContent = t('label.time');
    this.heading.textContent = t('preview.problems');
    if (this.shown_problems) this.list_problems(this.shown_problems);
  }

  set_now() {
    const now = new Date();
    now.setMilliseconds(0);
    const local = new Date(now.getTime() - now.getTimezoneOffset() * 60000);
    this.time.value = local.toISOString().slice(0, 19);
  }

  has_report() { return !!this.url; }

  hide() {
    this.panel.hidden = true;
    document.body.classList.remove('with-preview');
  }
  focus_time() { this.show(false); this.time.focus(); }

  // Opens the panel and runs the report (Show simulated report).
  async show(run = true) {
    this.panel.hidden = false;
    document.body.classList.add('with-preview');
    if (run) await this.run();
  }

  // Without a loaded project, says so and offers the project choice once; the report runs
  // whatever the user chose.
  async offer_project() {
    const map = await api.channels().catch(() => null);
    if (!map || map.loaded) return;
    await message_box(map.message, { caption: t('caption.warning'), icon: 'warning' });
    await this.doc.choose_project('', false);
  }

  // Runs the report of the current template and shows it; a failed run keeps the previous one.
  async run() {
    this.panel.hidden = false;
    await this.offer_project();
    const seconds = this.time.value ? Math.floor(new Date(this.time.value).getTime() / 1000) : null;
    let r;
    this.doc.flush();
    try {
      r = await api.preview(this.surface.serialize(), this.doc.state, Number.isFinite(seconds) ? seconds : null);
    } catch (e) {
      if (e.body?.problems) this.list_problems(e.body.problems);
      await error_box(e.message);
      return;
    }
    this.url = r.url;
    await new Promise(resolve => {
      this.frame.addEventListener('load', resolve, { once: true });
      this.frame.src = `${r.url}${r.url.includes('?') ? '&' : '?'}run=${Date.now()}`;
    });
    this.list_problems(r.problems || []);
  }

  list_problems(problems) {
    this.shown_problems = problems;
    if (!problems.length) {
      this.problems.replaceChildren(el('li', { class: 'none', text: t('preview.none') }));
      return;
    }
    this.problems.replaceChildren(...problems.map(p => {
      const place = p.element ? `#${p.element}${p.property ? ` ${p.property}` : ''}: ` : '';
      const item = el('li', {}, el('button', { type: 'button', text: place + p.message }));
      if (p.element) item.firstChild.addEventListener('click', () => this.select(p.element));
      return item;
    }));
  }

  // Prints the report: a copy of it goes into a frame without scripts that the page may ask
  // to print, since the preview frame itself is closed to the page.
  async print() {
    if (!this.url) return;
    const html = await api.report_text(this.url).catch(() => null);
    if (html === null) return;
    const parsed = new DOMParser().parseFromString(html, 'text/html');
    const base = this.url.replace(/[^/]*$/, '');
    for (const node of parsed.querySelectorAll('[src]')) {
      const src = node.getAttribute('src');
      if (!/^[a-z]+:|^\//i.test(src)) node.setAttribute('src', base + src);
    }
    for (const node of parsed.querySelectorAll('script, meta[http-equiv]')) node.remove();
    const frame = el('iframe', { sandbox: 'allow-same-origin allow-modals', class: 'print-frame', 'aria-hidden': 'true' });
    document.body.append(frame);
    await new Promise(resolve => {
      frame.addEventListener('load', resolve, { once: true });
      frame.srcdoc = `<!DOCTYPE html>${parsed.documentElement.outerHTML}`;
    });
    frame.contentWindow.print();
    setTimeout(() => frame.remove(), 1000);
  }
}
