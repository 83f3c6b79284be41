// The grammar's actions for calls, indexing of call results and parentheses.
#include "txl/compiler.h"

#include <algorithm>

namespace quillet {

namespace {

// Moves the argument expressions of a list node into a call node.
void take_arguments(txl_node_fncall& call, txl_node* list_node) {
  auto* list = dynamic_cast<txl_node_list*>(list_node);
  if (!list)
    return;
  call.cover(*list);
  for (const rc_ptr<txl_node>& arg : list->items)
    call.height = std::max(call.height, arg->height + 1);
  call.args = std::move(list->items);
}

}  // namespace

// "(" arguments ")": the list of argument expressions (a new empty one for "()"), its span
// widened to the parentheses.
int txl_compiler::make_arguments(int open, int list, int close) {
  if (list < 0)
    list = make_list(txl_no_node);
  txl_node* n = node(list);
  n->extend_span(open, close);
  return list;
}

// A built-in or channel function call by name.
int txl_compiler::make_call(int name, int arguments) {
  txl_node* name_node = node(name);
  auto call = make_rc<txl_node_fncall>(false, txl_node_name(name_node));
  call->cover(*name_node);
  take_arguments(*call, node(arguments));
  return add_checked(std::move(call));
}

// "@" and a name (identifier or string literal): the name's constant node, its span widened
// to the "@".
int txl_compiler::user_function_name(int at, int name) {
  node(name)->extend_span(at, -1);
  return name;
}

// A user-function call; without an argument list it has no arguments.
int txl_compiler::make_user_call(int name, int arguments) {
  txl_node* name_node = node(name);
  auto call = make_rc<txl_node_fncall>(true, txl_node_name(name_node));
  call->cover(*name_node);
  take_arguments(*call, node(arguments));
  return add_checked(std::move(call));
}

// A user-function result indexed once: `@f(1)[0]`.
int txl_compiler::make_index(int call, int index, int close) {
  auto op = make_rc<txl_node_op>(txl_op_index);
  op->add_operand(node_ref(call));
  op->add_operand(node_ref(index));
  op->extend_span(-1, close);
  return add_checked(std::move(op));
}

// "(" program ")": closes the scope the parenthesis opened and yields the inner program,
// its span widened to the parentheses.
int txl_compiler::parenthesised(int open, int program, int close) {
  close_scope();
  node(program)->extend_span(open, close);
  return program;
}

}  // namespace quillet
