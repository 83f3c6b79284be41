// The preview panel beside the template: the report of a simulated run in a sandboxed frame
// (no same-origin access), Refresh, Print, the report time and the run's problems.
import { el } from './dom.js';
import { t, tooltip, status_text } from './strings.js';
import * as api from './api.js';
import { error_box } from './message_box.js';

export class Preview {
  // panel: the aside element; doc: the DocumentController; select(n): selects dynamic element n.
  constructor(panel, { doc, surface, select, set_status }) {
    this.panel = panel;
    this.doc = doc;
    this.surface = surface;
    this.select = select;
    this.url = null;
    this.frame = el('iframe', { 'data-role': 'preview', sandbox: '', title: t('preview.title') });
    this.time = el('input', { type: 'datetime-local', step: '1', 'data-command': 'preview-time', 'aria-label': t('label.time').replace(/:$/, ''), title: tooltip('preview-time') });
    this.problems = el('ul', { class: 'problems', 'aria-label': t('preview.problems') });
    const button = (id, text, run) => {
      const b = el('button', { type: 'button', 'data-command': id, title: tooltip(id), text });
      b.addEventListener('click', run);
      b.addEventListener('mouseenter', () => set_status(status_text(id)));
      b.addEventListener('mouseleave', () => set_status(''));
      return b;
    };
    this.set_now();
    const close = el('button', { type: 'button', class: 'close', text: '\u00D7', 'aria-label': t('button.close'), title: t('button.close') });
    close.addEventListener('click', () => this.hide());
    panel.append(
      el('div', { role: 'toolbar', class: 'toolbar report', 'aria-label': t('preview.title') },
        button('32825', t('button.refresh'), () => this.run()),
        button('41006', t('button.print'), () => this.print()),
        el('label', { class: 'time' }, t('label.time'), this.time),
        close),
      this.frame,
      el('h3', { text: t('preview.problems') }), this.problems);
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

  // Runs the report of the current template and shows it; a failed run keeps the previous one.
  async run() {
    this.panel.hidden = false;
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
