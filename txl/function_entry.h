// The calling convention shared by every callable thing of the expression language: a
// function entry of three operations taking the bound cookie, the call record, and the
// libraries that map names to entries. Built-in libraries are static tables of rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "txl/anyval.h"

namespace quillet {

// What a function receives and returns. `error` points at the caller's error text, where a
// failing function writes its marker.
struct txl_call {
  anyval args;              // a vector: one element per argument expression
  anyval result;            // empty on entry
  std::int32_t token = 0;   // handed back to is_current later
  std::string* error = nullptr;
  // Set by a function that has just checked everything its is_current(token) would check
  // and found nothing changed since, so the caller need not ask again.
  bool known_current = false;

  const anyval_list& arg_list() const;
  std::size_t arg_count() const { return arg_list().size(); }
  // Argument i, or an empty value when there are fewer arguments.
  const anyval& arg(std::size_t i) const;
  // Stores a marker in the error text and returns false, for `return call.fail("#X#");`.
  bool fail(std::string_view marker) const;
};

using txl_cookie = void*;

struct txl_function_entry {
  void (*release)(txl_cookie cookie);
  bool (*is_current)(txl_cookie cookie, std::int32_t token);
  bool (*call)(txl_cookie cookie, txl_call& call);
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

// The computation a built-in applies to a single float argument, for the entries whose call
// with one float argument only stores a float worked out from it (the math functions);
// null for every other entry. A call site uses it to skip the argument vector and the call
// record when its one argument is a float.
using txl_float_form = double (*)(double);
txl_float_form txl_float_form_of(const txl_function_entry& entry);

// Row for a built-in `bool fn(txl_cookie, txl_call&)`.
#define TXL_BUILTIN(NAME, FN) \
  ::quillet::txl_function_row { NAME, { ::quillet::txl_release_nothing, ::quillet::txl_always_current, FN } }

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
