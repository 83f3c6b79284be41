// Parse nodes of the expression language and the compile-time variables they name. The
// compiler's node table owns every node made during one compilation, parents own their
// children; translation turns the finished tree into an evaluation tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "txl/anyval.h"
#include "txl/expr_nodes.h"
#include "txl/rc_object.h"

namespace quillet {

enum txl_node_kind : std::int32_t {
  txl_node_kind_constant = 1,
  txl_node_kind_operator = 2,
  txl_node_kind_list = 3,
  txl_node_kind_varref = 4,
  txl_node_kind_fncall = 5,
  txl_node_kind_loop = 6,
};

class txl_node : public dynamic_object {
public:
  explicit txl_node(std::int32_t k) : kind(k) {}
  // Widens the span to cover [start, end]; -1 leaves a bound alone.
  void extend_span(std::int32_t start, std::int32_t end);
  // Widens the span to cover another node's span.
  void cover(const txl_node& other) { extend_span(other.span_start, other.span_end); }

  std::int32_t kind;
  std::int32_t span_start = -1;  // smallest byte offset covered
  std::int32_t span_end = -1;    // largest byte offset covered
  std::int32_t height = 1;       // longest path down to a leaf, counting this node
};

// A literal, or an identifier (its name as a string value).
class txl_node_const : public txl_node {
public:
  explicit txl_node_const(anyval v) : txl_node(txl_node_kind_constant), value(std::move(v)) {}
  anyval value;
};

class txl_node_op : public txl_node {
public:
  explicit txl_node_op(std::int32_t op, std::int32_t k = txl_node_kind_operator) : txl_node(k), code(op) {}
  // Appends an operand (a sixth is ignored) and grows span and height to cover it.
  void add_operand(rc_ptr<txl_node> operand);

  std::int32_t code;  // txl_op_code
  std::int32_t count = 0;
  rc_ptr<txl_node> operands[5];
};

// "while" (condition, body) or "for" (variable target, start, end, body).
class txl_node_loop : public txl_node_op {
public:
  txl_node_loop(std::int32_t op, std::int32_t enclosing_loop)
      : txl_node_op(op, txl_node_kind_loop), enclosing(enclosing_loop) {}
  std::int32_t enclosing;  // node index of the loop around this one, -1 none
};

// Statements of a statement list, or arguments of a call.
class txl_node_list : public txl_node {
public:
  txl_node_list() : txl_node(txl_node_kind_list) {}
  void add_item(rc_ptr<txl_node> item);
  std::vector<rc_ptr<txl_node>> items;
};

// The name an identifier or user-function-name constant holds; empty for any other node.
std::string txl_node_name(const txl_node* n);

class txl_local_var;

class txl_node_varref : public txl_node {
public:
  txl_node_varref(rc_ptr<txl_local_var> v, bool is_declaration);
  ~txl_node_varref() override;
  rc_ptr<txl_local_var> var;
  rc_ptr<txl_node> index;  // empty unless the reference is indexed
  bool declaration;
};

class txl_node_fncall : public txl_node {
public:
  txl_node_fncall(bool user, std::string function_name)
      : txl_node(txl_node_kind_fncall), user_function(user), name(std::move(function_name)) {}
  bool user_function;  // an `@name` call
  std::string name;
  std::vector<rc_ptr<txl_node>> args;
};

}  // namespace quillet
