// Table rows and cells: a row is written as often as its cells' ROWS ask; each cell is
// written on the rows it covers and COLS times across, with ROW() and COL() counting.
#include <algorithm>
#include <string>

#include "doc/html_printer.h"
#include "report/htdoc_processor.h"
#include "report/html_dyn_elt.h"

namespace quillet {

void html_dyn_elt_tr::init(htdoc_processor& owner, html_elt_tag* parent, const txl_prop_list* params) {
  cells.clear();
  html_dyn_elt_generic::init(owner, parent, params);
}

// The row's own REPEAT has no effect: the cells decide how many rows there are.
void html_dyn_elt_tr::print(html_obj_printer& p) {
  std::int32_t n = 1;
  for (html_dyn_elt_td* cell : cells)
    n = std::max(n, cell->prepare());
  for (std::int32_t j = 0; j < n && (!processor || processor->count_repetition()); ++j) {
    current_row = j;
    print_once(p);
    if (n != 1)
      p.write("\r\n");
  }
}

void html_dyn_elt_tr::print_once(html_obj_printer& p) {
  if (value || !processor) {
    html_dyn_elt_generic::print_once(p);
    return;
  }
  print_copy_start_tag(p);
  print_cells(p);
  print_copy_end_tag(p);
}

// The row's content in order. A run of cells that take the row's entries, with at most texts
// and comments between them, is written inside one ROW entry and one COL entry, pushed before
// its first cell and popped after its last: each cell evaluates in the entries, at the
// indices and so under the state numbers it would have pushed for itself, and nothing is
// evaluated between the cells. Any other node is written as it would be on its own.
void html_dyn_elt_tr::print_cells(html_obj_printer& p) {
  kov_context_entry* row_entry = nullptr;
  kov_context_entry* col_entry = nullptr;
  html_dyn_elt_td* const* next_cell = cells.data();
  html_dyn_elt_td* const* const cells_end = next_cell + cells.size();
  for (html_element* n = children; n; n = n->next) {
    html_dyn_elt_td* cell = next_cell != cells_end && *next_cell == n ? *next_cell++ : nullptr;
    if (cell && cell->takes_row_entries()) {
      if (!row_entry) {
        row_entry = processor->push_context(1, current_row);
        col_entry = processor->push_context(2);
      }
      if (processor->count_repetition())
        cell->print_copy(p);
      continue;
    }
    if (row_entry && n->kind == html_kind::tag) {
      processor->pop_context(2, col_entry);
      processor->pop_context(1, row_entry);
      row_entry = nullptr;
    }
    n->print(p);
  }
  if (!row_entry)
    return;
  processor->pop_context(2, col_entry);
  processor->pop_context(1, row_entry);
}

void html_dyn_elt_td::init(htdoc_processor& owner, html_elt_tag* parent, const txl_prop_list* params) {
  processor = &owner;
  row = dynamic_cast<html_dyn_elt_tr*>(parent);
  if (row)
    row->cells.push_back(this);
  rows_prop = find_prop("ROWS");
  cols_prop = find_prop("COLS");
  html_dyn_elt_generic::init(owner, parent, params);
}

// Evaluated with a ROW and a COL entry at index 0, in the contexts around the row.
std::int32_t html_dyn_elt_td::prepare() {
  if (!processor)
    return 1;
  kov_context_entry* row_entry = processor->push_context(1);
  kov_context_entry* col_entry = processor->push_context(2);
  rows = int_of(rows_prop, 1);
  cols = int_of(cols_prop, 1);
  rowspan = 1;
  anyval span;
  bool found_dynamic = false;
  std::int32_t n = 0;
  if (get_attr_value("ROWSPAN", span, found_dynamic) && span.to_int(n) && n > 0)
    rowspan = n;
  set_start_tag_extras(rowspan != 1);
  processor->pop_context(col_entry);
  processor->pop_context(row_entry);
  return rows;
}

// What print_repeated does for a single column, inline: one counted copy in a COL entry at 0.
inline void html_dyn_elt_td::print_one_column(html_obj_printer& p) {
  kov_context_entry* col_entry = processor->push_context(2);
  if (processor->count_repetition())
    print_copy(p);
  processor->pop_context(2, col_entry);
}

// A spanning cell is written only on the first row it covers; the cell's REPEAT has no effect.
void html_dyn_elt_td::print(html_obj_printer& p) {
  if (!row || !processor)
    return;
  std::int32_t j = row->current_row;
  if (rowspan != 1 && j % rowspan != 0)
    return;
  kov_context_entry* row_entry = processor->push_context(1, rowspan == 1 ? j : j / rowspan);
  if (cols == 1)
    print_one_column(p);
  else
    print_repeated(p, 2, cols);
  processor->pop_context(1, row_entry);
}

void html_dyn_elt_td::print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) {
  if (rowspan == 1) {
    html_dyn_elt::print_attributes(p, attr_list, extra);
    return;
  }
  print_attributes_with_rowspan(p, attr_list, extra);
}

// The attributes with ROWSPAN as an extra before the caller's. Out of line, so that a cell
// without a span passes straight on.
[[gnu::noinline]] void html_dyn_elt_td::print_attributes_with_rowspan(html_obj_printer& p, html_element* attr_list,
                                                                      html_element* extra) {
  auto* span = new html_attr("ROWSPAN", std::to_string(rowspan));
  span->next = extra;
  html_dyn_elt::print_attributes(p, attr_list, span);
  span->next = nullptr;
  span->release();
}

}  // namespace quillet
