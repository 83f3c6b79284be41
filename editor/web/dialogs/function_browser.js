// "Standard functions": the function catalogue as a tree of groups and signature lines, with
// the function help beside it at the chosen function's section. Resolves with the chosen
// signature line, or null.
import { el } from '../dom.js';
import { t } from '../strings.js';
import { catalogue, items, best_item } from '../function_catalogue.js';
import { run_dialog } from './dialog.js';
import { tree_view } from './tree_view.js';

const HELP = '/web/help/funchelp.html';

// The tree's roots: one per group, holding one leaf per signature line.
function groups_of(list) {
  const leaves = catalogue().map(() => []);
  list.forEach(item => leaves[item.group].push({ text: item.text, anchor: item.anchor }));
  return catalogue().map((g, i) => ({ text: t(`funcs.group.${g.key}`), leaves: leaves[i], kids: () => leaves[i] }));
}

// Opens the browser on `text`, the expression being edited: the item sharing the longest
// prefix with it is selected and its group opened.
export function standard_function(text) {
  const list = items(id => t(String(id)));
  const roots = groups_of(list);
  const help = el('iframe', { class: 'help', title: t('funcs.help'), src: HELP });
  let submit = () => {};
  const tree = tree_view(t('funcs.list'), {
    on_select: node => {
      const url = node?.anchor ? `${HELP}#${node.anchor}` : HELP;
      if (help.getAttribute('src') !== url) help.setAttribute('src', url);
    },
    on_accept: () => submit(),
  });
  tree.set_roots(roots);
  const body = [el('div', { class: 'tree-pane' }, el('label', { for: tree.element.id, text: t('funcs.list') }), tree.element), help];
  const done = run_dialog(t('funcs.title'), body, () => {
    const node = tree.selected();
    return node && !node.kids ? node.text : undefined;
  }, { cls: 'function-browser', ready: () => !!tree.selected() && !tree.selected().kids });
  submit = () => tree.element.closest('form')?.requestSubmit();
  const at = best_item(list, text);
  if (at >= 0) {
    const item = list[at];
    const group = roots[item.group];
    tree.reveal([group, group.leaves.find(leaf => leaf.text === item.text)]);
  }
  tree.element.focus();
  return done;
}
