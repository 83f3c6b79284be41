// Translation of a finished parse tree into the evaluation tree of a user function: one
// node class per parse-node kind and operator, negated numeric constants folded, "for"
// loops spelled out as initialisation, condition, step and body, spans carried over.
// Recursion follows the tree, whose height the compiler bounds.
#include <vector>

#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet {

namespace {

class translator {
public:
  explicit translator(txl_user_function& target) : target_(target) {}

  rc_ptr<txl_expr> translate(const txl_node& n);
  std::vector<rc_ptr<txl_expr_fncall>> sites;

private:
  rc_ptr<txl_expr> translate_list(const txl_node_list& n);
  rc_ptr<txl_expr> translate_call(const txl_node_fncall& n);
  rc_ptr<txl_expr> translate_varref(const txl_node_varref& n);
  rc_ptr<txl_expr> translate_op(const txl_node_op& n);
  rc_ptr<txl_expr> translate_negation(const txl_node_op& n);
  rc_ptr<txl_expr> translate_assign(const txl_node& target, rc_ptr<txl_expr> value);
  rc_ptr<txl_expr> translate_if(const txl_node_op& n);
  rc_ptr<txl_expr> translate_loop(const txl_node_loop& n);
  rc_ptr<txl_expr> operand(const txl_node_op& n, int i) {
    return n.operands[i] ? translate(*n.operands[i]) : rc_ptr<txl_expr>();
  }
  rc_ptr<txl_expr_localvar> storage_of(txl_local_var& var);

  txl_user_function& target_;
};

// Widens a new node's span to its parse node's and its children's spans.
rc_ptr<txl_expr> with_span(rc_ptr<txl_expr> e, const txl_node& n) {
  if (!e)
    return e;
  e->extend_span(n.span_start, n.span_end);
  for (const rc_ptr<txl_expr>& child : e->children)
    if (child)
      e->extend_span(child->span_start, child->span_end);
  return e;
}

// The constant a translated operand stands for, stepping through roots and sequences of
// exactly one statement; null when it is not a constant.
txl_expr_constant* constant_inside(txl_expr* e) {
  while (e) {
    if (auto* c = dynamic_cast<txl_expr_constant*>(e))
      return c;
    bool root = dynamic_cast<txl_expr_root*>(e) != nullptr;
    bool single = dynamic_cast<txl_expr_seq*>(e) != nullptr && e->child_count() == 1;
    if (!root && !single)
      return nullptr;
    e = e->child(0);
  }
  return nullptr;
}

rc_ptr<txl_expr> translator::translate(const txl_node& n) {
  switch (n.kind) {
    case txl_node_kind_constant:
      return with_span(make_rc<txl_expr_constant>(static_cast<const txl_node_const&>(n).value), n);
    case txl_node_kind_list:
      return translate_list(static_cast<const txl_node_list&>(n));
    case txl_node_kind_fncall:
      return translate_call(static_cast<const txl_node_fncall&>(n));
    case txl_node_kind_varref:
      return translate_varref(static_cast<const txl_node_varref&>(n));
    case txl_node_kind_operator:
      return translate_op(static_cast<const txl_node_op&>(n));
    case txl_node_kind_loop:
      return translate_loop(static_cast<const txl_node_loop&>(n));
    default:
      return {};
  }
}

rc_ptr<txl_expr> translator::translate_list(const txl_node_list& n) {
  auto seq = make_rc<txl_expr_seq>();
  for (const rc_ptr<txl_node>& item : n.items) {
    rc_ptr<txl_expr> e = translate(*item);
    if (!e)
      return {};
    seq->add_child(std::move(e));
  }
  return with_span(std::move(seq), n);
}

// A call node with its arguments as children; it joins the call sites after its arguments'
// own calls.
rc_ptr<txl_expr> translator::translate_call(const txl_node_fncall& n) {
  auto call = make_rc<txl_expr_fncall>(n.user_function, n.name);
  for (const rc_ptr<txl_node>& arg : n.args) {
    rc_ptr<txl_expr> e = translate(*arg);
    if (!e)
      return {};
    call->add_child(std::move(e));
  }
  with_span(call, n);
  sites.push_back(call);
  return call;
}

// ARGS reads the target's argument storage; any other variable gets one storage, made at
// its first reference and shared by all later ones.
rc_ptr<txl_expr_localvar> translator::storage_of(txl_local_var& var) {
  if (var.kind == txl_var_args)
    return target_.args;
  if (!var.storage)
    var.storage = make_rc<txl_expr_localvar>();
  return var.storage;
}

rc_ptr<txl_expr> translator::translate_varref(const txl_node_varref& n) {
  rc_ptr<txl_expr> ref = make_rc<txl_expr_var_ref>(storage_of(*n.var), n.declaration);
  with_span(ref, n);
  if (!n.index)
    return ref;
  rc_ptr<txl_expr> index = translate(*n.index);
  if (!index)
    return {};
  return with_span(make_rc<txl_expr_index>(std::move(ref), std::move(index)), n);
}

// Operators by code: unary plus vanishes, "-" may fold into a constant, assignment, "if"
// and the jumps have shapes of their own, every other code maps to one node class.
rc_ptr<txl_expr> translator::translate_op(const txl_node_op& n) {
  switch (n.code) {
    case txl_op_plus: {
      rc_ptr<txl_expr> e = operand(n, 0);
      return with_span(std::move(e), n);
    }
    case txl_op_neg:
      return translate_negation(n);
    case txl_op_assign: {
      rc_ptr<txl_expr> value = operand(n, 1);
      return value && n.operands[0] ? with_span(translate_assign(*n.operands[0], std::move(value)), n) : nullptr;
    }
    case txl_op_if:
      return translate_if(n);
    case txl_op_return: {
      rc_ptr<txl_expr> value = operand(n, 0);
      return value ? with_span(make_rc<txl_expr_return>(std::move(value)), n) : nullptr;
    }
    case txl_op_break:
      return with_span(make_rc<txl_expr_break>(), n);
    case txl_op_continue:
      return with_span(make_rc<txl_expr_continue>(), n);
    default:
      break;
  }
  rc_ptr<txl_expr> left = operand(n, 0);
  if (!left)
    return {};
  if (n.count == 1)
    return with_span(make_unary_expr(n.code, std::move(left)), n);
  rc_ptr<txl_expr> right = operand(n, 1);
  if (!right)
    return {};
  return with_span(make_binary_expr(n.code, std::move(left), std::move(right)), n);
}

// "-" over a numeric constant negates the constant itself (so -5 is the constant -5, and
// -2147483648 the smallest integer); over anything else it is a negation node.
rc_ptr<txl_expr> translator::translate_negation(const txl_node_op& n) {
  rc_ptr<txl_expr> e = operand(n, 0);
  if (!e)
    return {};
  txl_expr_constant* c = constant_inside(e.get());
  const anyval& v = c ? c->result : anyval();
  if (v.type() == type_int) {
    auto bits = static_cast<std::uint32_t>(static_cast<const anyval_imp_int*>(v.get())->value);
    c->result = anyval::from_int(static_cast<std::int32_t>(0u - bits));
    return with_span(std::move(e), n);
  }
  if (v.type() == type_float) {
    c->result = anyval::from_float(-static_cast<const anyval_imp_float*>(v.get())->value);
    return with_span(std::move(e), n);
  }
  return with_span(make_unary_expr(txl_op_neg, std::move(e)), n);
}

// `v = value` or `v[i] = value` into the target variable's storage.
rc_ptr<txl_expr> translator::translate_assign(const txl_node& target, rc_ptr<txl_expr> value) {
  auto* ref = dynamic_cast<const txl_node_varref*>(&target);
  if (!ref)
    return {};
  rc_ptr<txl_expr> index;
  if (ref->index) {
    index = translate(*ref->index);
    if (!index)
      return {};
  }
  auto assign = make_rc<txl_expr_var_assign>(storage_of(*ref->var), std::move(value), std::move(index));
  return with_span(std::move(assign), target);
}

// "if" always has three children; a missing "else" is the constant 0.
rc_ptr<txl_expr> translator::translate_if(const txl_node_op& n) {
  rc_ptr<txl_expr> condition = operand(n, 0);
  rc_ptr<txl_expr> then_branch = operand(n, 1);
  rc_ptr<txl_expr> else_branch = n.count > 2 ? operand(n, 2) : rc_ptr<txl_expr>(make_rc<txl_expr_constant>(anyval::from_int(0)));
  if (!condition || !then_branch || !else_branch)
    return {};
  return with_span(make_rc<txl_expr_if>(std::move(condition), std::move(then_branch), std::move(else_branch)), n);
}

// "while c do b" fills only the condition and body slots. "for v = s to e do b" becomes
// v = s; v <= e (e evaluated before every iteration); v = v + 1; b, each v a fresh reference.
rc_ptr<txl_expr> translator::translate_loop(const txl_node_loop& n) {
  if (n.code == txl_op_while) {
    rc_ptr<txl_expr> condition = operand(n, 0);
    rc_ptr<txl_expr> body = operand(n, 1);
    if (!condition || !body)
      return {};
    return with_span(make_rc<txl_expr_for>(nullptr, std::move(condition), nullptr, std::move(body)), n);
  }
  if (n.count != 4)
    return {};
  const txl_node& v = *n.operands[0];
  rc_ptr<txl_expr> start = operand(n, 1);
  rc_ptr<txl_expr> init = start ? translate_assign(v, std::move(start)) : nullptr;
  rc_ptr<txl_expr> end = operand(n, 2);
  rc_ptr<txl_expr> current = translate(v);
  rc_ptr<txl_expr> condition =
      end && current ? with_span(make_binary_expr(txl_op_le, std::move(current), std::move(end)), v) : nullptr;
  rc_ptr<txl_expr> previous = translate(v);
  rc_ptr<txl_expr> sum =
      previous ? with_span(make_binary_expr(txl_op_add, std::move(previous), make_rc<txl_expr_constant>(anyval::from_int(1))), v)
               : nullptr;
  rc_ptr<txl_expr> step = sum ? translate_assign(v, std::move(sum)) : nullptr;
  rc_ptr<txl_expr> body = operand(n, 3);
  if (!init || !condition || !step || !body)
    return {};
  return with_span(make_rc<txl_expr_for>(std::move(init), std::move(condition), std::move(step), std::move(body)), n);
}

}  // namespace

// Replaces the target's body by a root over the translated tree and its call sites by the
// calls met on the way. Nothing of the target changes when translation fails.
bool txl_compiler::translate(txl_user_function& target) {
  translator t(target);
  rc_ptr<txl_expr> body = root_ ? t.translate(*root_) : nullptr;
  if (!body) {
    record_error(txl_err_syntax, root_ ? root_->span_start : 0);
    return false;
  }
  auto root = make_rc<txl_expr_root>(body);
  root->extend_span(body->span_start, body->span_end);
  target.clear_body();
  for (rc_ptr<txl_expr_fncall>& site : t.sites)
    target.add_call_site(std::move(site));
  target.set_body(std::move(root));
  return true;
}

}  // namespace quillet
