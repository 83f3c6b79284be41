// A user function: a named expression text and its compiled body. Every template variable,
// every property of a dynamic element and every wizard parameter is one. The function owns
// its body, its call sites and the storage of its argument vector ARGS.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "txl/expr_fncall.h"
#include "txl/expr_nodes.h"
#include "txl/function_entry.h"
#include "txl/numeric_loop.h"
#include "txl/text_origin.h"
#include "txl/validity.h"

namespace quillet {

// flags bit 0: the function can reach itself through its calls.
inline constexpr std::int32_t txl_ufn_recursive = 1;

class txl_user_function : public dynamic_object {
public:
  explicit txl_user_function(std::string name = {}, std::string text = {});
  ~txl_user_function() override;

  // Translation of a new body: clear_body() first (drops the old body and call sites), then
  // add_call_site() for each call node in translation order, then set_body() with the root,
  // which also prepares the tree for fast invalidation.
  void set_body(rc_ptr<txl_expr_root> root);
  void clear_body();
  void add_call_site(rc_ptr<txl_expr_fncall> site) {
    call_sites.push_back(std::move(site));
    txl_validity_changed();
  }

  // Evaluates the body with call.args as ARGS; see user_function.cpp for the caching rules.
  bool call(txl_call& call);
  // call() for a call site of this function, without a call record: `result` is the site's
  // previous result, lent as call.result is, and receives the new one; `token` and
  // `known_current` are set as call() sets the record's.
  bool call_from_site(const anyval& call_args, anyval& result, std::int32_t& token, std::string& error,
                      bool& known_current);
  // What call() does up to handing out the result: the body's result (its own, valid until
  // the next evaluation) for ARGS `call_args`, or null on failure with the error text in
  // `error`; known_current as call() sets txl_call::known_current. A caller that needs no
  // token nor a result of its own (a property) skips the call record.
  const anyval* result_for(const anyval& call_args, std::string& error, bool& known_current);
  // The body's result when a call without arguments would hand it out from the cache
  // without evaluating or asking anything: the kept finding that the call sites are current
  // still holds (so call() would neither ask nor invalidate them), the body does not read
  // ARGS and its result is valid. Null when the function has to be called.
  const anyval* known_result() const {
    if (!sites_current_at_.is_now() || is_recursive() || !body || !body->valid || body->result.empty() ||
        !args->dependents.empty())
      return nullptr;
    return &body->result;
  }
  // Whether a result returned with `token` is still correct.
  bool is_current(std::int32_t token) const;
  // The user function that the whole body calls without arguments (`@style`, possibly as
  // the one statement of a sequence), with the number of nodes above that call; null for
  // any other body or while the call is not bound to a user function. Worked out again only
  // when a tree changed shape or a call site was bound since: a report asks it for every
  // property of every cell.
  txl_user_function* sole_callee(int& levels) const {
    if (sole_shape_ != txl_tree_shape() || sole_bindings_ != txl_bindings_counter.load(std::memory_order_relaxed))
      update_sole_callee();
    levels = sole_levels_;
    return sole_callee_;
  }
  // Releases the bindings of every call site; breaks reference cycles between functions
  // that call each other, so the owner calls it before letting the functions go.
  void unbind_calls();

  bool is_recursive() const { return (flags & txl_ufn_recursive) != 0; }

  std::int32_t flags = 0;
  std::string name;
  std::string text;
  // Where `text` was read from; kept when the text is dropped after compiling, so that a
  // message about the compiled body can still name the file position. Whoever replaces the
  // text clears it.
  txl_text_origin origin;
  rc_ptr<txl_expr_localvar> args;  // the storage of ARGS
  rc_ptr<txl_expr_root> body;      // empty until compiled
  std::vector<rc_ptr<txl_expr_fncall>> call_sites;
  std::int32_t change_count = 0;

private:
  bool call_without_error_text(txl_call& record);
  inline const anyval* body_result_for(const anyval& call_args, std::string& error,
                                       bool& known_current);  // defined in user_function.cpp
  inline bool evaluate_body(std::string& error);  // defined in user_function.cpp, its only user
  inline bool arguments_unchanged(const anyval& new_args) const;  // likewise
  bool args_read_by_element() const;
  bool ask_call_sites() const;
  inline bool refresh_call_sites();  // defined in user_function.cpp, its only user
  void raise_change_count();
  void update_sole_callee() const;
  txl_user_function* find_sole_callee(int& levels) const;

  mutable bool asking_ = false;  // is_current is under way for this function
  mutable bool asked_ = false;   // is_current was called since the change count last rose
  // The question (numbered on this thread) in which the call sites were last found current
  // or not, and that answer: a function reached by many paths is asked once per question.
  mutable std::uint64_t answered_in_ = 0;
  mutable bool sites_current_ = false;
  mutable bool sites_untracked_ = false;  // that answer rests on something not counted
  // The moment at which the call sites were last found current by an answer that rests only
  // on what txl_validity counts: while it is now, they still are.
  mutable txl_validity_mark sites_current_at_;
  // Likewise the moment at which they were last found not all current: a site that is not
  // current stays so until its function's body calls it again, which raises the change count
  // of a function that was asked (and so moves the moment), or until a context returns to
  // the state the site's result was made in, which is a moment of its own.
  mutable txl_validity_mark sites_stale_at_;
  // args_read_by_element's answer and the tree shape it was worked out under.
  mutable bool args_by_element_ = false;
  mutable std::uint64_t args_shape_ = 0;
  // sole_callee's answer and the tree shape and bindings it was worked out under.
  mutable txl_user_function* sole_callee_ = nullptr;
  mutable int sole_levels_ = 0;
  mutable std::uint64_t sole_shape_ = 0;
  mutable std::uint64_t sole_bindings_ = 0;
  txl_numeric_body numeric_body_;
};

// The entry through which a call site reaches a user function; the cookie is the
// txl_user_function and carries one counted reference, released by the entry's release.
const txl_function_entry& txl_user_function_entry();

}  // namespace quillet
