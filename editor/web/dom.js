// Small helpers that build the page's own elements. Texts always go in through textContent.

// Returns a new element with attributes `attrs` (a `text` key sets textContent) and children.
export function el(tag, attrs = {}, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) {
    if (v === undefined || v === null || v === false) continue;
    if (k === 'text') e.textContent = v;
    else if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
    else e.setAttribute(k, v === true ? '' : v);
  }
  for (const c of children.flat()) if (c) e.append(c);
  return e;
}

let counter = 0;
// Returns an id unique within the page.
export function uid(prefix) {
  counter += 1;
  return `${prefix}-${counter}`;
}

// Returns a labelled text box: [label element, input].
export function labelled_input(label, attrs = {}) {
  const id = uid('f');
  const input = el('input', { id, type: 'text', ...attrs });
  return [el('label', { for: id, text: label }), input];
}
