// Writing directive comments into a node list.
#include "doc/template_markup.h"

namespace quillet {

void write_directive_list(html_element*& list, int index, const txl_prop_list& props, bool at_end) {
  auto* node = new html_elt_comment(directive_comment_text(index, props));
  if (at_end) {
    append_node(list, node);
    return;
  }
  node->next = list;
  list = node;
}

void write_directive_vars(html_element*& list, const txl_prop_list& props) {
  for (const rc_ptr<txl_user_function>& p : props) {
    if (!p)
      continue;
    auto* node = new html_elt_comment(directive_comment_text(directive_var, txl_prop_list{p}));
    node->flags = html_object::NL_AFTER;
    append_node(list, node);
  }
}

}  // namespace quillet
