// The insertion menu of an expression field: each entry opens a builder on the field's
// selected text, and the builder's result replaces the selection.
import { open_popup } from '../popup_menu.js';
import { t } from '../strings.js';
import * as builders from './builders.js';
import * as lists from './builder_lists.js';
import * as browsers from './channel_browser.js';
import { standard_function } from './function_browser.js';
import { select_user_function } from './user_function_list.js';

// What the menu needs to know of the open template; set by the page once it runs.
let context = { has_parameters: () => false, pick_parameter: null, variables: () => [] };
export function set_insertion_context(parts) { context = { ...context, ...parts }; }

// The entries in menu order: [label with "&", open(text) or null while not available].
function entries() {
  return [
    [t('insmenu.channel'), browsers.channel],
    [t('insmenu.value'), builders.channel_value],
    [t('insmenu.time'), builders.time],
    [t('insmenu.statistics'), builders.statistics],
    [t('insmenu.selection'), lists.channel_selection],
    [t('insmenu.constant'), [[t('insmenu.color'), lists.color], [t('insmenu.font'), lists.font]]],
    [t('insmenu.list'), lists.array],
    [t('insmenu.strlist'), lists.string_array],
    [t('insmenu.function'), standard_function],
    [t('insmenu.udf'), text => select_user_function(context.variables(), text)],
    [t('insmenu.parameter'), context.has_parameters() ? context.pick_parameter : null],
  ];
}

// A popup entry of [label, open]; a nested list makes a submenu.
function popup_entry([label, open]) {
  const access = /&(.)/.exec(label)?.[1].toLowerCase();
  const plain = label.replace(/&(.)/g, '$1');
  if (Array.isArray(open)) return { label: plain, access, submenu: () => open.map(popup_entry) };
  return { label: plain, access, enabled: !!open, open };
}

// Pops the menu up at the middle of the field's input; a chosen builder's result replaces
// the field's selection.
export function show_insertion_menu(input) {
  const r = input.getBoundingClientRect();
  open_popup(entries().map(popup_entry), r.left + r.width / 2, r.top + r.height / 2, {
    on_choose: async entry => {
      const start = input.selectionStart ?? 0, end = input.selectionEnd ?? start;
      const result = await entry.open(input.value.slice(start, end));
      if (result === null || result === undefined) return;
      input.value = input.value.slice(0, start) + result + input.value.slice(end);
      input.focus();
      input.setSelectionRange(start, start + result.length);
      input.dispatchEvent(new Event('input', { bubbles: true }));
    },
  });
}
