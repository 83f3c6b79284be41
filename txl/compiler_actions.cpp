// The grammar's actions: each makes one parse node from the nodes of a rule, widening spans
// to the rule's tokens, and resolves variables and loop context as it goes.
#include "txl/compiler.h"

namespace quillet {

void txl_compiler::set_root(int program) { root_ = node(program); }

int txl_compiler::make_op(std::int32_t code, int left, int right) {
  auto op = make_rc<txl_node_op>(code);
  op->add_operand(node_ref(left));
  op->add_operand(node_ref(right));
  return add_checked(std::move(op));
}

// A prefix operator: its span starts at the operator.
int txl_compiler::make_unary(std::int32_t code, int op_offset, int operand) {
  auto op = make_rc<txl_node_op>(code);
  op->extend_span(op_offset, op_offset);
  op->add_operand(node_ref(operand));
  return add_checked(std::move(op));
}

int txl_compiler::make_return(int keyword, int value) {
  return make_unary(txl_op_return, keyword, value);
}

// "if" with two or three operands; without "else" the else operand stays absent.
int txl_compiler::make_if(int keyword, int condition, int then_branch, int else_branch) {
  auto op = make_rc<txl_node_op>(txl_op_if);
  op->extend_span(keyword, keyword);
  op->add_operand(node_ref(condition));
  op->add_operand(node_ref(then_branch));
  if (else_branch >= 0)
    op->add_operand(node_ref(else_branch));
  return add_checked(std::move(op));
}

// A loop node opened before its body is parsed; it becomes the innermost loop, so that
// "break" and "continue" in the body are accepted.
int txl_compiler::make_loop(std::int32_t code, int keyword) {
  auto loop = make_rc<txl_node_loop>(code, innermost_loop_);
  loop->extend_span(keyword, keyword);
  innermost_loop_ = add_node(std::move(loop));
  return innermost_loop_;
}

int txl_compiler::make_while(int keyword, int condition) {
  int loop = make_loop(txl_op_while, keyword);
  static_cast<txl_node_loop*>(node(loop))->add_operand(node_ref(condition));
  return loop;
}

int txl_compiler::make_for(int keyword, int target, int start, int end) {
  int loop = make_loop(txl_op_for, keyword);
  auto* n = static_cast<txl_node_loop*>(node(loop));
  n->add_operand(node_ref(target));
  n->add_operand(node_ref(start));
  n->add_operand(node_ref(end));
  return loop;
}

// Completes the innermost loop with its body and makes the loop around it innermost again.
int txl_compiler::attach_loop_body(int body) {
  int index = innermost_loop_;
  auto* loop = static_cast<txl_node_loop*>(node(index));
  loop->add_operand(node_ref(body));
  innermost_loop_ = loop->enclosing;
  if (loop->height > txl_max_tree_height) {
    record_error(txl_err_syntax, token_start_);
    return -1;
  }
  return index;
}

// "break" or "continue": only inside a loop, else the error is placed on the keyword.
int txl_compiler::make_jump(std::int32_t code, int keyword) {
  if (innermost_loop_ < 0) {
    record_error(txl_err_no_loop, keyword);
    return -1;
  }
  auto op = make_rc<txl_node_op>(code);
  op->extend_span(keyword, keyword);
  return add_node(std::move(op));
}

// A list node, holding the first item unless it stands for nothing.
int txl_compiler::make_list(int first_item) {
  auto list = make_rc<txl_node_list>();
  if (first_item >= 0)
    list->add_item(node_ref(first_item));
  return add_checked(std::move(list));
}

// Appends to a list node; an empty statement adds nothing.
int txl_compiler::append(int list, int item) {
  auto* l = dynamic_cast<txl_node_list*>(node(list));
  if (!l) {
    record_error(txl_err_syntax, token_start_);
    return -1;
  }
  if (item < 0)
    return list;
  l->add_item(node_ref(item));
  if (l->height > txl_max_tree_height) {
    record_error(txl_err_syntax, token_start_);
    return -1;
  }
  return list;
}

int txl_compiler::end_statement(int body, int semicolon) {
  node(body)->extend_span(-1, semicolon);
  return body;
}

// "var name": a new variable in the current scope, unless that scope already has one of the
// name; that error is placed on the token after the name.
int txl_compiler::declare(int keyword, int name) {
  txl_node* name_node = node(name);
  std::string text = txl_node_name(name_node);
  txl_local_var* existing = vars_.lookup(text);
  txl_var_context* scope = scopes_.back().get();
  if (existing && existing->scope == scope) {
    record_error(txl_err_redefined, lexer_.skip_blanks(name_node->span_end + 1), text);
    return -1;
  }
  auto var = make_rc<txl_local_var>(scope, text, txl_var_ordinary);
  vars_.define(var);
  auto ref = make_rc<txl_node_varref>(std::move(var), true);
  ref->extend_span(keyword, keyword);
  ref->cover(*name_node);
  return add_node(std::move(ref));
}

// A reference to the newest visible variable of the name; an unknown name is an error
// placed on the name.
int txl_compiler::reference(int name) {
  txl_node* name_node = node(name);
  std::string text = txl_node_name(name_node);
  txl_local_var* var = vars_.lookup(text);
  if (!var) {
    record_error(txl_err_undefined, name_node->span_start, text);
    return -1;
  }
  auto ref = make_rc<txl_node_varref>(rc_ptr<txl_local_var>(var), false);
  ref->cover(*name_node);
  return add_node(std::move(ref));
}

int txl_compiler::reference_indexed(int name, int index, int close) {
  int ref = reference(name);
  if (ref < 0)
    return -1;
  auto* n = static_cast<txl_node_varref*>(node(ref));
  n->index = node_ref(index);
  n->cover(*n->index);
  n->extend_span(-1, close);
  n->height = n->index->height + 1;
  if (n->height > txl_max_tree_height) {
    record_error(txl_err_syntax, token_start_);
    return -1;
  }
  return ref;
}

}  // namespace quillet
