// The standard functions the function browser offers: nine groups in display order, each
// entry with the anchor of its section in the function help page and the id of its signature
// text in the string table (one browser item per line of the text). Selection by the longest
// common prefix with the text being edited lives here too, apart from the page.

export const GROUPS = [
  ['types', ['INT', 'NUM', 'STR', 'CHR', 'ISINT', 'ISNUM', 'ISSTR', 'ISVEC']],
  ['arrays', ['LIST', 'SIZE', 'INSERT', 'REMOVE', 'EXTRACT', 'STRCMP', 'STRFIND', 'READLIST', 'IDX', 'ROW', 'COL']],
  ['channels', ['CHAN', 'OBJECT2', 'SELCHAN', 'NAME', 'NODE', 'OBJECT', 'ATTR', 'CHCODE', 'CHUNIT', 'GETVAL',
    'READVAL', 'LASTVAL', 'FORMAT']],
  ['conditions', ['IF', 'RANGE', 'FIND']],
  ['math', ['FLOOR', 'CEIL', 'PI', 'ABS', 'SQRT', 'POW', 'LOG', 'LOG10', 'EXP', 'SIN', 'COS', 'TAN', 'ASIN', 'ACOS', 'ATAN']],
  ['bitwise', ['AND', 'OR', 'XOR', 'INV', 'SHL', 'SHR', 'MASK']],
  ['statistics', ['RNSTAT', 'RTSTAT', 'SUM', 'SUM2', 'AVG', 'MAX', 'MIN', 'MAX_T', 'MIN_T', 'DISP', 'STDEV', 'STDEVN']],
  ['time', ['TIME', 'MKTIME', 'DTIME', 'RTIME', 'TIMESTR']],
  ['events', ['EVENTS', 'EFILTER', 'TIME2', 'CHAN2', 'ETYPE', 'SEVERITY']],
];

// The first string id of the signature texts; entries take the ids after it in catalogue order.
export const FIRST_SIGNATURE_ID = 45000;

// Returns the catalogue as groups [{key, entries: [{anchor, id}]}].
export function catalogue() {
  let id = FIRST_SIGNATURE_ID;
  return GROUPS.map(([key, anchors]) => ({ key, entries: anchors.map(anchor => ({ anchor, id: id++ })) }));
}

// Returns the browser's items: one per signature line, {group, anchor, text}, in display order.
// `signature(id)` gives the signature text of an id.
export function items(signature) {
  return catalogue().flatMap((g, group) => g.entries.flatMap(e =>
    signature(e.id).split('\n').filter(Boolean).map(text => ({ group, anchor: e.anchor, text }))));
}

// Returns the number of leading characters `a` and `b` share, letters compared without case.
function common_prefix(a, b) {
  let n = 0;
  while (n < a.length && n < b.length && a[n].toUpperCase() === b[n].toUpperCase()) n += 1;
  return n;
}

// Returns the index of the item whose text shares the longest prefix with `text`, when that
// prefix is longer than 2 characters; the first such item wins a tie. -1 when none does.
export function best_item(list, text) {
  const wanted = (text || '').trimStart();
  let best = -1, length = 2;
  list.forEach((item, i) => {
    const n = common_prefix(item.text, wanted);
    if (n > length) { best = i; length = n; }
  });
  return best;
}
