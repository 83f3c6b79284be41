// List items (LI) and definition terms (DT): repeated by ROWS with ROW() counting; a DT
// takes along the DD elements that follow it.
#include "doc/html_printer.h"
#include "report/htdoc_processor.h"
#include "report/html_dyn_elt.h"

namespace quillet {

html_dyn_elt_li::~html_dyn_elt_li() { release_list(std::exchange(detached, nullptr)); }

void html_dyn_elt_li::clear() {
  release_list(std::exchange(detached, nullptr));
  html_dyn_elt_generic::clear();
}

static bool is_dd(const html_element* n) {
  return n->kind == html_kind::tag && static_cast<const html_elt_tag*>(n)->name() == "DD";
}

// Cuts the run of comments and DD elements after a DT out of the parent's list when the
// run holds a DD, so that the DT writes them with every repetition.
static html_element* detach_definitions(html_element* dt) {
  html_element* last = nullptr;
  bool has_dd = false;
  for (html_element* n = dt->next; n && (n->kind == html_kind::comment || is_dd(n)); n = n->next) {
    has_dd = has_dd || is_dd(n);
    last = n;
  }
  if (!has_dd)
    return nullptr;
  html_element* first = dt->next;
  dt->next = std::exchange(last->next, nullptr);
  return first;
}

void html_dyn_elt_li::init(htdoc_processor& owner, html_elt_tag* parent, const txl_prop_list* params) {
  if (name() == "DT")
    detached = detach_definitions(this);
  rows_prop = find_prop("ROWS");
  html_dyn_elt_generic::init(owner, parent, params);
  build_dynamic(owner, detached, this, params);
}

void html_dyn_elt_li::print(html_obj_printer& p) {
  if (!rows_prop || !processor) {
    print_once(p);
    return;
  }
  print_repeated(p, 1, int_of(rows_prop, 1));
}

void html_dyn_elt_li::print_once(html_obj_printer& p) {
  html_dyn_elt_generic::print_once(p);
  print_list(p, detached);
}

}  // namespace quillet
