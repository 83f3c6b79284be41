// User functions: a body evaluated with ARGS, served from its cache while nothing it reads
// has changed, and the entry through which call sites reach it.
#include "txl/user_function.h"

#include <bit>
#include <typeinfo>
#include <utility>

#include "txl/numeric_body_run.h"

namespace quillet {

txl_user_function::txl_user_function(std::string function_name, std::string source)
    : name(std::move(function_name)), text(std::move(source)), args(make_rc<txl_expr_localvar>()) {}

txl_user_function::~txl_user_function() = default;

void txl_user_function::set_body(rc_ptr<txl_expr_root> root) {
  txl_validity_changed();
  sole_shape_ = 0;
  body = std::move(root);
  if (body)
    link_tree(*body);
}

void txl_user_function::clear_body() {
  txl_validity_changed();
  sole_shape_ = 0;
  body.reset();
  call_sites.clear();
}

void txl_user_function::unbind_calls() {
  for (auto& site : call_sites)
    site->unbind();
}

namespace {

// Writes a plain argument vector's elements into the slots of the vector `mine`, which ARGS
// alone holds, when they are as many; false when they are not.
[[gnu::always_inline]] inline bool fill_slots(anyval_imp& mine, const anyval& args) {
  const anyval_imp* given = args.get();
  if (mine.plain_kind != type_vector || !given || given->plain_kind != type_vector)
    return false;
  anyval_list& slots = static_cast<anyval_imp_vector&>(mine).elements;
  const anyval_list& values = static_cast<const anyval_imp_vector*>(given)->elements;
  if (slots.size() != values.size())
    return false;
  for (std::size_t i = 0; i < slots.size(); ++i)
    if (slots[i].get() != values[i].get())
      slots[i] = values[i];
  return true;
}

// Makes ARGS the call's argument vector, or an empty vector for a call without one. A vector
// that ARGS alone holds is kept rather than replaced: an empty one stays as it is, and one
// of as many slots as a plain argument vector takes its elements, so that the caller's
// vector stays unshared and is filled again on its next call instead of made anew (a loop
// calling a function). Nobody else can see the difference. Inline, with fill_slots, in the
// call: a call with new arguments comes here every time.
[[gnu::always_inline]] inline void set_arguments(anyval& target, const anyval& args) {
  anyval_imp* mine = target.get();
  if (mine && mine->ref_count() == 1 && fill_slots(*mine, args))
    return;
  if (!args.empty()) {
    target = args;
    return;
  }
  const anyval_imp* p = target.get();
  if (p && p->plain_kind == type_vector && p->ref_count() == 1 &&
      static_cast<const anyval_imp_vector*>(p)->elements.empty())
    return;
  target = anyval::from_vector({});
}

// The same number: both plain integers of one value, or plain floats of the same bits.
bool same_number(const anyval& a, const anyval& b) {
  const anyval_imp* x = a.get();
  const anyval_imp* y = b.get();
  if (!x || !y || x->plain_kind != y->plain_kind)
    return false;
  if (x->plain_kind == type_int)
    return static_cast<const anyval_imp_int*>(x)->value == static_cast<const anyval_imp_int*>(y)->value;
  if (x->plain_kind == type_float)
    return std::bit_cast<std::uint64_t>(static_cast<const anyval_imp_float*>(x)->value) ==
           std::bit_cast<std::uint64_t>(static_cast<const anyval_imp_float*>(y)->value);
  return false;
}

// `x[c]`: the variable reference `ref` indexed by a constant integer of at least 0.
bool is_constant_element_read(const txl_expr& ref) {
  const txl_expr* index = ref.parent;
  if (&typeid(ref) != &typeid(txl_expr_var_ref) || static_cast<const txl_expr_var_ref&>(ref).declaration ||
      !index || &typeid(*index) != &typeid(txl_expr_index) || index->child(0) != &ref)
    return false;
  const txl_expr* at = index->child(1);
  if (!at || &typeid(*at) != &typeid(txl_expr_constant))
    return false;
  const anyval_imp* v = at->value().get();
  return v && v->plain_kind == type_int && static_cast<const anyval_imp_int*>(v)->value >= 0;
}

// Makes `slot` the body's result. A number goes into the number object the caller lent
// when the caller alone holds it: the body's own object then stays unshared, and the next
// run overwrites it rather than allocating another.
void hand_over_result(anyval& slot, const anyval& value) {
  const anyval_imp* v = value.get();
  anyval_imp* mine = slot.get();
  if (v && mine && mine->plain_kind == v->plain_kind && mine->ref_count() == 1) {
    if (v->plain_kind == type_float) {
      static_cast<anyval_imp_float*>(mine)->value = static_cast<const anyval_imp_float*>(v)->value;
      return;
    }
    if (v->plain_kind == type_int) {
      static_cast<anyval_imp_int*>(mine)->value = static_cast<const anyval_imp_int*>(v)->value;
      return;
    }
  }
  slot = value;
}

}  // namespace

// Whether the body reaches ARGS only through element reads at constant indexes (`ARGS[0]`):
// then the vector itself never leaves ARGS, and only its elements' values can be seen.
bool txl_user_function::args_read_by_element() const {
  const std::uint64_t shape = txl_tree_shape();
  if (args_shape_ == shape)
    return args_by_element_;
  args_by_element_ = true;
  for (const txl_expr* ref : args->dependents)
    args_by_element_ = args_by_element_ && is_constant_element_read(*ref);
  args_shape_ = shape;
  return args_by_element_;
}

// True when ARGS, as the body can see it, would not change: it is read only element by
// element, and the new arguments are the numbers it holds now, of the same kinds and values.
// A report calls a function with the same constant arguments from several places in a row.
// Inline in result_for, with the finding about the reads taken as it stands while the trees keep
// their shape: a report calls functions with arguments for every cell.
[[gnu::always_inline]] inline bool txl_user_function::arguments_unchanged(const anyval& new_args) const {
  const anyval_list* now = args->value.as_vector();
  if (!now || !(args_shape_ == txl_tree_shape() ? args_by_element_ : args_read_by_element()))
    return false;
  if (new_args.empty())
    return now->empty();
  const anyval_list* next = new_args.as_vector();
  if (!next || next->size() != now->size())
    return false;
  for (std::size_t i = 0; i < now->size(); ++i)
    if (!same_number((*now)[i], (*next)[i]))
      return false;
  return true;
}

// Invalidates every call site whose function no longer vouches for its last result; says
// whether there was one. A finding that they are all current is kept as ask_call_sites keeps
// it, when it rests only on what txl_validity counts, and while it holds the caller does not
// ask them again: a function called for every cell of a table finds them current cell after
// cell. Inline in body_result_for, its only user: a property's evaluation comes here on every
// cell where something it rests on changed.
[[gnu::always_inline]] inline bool txl_user_function::refresh_call_sites() {
  const std::uint64_t untracked_before = txl_validity.untracked;
  bool changed = false;
  bool counted = true;
  for (const auto& site : call_sites) {
    const txl_function_entry* entry = site->entry;
    if (entry && !entry->validity_counted && !txl_is_always_current(*entry))
      counted = false;
    if (site->is_current())
      continue;
    invalidate(*site);
    changed = true;
  }
  if (!changed && counted && txl_validity.untracked == untracked_before)
    sites_current_at_.take_now();
  return changed;
}

// The body as a numeric program when it qualifies and can start now, else as a tree. Inline
// in result_for, its only user.
[[gnu::always_inline]] inline bool txl_user_function::evaluate_body(std::string& error) {
  if (numeric_body_.turned_away())
    return txl_expr::evaluate_child(*body, error);
  switch (numeric_body_.run(*body, error)) {
    case numeric_loop_outcome::finished: return true;
    case numeric_loop_outcome::failed: return false;
    case numeric_loop_outcome::unsuitable: break;
  }
  return txl_expr::evaluate_child(*body, error);
}

// The rules of call() below, up to the body's own result. Inline in call_from_site and
// result_for: a call of a function with arguments costs one call less.
[[gnu::always_inline]] inline const anyval* txl_user_function::body_result_for(const anyval& call_args,
                                                                               std::string& error,
                                                                               bool& known_current) {
  if (is_recursive()) {
    error = "#RECURS:" + name + "#";
    return nullptr;
  }
  if (!body) {
    error = "#BADFN:" + name + "#";
    return nullptr;
  }
  const bool changed = !sites_current_at_.is_now() && refresh_call_sites();
  // ARGS is seen only through the body's references to it: without any, or when they would
  // read the same numbers again, setting it and invalidating its readers would change
  // nothing anyone can observe.
  if (!args->dependents.empty() && !arguments_unchanged(call_args)) {
    set_arguments(args->value, call_args);
    if (numeric_body_.readers_left_invalid(*args))
      body->valid = false;  // all that invalidating the readers would leave changed
    else
      variable_changed(*args);
  }
  // A result served from the cache rests on call sites that were all current a moment ago,
  // and nothing has been evaluated since: is_current(token) would find the same. So does a
  // body that ran without making a call (arithmetic on ARGS and on valid results).
  bool cached = body->valid && !body->result.empty();
  known_current = cached && !changed;
  if (!cached) {
    const std::uint64_t calls_before = txl_calls_made;
    if (!evaluate_body(error))
      return nullptr;
    if (changed)
      raise_change_count();
    known_current = !changed && txl_calls_made == calls_before;
  }
  return &body->result;
}

// Runs the body with the call's arguments as ARGS. Every reader of ARGS and every call
// whose result went stale is invalidated first, so a body that depends on neither is
// served from its cache. The token handed out is the change count, which rises whenever
// stale calls forced a new evaluation.
bool txl_user_function::call(txl_call& record) {
  if (!record.error)
    return call_without_error_text(record);
  return call_from_site(record.args, record.result, record.token, *record.error, record.known_current);
}

// What call() does, for a call site that keeps its arguments, result and token itself: a
// call with arguments, made for every cell of a table, builds no call record.
bool txl_user_function::call_from_site(const anyval& call_args, anyval& result, std::int32_t& token,
                                       std::string& error, bool& known_current) {
  const anyval* value = body_result_for(call_args, error, known_current);
  if (!value)
    return false;
  hand_over_result(result, *value);
  token = change_count;
  return true;
}

const anyval* txl_user_function::result_for(const anyval& call_args, std::string& error, bool& known_current) {
  return body_result_for(call_args, error, known_current);
}

// call() for a caller that does not want the error text, which then goes to a text of its own
// and is dropped.
bool txl_user_function::call_without_error_text(txl_call& record) {
  std::string scratch;
  record.error = &scratch;
  const bool ok = call(record);
  record.error = nullptr;
  return ok;
}

// Hands out a new token. Answers kept elsewhere may rest on the old one only if this
// function was asked about a token since the last change (a property that no call reaches
// never is), and only then do they have to go.
void txl_user_function::raise_change_count() {
  ++change_count;
  if (asked_) {
    asked_ = false;
    txl_validity_changed();
  }
}

namespace {

// Nesting of is_current questions; a chain of functions asking each other ends here.
thread_local int current_depth = 0;
// The number of the outermost question under way. Nothing is evaluated while a question
// runs, so every answer found during it holds until it ends.
thread_local std::uint64_t question = 0;

}  // namespace

// True when nothing changed since `token` was handed out: same change count and every call
// site still current. A function reached again while it is being asked (functions that call
// each other) answers false, so the question always ends. The call sites' answer is kept for
// the rest of the question, so variables that reach one another by many paths (a DAG) are
// each asked once rather than once per path; a finding either way is kept beyond it while
// nothing it rests on has changed (see validity.h).
bool txl_user_function::is_current(std::int32_t token) const {
  asked_ = true;
  if (token != change_count)
    return false;
  if (sites_current_at_.is_now())
    return true;
  if (sites_stale_at_.is_now())
    return false;
  if (current_depth > 0 && answered_in_ == question) {
    if (sites_untracked_)
      txl_validity_untracked();
    return sites_current_;
  }
  if (current_depth >= txl_max_eval_depth || asking_) {
    txl_validity_untracked();  // a "no" of the question's own making, kept by no one
    return false;
  }
  return ask_call_sites();
}

// Asks every call site whether it is current, and keeps the answer for the question under
// way, and beyond it when it rests only on what txl_validity counts: a chain of functions
// refreshed from the top asks each level once, not once per level above it.
bool txl_user_function::ask_call_sites() const {
  if (current_depth == 0)
    ++question;
  ++current_depth;
  asking_ = true;
  const std::uint64_t untracked_before = txl_validity.untracked;
  bool current = true;
  for (const auto& site : call_sites) {
    if (site->entry && !site->entry->validity_counted && !txl_is_always_current(*site->entry))
      txl_validity_untracked();
    if (!site->is_current()) {
      current = false;
      break;
    }
  }
  asking_ = false;
  --current_depth;
  answered_in_ = question;
  sites_current_ = current;
  sites_untracked_ = txl_validity.untracked != untracked_before;
  if (!sites_untracked_)
    (current ? sites_current_at_ : sites_stale_at_).take_now();
  return current;
}

// Takes the sole callee of the body as it is bound now.
void txl_user_function::update_sole_callee() const {
  sole_callee_ = find_sole_callee(sole_levels_);
  sole_shape_ = txl_tree_shape();
  sole_bindings_ = txl_bindings_counter.load(std::memory_order_relaxed);
}

txl_user_function* txl_user_function::find_sole_callee(int& levels) const {
  if (!body)
    return nullptr;
  levels = 1;
  txl_expr* e = body->child(0);
  while (e && &typeid(*e) == &typeid(txl_expr_seq) && e->child_count() == 1) {
    e = e->child(0);
    ++levels;
  }
  if (!e || &typeid(*e) != &typeid(txl_expr_fncall))
    return nullptr;
  const auto* site = static_cast<const txl_expr_fncall*>(e);
  if (site->child_count() != 0 || site->entry != &txl_user_function_entry() || !site->cookie)
    return nullptr;
  return static_cast<txl_user_function*>(site->cookie);
}

namespace {

void release_user_function(txl_cookie cookie) {
  if (cookie)
    static_cast<txl_user_function*>(cookie)->release();
}

bool user_function_current(txl_cookie cookie, std::int32_t token) {
  return cookie && static_cast<txl_user_function*>(cookie)->is_current(token);
}

bool call_user_function(txl_cookie cookie, txl_call& call) {
  if (!cookie)
    return call.fail("#BADFN#");
  return static_cast<txl_user_function*>(cookie)->call(call);
}

const txl_function_entry user_entry{release_user_function, user_function_current, call_user_function, true};

}  // namespace

const txl_function_entry& txl_user_function_entry() { return user_entry; }

}  // namespace quillet
