// Call records and the static-table library lookup.
#include "txl/function_entry.h"

#include <cstring>

namespace quillet {

const anyval_list& txl_call::no_args() {
  static const anyval_list none;
  return none;
}

const anyval& txl_call::no_value() {
  static const anyval none;
  return none;
}

bool txl_call::fail(std::string_view marker) const {
  if (error)
    error->assign(marker);
  return false;
}

void txl_release_nothing(txl_cookie) {}

bool txl_always_current(txl_cookie, std::int32_t) { return true; }

// Compares with each row's name in table order, as strcmp would (the name may hold no NUL).
bool txl_xfn_library_imp::lookup(const char* name, std::size_t length, const txl_function_entry*& entry,
                                 txl_cookie& cookie) {
  for (std::int32_t i = 0; i < count_; ++i) {
    const char* row = rows_[i].name;
    if (std::strlen(row) == length && std::memcmp(row, name, length) == 0) {
      entry = &rows_[i].entry;
      cookie = nullptr;
      return true;
    }
  }
  entry = nullptr;
  return false;
}

}  // namespace quillet
