// The string table of the editor's texts in the user's language, keyed by the system's string
// ids (command strings are "status text\ntooltip"). Every text the page shows comes from here.

let table = {};
let language = 'en';
let english_keys = new Map();  // English text -> its key
let english_patterns = [];      // [{key, regex}] of the English texts with "%s" in them

// Loads the table of `code` (two letters), falling back to English for missing keys; loading
// again switches the language of every text made afterwards.
export async function load_strings(code, fetch_json) {
  const english = await fetch_json('/web/strings/en.json');
  let own = {};
  if (code && code !== 'en') {
    own = await fetch_json(`/web/strings/${code}.json`).catch(() => ({}));
  }
  table = { ...english, ...own };
  language = code || 'en';
  english_keys = new Map(Object.entries(english).map(([key, text]) => [text, key]).reverse());
  english_patterns = Object.entries(english)
    .filter(([, text]) => text.includes('%s') && !text.includes('\n') && text.replace(/%s/g, '').trim().length > 3)
    .map(([key, text]) => ({ key, regex: new RegExp(`^${text.split('%s').map(escape_regex).join('(.*)')}$`) }));
}

// The two-letter code of the language the texts are in.
export function current_language() {
  return language;
}

// Returns a text the server sent in English in the user's language, line by line, where the
// tables hold that line (a "%s" of the English text standing for what the server filled in);
// other lines as they are.
export function localized(text) {
  if (language === 'en' || typeof text !== 'string') return text;
  return text.split('\n').map(localized_line).join('\n');
}

function localized_line(line) {
  if (english_keys.has(line)) return table[english_keys.get(line)];
  for (const { key, regex } of english_patterns) {
    const m = regex.exec(line);
    if (m) return t(key, ...m.slice(1));
  }
  return line;
}

function escape_regex(text) {
  return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
}

// Whether the tables hold `key`.
export function has(key) {
  return table[key] !== undefined;
}

// Returns the text of a label without its closing colon (ASCII or full-width), for names of
// groups and boxes.
export function bare(key) {
  return t(key).replace(/[:\uFF1A]\s*$/, '');
}

// Takes a table the server has already merged (the user's language `code` over English).
export function set_strings(strings, code = 'en') {
  table = { ...strings };
  language = code || 'en';
}

// Returns the text of `key` with each "%s" replaced by the next argument.
export function t(key, ...args) {
  let text = table[key];
  if (text === undefined) return String(key);
  for (const a of args) text = text.replace('%s', a);
  return text;
}

// Returns the menu text of a command without its "&" access-key marks.
export function menu_text(id) {
  return t(`menu.${id}`).replace(/&(.)/g, '$1');
}

// Returns the access key of a menu text ("&File" -> "f"), or "".
export function access_key(key) {
  const m = /&([^&])/.exec(t(key));
  return m ? m[1].toLowerCase() : '';
}

// Returns the status-bar text of a command: the first line of its string.
export function status_text(id) {
  return table[id] === undefined ? '' : table[id].split('\n')[0];
}

// Returns the tooltip of a command: the part of its string after the first line.
export function tooltip(id) {
  const text = table[id];
  if (text === undefined) return '';
  const lines = text.split('\n');
  return lines.length > 1 ? lines[1] : lines[0];
}

// Returns the list of a "|"-separated string entry.
export function list(key) {
  return t(key).split('|');
}

// Returns the filters of a file-dialog string: [{label, patterns}] from "label|patterns|...".
export function file_filters(key) {
  const parts = t(key).split('|').filter(p => p !== '');
  const filters = [];
  for (let i = 0; i + 1 < parts.length; i += 2) {
    filters.push({ label: parts[i], patterns: parts[i + 1].split(';') });
  }
  return filters;
}
