// Translation of a loop's tree, or of a whole body, into a numeric program: every node gets
// the register its value lives in (a variable's own register for reads and assignments,
// which see later changes of the variable just as the tree's nodes do; a register of its own
// for everything else), and control flow becomes jumps. Any node outside the numeric subset
// makes the whole loop unsuitable; a body may also take other nodes as they stand.
#include <algorithm>
#include <optional>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <utility>

#include "txl/expr_fncall.h"
#include "txl/expr_nodes.h"
#include "txl/numeric_loop.h"

namespace quillet {

namespace {

// Deepest tree and most nodes a program is built for; larger loops are evaluated as trees.
constexpr int max_depth = 200;
constexpr std::size_t max_nodes = 20000;

enum class node_kind {
  other, constant, var_ref, var_assign, seq, if_, loop, brk, cont, land, lor,
  add, sub, mul, div, rem, band, bor, bxor, shl, shr, eq, ne, gt, ge, lt, le, neg, inv, lnot,
  index, call,
};

// The kind of a node of exactly one of the evaluator's own classes; `other` for anything
// else, including classes derived from them.
node_kind kind_of(const txl_expr& n) {
  static const std::unordered_map<std::type_index, node_kind> kinds = {
      {typeid(txl_expr_constant), node_kind::constant},
      {typeid(txl_expr_var_ref), node_kind::var_ref},
      {typeid(txl_expr_var_assign), node_kind::var_assign},
      {typeid(txl_expr_seq), node_kind::seq},
      {typeid(txl_expr_if), node_kind::if_},
      {typeid(txl_expr_for), node_kind::loop},
      {typeid(txl_expr_break), node_kind::brk},
      {typeid(txl_expr_continue), node_kind::cont},
      {typeid(txl_expr_binary_land), node_kind::land},
      {typeid(txl_expr_binary_lor), node_kind::lor},
      {typeid(txl_expr_binary_add), node_kind::add},
      {typeid(txl_expr_binary_sub), node_kind::sub},
      {typeid(txl_expr_binary_mul), node_kind::mul},
      {typeid(txl_expr_binary_div), node_kind::div},
      {typeid(txl_expr_binary_rem), node_kind::rem},
      {typeid(txl_expr_binary_and), node_kind::band},
      {typeid(txl_expr_binary_or), node_kind::bor},
      {typeid(txl_expr_binary_xor), node_kind::bxor},
      {typeid(txl_expr_binary_shl), node_kind::shl},
      {typeid(txl_expr_binary_shr), node_kind::shr},
      {typeid(txl_expr_compare_eq), node_kind::eq},
      {typeid(txl_expr_compare_ne), node_kind::ne},
      {typeid(txl_expr_compare_gt), node_kind::gt},
      {typeid(txl_expr_compare_ge), node_kind::ge},
      {typeid(txl_expr_compare_lt), node_kind::lt},
      {typeid(txl_expr_compare_le), node_kind::le},
      {typeid(txl_expr_unary_neg), node_kind::neg},
      {typeid(txl_expr_unary_inv), node_kind::inv},
      {typeid(txl_expr_unary_lnot), node_kind::lnot},
      {typeid(txl_expr_index), node_kind::index},
      {typeid(txl_expr_fncall), node_kind::call},
  };
  auto it = kinds.find(typeid(n));
  return it == kinds.end() ? node_kind::other : it->second;
}

bool is_comparison(node_kind k) { return k >= node_kind::eq && k <= node_kind::le; }

nl_cmp comparison_of(node_kind k) {
  return static_cast<nl_cmp>(static_cast<int>(k) - static_cast<int>(node_kind::eq));
}

// The instruction of an arithmetic, bitwise or unary node kind.
nl_op op_of(node_kind k) {
  switch (k) {
    case node_kind::add: return nl_op::add;
    case node_kind::sub: return nl_op::sub;
    case node_kind::mul: return nl_op::mul;
    case node_kind::div: return nl_op::div;
    case node_kind::rem: return nl_op::rem;
    case node_kind::band: return nl_op::band;
    case node_kind::bor: return nl_op::bor;
    case node_kind::bxor: return nl_op::bxor;
    case node_kind::shl: return nl_op::shl;
    case node_kind::shr: return nl_op::shr;
    case node_kind::neg: return nl_op::neg;
    case node_kind::inv: return nl_op::inv;
    default: return nl_op::lnot;
  }
}

// `x[c]` with a plain variable x and a constant integer c of at least 0, which a body
// program reads when it starts.
bool is_element_read(txl_expr& n) {
  if (kind_of(n) != node_kind::index)
    return false;
  auto* var = dynamic_cast<txl_expr_var_ref*>(n.child(0));
  txl_expr* at = n.child(1);
  if (!var || var->declaration || !at || kind_of(*at) != node_kind::constant)
    return false;
  const anyval_imp* v = at->value().get();
  return v && v->plain_kind == type_int && static_cast<const anyval_imp_int*>(v)->value >= 0;
}

// A call of one argument that a program computes itself (see txl_number_form_of).
const txl_number_form* math_call_form(txl_expr& n) {
  if (kind_of(n) != node_kind::call || n.child_count() != 1 || !n.child(0))
    return nullptr;
  return static_cast<txl_expr_fncall&>(n).number_form();
}

// A node a body program takes as it stands rather than running it.
bool is_leaf(txl_expr& n) {
  const node_kind k = kind_of(n);
  return k == node_kind::other || (k == node_kind::call && !math_call_form(n)) ||
         (k == node_kind::index && !is_element_read(n));
}

// The jumps a loop's "break" and "continue" statements make, patched once the loop's step
// and exit positions are known.
struct loop_jumps {
  std::vector<std::size_t> breaks;
  std::vector<std::size_t> continues;
};

class builder {
public:
  builder(nl_program& program, bool body)
      : p_(program), body_(body), written_(program.vars.size(), false), set_(program.vars.size(), false),
        read_first_(program.vars.size(), false),
        kinds_(program.initial.size(), 0), constant_(program.initial.size(), false) {}

  bool build(txl_expr_for& loop) {
    zero_ = constant_int(0);
    if (loop_code(loop) < 0 || !ok_)
      return false;
    emit({nl_op::end});
    fuse();
    list_starting_work();
    to_register_offsets();
    return true;
  }

  // A body qualifies when it does some work of its own (not only take a node as it stands)
  // and nothing it takes as it stands reads a variable it changes.
  bool build_body(txl_expr& body) {
    zero_ = constant_int(0);
    const int value = node_code(&body);
    if (value < 0 || !ok_ || p_.nodes.empty())
      return false;
    p_.result = value;
    emit({nl_op::end});
    for (const auto& leaf : p_.leaves)
      if (!is_closed(*leaf.node))
        return false;
    for (const auto& e : p_.elements)
      if (is_written(*e.storage))
        return false;
    std::vector<const txl_expr*> nodes(p_.nodes.begin(), p_.nodes.end());
    std::sort(nodes.begin(), nodes.end());
    for (std::size_t i = 0; i < p_.vars.size(); ++i) {
      const auto& dependents = p_.vars[i]->dependents;
      p_.reported[i] = !std::all_of(dependents.begin(), dependents.end(), [&](const txl_expr* d) {
        return std::binary_search(nodes.begin(), nodes.end(), d);
      });
    }
    for (const auto& e : p_.elements) {
      const auto& dependents = e.storage->dependents;
      const bool closed = std::all_of(dependents.begin(), dependents.end(), [&](const txl_expr* d) {
        return std::binary_search(nodes.begin(), nodes.end(), d);
      });
      auto& inputs = p_.closed_inputs;
      if (closed && std::find(inputs.begin(), inputs.end(), e.storage) == inputs.end())
        inputs.push_back(e.storage);
    }
    fuse();
    list_starting_work();
    to_register_offsets();
    return true;
  }

private:
  // Which fields of an instruction name registers.
  struct register_fields {
    bool dst, a, b, target = false;
  };
  static register_fields fields_of(nl_op op) {
    if (op >= nl_op::mul_sub && op <= nl_op::sub_mul_ff)
      return {true, true, true, true};
    if (op <= nl_op::cmp_le || (op >= nl_op::add_ff && op <= nl_op::div_ff) || op == nl_op::div_floor_ff)
      return {true, true, true};
    if (op >= nl_op::jump_if_eq && op <= nl_op::jump_unless_le)
      return {false, true, true};
    switch (op) {
      case nl_op::neg: case nl_op::inv: case nl_op::lnot: case nl_op::truth: case nl_op::copy:
      case nl_op::math: case nl_op::math_f: case nl_op::floor_f: case nl_op::ceil_f: case nl_op::abs_f:
        return {true, true, false};
      case nl_op::set_int: case nl_op::leaf: return {true, false, false};
      case nl_op::check: case nl_op::jump_false: case nl_op::jump_true: return {false, true, false};
      default: return {false, false, false};
    }
  }

  // The finished code's register numbers as byte offsets (see nl_insn).
  void to_register_offsets() {
    constexpr auto size = static_cast<std::int32_t>(sizeof(nl_reg));
    for (nl_insn& in : p_.code) {
      const register_fields f = fields_of(in.op);
      in.dst *= f.dst ? size : 1;
      in.a *= f.a ? size : 1;
      in.b *= f.b ? size : 1;
      in.target *= f.target ? size : 1;
    }
  }

  static bool is_jump(nl_op op) { return op >= nl_op::jump && op <= nl_op::jump_break; }

  // How often the code reads each register.
  std::vector<int> read_counts() const {
    std::vector<int> reads(p_.initial.size(), 0);
    for (const nl_insn& in : p_.code) {
      const register_fields f = fields_of(in.op);
      for (const auto& [named, reg] : {std::pair{f.a, in.a}, std::pair{f.b, in.b}, std::pair{f.target, in.target}})
        if (named)
          ++reads[static_cast<std::size_t>(reg)];
    }
    return reads;
  }

  // Makes pairs of instructions one (see nl_op) where the first one's result is a register of
  // its own that only the second reads, and no jump lands on the second. A product may also
  // pass a leaf evaluated in place between the two: the leaf cannot change the product's
  // operands, and a product cannot fail, so computing it after the leaf changes nothing.
  // Jump targets are renumbered.
  void fuse() {
    const std::vector<int> reads = read_counts();
    std::vector<bool> landed(p_.code.size() + 1, false);
    for (const nl_insn& in : p_.code)
      if (is_jump(in.op))
        landed[static_cast<std::size_t>(in.target)] = true;
    std::vector<nl_insn> out;
    std::vector<std::int32_t> moved(p_.code.size() + 1, 0);
    std::size_t i = 0;
    while (i < p_.code.size()) {
      moved[i] = static_cast<std::int32_t>(out.size());
      const std::size_t used = fuse_at(i, reads, landed, out);
      for (std::size_t k = 1; k < used; ++k)
        moved[i + k] = static_cast<std::int32_t>(out.size() - 1);
      i += used;
    }
    moved[p_.code.size()] = static_cast<std::int32_t>(out.size());
    for (nl_insn& in : out)
      if (is_jump(in.op))
        in.target = moved[static_cast<std::size_t>(in.target)];
    p_.code = std::move(out);
  }

  // Appends the instruction at `i`, or a fusion starting there; returns how many it took.
  std::size_t fuse_at(std::size_t i, const std::vector<int>& reads, const std::vector<bool>& landed,
                      std::vector<nl_insn>& out) const {
    const nl_insn& first = p_.code[i];
    const bool own_result = first.dst >= first_temp() && first.dst != p_.result &&
                            reads[static_cast<std::size_t>(first.dst)] == 1;
    const std::size_t next = i + 1;
    if (!own_result || next >= p_.code.size() || landed[next]) {
      out.push_back(first);
      return 1;
    }
    if (std::optional<nl_insn> one = fused(first, p_.code[next])) {
      out.push_back(*one);
      return 2;
    }
    const std::size_t after = i + 2;
    if (p_.code[next].op == nl_op::leaf && after < p_.code.size() && !landed[after] &&
        (first.op == nl_op::mul || first.op == nl_op::mul_ff)) {
      if (std::optional<nl_insn> one = fused(first, p_.code[after])) {
        out.push_back(p_.code[next]);
        out.push_back(*one);
        return 3;
      }
    }
    out.push_back(first);
    return 1;
  }

  // The one instruction doing `first` then `second`, which reads first's result once; none
  // when they are no pair of nl_op's fused instructions.
  static std::optional<nl_insn> fused(const nl_insn& first, const nl_insn& second) {
    const std::int32_t t = first.dst;
    if (first.op == nl_op::div_ff && second.op == nl_op::floor_f && second.a == t)
      return nl_insn{nl_op::div_floor_ff, second.dst, first.a, first.b, second.target};
    if (first.op != nl_op::mul && first.op != nl_op::mul_ff)
      return std::nullopt;
    if (second.op != nl_op::sub && second.op != nl_op::sub_ff)  // not a sum: see nl_op
      return std::nullopt;
    if ((second.a == t) == (second.b == t))
      return std::nullopt;
    const bool product_first = second.a == t;
    nl_op op = product_first ? nl_op::mul_sub : nl_op::sub_mul;
    if (first.op == nl_op::mul_ff && second.op == nl_op::sub_ff)
      op = static_cast<nl_op>(static_cast<int>(op) + static_cast<int>(nl_op::mul_sub_ff) -
                              static_cast<int>(nl_op::mul_sub));
    return nl_insn{op, second.dst, first.a, first.b, product_first ? second.b : second.a};
  }

  // What a run does before its code: the variables it loads and the leaves it takes.
  void list_starting_work() {
    for (std::size_t i = 0; i < p_.vars.size(); ++i) {
      (read_first_[i] ? p_.loads : p_.unloaded).push_back(static_cast<std::int32_t>(i));
      p_.any_reported = p_.any_reported || p_.reported[i];
    }
    for (std::size_t i = 0; i < p_.leaves.size(); ++i)
      if (!p_.leaves[i].in_place)
        p_.taken.push_back(static_cast<std::int32_t>(i));
  }

  // The register holding the node's value after its code ran; -1 when the node does not
  // qualify (which also clears ok_).
  int node_code(txl_expr* n) {
    if (!n || !ok_)
      return fail();
    if (++depth_ > max_depth || p_.nodes.size() >= max_nodes) {
      --depth_;
      return fail();
    }
    p_.depth = std::max(p_.depth, depth_);
    last_made_ = -1;
    const node_kind k = kind_of(*n);
    if (body_ && is_leaf(*n)) {
      const int r = leaf_code(*n);
      --depth_;
      return r;
    }
    if (k != node_kind::constant)
      p_.nodes.push_back(n);
    const int r = kind_code(k, *n);
    --depth_;
    return r;
  }

  int kind_code(node_kind k, txl_expr& n) {
    switch (k) {
      case node_kind::other: return fail();
      case node_kind::constant: return constant_code(n);
      case node_kind::var_ref: return var_ref_code(static_cast<txl_expr_var_ref&>(n));
      case node_kind::var_assign: return assign_code(static_cast<txl_expr_var_assign&>(n));
      case node_kind::seq: return seq_code(n);
      case node_kind::if_: return conditional(&builder::if_code, n);
      // A body's loops keep their own programs: a tree may leave a loop valid, and a body
      // program, which leaves its nodes invalid, would then run it again where the tree
      // does not, counting against the loop budget.
      case node_kind::loop: return body_ ? fail() : loop_code(static_cast<txl_expr_for&>(n));
      case node_kind::brk: return jump_code(true);
      case node_kind::cont: return jump_code(false);
      case node_kind::land: return conditional([this](txl_expr& m) { return logical_code(m, false); }, n);
      case node_kind::lor: return conditional([this](txl_expr& m) { return logical_code(m, true); }, n);
      case node_kind::neg: case node_kind::inv: case node_kind::lnot: return unary_code(k, n);
      case node_kind::index: return body_ ? element_code(n) : fail();
      case node_kind::call: return body_ ? math_code(n) : fail();
      default: return binary_code(k, n);
    }
  }

  template <class F>
  int conditional(F code, txl_expr& n) {
    ++conditional_;
    int r;
    if constexpr (std::is_member_function_pointer_v<F>)
      r = (this->*code)(n);
    else
      r = code(n);
    --conditional_;
    return r;
  }

  int constant_code(txl_expr& n) {
    const anyval_imp* v = n.value().get();
    if (!v || !plain_number_kind(*v))
      return fail();
    nl_reg r;
    r.kind = v->plain_kind;
    if (r.kind == type_int)
      r.i = static_cast<const anyval_imp_int*>(v)->value;
    else
      r.f = static_cast<const anyval_imp_float*>(v)->value;
    return add_register(r, true);
  }

  // A node taken as it stands: its register is loaded from its cached value when the program
  // starts. A node that can never be valid would never let the program start.
  //
  // Before any assignment, and outside "if", "and" and "or" (whose validity rests on their
  // children's), the leaf is evaluated in its place when the run reaches it, as the tree
  // would: the work before it only declares variables and computes, which the tree can redo
  // if the leaf gives something other than a number.
  int leaf_code(txl_expr& n) {
    if (n.never_valid || n.is_never_valid_kind())
      return fail();
    const int r = add_register({});
    const bool in_place = !assigned_ && conditional_ == 0;
    p_.leaves.push_back({&n, r, in_place, depth_});
    if (in_place)
      emit({nl_op::leaf, r, 0, static_cast<std::int32_t>(p_.leaves.size() - 1)});
    return r;
  }

  int element_code(txl_expr& n) {
    auto& var = static_cast<txl_expr_var_ref&>(*n.child(0));
    const auto at = static_cast<const anyval_imp_int*>(n.child(1)->value().get())->value;
    const int r = add_register({});
    p_.elements.push_back({&var.storage(), at, r});
    p_.nodes.push_back(&var);
    return r;
  }

  // The call's own register gets its result, handed back to the call node after the run.
  int math_code(txl_expr& n) {
    const int arg = node_code(n.child(0));
    if (arg < 0)
      return -1;
    const txl_number_form* form = math_call_form(n);
    p_.forms.push_back(form);
    const nl_op op = kind_of_register(arg) == type_float ? float_math_op(form->known) : nl_op::math;
    const auto call = static_cast<std::int32_t>(p_.calls.size());
    const int r = emit_result({op, 0, arg, static_cast<std::int32_t>(p_.forms.size() - 1), call});
    p_.calls.push_back({&n, r});
    last_made_ = -1;  // an assignment copies from r, which stays the call's result
    return r;
  }

  // The instruction for a form applied to a float: its own for the forms it knows.
  static nl_op float_math_op(txl_known_form known) {
    switch (known) {
      case txl_known_form::floor: return nl_op::floor_f;
      case txl_known_form::ceil: return nl_op::ceil_f;
      case txl_known_form::magnitude: return nl_op::abs_f;
      case txl_known_form::other: return nl_op::math_f;
    }
    return nl_op::math_f;
  }

  // A reference to a variable whose elements the program reads when it starts, other than
  // as the indexed variable of `x[i]`: through it the vector could reach a function that
  // changes an element in place.
  bool hands_out_read_vector(const txl_expr_var_ref& r) const {
    for (const auto& e : p_.elements)
      if (e.storage == &r.storage())
        return !(r.parent && kind_of(*r.parent) == node_kind::index && r.parent->child(0) == &r);
    return false;
  }

  bool is_written(const txl_expr_localvar& storage) const {
    for (std::size_t i = 0; i < p_.vars.size(); ++i)
      if (p_.vars[i] == &storage)
        return written_[i];
    return false;
  }

  // Whether a node taken as it stands can be: its subtree reads no variable the program
  // changes, changes no variable at all (the program may hold one's value in a register or
  // have read an element of it), does not hand out a vector whose elements the program read,
  // and holds no "return", "break" or "continue", whose jump out of the node is caught only
  // by the tree's root or loops.
  bool is_closed(txl_expr& top) const {
    std::vector<txl_expr*> pending{&top};
    std::size_t seen = 0;
    while (!pending.empty()) {
      if (++seen > max_nodes)
        return false;
      txl_expr* n = pending.back();
      pending.pop_back();
      if (auto* r = dynamic_cast<txl_expr_var_ref*>(n); r && (r->declaration || is_written(r->storage()) ||
                                                            hands_out_read_vector(*r)))
        return false;
      if (dynamic_cast<txl_expr_var_assign*>(n))
        return false;
      const node_kind k = kind_of(*n);
      if (k == node_kind::brk || k == node_kind::cont || dynamic_cast<txl_expr_return*>(n))
        return false;
      for (auto& c : n->children)
        if (c)
          pending.push_back(c.get());
    }
    return true;
  }

  // A read is the variable's own register (checked first when the variable may be empty,
  // unless it was set or checked before on every way to the read); a declaration first sets
  // it to the integer 0.
  int var_ref_code(txl_expr_var_ref& n) {
    const int v = var_register(n.storage());
    if (v < 0)
      return -1;
    const auto at = static_cast<std::size_t>(v);
    if (n.declaration) {
      emit({nl_op::set_int, v, 0});
      written_[at] = true;
      note_kind(v, type_int);
    }
    else if (p_.checked[at] && !set_[at])
      emit({nl_op::check, 0, v});
    if (!n.declaration && !set_[at])
      read_first_[at] = true;
    note_set(v);
    return v;
  }

  // Code outside any "if", "and", "or" and loop runs on every way through the program, so a
  // variable it sets or checks holds a number from there on: every instruction leaves an
  // integer or a float, and a check stops the run on an empty variable.
  void note_set(int var) {
    if (conditional_ == 0 && loops_ == 0)
      set_[static_cast<std::size_t>(var)] = true;
  }

  // A variable written with a value of `kind` keeps it for later reads only when the write
  // runs on every way through the program and no jump leads back before it.
  void note_kind(int var, std::uint8_t kind) {
    kinds_[static_cast<std::size_t>(var)] = conditional_ == 0 && loops_ == 0 ? kind : 0;
  }

  // `x = e` computes e straight into x's register when e's own instruction made it;
  // indexed assignment does not qualify.
  int assign_code(txl_expr_var_assign& n) {
    if (n.child(1))
      return fail();
    const int value = node_code(n.child(0));
    if (value < 0)
      return -1;
    const int v = var_register(n.storage());
    if (v < 0)
      return -1;
    written_[static_cast<std::size_t>(v)] = true;
    note_set(v);
    note_kind(v, kind_of_register(value));
    assigned_ = true;
    if (value == last_made_ && value >= first_temp())
      p_.code.back().dst = v;
    else
      emit({nl_op::copy, v, value});
    last_made_ = -1;
    return v;
  }

  // The last statement's value as it was when the sequence ended (a later change of a
  // variable does not reach it), or integer 0 for an empty sequence.
  int seq_code(txl_expr& n) {
    int last = zero_;
    for (auto& c : n.children) {
      if (!c)
        continue;
      last = node_code(c.get());
      if (last < 0)
        return -1;
    }
    return snapshot(last);
  }

  int if_code(txl_expr& n) {
    if (!n.child(1) || !n.child(2))
      return fail();
    const std::size_t to_else = condition_jump(n.child(0), false);
    const int result = add_register({});
    const int then_value = node_code(n.child(1));
    if (then_value < 0)
      return -1;
    emit({nl_op::copy, result, then_value});
    const std::size_t to_end = emit({nl_op::jump});
    patch(to_else);
    const int else_value = node_code(n.child(2));
    if (else_value < 0)
      return -1;
    emit({nl_op::copy, result, else_value});
    patch(to_end);
    last_made_ = -1;
    return result;
  }

  // Initialisation, then a jump to the test at the bottom: the budget count and the
  // condition, which jumps back to the body (whose "break" and "continue" belong to this
  // loop) while it holds; the step comes after the body. One jump per iteration.
  int loop_code(txl_expr_for& n) {
    ++loops_;
    const int r = loop_parts_code(n);
    --loops_;
    return r;
  }

  // The register of a loop's value (integer 0), its code laid out as loop_code says.
  int loop_parts_code(txl_expr_for& n) {
    if (n.child(0) && node_code(n.child(0)) < 0)
      return -1;
    const std::size_t to_test = emit({nl_op::jump});
    const std::size_t body_start = p_.code.size();
    jumps_.emplace_back();
    const bool body_ok = !n.child(3) || node_code(n.child(3)) >= 0;
    loop_jumps own = std::move(jumps_.back());
    jumps_.pop_back();
    if (!body_ok || !ok_)
      return -1;
    for (std::size_t at : own.continues)
      patch(at);
    if (n.child(2) && node_code(n.child(2)) < 0)
      return -1;
    patch(to_test);
    if (p_.counting)
      emit({nl_op::count});
    const std::size_t to_body = n.child(1) ? condition_jump(n.child(1), true) : emit({nl_op::jump});
    p_.code[to_body].target = static_cast<std::int32_t>(body_start);
    for (std::size_t at : own.breaks)
      patch(at);
    last_made_ = -1;
    return zero_;
  }

  // "break" and "continue" leave for the nearest loop whose body holds them; outside any
  // loop of this program they would leave the program, which does not qualify.
  int jump_code(bool is_break) {
    if (jumps_.empty())
      return fail();
    const std::size_t at = emit({nl_op::jump_break});
    (is_break ? jumps_.back().breaks : jumps_.back().continues).push_back(at);
    return zero_;
  }

  // "and" stops at a false left operand, "or" at a true one; the result is 1 or 0.
  int logical_code(txl_expr& n, bool deciding) {
    const int left = node_code(n.child(0));
    if (left < 0)
      return -1;
    const int result = add_register({});
    const std::size_t to_decided = emit({deciding ? nl_op::jump_true : nl_op::jump_false, 0, left});
    const int right = node_code(n.child(1));
    if (right < 0)
      return -1;
    emit({nl_op::truth, result, right});
    const std::size_t to_end = emit({nl_op::jump});
    patch(to_decided);
    emit({nl_op::set_int, result, deciding ? 1 : 0});
    patch(to_end);
    last_made_ = -1;
    return result;
  }

  int unary_code(node_kind k, txl_expr& n) {
    const int operand = node_code(n.child(0));
    if (operand < 0)
      return -1;
    return made_by_last(emit_result({op_of(k), 0, operand}));
  }

  int binary_code(node_kind k, txl_expr& n) {
    const int left = node_code(n.child(0));
    if (left < 0)
      return -1;
    const int right = node_code(n.child(1));
    if (right < 0)
      return -1;
    if (is_comparison(k))
      return made_by_last(emit_result({nl_compare_op(nl_op::cmp_eq, comparison_of(k)), 0, left, right}));
    if (k >= node_kind::add && k <= node_kind::div)
      return float_code(op_of(k), float_operand(left), float_operand(right));
    return made_by_last(emit_result({op_of(k), 0, left, right}));
  }

  // Arithmetic with a float result, without looking at the operands' kinds when both are
  // known to hold floats.
  int float_code(nl_op op, int left, int right) {
    if (kind_of_register(left) == type_float && kind_of_register(right) == type_float) {
      const int to_floats = static_cast<int>(nl_op::add_ff) - static_cast<int>(nl_op::add);
      op = static_cast<nl_op>(static_cast<int>(op) + to_floats);
    }
    return made_by_last(emit_result({op, 0, left, right}));
  }

  // An integer constant as an operand of float arithmetic, which would convert it at every
  // run, is a float constant of the same value instead.
  int float_operand(int reg) {
    const auto at = static_cast<std::size_t>(reg);
    if (!constant_[at] || kinds_[at] != type_int)
      return reg;
    nl_reg r;
    r.kind = type_float;
    r.f = static_cast<double>(p_.initial[at].i);
    return add_register(r, true);
  }

  // The kind a register holds whenever code reads it; 0 when that is not known.
  std::uint8_t kind_of_register(int reg) const { return kinds_[static_cast<std::size_t>(reg)]; }

  // The kind an instruction always leaves in its destination; 0 when it depends on the
  // operands.
  std::uint8_t result_kind(const nl_insn& in) const {
    if (in.op <= nl_op::div || (in.op >= nl_op::add_ff && in.op <= nl_op::abs_f))
      return type_float;
    if (in.op == nl_op::neg)
      return kind_of_register(in.a);
    if (in.op < nl_op::copy)
      return type_int;
    return 0;
  }

  // Code that jumps (to a target set later) when the condition's truth is `when`; a
  // comparison is tested by the jump itself.
  std::size_t condition_jump(txl_expr* condition, bool when) {
    const node_kind k = condition ? kind_of(*condition) : node_kind::other;
    if (is_comparison(k) && depth_ < max_depth) {
      ++depth_;
      p_.depth = std::max(p_.depth, depth_);
      p_.nodes.push_back(condition);
      const int left = node_code(condition->child(0));
      const int right = left < 0 ? -1 : node_code(condition->child(1));
      --depth_;
      if (right < 0)
        return fail_at();
      return emit({nl_compare_op(when ? nl_op::jump_if_eq : nl_op::jump_unless_eq, comparison_of(k)), 0, left, right});
    }
    const int value = node_code(condition);
    if (value < 0)
      return fail_at();
    return emit({when ? nl_op::jump_true : nl_op::jump_false, 0, value});
  }

  // A variable's register: the variables were numbered first, by collect_vars.
  int var_register(const txl_expr_localvar& storage) {
    for (std::size_t i = 0; i < p_.vars.size(); ++i)
      if (p_.vars[i] == &storage)
        return static_cast<int>(i);
    return fail();
  }

  int first_temp() const { return static_cast<int>(p_.vars.size()); }

  // A variable's register stands for its current value; a node that must keep the value of
  // the moment copies it.
  int snapshot(int reg) {
    if (reg >= first_temp())
      return reg;
    const int copy = add_register({});
    kinds_[static_cast<std::size_t>(copy)] = kind_of_register(reg);
    emit({nl_op::copy, copy, reg});
    last_made_ = -1;
    return copy;
  }

  int constant_int(std::int32_t v) {
    nl_reg r;
    r.kind = type_int;
    r.i = v;
    return add_register(r, true);
  }

  int add_register(nl_reg r, bool constant = false) {
    p_.initial.push_back(r);
    kinds_.push_back(r.kind);
    constant_.push_back(constant);
    return static_cast<int>(p_.initial.size() - 1);
  }

  std::size_t emit(nl_insn in) {
    p_.code.push_back(in);
    return p_.code.size() - 1;
  }

  // Emits an instruction whose result goes to a new register; returns that register.
  int emit_result(nl_insn in) {
    in.dst = add_register({});
    kinds_[static_cast<std::size_t>(in.dst)] = result_kind(in);
    emit(in);
    return in.dst;
  }

  int made_by_last(int reg) {
    last_made_ = reg;
    return reg;
  }

  void patch(std::size_t at) { p_.code[at].target = static_cast<std::int32_t>(p_.code.size()); }

  int fail() {
    ok_ = false;
    return -1;
  }

  std::size_t fail_at() {
    ok_ = false;
    return emit({nl_op::end});
  }

  nl_program& p_;
  const bool body_;             // translating a whole body, which may take nodes as they stand
  std::vector<bool> written_;   // per variable: the program changes it
  std::vector<bool> set_;       // per variable: holds a number wherever the code reaches now
  std::vector<bool> read_first_;  // per variable: read somewhere set_ was not yet true
  std::vector<std::uint8_t> kinds_;  // per register: see kind_of_register
  std::vector<bool> constant_;       // per register: a constant, never written
  std::vector<loop_jumps> jumps_;
  int depth_ = 0;
  int zero_ = 0;
  int last_made_ = -1;  // the register the last emitted instruction wrote, when it alone did
  int conditional_ = 0;   // nesting of "if", "and" and "or" around the node being translated
  int loops_ = 0;         // nesting of loops around it
  bool assigned_ = false; // an assignment has been translated
  bool ok_ = true;
};

// Every variable the tree reads or assigns, in tree order, without recursion. A body's
// program does not look inside the nodes it takes as they stand, nor at the variable of an
// element read.
void collect_vars(txl_expr& top, bool body, std::vector<txl_expr_localvar*>& vars) {
  std::vector<txl_expr*> pending{&top};
  std::size_t seen = 0;
  while (!pending.empty() && ++seen <= max_nodes) {
    txl_expr* n = pending.back();
    pending.pop_back();
    if (body && (is_leaf(*n) || is_element_read(*n)))
      continue;
    txl_expr_localvar* s = nullptr;
    if (auto* r = dynamic_cast<txl_expr_var_ref*>(n))
      s = &r->storage();
    else if (auto* a = dynamic_cast<txl_expr_var_assign*>(n))
      s = &a->storage();
    if (s && std::find(vars.begin(), vars.end(), s) == vars.end())
      vars.push_back(s);
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
      if (*it)
        pending.push_back(it->get());
  }
}

// The program with its variables numbered first, the ones empty now or listed checked.
std::unique_ptr<nl_program> new_program(txl_expr& top, bool body, bool counting,
                                        const std::vector<const txl_expr_localvar*>& empty_vars) {
  auto program = std::make_unique<nl_program>();
  program->counting = counting;
  std::vector<txl_expr_localvar*> vars;
  collect_vars(top, body, vars);
  for (txl_expr_localvar* s : vars) {
    program->vars.push_back(s);
    program->checked.push_back(s->value.empty() ||
                               std::find(empty_vars.begin(), empty_vars.end(), s) != empty_vars.end());
    program->initial.push_back(nl_reg{});
    program->reported.push_back(true);
  }
  return program;
}

}  // namespace

std::unique_ptr<nl_program> build_numeric_loop(txl_expr_for& loop, bool counting,
                                               const std::vector<const txl_expr_localvar*>& empty_vars) {
  auto program = new_program(loop, false, counting, empty_vars);
  builder b(*program, false);
  if (!b.build(loop))
    return nullptr;
  return program;
}

std::unique_ptr<nl_program> build_numeric_body(txl_expr& body, bool counting,
                                               const std::vector<const txl_expr_localvar*>& empty_vars) {
  auto program = new_program(body, true, counting, empty_vars);
  builder b(*program, true);
  if (!b.build_body(body))
    return nullptr;
  return program;
}

}  // namespace quillet
