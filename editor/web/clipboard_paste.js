// Edit > Paste from the menu, toolbar or context menu: the page has no paste event there, so it
// reads the clipboard itself (HTML first, then text). A browser that refuses the clipboard gets
// a message pointing to Ctrl+V, whose paste event needs no permission.
import { t } from './strings.js';
import { info_box } from './message_box.js';

// Reads the clipboard; returns {html} or {text}, or null when the browser refused it.
async function read_clipboard(clipboard) {
  try {
    for (const item of await clipboard.read()) {
      if (item.types.includes('text/html')) return { html: await (await item.getType('text/html')).text() };
    }
    return { text: await clipboard.readText() };
  } catch (e) {
    if (e?.name !== 'NotAllowedError' && e?.name !== 'SecurityError') return { text: '' };
    return null;
  }
}

// Pastes the clipboard at the selection of `surface`, cleaned as a keyboard paste is.
export async function paste_from_clipboard(surface, clipboard = navigator.clipboard) {
  surface.save_selection();
  const data = clipboard?.read ? await read_clipboard(clipboard) : null;
  surface.restore_selection();
  if (!data) {
    await info_box(t('paste.denied'));
    return;
  }
  if (data.html !== undefined) surface.paste_markup(data.html);
  else if (data.text) surface.exec('insertText', data.text);
}
