// How the trend dialog shows and writes the trend element's properties: string literals,
// LIST(...) of one value per curve, and channel references by name.

// The text of a plain string literal ("..." with \\ and \" escapes); null for anything else.
export function unquote(expr) {
  const m = /^\s*"((?:[^"\\]|\\["\\])*)"\s*$/.exec(expr || '');
  return m ? m[1].replace(/\\(["\\])/g, '$1') : null;
}

export function quote(text) {
  return `"${text.replace(/[\\"]/g, c => `\\${c}`)}"`;
}

// The items of a LIST(...) expression at its top level, or the whole expression as one item;
// [] for an empty text.
export function list_items(expr) {
  const text = (expr || '').trim();
  if (!text) return [];
  const m = /^LIST\s*\(([\s\S]*)\)$/i.exec(text);
  if (!m || !balanced(m[1])) return [text];
  const items = [];
  let depth = 0, start = 0, quote_char = null;
  const body = m[1];
  for (let i = 0; i < body.length; i++) {
    const c = body[i];
    if (quote_char) {
      if (c === '\\') i++;
      else if (c === quote_char) quote_char = null;
    } else if (c === '"' || c === "'") quote_char = c;
    else if (c === '(') depth++;
    else if (c === ')') depth--;
    else if (c === ',' && depth === 0) { items.push(body.slice(start, i).trim()); start = i + 1; }
  }
  items.push(body.slice(start).trim());
  return items;
}

// Whether the parentheses outside string literals balance and never close below zero.
function balanced(text) {
  let depth = 0, quote_char = null;
  for (let i = 0; i < text.length; i++) {
    const c = text[i];
    if (quote_char) {
      if (c === '\\') i++;
      else if (c === quote_char) quote_char = null;
    } else if (c === '"' || c === "'") quote_char = c;
    else if (c === '(') depth++;
    else if (c === ')' && --depth < 0) return false;
  }
  return depth === 0 && !quote_char;
}

// One value per curve as an expression: nothing for none, the item alone for one, else LIST.
export function list_expression(items) {
  if (!items.length) return '';
  return items.length === 1 ? items[0] : `LIST(${items.join(',')})`;
}

// The channel name of CHAN("name"); null for any other expression.
export function channel_name(expr) {
  const m = /^\s*CHAN\s*\(\s*("(?:[^"\\]|\\["\\])*")\s*\)\s*$/i.exec(expr || '');
  return m ? unquote(m[1]) : null;
}
