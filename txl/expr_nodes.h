// The evaluation node classes: constants, the root, sequences, "if", loops and jumps,
// variables, and every operator. Translation builds them bottom-up with the constructors
// below; each constructor makes itself the parent of the children it is given.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "txl/expr.h"
#include "txl/numeric_loop.h"

namespace quillet {

// Operator codes of the parse tree that map to one node class each.
enum txl_op_code : int {
  txl_op_plus = 0, txl_op_neg = 1, txl_op_inv = 2, txl_op_lnot = 3,
  txl_op_shl = 4, txl_op_shr = 5, txl_op_and = 6, txl_op_or = 7, txl_op_xor = 8,
  txl_op_mul = 9, txl_op_div = 10, txl_op_rem = 11, txl_op_add = 12, txl_op_sub = 13,
  txl_op_land = 14, txl_op_lor = 15,
  txl_op_eq = 16, txl_op_ne = 17, txl_op_gt = 18, txl_op_ge = 19, txl_op_lt = 20, txl_op_le = 21,
  txl_op_index = 22, txl_op_assign = 23, txl_op_if = 24, txl_op_while = 25, txl_op_for = 26,
  txl_op_return = 27, txl_op_break = 28, txl_op_continue = 29,
};

// A literal value; valid from creation on and never evaluated.
class txl_expr_constant : public txl_expr {
public:
  explicit txl_expr_constant(anyval value);
};

// The top of a user function's body: catches "return" and is valid after every success.
class txl_expr_root : public txl_expr {
public:
  explicit txl_expr_root(rc_ptr<txl_expr> body);
  bool evaluate(std::string& error) override;
};

// Statements in order; the result is the last one's (integer 0 when there is none).
class txl_expr_seq : public txl_expr {
public:
  txl_expr_seq();
  bool evaluate(std::string& error) override;
};

// Children: condition, then-branch, else-branch (a constant 0 when the source had none).
class txl_expr_if : public txl_expr {
public:
  txl_expr_if(rc_ptr<txl_expr> condition, rc_ptr<txl_expr> then_branch, rc_ptr<txl_expr> else_branch);
  bool evaluate(std::string& error) override;
};

// Four child slots: initialisation, condition, step, body; empty slots are skipped.
class txl_expr_for : public txl_expr {
public:
  txl_expr_for(rc_ptr<txl_expr> init, rc_ptr<txl_expr> condition, rc_ptr<txl_expr> step,
               rc_ptr<txl_expr> body);
  bool evaluate(std::string& error) override;

private:
  txl_numeric_loop numeric_;
};

class txl_expr_return : public txl_expr {
public:
  explicit txl_expr_return(rc_ptr<txl_expr> value);
  bool evaluate(std::string& error) override;
};

class txl_expr_break : public txl_expr {
public:
  bool evaluate(std::string& error) override;
};

class txl_expr_continue : public txl_expr {
public:
  bool evaluate(std::string& error) override;
};

// Reads a variable. A declaration node (`var x`) first sets the variable to integer 0.
class txl_expr_var_ref : public txl_expr {
public:
  txl_expr_var_ref(rc_ptr<txl_expr_localvar> storage, bool declaration);
  bool evaluate(std::string& error) override;
  txl_expr_localvar& storage() const { return *link_.storage; }
  bool declaration;

private:
  txl_storage_link link_;
};

// `x = e` (child 0 the value) or `x[i] = e` (child 1 the index, changing the shared vector or
// string in place).
class txl_expr_var_assign : public txl_expr {
public:
  txl_expr_var_assign(rc_ptr<txl_expr_localvar> storage, rc_ptr<txl_expr> value, rc_ptr<txl_expr> index);
  bool evaluate(std::string& error) override;
  txl_expr_localvar& storage() const { return *link_.storage; }

private:
  bool assign_indexed(const anyval& value, std::string& error);
  txl_storage_link link_;
};

class txl_expr_binary_land : public txl_expr {
public:
  txl_expr_binary_land(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right);
  bool evaluate(std::string& error) override;
};

class txl_expr_binary_lor : public txl_expr {
public:
  txl_expr_binary_lor(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right);
  bool evaluate(std::string& error) override;
};

// One operand: evaluates it, then compute.
class txl_expr_unary : public txl_expr {
public:
  explicit txl_expr_unary(rc_ptr<txl_expr> operand);
  bool evaluate(std::string& error) override;
  virtual bool compute(const anyval& operand, std::string& error) = 0;
};

#define QUILLET_UNARY_EXPR(NAME)                                            \
  class NAME : public txl_expr_unary {                                      \
  public:                                                                   \
    using txl_expr_unary::txl_expr_unary;                                   \
    bool compute(const anyval& operand, std::string& error) override;       \
  };
QUILLET_UNARY_EXPR(txl_expr_unary_neg)
QUILLET_UNARY_EXPR(txl_expr_unary_inv)
QUILLET_UNARY_EXPR(txl_expr_unary_lnot)
#undef QUILLET_UNARY_EXPR

// Two operands evaluated left to right, then compute. `op` is the operator code of the
// built-in operator classes (the evaluation works two plain numbers out directly for
// those), -1 for any other class.
class txl_expr_binary : public txl_expr {
public:
  txl_expr_binary(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right, int op_code = -1);
  bool evaluate(std::string& error) override;
  virtual bool compute(const anyval& left, const anyval& right, std::string& error) = 0;
  const int op;

private:
  bool compute_plain(const anyval_imp& left, const anyval_imp& right);
};

#define QUILLET_BINARY_EXPR(NAME, BASE, CODE)                                            \
  class NAME : public BASE {                                                             \
  public:                                                                                \
    NAME(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right)                                  \
        : BASE(std::move(left), std::move(right), CODE) {}                               \
    bool compute(const anyval& left, const anyval& right, std::string& error) override;  \
  };
// `a + b`. As the value of `s = s + e` it may append to s's string where it lies.
class txl_expr_binary_add : public txl_expr_binary {
public:
  txl_expr_binary_add(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right)
      : txl_expr_binary(std::move(left), std::move(right), txl_op_add) {}
  bool compute(const anyval& left, const anyval& right, std::string& error) override;
  // Set by the assignment whose variable is the left operand.
  bool extends_left = false;

private:
  bool append_in_place(const anyval& left, const anyval& right);
  bool concatenate_in_place(const anyval& left, const anyval& right);
};
QUILLET_BINARY_EXPR(txl_expr_binary_sub, txl_expr_binary, txl_op_sub)
QUILLET_BINARY_EXPR(txl_expr_binary_mul, txl_expr_binary, txl_op_mul)
QUILLET_BINARY_EXPR(txl_expr_binary_div, txl_expr_binary, txl_op_div)
QUILLET_BINARY_EXPR(txl_expr_binary_rem, txl_expr_binary, txl_op_rem)
QUILLET_BINARY_EXPR(txl_expr_binary_and, txl_expr_binary, txl_op_and)
QUILLET_BINARY_EXPR(txl_expr_binary_or, txl_expr_binary, txl_op_or)
QUILLET_BINARY_EXPR(txl_expr_binary_xor, txl_expr_binary, txl_op_xor)
QUILLET_BINARY_EXPR(txl_expr_binary_shl, txl_expr_binary, txl_op_shl)
QUILLET_BINARY_EXPR(txl_expr_binary_shr, txl_expr_binary, txl_op_shr)
// `v[i]` where v is a variable or a user-function result.
QUILLET_BINARY_EXPR(txl_expr_index, txl_expr_binary, txl_op_index)
#undef QUILLET_BINARY_EXPR

// The comparisons: two strings compare as byte strings, anything else as numbers.
class txl_expr_compare : public txl_expr_binary {
public:
  txl_expr_compare(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right, int op_code = -1)
      : txl_expr_binary(std::move(left), std::move(right), op_code) {}
  bool compute(const anyval& left, const anyval& right, std::string& error) override;
  virtual bool compare_numbers(double left, double right) = 0;
  virtual bool compare_order(int c) = 0;  // c: strcmp's result
};

#define QUILLET_COMPARE_EXPR(NAME, CODE)                                         \
  class NAME : public txl_expr_compare {                                         \
  public:                                                                        \
    NAME(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right)                          \
        : txl_expr_compare(std::move(left), std::move(right), CODE) {}           \
    bool compare_numbers(double left, double right) override;                     \
    bool compare_order(int c) override;                                          \
  };
QUILLET_COMPARE_EXPR(txl_expr_compare_eq, txl_op_eq)
QUILLET_COMPARE_EXPR(txl_expr_compare_ne, txl_op_ne)
QUILLET_COMPARE_EXPR(txl_expr_compare_gt, txl_op_gt)
QUILLET_COMPARE_EXPR(txl_expr_compare_ge, txl_op_ge)
QUILLET_COMPARE_EXPR(txl_expr_compare_lt, txl_op_lt)
QUILLET_COMPARE_EXPR(txl_expr_compare_le, txl_op_le)
#undef QUILLET_COMPARE_EXPR


// The node for a unary operator code (1 to 3); empty for any other code.
rc_ptr<txl_expr> make_unary_expr(int code, rc_ptr<txl_expr> operand);
// The node for a binary operator code (4 to 22); empty for any other code.
rc_ptr<txl_expr> make_binary_expr(int code, rc_ptr<txl_expr> left, rc_ptr<txl_expr> right);

}  // namespace quillet
