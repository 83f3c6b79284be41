// The context menu of the editing view: entries that depend on the element under the mouse.
const S = { separator: true };

// Returns the command ids of the menu for `element` (null entries are separators).
// `facts` tells what the element is: {value, trend, anchor, link, cell}.
export function context_entries(facts) {
  const parts = [];
  if (facts.value) parts.push(['43010']);
  if (facts.trend) parts.push(['43009']);
  if (facts.anchor) parts.push(['43011']);
  if (facts.link) parts.push(['43023']);
  if (facts.cell) parts.push(['43013', '43012', '43015', '43016', '43018', '43019', '43021', '43022', '43017', '43020']);
  parts.push(['43014']);
  return parts.flatMap((ids, i) => (i ? [S, ...ids] : ids));
}
