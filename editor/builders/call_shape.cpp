// Reading call shapes through the compiler's parse tree.
#include "editor/builders/call_shape.h"

#include "txl/anyval.h"
#include "txl/compiler.h"
#include "txl/expr_text.h"
#include "txl/parse_node.h"

namespace quillet::editor {

namespace {

// The node a text stands for: statement lists and parentheses holding exactly one item are
// stepped through, so "( F( x ) )" is the call itself.
const txl_node* single_node(const txl_node* n) {
  while (n && n->kind == txl_node_kind_list) {
    auto* list = static_cast<const txl_node_list*>(n);
    if (list->items.size() != 1)
      return nullptr;
    n = list->items[0].get();
  }
  return n;
}

// The source text a parse node covers.
std::string span_text(std::string_view text, const txl_node& n) {
  if (n.span_start < 0 || n.span_end < n.span_start)
    return {};
  std::size_t start = static_cast<std::size_t>(n.span_start);
  std::size_t end = std::min(text.size(), static_cast<std::size_t>(n.span_end) + 1);
  return std::string(text.substr(start, end - start));
}

}  // namespace

std::optional<call_shape> match_call(std::string_view text, std::string_view name, std::size_t arity) {
  txl_compiler compiler;
  if (compiler.compile(text) != 0)
    return std::nullopt;
  auto* call = dynamic_cast<const txl_node_fncall*>(single_node(compiler.root()));
  if (!call || call->user_function || (!name.empty() && call->name != name))
    return std::nullopt;
  if (arity != call_any_arity && call->args.size() != arity)
    return std::nullopt;
  call_shape shape{call->name, {}};
  for (const rc_ptr<txl_node>& arg : call->args)
    shape.args.push_back(span_text(text, *arg));
  return shape;
}

std::optional<std::string> string_constant(std::string_view text) {
  anyval value;
  if (!constant_value(text, value) || value.type() != type_string)
    return std::nullopt;
  const std::string* s = value.as_string();
  return s ? *s : std::string();
}

std::optional<int> int_constant(std::string_view text) {
  anyval value;
  if (!constant_value(text, value) || value.type() != type_int)
    return std::nullopt;
  std::int32_t v = 0;
  value.to_int(v);
  return v;
}

std::string string_literal(std::string_view text) {
  std::string out = "\"";
  write_string_literal_body(text, out);
  out += '"';
  return out;
}

bool compiles(std::string_view text) {
  txl_compiler compiler;
  return compiler.compile(text) == 0;
}

}  // namespace quillet::editor
