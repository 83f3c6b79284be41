// Running numeric-loop programs: loading the variables, the interpreter, and handing the
// results back to the variables and the result cache.
#include "txl/numeric_loop.h"

#include <cmath>

#include "txl/expr_nodes.h"
#include "txl/expr_store.h"
#include "txl/loop_budget.h"
#include "txl/numeric_body_run.h"

namespace quillet {

using namespace nl_run;

namespace {

inline double number(const nl_reg& r) { return r.kind == type_float ? r.f : static_cast<double>(r.i); }

// A float's integer conversion always succeeds (see truncate_to_int32).
inline std::int32_t integer(const nl_reg& r) { return r.kind == type_float ? truncate_to_int32(r.f) : r.i; }

inline bool truth_of(const nl_reg& r) { return integer(r) != 0; }

inline std::uint32_t unsigned_of(const nl_reg& r) { return static_cast<std::uint32_t>(integer(r)); }

// A NaN makes ==, <= and < true and !=, > and >= false, as the tree's comparisons do.
inline bool is_eq(double a, double b) { return !(a < b) && !(a > b); }
inline bool is_ne(double a, double b) { return a < b || a > b; }
inline bool is_gt(double a, double b) { return a > b; }
inline bool is_ge(double a, double b) { return a >= b; }
inline bool is_lt(double a, double b) { return !(a >= b); }
inline bool is_le(double a, double b) { return !(a > b); }

}  // namespace

// Threaded dispatch: every handler ends in its own jump to the next one, which the
// processor predicts far better than one shared switch.
bool execute_numeric_loop(const nl_program& program, nl_reg* r, nl_run_notes& notes, std::string& error) {
  static const void* const handlers[] = {
      &&add, &&sub, &&mul, &&div, &&rem, &&band, &&bor, &&bxor, &&shl, &&shr,
      &&cmp_eq, &&cmp_ne, &&cmp_gt, &&cmp_ge, &&cmp_lt, &&cmp_le,
      &&neg, &&inv, &&lnot, &&truth, &&copy, &&set_int, &&check, &&jump, &&jump_false, &&jump_true,
      &&jump_if_eq, &&jump_if_ne, &&jump_if_gt, &&jump_if_ge, &&jump_if_lt, &&jump_if_le,
      &&jump_unless_eq, &&jump_unless_ne, &&jump_unless_gt, &&jump_unless_ge, &&jump_unless_lt,
      &&jump_unless_le, &&jump_break, &&count, &&math, &&leaf,
      &&add_ff, &&sub_ff, &&mul_ff, &&div_ff, &&math_f, &&floor_f, &&ceil_f, &&abs_f,
      &&div_floor_ff, &&mul_sub, &&sub_mul, &&mul_sub_ff, &&sub_mul_ff, &&end,
  };
  static_assert(sizeof handlers / sizeof handlers[0] == static_cast<std::size_t>(nl_op::end) + 1);
  const nl_insn* const code = program.code.data();
  const nl_insn* pc = code;
  char* const bytes = reinterpret_cast<char*>(r);
  // The register at a byte offset (see nl_insn).
  const auto reg = [bytes](std::int32_t offset) -> nl_reg& {
    return *reinterpret_cast<nl_reg*>(bytes + offset);
  };
#define QUILLET_NEXT goto *handlers[static_cast<int>(pc->op)]
#define QUILLET_STEP \
  ++pc;              \
  QUILLET_NEXT
// A math call's node is given the result when it has none, so that the call counts as having
// one, as after the tree's evaluation; then the next instruction. The node stays invalid, so
// nothing reads its number, and later runs leave it as it is.
#define QUILLET_CALL_STEP                                                                     \
  if (anyval& held = program.calls[static_cast<std::size_t>(pc->target)].node->result; held.empty()) \
    store_register(held, reg(pc->dst));                                                       \
  QUILLET_STEP
#define QUILLET_KNOWN_MATH(NAME, FN)                                                            \
  NAME:                                                                                         \
  put_float(reg(pc->dst), FN(reg(pc->a).f));                                                    \
  QUILLET_CALL_STEP;
#define QUILLET_FLOAT_OP(NAME, OP)                                                              \
  NAME:                                                                                         \
  put_float(reg(pc->dst), number(reg(pc->a)) OP number(reg(pc->b)));                            \
  QUILLET_STEP;
#define QUILLET_FLOATS_OP(NAME, OP)                                                             \
  NAME##_ff:                                                                                    \
  put_float(reg(pc->dst), reg(pc->a).f OP reg(pc->b).f);                                        \
  QUILLET_STEP;
// A product and a third register (in `target`) in the order the two instructions had.
#define QUILLET_FUSED_OPS(NAME, EXPR)                                                           \
  NAME:                                                                                         \
  put_float(reg(pc->dst), [](double a, double b, double c) { return EXPR; }(                   \
                              number(reg(pc->a)), number(reg(pc->b)), number(reg(pc->target))));  \
  QUILLET_STEP;                                                                                 \
  NAME##_ff:                                                                                    \
  put_float(reg(pc->dst), [](double a, double b, double c) { return EXPR; }(                   \
                              reg(pc->a).f, reg(pc->b).f, reg(pc->target).f));                 \
  QUILLET_STEP;
#define QUILLET_COMPARE_OPS(NAME)                                                               \
  cmp_##NAME:                                                                                   \
  put_int(reg(pc->dst), is_##NAME(number(reg(pc->a)), number(reg(pc->b))));                     \
  QUILLET_STEP;                                                                                 \
  jump_if_##NAME:                                                                               \
  pc = is_##NAME(number(reg(pc->a)), number(reg(pc->b))) ? code + pc->target : pc + 1;          \
  QUILLET_NEXT;                                                                                 \
  jump_unless_##NAME:                                                                           \
  pc = is_##NAME(number(reg(pc->a)), number(reg(pc->b))) ? pc + 1 : code + pc->target;          \
  QUILLET_NEXT;

  QUILLET_NEXT;
  QUILLET_FLOAT_OP(add, +)
  QUILLET_FLOAT_OP(sub, -)
  QUILLET_FLOAT_OP(mul, *)
  QUILLET_FLOAT_OP(div, /)
  QUILLET_FLOATS_OP(add, +)
  QUILLET_FLOATS_OP(sub, -)
  QUILLET_FLOATS_OP(mul, *)
  QUILLET_FLOATS_OP(div, /)
  QUILLET_FUSED_OPS(mul_sub, a * b - c)
  QUILLET_FUSED_OPS(sub_mul, c - a * b)
  QUILLET_COMPARE_OPS(eq)
  QUILLET_COMPARE_OPS(ne)
  QUILLET_COMPARE_OPS(gt)
  QUILLET_COMPARE_OPS(ge)
  QUILLET_COMPARE_OPS(lt)
  QUILLET_COMPARE_OPS(le)
rem : {
  const std::uint32_t a = unsigned_of(reg(pc->a));
  const std::uint32_t b = unsigned_of(reg(pc->b));
  put_int(reg(pc->dst), static_cast<std::int32_t>(b ? a % b : a));
  QUILLET_STEP;
}
band:
  put_int(reg(pc->dst), integer(reg(pc->a)) & integer(reg(pc->b)));
  QUILLET_STEP;
bor:
  put_int(reg(pc->dst), integer(reg(pc->a)) | integer(reg(pc->b)));
  QUILLET_STEP;
bxor:
  put_int(reg(pc->dst), integer(reg(pc->a)) ^ integer(reg(pc->b)));
  QUILLET_STEP;
shl:
  put_int(reg(pc->dst), static_cast<std::int32_t>(unsigned_of(reg(pc->a)) << (integer(reg(pc->b)) & 31)));
  QUILLET_STEP;
shr:
  put_int(reg(pc->dst), integer(reg(pc->a)) >> (integer(reg(pc->b)) & 31));
  QUILLET_STEP;
neg:
  if (reg(pc->a).kind == type_float)
    put_float(reg(pc->dst), -reg(pc->a).f);
  else
    put_int(reg(pc->dst), static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(reg(pc->a).i)));
  QUILLET_STEP;
inv:
  put_int(reg(pc->dst), ~integer(reg(pc->a)));
  QUILLET_STEP;
lnot:
  put_int(reg(pc->dst), truth_of(reg(pc->a)) ? 0 : 1);
  QUILLET_STEP;
truth:
  put_int(reg(pc->dst), truth_of(reg(pc->a)) ? 1 : 0);
  QUILLET_STEP;
copy:
  reg(pc->dst) = reg(pc->a);
  reg(pc->dst).written = 1;
  QUILLET_STEP;
set_int:
  put_int(reg(pc->dst), pc->a);
  QUILLET_STEP;
check:
  if (!reg(pc->a).kind) {
    error = "#NVAL#";
    return false;
  }
  QUILLET_STEP;
jump:
  pc = code + pc->target;
  QUILLET_NEXT;
jump_false:
  pc = truth_of(reg(pc->a)) ? pc + 1 : code + pc->target;
  QUILLET_NEXT;
jump_true:
  pc = truth_of(reg(pc->a)) ? code + pc->target : pc + 1;
  QUILLET_NEXT;
jump_break:
  notes.jumped = true;
  pc = code + pc->target;
  QUILLET_NEXT;
count:
  if (!txl_count_loop_iteration(error))
    return false;
  QUILLET_STEP;
math : {
  const txl_number_form& form = *program.forms[static_cast<std::size_t>(pc->b)];
  const nl_reg& x = reg(pc->a);
  if (x.kind == type_float)
    put_float(reg(pc->dst), form.on_float(x.f));
  else if (form.on_int == txl_int_rule::same)
    put_int(reg(pc->dst), x.i);
  else if (form.on_int == txl_int_rule::magnitude)
    put_int(reg(pc->dst), static_cast<std::int32_t>(x.i < 0 ? 0u - static_cast<std::uint32_t>(x.i)
                                                             : static_cast<std::uint32_t>(x.i)));
  else
    put_float(reg(pc->dst), form.on_float(static_cast<double>(x.i)));
  QUILLET_CALL_STEP;
}
math_f:
  put_float(reg(pc->dst), program.forms[static_cast<std::size_t>(pc->b)]->on_float(reg(pc->a).f));
  QUILLET_CALL_STEP;
  QUILLET_KNOWN_MATH(floor_f, std::floor)
  QUILLET_KNOWN_MATH(ceil_f, std::ceil)
  QUILLET_KNOWN_MATH(abs_f, std::fabs)
div_floor_ff:
  put_float(reg(pc->dst), std::floor(reg(pc->a).f / reg(pc->b).f));
  QUILLET_CALL_STEP;
leaf : {
  const nl_program::node_register& leaf = program.leaves[static_cast<std::size_t>(pc->b)];
  // A valid leaf is taken as it stands, as evaluate_child would, without counting the nesting.
  const bool ready = leaf.node->valid && !leaf.node->value().empty();
  if (!ready && !txl_expr::evaluate_nested(*leaf.node, leaf.levels, error))
    return false;
  if (!leaf.node->valid)  // only these would be evaluated again by the tree
    notes.evaluated.push_back(leaf.node);
  if (!load_number(leaf.node->value().get(), reg(pc->dst))) {
    notes.stopped = true;
    return false;
  }
  QUILLET_STEP;
}
end:
  return true;
#undef QUILLET_KNOWN_MATH
#undef QUILLET_CALL_STEP
#undef QUILLET_COMPARE_OPS
#undef QUILLET_FUSED_OPS
#undef QUILLET_FLOATS_OP
#undef QUILLET_FLOAT_OP
#undef QUILLET_STEP
#undef QUILLET_NEXT
}

// The program for the loop's current shape, built when missing or stale. A loop found
// unsuitable stays so until its tree changes.
bool txl_numeric_loop::prepare(txl_expr_for& loop, bool counting) {
  const std::uint64_t shape = txl_tree_shape();
  if (known_ && shape_ == shape && (!suitable_ || program_->counting == counting))
    return suitable_;
  program_ = build_numeric_loop(loop, counting, {});
  regs_for_ = nullptr;
  shape_ = shape;
  known_ = true;
  suitable_ = program_ != nullptr;
  return suitable_;
}


numeric_loop_outcome txl_numeric_loop::run(txl_expr_for& loop, bool& stays_valid, std::string& error) {
  if (!txl_numeric_loops_enabled || !prepare(loop, txl_loop_budget_in_scope()))
    return numeric_loop_outcome::unsuitable;
  if (txl_expr::eval_depth() + program_->depth >= txl_max_eval_depth)
    return numeric_loop_outcome::unsuitable;
  reset_registers(*program_, regs_, regs_for_);
  bool unchecked_empty = false;
  if (!load_vars(*program_, regs_, unchecked_empty))
    return numeric_loop_outcome::unsuitable;
  if (unchecked_empty) {
    program_ = build_numeric_loop(loop, program_->counting, vars_to_check(*program_));
    regs_for_ = nullptr;
    if (!program_) {
      suitable_ = false;
      return numeric_loop_outcome::unsuitable;
    }
    reset_registers(*program_, regs_, regs_for_);
    load_vars(*program_, regs_, unchecked_empty);
  }
  const nl_program& p = *program_;
  ++txl_numeric_loop_runs;
  nl_run_notes notes;
  const bool ok = execute_numeric_loop(p, regs_.data(), notes, error);
  stays_valid = !hand_back(p, regs_) && !notes.jumped;
  return ok ? numeric_loop_outcome::finished : numeric_loop_outcome::failed;
}

namespace nl_run {

// The variables that are empty now or were checked before, for a program rebuilt because
// an empty one would be read unchecked.
std::vector<const txl_expr_localvar*> vars_to_check(const nl_program& p) {
  std::vector<const txl_expr_localvar*> out;
  for (std::size_t i = 0; i < p.vars.size(); ++i)
    if (p.checked[i] || p.vars[i]->value.empty())
      out.push_back(p.vars[i]);
  return out;
}

// A run stopped at a leaf, evaluated in its place, that gave something other than a number:
// before it the program only declared variables and computed, so the tree evaluates the
// whole body instead. The leaves already evaluated count as valid meanwhile, as the tree
// would not evaluate them twice; a leaf that was not valid after its evaluation (the only
// ones `evaluated` lists) is left invalid afterwards, and
// so are its ancestors up to the nearest one whose validity does not rest on its children,
// as the tree leaves them.
bool finish_as_tree(txl_expr_root& root, const std::vector<txl_expr*>& evaluated, std::string& error) {
  std::vector<txl_expr*> lent;
  for (txl_expr* leaf : evaluated)
    if (!leaf->valid) {
      leaf->valid = true;
      lent.push_back(leaf);
    }
  const bool ok = txl_expr::evaluate_child(root, error);
  for (txl_expr* leaf : lent)
    for (txl_expr* n = leaf; n; n = n->parent) {
      n->valid = false;
      if (n != leaf && n->may_outlive_children)
        break;
    }
  return ok;
}

}  // namespace nl_run

// The program built again with the reads of the variables empty now checked, and its
// registers loaded; false when the body no longer qualifies or an input is no number.
bool txl_numeric_body::rebuild_checked(txl_expr& body) {
  program_ = build_numeric_body(body, program_->counting, vars_to_check(*program_));
  regs_for_ = nullptr;
  last_code_ = nullptr;
  if (!program_) {
    suitable_ = false;
    return false;
  }
  reset_registers(*program_, regs_, regs_for_);
  bool unchecked_empty = false;
  return load_inputs(*program_, regs_) && load_vars(*program_, regs_, unchecked_empty);
}

bool txl_numeric_body::prepare(txl_expr& body, bool counting) {
  const std::uint64_t shape = txl_tree_shape();
  if (known_ && shape_ == shape && (!suitable_ || program_->counting == counting))
    return suitable_;
  program_ = build_numeric_body(body, counting, {});
  regs_for_ = nullptr;
  last_code_ = nullptr;  // a new program's code may lie where the old one's did
  shape_ = shape;
  known_ = true;
  suitable_ = program_ != nullptr;
  return suitable_;
}

}  // namespace quillet
