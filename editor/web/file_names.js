// Names the editor proposes for files.

// Returns the name the Save As dialog proposes: the document's path, or for a document that
// has none its title cut at the first of " #%;/\"; then without its extension (the part from
// the last "." unless a "/" or "\" follows it).
export function save_as_proposal(path, title) {
  let name = path || cut_title(title || '');
  const dot = name.lastIndexOf('.');
  if (dot >= 0 && !/[\\/]/.test(name.slice(dot))) name = name.slice(0, dot);
  return name;
}

function cut_title(title) {
  const at = title.search(/[ #%;/\\]/);
  return at < 0 ? title : title.slice(0, at);
}

// Returns the default extension of saved files: ".htt" for fragments, ".html" otherwise.
export function default_extension(fragment) {
  return fragment ? '.htt' : '.html';
}

// Returns `name` with the default extension added when it has none.
export function with_extension(name, fragment) {
  const base = name.slice(Math.max(name.lastIndexOf('/'), name.lastIndexOf('\\')) + 1);
  return base.includes('.') ? name : name + default_extension(fragment);
}

// Returns the last part of a path, for titles and recent-file entries.
export function base_name(path) {
  return String(path || '').split(/[\\/]/).pop();
}
