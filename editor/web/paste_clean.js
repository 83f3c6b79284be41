// Cleans HTML that other programs put on the clipboard: keeps only what lies between their
// fragment markers and drops the markers, the clipboard header lines, document wrappers and
// conditional comments that would otherwise end up in the template.

const HEADER = /^(Version|StartHTML|EndHTML|StartFragment|EndFragment|StartSelection|EndSelection|SourceURL):[^\r\n]*\r?\n?/gm;

// Returns the markup to insert for the clipboard HTML `html`.
export function clean_pasted_html(html) {
  let text = String(html).replace(HEADER, '');
  const start = text.search(/<!--\s*StartFragment\s*-->/i);
  const end = text.search(/<!--\s*EndFragment\s*-->/i);
  if (start >= 0 && end > start) {
    text = text.slice(text.indexOf('>', start) + 1, end);
  }
  return text
    .replace(/<!--\s*(Start|End)(Fragment|Selection)\s*-->/gi, '')
    .replace(/<!--\[if[\s\S]*?<!\[endif\]-->/gi, '')
    .replace(/<\/?(html|body|head)\b[^>]*>/gi, '')
    .replace(/<meta\b[^>]*>/gi, '')
    .replace(/<\?xml[^>]*>/gi, '')
    .replace(/<\/?o:p>/gi, '')
    .trim();
}
