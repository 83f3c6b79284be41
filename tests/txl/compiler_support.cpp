// Parse-tree text and one-shot evaluation for the compiler tests.
#include "compiler_support.h"

#include <cstdio>

#include "txl/binding.h"
#include "txl/user_function.h"
#include "txl/var_scope.h"

namespace quillet::testing_support {

namespace {

const char* const op_names[] = {
    "plus", "neg", "inv", "not", "shl", "shr", "and_bits", "or_bits", "xor", "mul",
    "div", "rem", "add", "sub", "and", "or", "eq", "ne", "gt", "ge", "lt", "le",
    "index", "assign", "if", "while", "for", "return", "break", "continue",
};

std::string value_text(const anyval& v) {
  if (v.type() == type_float) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%gf", static_cast<const anyval_imp_float*>(v.get())->value);
    return buf;
  }
  std::string out;
  write_literal(v, 0, out);
  return out;
}

std::string list_text(const std::vector<rc_ptr<txl_node>>& items, const char* separator) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i)
    out += (i ? separator : "") + tree_text(items[i].get());
  return out;
}

}  // namespace

std::string tree_text(const txl_node* n) {
  if (!n)
    return "null";
  switch (n->kind) {
    case txl_node_kind_constant:
      return value_text(static_cast<const txl_node_const*>(n)->value);
    case txl_node_kind_list:
      return "{" + list_text(static_cast<const txl_node_list*>(n)->items, "; ") + "}";
    case txl_node_kind_varref: {
      auto* r = static_cast<const txl_node_varref*>(n);
      std::string out = (r->declaration ? "var " : "") + r->var->name;
      return r->index ? out + "[" + tree_text(r->index.get()) + "]" : out;
    }
    case txl_node_kind_fncall: {
      auto* c = static_cast<const txl_node_fncall*>(n);
      std::string out = (c->user_function ? "@" : "") + c->name;
      if (c->user_function && c->args.empty())
        return out;
      return out + "(" + list_text(c->args, ", ") + ")";
    }
    default:
      break;
  }
  auto* op = static_cast<const txl_node_op*>(n);
  std::string out = "(";
  out += op->code >= 0 && op->code < 30 ? op_names[op->code] : "?";
  for (int i = 0; i < op->count; ++i)
    out += " " + tree_text(op->operands[i].get());
  return out + ")";
}

std::string parse_text(std::string_view source) {
  txl_compiler c;
  if (c.compile(source) != 0)
    return "error " + std::to_string(c.error().code);
  return tree_text(c.root());
}

std::string eval_text(std::string_view source) {
  auto fn = make_rc<txl_user_function>("test", std::string(source));
  txl_compiler c;
  if (c.compile(source, fn.get()) != 0)
    return txl_compile_message(c.error());
  txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(*fn);
  anyval result;
  std::string error;
  std::string out;
  if (!evaluate_user_function(*fn, anyval::from_vector({}), result, error))
    out = error;
  else
    write_literal(result, 0, out);
  fn->unbind_calls();
  return out;
}

}  // namespace quillet::testing_support
