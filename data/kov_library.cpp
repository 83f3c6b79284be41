// The channel-function library: the name table, the factory of function objects, and the one
// entry through which call sites reach them.
#include "data/kov_library.h"

#include <array>
#include <cstring>

#include "data/kov_functions.h"

namespace quillet {

namespace {

using factory = kov_txl_function* (*)(kov_processor_context*);

template <class F>
kov_txl_function* make(kov_processor_context* processor) {
  return new F(processor);
}

struct kov_row {
  const char* name;
  factory create;
};

// Lookup order; the first exact match wins.
constexpr std::array<kov_row, 23> rows = {{
    {"DEBUG", make<kov_txl_function_DEBUG>},
    {"READLIST", make<kov_txl_function_READLIST>},
    {"IDX", make<kov_txl_function_IDX>},
    {"ROW", make<kov_txl_function_ROW>},
    {"COL", make<kov_txl_function_COL>},
    {"TIME", make<kov_txl_function_TIME>},
    {"CHAN", make<kov_txl_function_CHAN>},
    {"NAME", make<kov_txl_function_NAME>},
    {"NODE", make<kov_txl_function_NODE>},
    {"OBJECT", make<kov_txl_function_OBJECT>},
    {"ATTR", make<kov_txl_function_ATTR>},
    {"CHCODE", make<kov_txl_function_CHCODE>},
    {"CHUNIT", make<kov_txl_function_CHUNIT>},
    {"GETVAL", make<kov_txl_function_GETVAL>},
    {"READVAL", make<kov_txl_function_READVAL>},
    {"LASTVAL", make<kov_txl_function_LASTVAL>},
    {"RNSTAT", make<kov_txl_function_RNSTAT>},
    {"RTSTAT", make<kov_txl_function_RTSTAT>},
    {"SELCHAN", make<kov_txl_function_SELCHAN>},
    {"EVENTS", make<kov_txl_function_EVENTS>},
    {"EFILTER", make<kov_txl_function_EFILTER>},
    {"ETYPE", make<kov_txl_function_ETYPE>},
    {"SEVERITY", make<kov_txl_function_SEVERITY>},
}};

constexpr std::array<const char*, rows.size()> row_names = [] {
  std::array<const char*, rows.size()> names{};
  for (std::size_t i = 0; i < rows.size(); ++i)
    names[i] = rows[i].name;
  return names;
}();

void release_function(txl_cookie cookie) { delete static_cast<kov_txl_function*>(cookie); }

bool function_is_current(txl_cookie cookie, std::int32_t token) {
  return static_cast<const kov_txl_function*>(cookie)->is_valid(token);
}

// A call record without an argument vector counts as a call without arguments. The site's
// last result, lent to the entry, reaches only the functions that take it.
bool call_function(txl_cookie cookie, txl_call& call) {
  auto* function = static_cast<kov_txl_function*>(cookie);
  if (!function->takes_lent_result())
    call.result.release();
  const anyval_list& args = call.arg_list();
  return function->evaluate(call, std::span<const anyval>(args.data(), args.size()));
}

// Context functions follow the repeat contexts' state numbers and count their new tokens;
// functions bound to the report time say that they rest on it.
constexpr txl_function_entry entry_ops = {release_function, function_is_current, call_function, true, true};

}  // namespace

const txl_function_entry& kov_function_entry() { return entry_ops; }

std::span<const char* const> kov_txl_library::names() { return row_names; }

bool kov_txl_library::lookup(const char* name, std::size_t length, const txl_function_entry*& entry,
                             txl_cookie& cookie) {
  for (const kov_row& row : rows) {
    if (std::strlen(row.name) != length || std::memcmp(row.name, name, length) != 0)
      continue;
    entry = &entry_ops;
    cookie = row.create(processor_);
    return true;
  }
  entry = nullptr;
  return false;
}

}  // namespace quillet
