// The page's only way to the server: JSON over HTTP with the custom header every API call
// needs and the tab id that holds the document session.

let tab = null;
let on_stale = () => {};

export class ApiError extends Error {
  constructor(status, body) {
    super(body.error || `HTTP ${status}`);
    this.status = status;
    this.body = body;
  }
}

// Sets what happens when the server says another tab took the document over.
export function set_stale_handler(fn) { on_stale = fn; }

async function call(method, path, body) {
  const headers = { 'X-Quillet': '1' };
  if (tab) headers['X-Quillet-Tab'] = tab;
  if (body !== undefined) headers['Content-Type'] = 'application/json';
  const response = await fetch(path, {
    method, headers, credentials: 'same-origin', cache: 'no-store',
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const text = await response.text();
  let data = {};
  try { data = text ? JSON.parse(text) : {}; } catch { data = { error: text }; }
  if (response.ok) return data;
  if (response.status === 409 && data.stale) on_stale();
  throw new ApiError(response.status, data);
}

const get = path => call('GET', path);
const post = (path, body = {}) => call('POST', path, body);

// Asks for the document session; throws an ApiError with body.busy when another tab has it.
export async function open_session(takeover) {
  const r = await post('/api/session', { takeover });
  tab = r.tab;
  return r;
}

export const ping = () => post('/api/ping');
export const state = () => get('/api/state');
// The state the page starts from, with the string table of the user's language; asked for
// once, by whichever module comes first.
let start = null;
export const start_state = () => (start ||= get('/api/state?strings=1'));
export const save_settings = partial => post('/api/settings', partial);
export const association = answer => post('/api/association', { answer });
export const exit_server = () => post('/api/exit');
export const new_document = () => post('/api/new');
export const open_document = path => post('/api/open', { path });
export const save_document = (path, html, state) => post('/api/save', { path, html, state });
export const list_files = (dir, filter) =>
  get(`/api/files?dir=${encodeURIComponent(dir || '')}&filter=${encodeURIComponent(filter)}`);
export const fonts = () => get('/api/fonts');
export const check = expr => post('/api/check', { expr });
export const fragments = () => get('/api/fragments');
export const fragment = (path, base) => post('/api/fragment', { path, base });
export const select_project = path => post('/api/project', { path });
export const preview = (html, state, time) => post('/api/preview', { html, state, time });

// Returns a JSON file of the page (string tables).
export async function page_json(path) {
  const response = await fetch(path, { credentials: 'same-origin' });
  if (!response.ok) throw new ApiError(response.status, {});
  return response.json();
}

// Tells whether a page of the editor exists (the user manual may be missing).
export async function page_exists(path) {
  const response = await fetch(path, { method: 'GET', credentials: 'same-origin' }).catch(() => null);
  return !!response && response.ok;
}

// Returns the text of a report file (for printing it).
export async function report_text(url) {
  const response = await fetch(url, { credentials: 'same-origin', cache: 'no-store' });
  if (!response.ok) throw new ApiError(response.status, {});
  return response.text();
}

// Element properties: the catalogue's rows, the rows that apply to an element record
// ({tag, attributes, style, html, definition}) and writing one row ({value} and/or {expression}).
export const catalogue = () => get('/api/catalogue');
export const element_rows = element => post('/api/element/rows', { element });
export const element_set = (element, key, change) => post('/api/element/set', { element, key, ...change });
// Colours: the names reports know, and a typed colour as a report reads it ({ok, color}).
export const colors = () => get('/api/colors');
export const color = text => post('/api/color', { text });
// Expression builders.
export const builder_recognize = (builder, text, options = {}) => post('/api/builder/recognize', { builder, text, options });
export const builder_emit = (builder, fields) => post('/api/builder/emit', { builder, fields });
// The format builders' sample as a report writes it: {kind: "time", spec, time} or
// {kind: "value", spec, value} -> {text}.
export const format_sample = sample => post('/api/builder/sample', sample);
export const channels = () => get('/api/channels');
// Parameter input dialog
export const parameter_input = (text, mode) => post('/api/parameter-input', { text, mode });
export const parameter_text = expr => post('/api/parameter-text', { expr });
export const fragment_with = (path, base, params, variables) => post('/api/fragment', { path, base, params, variables });
