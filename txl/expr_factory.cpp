// Node classes by operator code, for translation.
#include <utility>

#include "txl/expr_nodes.h"

namespace quillet {

rc_ptr<txl_expr> make_unary_expr(int code, rc_ptr<txl_expr> operand) {
  switch (code) {
    case txl_op_neg: return make_rc<txl_expr_unary_neg>(std::move(operand));
    case txl_op_inv: return make_rc<txl_expr_unary_inv>(std::move(operand));
    case txl_op_lnot: return make_rc<txl_expr_unary_lnot>(std::move(operand));
    default: return {};
  }
}

rc_ptr<txl_expr> make_binary_expr(int code, rc_ptr<txl_expr> l, rc_ptr<txl_expr> r) {
  switch (code) {
    case txl_op_shl: return make_rc<txl_expr_binary_shl>(std::move(l), std::move(r));
    case txl_op_shr: return make_rc<txl_expr_binary_shr>(std::move(l), std::move(r));
    case txl_op_and: return make_rc<txl_expr_binary_and>(std::move(l), std::move(r));
    case txl_op_or: return make_rc<txl_expr_binary_or>(std::move(l), std::move(r));
    case txl_op_xor: return make_rc<txl_expr_binary_xor>(std::move(l), std::move(r));
    case txl_op_mul: return make_rc<txl_expr_binary_mul>(std::move(l), std::move(r));
    case txl_op_div: return make_rc<txl_expr_binary_div>(std::move(l), std::move(r));
    case txl_op_rem: return make_rc<txl_expr_binary_rem>(std::move(l), std::move(r));
    case txl_op_add: return make_rc<txl_expr_binary_add>(std::move(l), std::move(r));
    case txl_op_sub: return make_rc<txl_expr_binary_sub>(std::move(l), std::move(r));
    case txl_op_land: return make_rc<txl_expr_binary_land>(std::move(l), std::move(r));
    case txl_op_lor: return make_rc<txl_expr_binary_lor>(std::move(l), std::move(r));
    case txl_op_eq: return make_rc<txl_expr_compare_eq>(std::move(l), std::move(r));
    case txl_op_ne: return make_rc<txl_expr_compare_ne>(std::move(l), std::move(r));
    case txl_op_gt: return make_rc<txl_expr_compare_gt>(std::move(l), std::move(r));
    case txl_op_ge: return make_rc<txl_expr_compare_ge>(std::move(l), std::move(r));
    case txl_op_lt: return make_rc<txl_expr_compare_lt>(std::move(l), std::move(r));
    case txl_op_le: return make_rc<txl_expr_compare_le>(std::move(l), std::move(r));
    case txl_op_index: return make_rc<txl_expr_index>(std::move(l), std::move(r));
    default: return {};
  }
}

}  // namespace quillet
