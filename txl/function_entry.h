// The calling convention shared by every callable thing of the expression language: a
// function entry of three operations taking the bound cookie, the call record, and the
// libraries that map names to entries. Built-in libraries are static tables of rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <typeinfo>

#include "txl/anyval.h"

namespace quillet {

// What a function receives and returns. `error` points at the caller's error text, where a
// failing function writes its marker.
struct txl_call {
  anyval args;              // a vector: one element per argument expression
  // Empty on entry, except that a call site lends its previous result to a user function (a
  // number object the function may overwrite when no one else holds it) and to a built-in
  // whose entry takes_lent_result (see text_result).
  anyval result;
  std::int32_t token = 0;   // handed back to is_current later
  std::string* error = nullptr;
  // Set by a function that has just checked everything its is_current(token) would check
  // and found nothing changed since, so the caller need not ask again.
  bool known_current = false;
  // Set by the caller when the call's value replaces the variable its first argument reads
  // and nobody else holds that argument's vector or string: the function may change it in
  // place and return it (INSERT appending in a loop).
  bool may_change_first = false;

  // The arguments; none when `args` is not a vector. Inline, with arg(): every built-in reads
  // its arguments through them.
  const anyval_list& arg_list() const {
    const anyval_list* v = vector_elements(args.get());
    return v ? *v : no_args();
  }
  std::size_t arg_count() const { return arg_list().size(); }
  // Argument i, or an empty value when there are fewer arguments.
  const anyval& arg(std::size_t i) const {
    const anyval_list& v = arg_list();
    return i < v.size() ? v[i] : no_value();
  }
  // The empty argument list and value that arg_list and arg hand out for none.
  static const anyval_list& no_args();
  static const anyval& no_value();
  // Stores a marker in the error text and returns false, for `return call.fail("#X#");`.
  bool fail(std::string_view marker) const;
  // The empty text of a new string result, which the function then writes: the lent result's
  // own when it is a plain string that the call alone holds, so that a call made for every
  // cell of a table rewrites one string object instead of making and dropping one per cell.
  std::string& text_result() {
    anyval_imp* p = result.get();
    if (p && p->ref_count() == 1 && &typeid(*p) == &typeid(anyval_imp_string)) {
      std::string& text = static_cast<anyval_imp_string*>(p)->text;
      text.clear();
      return text;
    }
    auto made = make_rc<anyval_imp_string>();
    std::string& text = made->text;
    result = anyval(std::move(made));
    return text;
  }
};

using txl_cookie = void*;

struct txl_function_entry {
  void (*release)(txl_cookie cookie);
  bool (*is_current)(txl_cookie cookie, std::int32_t token);
  bool (*call)(txl_cookie cookie, txl_call& call);
  // Whether every answer of is_current that can turn from true to false does so only
  // through a change txl_validity counts, or says otherwise through txl_validity_untracked()
  // (validity.h). Answers of other entries are never kept beyond one question.
  bool validity_counted = false;
  // Whether the function may be lent the call site's previous result: it sets call.result on
  // every success, and a string it makes comes from txl_call::text_result.
  bool takes_lent_result = false;
};

// A static library row: the name and its operations.
struct txl_function_row {
  const char* name;
  txl_function_entry entry;
};

// The no-op release and always-true is_current of built-in rows.
void txl_release_nothing(txl_cookie);
bool txl_always_current(txl_cookie, std::int32_t);

// Whether results of the entry hold for ever, known without calling it.
inline bool txl_is_always_current(const txl_function_entry& entry) {
  return entry.is_current == &txl_always_current;
}

// What a math built-in called with one number gives: the float computation for a float, and
// for an integer the integer itself, its magnitude, or the float computation of it. Only
// entries whose one-number call does nothing else have one (txl_number_form_of gives null
// for every other entry). A call site uses it to skip the argument vector and the call
// record, and numeric programs to compute the call in a register.
// `known` names the float computation when it is one a numeric program does in place of
// calling on_float.
using txl_float_form = double (*)(double);
enum class txl_int_rule : std::uint8_t { same, magnitude, as_float };
enum class txl_known_form : std::uint8_t { other, floor, ceil, magnitude };
struct txl_number_form {
  txl_float_form on_float;
  txl_int_rule on_int;
  txl_known_form known = txl_known_form::other;
};
const txl_number_form* txl_number_form_of(const txl_function_entry& entry);

// Row for a built-in `bool fn(txl_cookie, txl_call&)`.
#define TXL_BUILTIN(NAME, FN) \
  ::quillet::txl_function_row { NAME, { ::quillet::txl_release_nothing, ::quillet::txl_always_current, FN } }
// The same for a built-in that takes a lent result (txl_function_entry::takes_lent_result).
#define TXL_BUILTIN_LENT(NAME, FN)                                                                   \
  ::quillet::txl_function_row {                                                                      \
    NAME, { ::quillet::txl_release_nothing, ::quillet::txl_always_current, FN, false, true }         \
  }

class txl_xfn_library {
public:
  virtual ~txl_xfn_library() = default;
  // Finds a function by exact, case-sensitive name; on failure entry becomes null.
  virtual bool lookup(const char* name, std::size_t length, const txl_function_entry*& entry,
                      txl_cookie& cookie) = 0;
};

// A library over a static table, searched in table order.
class txl_xfn_library_imp : public txl_xfn_library {
public:
  txl_xfn_library_imp(const txl_function_row* rows, std::int32_t count) : count_(count), rows_(rows) {}
  bool lookup(const char* name, std::size_t length, const txl_function_entry*& entry,
              txl_cookie& cookie) override;
  std::int32_t size() const { return count_; }
  const txl_function_row* rows() const { return rows_; }

private:
  std::int32_t count_;
  const txl_function_row* rows_;
};

// The two static built-in libraries, general first, then conditions and bitwise.
txl_xfn_library_imp& txl_general_library();
txl_xfn_library_imp& txl_condition_library();

}  // namespace quillet
