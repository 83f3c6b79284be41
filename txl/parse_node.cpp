// Parse nodes: spans and heights grow as children are attached.
#include "txl/parse_node.h"

#include <algorithm>

#include "txl/var_scope.h"

namespace quillet {

void txl_node::extend_span(std::int32_t start, std::int32_t end) {
  if (start >= 0 && (span_start < 0 || start < span_start))
    span_start = start;
  if (end >= 0 && end > span_end)
    span_end = end;
}

void txl_node_op::add_operand(rc_ptr<txl_node> operand) {
  if (count >= 5)
    return;
  if (operand) {
    cover(*operand);
    height = std::max(height, operand->height + 1);
  }
  operands[count++] = std::move(operand);
}

void txl_node_list::add_item(rc_ptr<txl_node> item) {
  cover(*item);
  height = std::max(height, item->height + 1);
  items.push_back(std::move(item));
}

std::string txl_node_name(const txl_node* n) {
  auto* constant = dynamic_cast<const txl_node_const*>(n);
  const std::string* text = constant ? constant->value.as_string() : nullptr;
  return text ? *text : std::string();
}

txl_node_varref::txl_node_varref(rc_ptr<txl_local_var> v, bool is_declaration)
    : txl_node(txl_node_kind_varref), var(std::move(v)), declaration(is_declaration) {}

txl_node_varref::~txl_node_varref() = default;

}  // namespace quillet
